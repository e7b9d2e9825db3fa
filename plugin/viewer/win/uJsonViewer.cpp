// Creation and destruction of a viewer.
#include "uJsonViewer.h"

#include <windows.h>
#include <commctrl.h>

#include "uCellEditor.h"
#include "uContextMenu.h"
#include "uGuard.h"
#include "uI18n.h"
#include "uLayout.h"
#include "uMainWindow.h"
#include "uStatusBar.h"
#include "uThemePaint.h"
#include "uTreePane.h"
#include "uTreeRules.h"
#include "uUnicode.h"
#include "uViewerCommands.h"
#include "uSubclasses.h"

namespace corvane {

namespace {

LPCWSTR W(const std::u16string& text) { return reinterpret_cast<LPCWSTR>(text.c_str()); }

HWND CreateChild(const wchar_t* className, DWORD style, HWND parent, int id) {
  HWND child = CreateWindowExW(0, className, L"", style, 0, 0, 100, 100, parent,
                               reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), PluginInstance(), nullptr);
  if (!child) throw EViewerError(u"cannot create a control");
  return child;
}

void InsertTab(HWND tab, int index, const std::u16string& caption) {
  TCITEMW item{};
  item.mask = TCIF_TEXT;
  std::u16string text = caption;
  item.pszText = const_cast<LPWSTR>(W(text));
  SendMessageW(tab, TCM_INSERTITEMW, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&item));
}

}  // namespace

EViewerError::EViewerError(const std::u16string& text)
    : std::runtime_error(Utf16ToUtf8(text)), text_(text) {}

TJsonViewer::TJsonViewer() : Settings(FileSettingsAccess()), Core(Settings) {}

std::unique_ptr<TJsonViewer> TJsonViewer::Create(HWND parent, const std::u16string& fileName,
                                                 int showFlags) {
  std::unique_ptr<TJsonViewer> viewer(new TJsonViewer());
  viewer->Build(parent, fileName, showFlags);
  return viewer;
}

TJsonViewer* TJsonViewer::FromWindow(HWND window) {
  if (!window || !IsWindow(window)) return nullptr;
  wchar_t className[64] = {};
  GetClassNameW(window, className, 64);
  if (lstrcmpW(className, ViewerClassName()) != 0) return nullptr;
  if (reinterpret_cast<HINSTANCE>(GetWindowLongPtrW(window, GWLP_HINSTANCE)) != PluginInstance())
    return nullptr;
  return reinterpret_cast<TJsonViewer*>(GetWindowLongPtrW(window, GWLP_USERDATA));
}

// ---- creation ---------------------------------------------------------------

void TJsonViewer::Build(HWND parent, const std::u16string& fileName, int showFlags) {
  Parent = parent;
  FileName = fileName;
  SetLanguage(Settings.ReadText(setting::kLanguage));
  ReadStartSettings(showFlags);
  const TDocumentKind kind = ViewerDocumentKind(fileName);
  if (kind == TDocumentKind::Unsupported) throw EViewerError(tr(i18n::kErrorFormat));
  Language = kind == TDocumentKind::Toml ? TDocumentLanguage::Toml : TDocumentLanguage::Yaml;
  LoadFile();
  CreateWindows();
  snapshot_ = SettingsNow();
  BuildTree(*this);
  ApplyTheme(*this);
  LayoutControls(*this);
  // Built hidden, shown complete: a control filled, sized or themed while
  // visible repaints on the spot (under Wine this tripled the time of the
  // steps above), and no half-built viewer flashes on the host's screen.
  ShowWindow(Main.Get(), SW_SHOWNA);
  created_ = true;
}

void TJsonViewer::ReadStartSettings(int showFlags) {
  Scaling.Dpi = WindowDpi(Parent);
  const TViewStartSettings start = ReadViewStartSettings(Settings, Scaling.Dpi);
  Scaling.FontSize = start.FontSize;
  SplitterPosition = start.SplitterPosition;
  AlwaysStartAtRoot = start.AlwaysStartAtRoot;
  FlatLevelRead = start.FlatLevelRead;
  Core.FlatLevel = start.FlatLevel;
  FilterRowShown = start.FilterRowShown;
  tabNoRead_ = start.TabNo;
  HostDark = (showFlags & 0x80) != 0;
  HostNativeDark = (showFlags & 0x100) != 0;
  FlatMenu.Adopt(BuildMenu(FlatLevelMenuEntries(Core.FlatLevel)));
}

void TJsonViewer::LoadFile() {
  // The loader's own error (text, line, column) is not shown: a viewer that
  // cannot load gives the host no window.
  TLoadError error;
  const int32_t limit = Settings.ReadInt(setting::kMaxFileSize);
  if (!LoadDocument(FileName, limit, Document, error)) throw EViewerError(tr(i18n::kErrorLoad));
  // The patch document takes the same bytes, so edits describe what is shown.
  PatchDocument.LoadFromBytes(FileName, Document.Bytes);
  HasStructure = !Document.Index.Empty();
  Core.Root = Document.Value.get();
}

