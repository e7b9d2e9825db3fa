// The viewer's layout, fonts, DPI and zoom, focus, tabs and theme: actions
// that reach every pane.
#include "uJsonViewer.h"

#include "uMainWindow.h"
#include "uTextLinks.h"
#include "uUnicode.h"

namespace corvane {

namespace {

// Character-cell height of a font on a window; fallback when it cannot be
// measured.
int FontCellHeight(HWND window, HFONT font, int fallback) {
  HDC dc = window ? GetDC(window) : nullptr;
  if (!dc) return fallback;
  HGDIOBJ old = SelectObject(dc, font);
  TEXTMETRICW metrics{};
  const bool measured = GetTextMetricsW(dc, &metrics) != 0;
  SelectObject(dc, old);
  ReleaseDC(window, dc);
  return measured ? metrics.tmHeight : fallback;
}

HFONT MakeFont(const TViewerLook& look, int weight, const std::u16string& face) {
  LOGFONTW font{};
  font.lfHeight = look.ScaleDpi(look.Scaling.FontSize);
  font.lfWeight = weight;
  font.lfCharSet = DEFAULT_CHARSET;
  lstrcpynW(font.lfFaceName, reinterpret_cast<LPCWSTR>(face.c_str()), LF_FACESIZE);
  return CreateFontIndirectW(&font);
}

void Place(HWND window, const TRect& r) { PlaceControl(window, r.Left, r.Top, r.Width(), r.Height()); }

}  // namespace

// ---- layout --------------------------------------------------------------------

void TJsonViewer::LayoutControls() {
  EndCellEdit(true);
  const HWND main = main_.Get();
  if (!main || !status_.Window()) return;
  MoveControls();
  if (tabs_.ActiveTab() == kTabText) {
    RefreshTextPane();
    PostMessageW(main, kMsgRefreshTextPane, 0, 0);
  }
}

// Places the controls and the filter edits for the main window's client size.
void TJsonViewer::MoveControls() {
  const HWND main = main_.Get();
  const TDrawingPause pause(main);
  const TRect client = ClientRectOf(main);
  const int statusHeight = status_.Resize();
  const TMainLayout layout = layout_.Arrange(client.Width(), client.Height(), statusHeight);
  Place(tree_.Window(), layout.Tree);
  Place(tabs_.Window(), layout.Tab);
  layout_.InvalidateStrip(layout);
  const TTabLayout inner = ComputeTabLayout(look_.Scaling, layout.Tab.Width(), layout.Tab.Height(),
                                            tabs_.DisplayTop(), filters_.Shown(), look_.LineHeight);
  Place(grid_.Window(), inner.Grid);
  text_.Place(inner.Text);
  PlaceFilterRow();
}

// The filter edits over their columns (after reordering, resizing,
// scrolling, a width pass or a layout).
void TJsonViewer::PlaceFilterRow() {
  std::vector<TRect> columns;
  if (!grid_.ColumnBoxes(tabs_.Window(), filters_.Count(), &columns)) return;
  filters_.Place(columns, tabs_.DisplayTop(), tabs_.ActiveTab() == kTabGrid);
}

// ---- fonts, DPI, zoom -----------------------------------------------------------

// (Re)creates the three fonts and gives them to the controls; the new fonts
// are given before the old ones go.
void TJsonViewer::CreateFonts() {
  const std::u16string face = settings_.ReadText(setting::kFont);
  const int weight = FontWeightFromSetting(settings_.ReadInt(setting::kFontWeight));
  win::TFont main(MakeFont(look_, weight, face));
  win::TFont bold(MakeFont(look_, FW_BOLD, face));
  win::TFont tab(MakeFont(look_, FW_NORMAL, face));
  SetControlFont(tree_.Window(), main.Get());
  grid_.SetFont(main.Get());
  text_.SetFont(main.Get());
  status_.SetFont(main.Get());
  editor_.SetFont(main.Get());
  filters_.SetFont(main.Get());
  tabs_.SetFont(tab.Get());
  look_.MainFont = std::move(main);
  look_.BoldFont = std::move(bold);
  look_.TabFont = std::move(tab);
  look_.LineHeight = FontCellHeight(status_.Window(), look_.MainFont.Get(), look_.ScaleDpi(look_.Scaling.FontSize));
  status_.SetMinHeight();
}

// Font size, DPI or zoom changed: fonts, status parts, layout, widths.
void TJsonViewer::ApplyNewScale() {
  CreateFonts();
  status_.LayoutParts();
  RunWidthPass();
  LayoutControls();
}

void TJsonViewer::ChangeDpi(int newDpi) {
  if (newDpi <= 0 || newDpi == look_.Scaling.Dpi) return;
  RescaleSplitter(newDpi, look_.Scaling.Dpi);
  look_.Scaling.Dpi = newDpi;
  ApplyNewScale();
  RedrawWindow(main_.Get(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
}

// Ctrl+wheel: one step larger (delta > 0) or smaller, within 10..48.
void TJsonViewer::ZoomFont(int delta) {
  const int oldSize = look_.Scaling.FontSize;
  const int newSize = ZoomFontSize(oldSize, delta);
  if (newSize == oldSize) return;
  RescaleSplitter(newSize, oldSize);
  look_.Scaling.FontSize = newSize;
  ApplyNewScale();
  grid_.RepaintHeader();
}

// A DPI or font-size change scales the splitter and its snapshot alike, so
// that the change alone is never written back as a new position.
void TJsonViewer::RescaleSplitter(int newValue, int oldValue) {
  layout_.Rescale(newValue, oldValue);
  snapshot_.SplitterPosition = RescalePosition(snapshot_.SplitterPosition, newValue, oldValue);
}

// ---- focus and tabs -----------------------------------------------------------

TFocusPane TJsonViewer::FocusPaneOf(HWND focus) const {
  if (!focus) return TFocusPane::Outside;
  if (editor_.Owns(focus)) return TFocusPane::EditBox;
  if (focus == tree_.Window()) return TFocusPane::Tree;
  if (focus == grid_.Window()) return TFocusPane::Grid;
  if (focus == text_.Window()) return TFocusPane::Text;
  if (filters_.Owns(focus)) return TFocusPane::FilterEdit;
  const HWND main = main_.Get();
  if (main && (focus == main || IsChild(main, focus))) return TFocusPane::Other;
  return TFocusPane::Outside;
}

void TJsonViewer::FocusCycle() {
  switch (FocusCycleTarget(FocusPaneOf(GetFocus()))) {
    case TFocusTarget::Tree: SetFocus(tree_.Window()); break;
    case TFocusTarget::Content: FocusContent(); break;
    case TFocusTarget::Nothing: break;
  }
}

// Focuses the control of the selected tab (loading the text pane first).
void TJsonViewer::FocusContent() {
  if (tabs_.ActiveTab() == kTabText) {
    RefreshTextPane();
    SetFocus(text_.Window());
  } else {
    SetFocus(grid_.Window());
  }
}

// Shows the grid on the Grid tab and the text pane on the Text tab.
void TJsonViewer::ShowTabContent() {
  const bool text = tabs_.ActiveTab() == kTabText;
  if (text) EnsureTextPane();
  ShowWindow(grid_.Window(), text ? SW_HIDE : SW_SHOW);
  text_.Show(text);
}

// ---- the text pane ------------------------------------------------------------

bool TJsonViewer::EnsureTextPane() { return text_.Exists() || text_.Ensure(tabs_.Window(), DarkControlStyle()); }

void TJsonViewer::LoadText() {
  // Before the tree's first selection there is nothing to show yet, unless
  // the text did not load (there is no selection then).
  if ((!core_.CurrentNode && loadError_.empty()) || !EnsureTextPane()) return;
  text_.Load();
}

// On the Text tab: loads the text when it is stale, else repaints it.
void TJsonViewer::RefreshTextPane() {
  if (tabs_.ActiveTab() != kTabText) return;
  if (text_.Stale())
    LoadText();
  else
    text_.Repaint();
}

// To the Text tab: the current cell's node (its value, or its key) is
// selected in the text; where the records give no span, the cell's text.
void TJsonViewer::ShowCellInText() {
  if (text_.Stale()) LoadText();
  const std::vector<int> selected = grid_.SelectedRows();
  if (!text_.Exists() || text_.Stale() || selected.empty()) return;
  const int column = core_.CurrentColumn;
  TByteSpan span = TargetSpanInText(document_, patches_.Patches(), CellLinkTarget(core_, selected[0], column));
  if (!span.Valid()) {
    const std::u16string cell = CellLinkText(core_, selected[0], column);
    span.Start = FindCellInText(text_.SearchView().Text, cell);
    span.End = span.Start + static_cast<int64_t>(Utf16ToUtf8(cell).size());
  }
  if (span.Valid()) text_.SelectRange(span.Start, span.End);
}

// To the Grid tab: the cell of the node the text selection lies in is
// selected; a selection in no node (a comment) is looked for as text.
void TJsonViewer::FindTextSelectionInGrid() {
  if (!text_.Exists() || text_.Stale()) return;
  const TByteSpan selection = text_.Selection();
  TGridCellPos cell;
  if (const TLinkTarget target = TargetAtSelection(document_, patches_.Patches(), selection); target.Node)
    cell = FindTargetInGrid(core_, target);
  else if (selection.End > selection.Start)
    cell = FindSelectionInGrid(core_.Table, core_.VisibleRows, Utf8ToUtf16(text_.SelectedText(kLinkSelectionLimit)));
  if (!cell.Found()) return;
  grid_.SelectOnlyRow(cell.Row);
  grid_.EnsureVisible(cell.Row);
  SetCurrentCell(cell.Row, cell.Column, true);
}

// ---- theme --------------------------------------------------------------------

std::u16string TJsonViewer::ThemeMode() const { return ResolveThemeMode(settings_); }

bool TJsonViewer::DarkControlStyle() const { return UseDarkControlStyle(IsDark(ThemeMode(), host_.Dark), host_); }

// Loads the colours for the current theme and gives them to the panes.
void TJsonViewer::ApplyTheme() {
  const bool dark = IsDark(ThemeMode(), host_.Dark);
  look_.Colours = LoadThemeColours(settings_, dark, GetSysColor(COLOR_BTNFACE));
  filters_.ApplyColours();
  tree_.ApplyColours();
  grid_.ApplyColours();
  text_.ApplyColours();
  ApplyControlStyles();
  PlaceFilterRow();
  // Everything repaints at once; while the viewer is being created the
  // controls paint when they are first shown anyway.
  const UINT now = created_ ? RDW_UPDATENOW : 0;
  RedrawWindow(main_.Get(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | now);
}

// The dark visual style on every control when the dark set applies and the
// host asked for native dark mode, else the default style; the grid's
// header is then switched to no visual style at all.
void TJsonViewer::ApplyControlStyles() {
  const bool dark = DarkControlStyle();
  SetControlStyle(tree_.Window(), dark);
  SetControlStyle(tabs_.Window(), dark);
  SetControlStyle(grid_.Window(), dark);
  SetControlStyle(grid_.Header(), dark);
  text_.ApplyStyle(dark);
  status_.ApplyStyle(dark);
  editor_.ApplyStyle(dark);
  filters_.ApplyStyle(dark);
  grid_.SwitchOffHeaderStyle();
}

// Commands 5005, 5017, 5018: stores the mode and applies it.
void TJsonViewer::SetTheme(const std::u16string& mode) {
  StoreThemeMode(settings_, mode);
  ApplyTheme();
}

void TJsonViewer::HostFlagsChanged(THostThemeFlags flags) {
  const THostThemeFlags before = host_;
  host_ = flags;
  if (HostFlagsNeedThemeApply(ThemeMode(), before, flags)) ApplyTheme();
}

}  // namespace corvane
