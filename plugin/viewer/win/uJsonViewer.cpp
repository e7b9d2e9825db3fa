// Creation and destruction of a viewer.
#include "uJsonViewer.h"

#include <windows.h>
#include <commctrl.h>

#include <algorithm>

#include "uGuard.h"
#include "uI18n.h"
#include "uMainWindow.h"
#include "uStatusTexts.h"
#include "uUnicode.h"

namespace corvane {

TJsonViewer::TJsonViewer()
    : settings_(FileSettingsAccess()),
      core_(settings_),
      tree_(*this, look_),
      tabs_(*this, look_),
      grid_(*this, look_, core_),
      filters_(*this, look_),
      text_(*this, look_, settings_),
      status_(*this, look_),
      layout_(*this, look_),
      editor_(*this, look_),
      menu_(*this),
      keys_(*this, settings_) {}

std::unique_ptr<TJsonViewer> TJsonViewer::Create(HWND parent, const std::u16string& fileName, THostThemeFlags host) {
  std::unique_ptr<TJsonViewer> viewer(new TJsonViewer());
  viewer->Build(parent, fileName, host);
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

void TJsonViewer::Build(HWND parent, const std::u16string& fileName, THostThemeFlags host) {
  parent_ = parent;
  fileName_ = fileName;
  host_ = host;
  SetLanguage(settings_.ReadText(setting::kLanguage));
  ReadStartSettings();
  // The viewer takes only the names the extension rule knows; loading and
  // the text pane read the same language from it.
  const std::optional<TDocumentLanguage> language = LanguageOfExtension(fileName);
  if (!language) throw EViewerError(tr(i18n::kErrorFormat));
  language_ = *language;
  text_.SetLanguage(language_);
  LoadFile();
  // A text that does not load opens on the Text tab, where its error is.
  if (!loadError_.empty()) tabNoRead_ = kTabText;
  CreateWindows();
  snapshot_ = SettingsNow();
  if (document_.Value) tree_.Build(document_.Value.get(), core_.FlatLevel, alwaysStartAtRoot_);
  ApplyTheme();
  LayoutControls();
  // Built hidden, shown complete: a control filled, sized or themed while
  // visible repaints on the spot (under Wine this tripled the time of the
  // steps above), and no half-built viewer flashes on the host's screen.
  ShowWindow(main_.Get(), SW_SHOWNA);
  created_ = true;
  if (!loadError_.empty()) ShowLoadError();
}

void TJsonViewer::ReadStartSettings() {
  look_.Scaling.Dpi = WindowDpi(parent_);
  const TViewStartSettings start = ReadViewStartSettings(settings_, look_.Scaling.Dpi);
  look_.Scaling.FontSize = start.FontSize;
  layout_.SetSplitterPosition(start.SplitterPosition);
  alwaysStartAtRoot_ = start.AlwaysStartAtRoot;
  flatLevelRead_ = start.FlatLevelRead;
  core_.FlatLevel = start.FlatLevel;
  filters_.SetShown(start.FilterRowShown);
  tabNoRead_ = start.TabNo;
  status_.CreateFlatMenu(core_.FlatLevel);
}

// A file that cannot be read, is too large or is no UTF-8 text (UTF-16, a
// binary file), and a parse that fails for another reason than the text
// (memory, the parser library), give the host no window, so that the host
// shows the file its own way. A text that does not load as its language is shown with its error
// unless "show-parse-errors" is 0: an empty tree and grid, the text.
void TJsonViewer::LoadFile() {
  TLoadError error;
  std::string bytes;
  if (!ReadDocumentBytes(fileName_, settings_.ReadInt(setting::kMaxFileSize), bytes, error) || !IsUtf8Text(bytes))
    throw EViewerError(tr(i18n::kErrorLoad));
  if (!LoadDocumentTakingBytes(bytes, language_, document_, error)) {
    if (!error.InText || !settings_.ReadFlag(setting::kShowParseErrors)) throw EViewerError(tr(i18n::kErrorLoad));
    document_.Bytes = std::move(bytes);
    document_.Language = language_;
    document_.EncodingName = u"UTF-8";
    loadError_ = StatusLoadErrorText(error);
    loadErrorOffset_ = error.Region.Offset;
  }
  // The patch document shares the same buffer, so edits describe what is
  // shown and the file is held once.
  patches_.LoadFromBytes(fileName_, document_.Bytes);
  hasStructure_ = !document_.Index.Empty();
  core_.Root = document_.Value.get();
}

// The load error in the status bar and the text selected where it is.
void TJsonViewer::ShowLoadError() {
  status_.SetMessageOnly(true);
  status_.SetText(0, StatusEncodingText(document_.EncodingName));
  UpdateEditStatus();
  if (!EnsureTextPane()) return;
  LoadText();
  // The character the error names (all its bytes), or the caret at a
  // line's end; the pane counts in bytes as the error does.
  const std::string& bytes = document_.Bytes;
  const size_t at = size_t(std::clamp<int64_t>(loadErrorOffset_, 0, int64_t(bytes.size())));
  size_t end = at;
  if (end < bytes.size() && bytes[end] != '\r' && bytes[end] != '\n')
    for (++end; end < bytes.size() && (static_cast<unsigned char>(bytes[end]) & 0xC0) == 0x80;) ++end;
  text_.SelectMatch(int64_t(at), int64_t(end));
}

void TJsonViewer::CreateWindows() {
  INITCOMMONCONTROLSEX controls{sizeof controls, 0x0F};
  InitCommonControlsEx(&controls);
  if (!RegisterViewerClass()) throw EViewerError(u"cannot register the window class");
  main_.Adopt(CreateWindowExW(WS_EX_CONTROLPARENT, ViewerClassName(), L"corvane", WS_CHILD | WS_CLIPCHILDREN, 0, 0,
                              100, 100, parent_, nullptr, PluginInstance(), nullptr));
  if (!main_.Get()) throw EViewerError(u"cannot create the viewer window");
  userData_.Bind(main_.Get(), this);
  CreateChildren();
  CreateFonts();
  status_.LayoutParts();
  tabs_.Select(tabNoRead_);
  ShowTabContent();
}

// Every control first, then their subclasses.
void TJsonViewer::CreateChildren() {
  const HWND main = main_.Get();
  tree_.Create(main);
  tabs_.Create(main);
  grid_.Create(tabs_.Window(), !settings_.ReadFlag(setting::kDisableGridLines));
  status_.Create(main);
  tree_.InstallSubclass();
  tabs_.InstallSubclass();
  grid_.InstallSubclass();
  status_.InstallSubclass();
  filters_.Attach(tabs_.Window(), main);
  layout_.Attach(main);
  editor_.Attach(main);
  keys_.Attach(parent_);
}

TViewSettingsSnapshot TJsonViewer::SettingsNow() const {
  TViewSettingsSnapshot now;
  now.SplitterPosition = layout_.SplitterPosition();
  now.FilterRowShown = filters_.Shown();
  now.FontSize = look_.Scaling.FontSize;
  now.SelectedTab = tabs_.ActiveTab();
  return now;
}

// The text pane gets the loaded bytes themselves, or the patched text built
// for it (and dropped once the pane has taken it).
std::string_view TJsonViewer::DocumentText(std::string* scratch) {
  if (patches_.Patches().empty()) return patches_.LoadedBytes();
  *scratch = patches_.BuildText();
  return *scratch;
}

bool TJsonViewer::RunModal(bool menu, const std::function<void()>& body) {
  if (menu) ++menuLoops_;
  struct TCount {
    TJsonViewer& Viewer;
    bool Menu;
    ~TCount() {
      if (Menu) --Viewer.menuLoops_;
    }
  } count{*this, menu};
  body();
  return !closing_;
}

// ---- destruction ------------------------------------------------------------

TJsonViewer::~TJsonViewer() { Shutdown(); }

void TJsonViewer::Shutdown() {
  if (shutDown_) return;
  shutDown_ = true;
  closing_ = true;
  win::GuardedVoid([&] {
    EndCellEdit(false);
    filters_.StopTimer();
    if (created_)
      WriteBackViewSettings(settings_, ViewSettingsToWrite(snapshot_, SettingsNow(), flatLevelRead_, core_.FlatLevel,
                                                           look_.Scaling));
  });
  ReleaseWindows();
}

// Subclasses go first and the user-data slot next, so no message of a
// window being destroyed reaches a viewer that is half gone; the windows go
// before the fonts, the brush and the menu they use.
void TJsonViewer::ReleaseWindows() {
  filters_.Detach();
  tree_.Detach();
  tabs_.Detach();
  grid_.Detach();
  text_.Detach();
  status_.Detach();
  userData_.Reset();
  main_.Destroy();
  tree_.Forget();
  tabs_.Forget();
  grid_.Forget();
  text_.Forget();
  status_.Forget();
  editor_.Forget();
  filters_.Forget();
  look_.MainFont.Reset();
  look_.BoldFont.Reset();
  look_.TabFont.Reset();
}

void TJsonViewer::WindowDestroyed() {
  main_.Forget();
  // The edit box went with its parents.
  editor_.Forget();
  Shutdown();
}

}  // namespace corvane