void TJsonViewer::CreateWindows() {
  INITCOMMONCONTROLSEX controls{sizeof controls, 0x0F};
  InitCommonControlsEx(&controls);
  if (!RegisterViewerClass()) throw EViewerError(u"cannot register the window class");
  Main.Adopt(CreateWindowExW(WS_EX_CONTROLPARENT, ViewerClassName(), L"corvane",
                             WS_CHILD | WS_CLIPCHILDREN, 0, 0, 100, 100, Parent, nullptr,
                             PluginInstance(), nullptr));
  if (!Main.Get()) throw EViewerError(u"cannot create the viewer window");
  UserData.Bind(Main.Get(), this);
  CreateChildren();
  CreateFonts(*this);
  LayoutStatusParts(*this);
  SelectStartTab(tabNoRead_);
}

void TJsonViewer::CreateChildren() {
  const HWND main = Main.Get();
  Tree = CreateChild(WC_TREEVIEWW, 0x50010027, main, ctl::kTree);
  // The tab control paints its whole client in the theme's colours; its
  // children must not be painted over.
  Tab = CreateChild(WC_TABCONTROLW, WS_CHILD | WS_VISIBLE | WS_TABSTOP | WS_CLIPCHILDREN, main, ctl::kTab);
  InsertTab(Tab, 0, tr(i18n::kTabGrid));
  InsertTab(Tab, 1, tr(i18n::kTabText));
  Grid = CreateChild(WC_LISTVIEWW, 0x50011009, Tab, ctl::kGrid);
  const DWORD gridLines = Settings.ReadFlag(setting::kDisableGridLines) ? 0 : LVS_EX_GRIDLINES;
  SendMessageW(Grid, LVM_SETEXTENDEDLISTVIEWSTYLE, 0, 0x10030 | gridLines);
  Status = CreateStatusWindowW(WS_CHILD | WS_VISIBLE, L"", main, ctl::kStatus);
  if (!Status) throw EViewerError(u"cannot create the status bar");
  InstallSubclasses(*this);
}

void TJsonViewer::SelectStartTab(int tabNo) {
  // The tab control refuses an index it does not have and keeps tab 0.
  SendMessageW(Tab, TCM_SETCURSEL, static_cast<WPARAM>(tabNo), 0);
  ActiveTab = static_cast<int>(SendMessageW(Tab, TCM_GETCURSEL, 0, 0)) == 1 ? 1 : 0;
  ShowTabContent(*this);
}

TViewSettingsSnapshot TJsonViewer::SettingsNow() const {
  TViewSettingsSnapshot now;
  now.SplitterPosition = SplitterPosition;
  now.FilterRowShown = FilterRowShown;
  now.FontSize = Scaling.FontSize;
  now.SelectedTab = ActiveTab;
  return now;
}

void TJsonViewer::RescaleSplitter(int newValue, int oldValue) {
  SplitterPosition = RescalePosition(SplitterPosition, newValue, oldValue);
  snapshot_.SplitterPosition = RescalePosition(snapshot_.SplitterPosition, newValue, oldValue);
}

const std::u16string& TJsonViewer::SourceText() {
  if (!sourceDecoded_) {
    sourceText_ = Utf8ToUtf16(PatchDocument.Patches().empty() ? PatchDocument.LoadedBytes()
                                                              : PatchDocument.BuildText());
    sourceDecoded_ = true;
  }
  return sourceText_;
}

// ---- destruction ------------------------------------------------------------

TJsonViewer::~TJsonViewer() { Shutdown(); }

void TJsonViewer::Shutdown() {
  if (shutDown_) return;
  shutDown_ = true;
  Closing = true;
  win::GuardedVoid([&] {
    EndCellEdit(*this, false);
    FilterTimer.Stop();
    if (created_)
      WriteBackViewSettings(Settings, ViewSettingsToWrite(snapshot_, SettingsNow(), FlatLevelRead,
                                                          Core.FlatLevel, Scaling));
  });
  ReleaseWindows();
}

// Subclasses go first and the user-data slot next, so no message of a
// window being destroyed reaches a viewer that is half gone; the windows go
// before the fonts and the brush they use.
void TJsonViewer::ReleaseWindows() {
  FilterTimer.Stop();
  FilterSubclasses.clear();
  for (win::TSubclass* subclass :
       {&TreeSubclass, &TabSubclass, &GridSubclass, &TextSubclass, &StatusSubclass})
    subclass->Remove();
  UserData.Reset();
  Main.Destroy();
  Tree = Tab = Grid = Text = Status = EditBox = nullptr;
  FilterEdits.clear();
  MainFont.Reset();
  BoldFont.Reset();
  TabFont.Reset();
  FilterBrush.Reset();
  FlatMenu.Reset();
}

void TJsonViewer::WindowDestroyed() {
  Main.Forget();
  // The edit box went with its parents.
  EditBox = nullptr;
  Shutdown();
}

}  // namespace corvane
