// One viewer per lister window: the loaded document, the window-free view
// state (TViewerCore) and the panes that show it.
//
// Contract:
//  - Create builds a ready viewer inside the host's lister window or raises
//    EViewerError; nothing of a half-built viewer survives (windows, fonts,
//    brushes, menus, timers, subclassed controls, the user-data slot all
//    belong to owner members that the destructor releases).
//  - The viewer is found from its main window through the window's user-data
//    slot; it is closed by ListCloseWindow, or, when the host destroys the
//    window without asking, when the window goes. Either way the object is
//    deleted only when no code of the plug-in is running any more (see
//    uViewerLifetime.h): a modal loop further up the stack keeps it alive.
//  - The destructor writes back the view settings that changed since
//    creation (nothing for a viewer whose creation failed).
//  - The viewer is the mediator of its panes: each pane owns its control and
//    its state and reports what happened through its own small interface,
//    which the viewer implements; only the viewer turns one pane's event
//    into actions on others. Its own files (uJsonViewer*.cpp) hold those
//    actions: creation and teardown here, the message routing, the layout
//    and fonts, the grid and the tree, commands and keys, and editing.
#pragma once

#include <windows.h>

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "uCellEditor.h"
#include "uClipboard.h"
#include "uContextMenu.h"
#include "uFileLoading.h"
#include "uFilterRow.h"
#include "uI18n.h"
#include "uGridPane.h"
#include "uKeyboardMap.h"
#include "uLayout.h"
#include "uSourcePatch.h"
#include "uStatusBar.h"
#include "uTabFrame.h"
#include "uTextPane.h"
#include "uThemes.h"
#include "uTreePane.h"
#include "uViewState.h"
#include "uViewerCore.h"
#include "uViewerError.h"
#include "uViewerLook.h"
#include "uWinResources.h"

namespace corvane {

class TJsonViewer final : private ITreePaneEvents,
                          private ITabFrameEvents,
                          private IGridPaneEvents,
                          private IFilterRowEvents,
                          private ITextPaneEvents,
                          private IStatusBarEvents,
                          private ILayoutEvents,
                          private ICellEditorEvents,
                          private IContextMenuEvents,
                          private IKeyboardMapEvents {
 public:
  // Builds a viewer for fileName inside parent, with the host's theme flags
  // at load time; raises EViewerError.
  static std::unique_ptr<TJsonViewer> Create(HWND parent, const std::u16string& fileName, THostThemeFlags host);
  ~TJsonViewer();
  TJsonViewer(const TJsonViewer&) = delete;
  TJsonViewer& operator=(const TJsonViewer&) = delete;

  // The viewer bound to a main window, or nullptr.
  static TJsonViewer* FromWindow(HWND window);
  HWND Window() const { return main_.Get(); }
  // True once creation has finished.
  bool Created() const { return created_; }

  // ---- lifetime (uViewerLifetime) ----
  // Closing or closed: code after a modal loop stops.
  bool Closing() const { return closing_; }
  void BeginClosing() { closing_ = true; }
  // A menu or popup of this viewer is open now.
  bool InMenuLoop() const { return menuLoops_ > 0; }
  // Drops a refused cell edit, offers to save unsaved edits and shows a
  // failed save in a message box.
  void AskSaveBeforeClose();
  // The host destroyed the main window: the controls are gone, only the
  // rest is to be released (called from the window's last message).
  void WindowDestroyed();
  // Ends an open cell edit without committing it, writes the changed view
  // settings back and destroys the windows; the object stays usable (its
  // window handles are null) until it is deleted. Runs once.
  void Shutdown();

  // ---- what the host asks ----
  // One message of the main window; false lets DefWindowProc answer.
  bool HandleMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result);
  // The host's find: one search with the host's flag bits; a miss beeps.
  void SearchText(const std::u16string& text, int flags);
  // The host's theme flags changed.
  void HostFlagsChanged(THostThemeFlags flags);
  // The edits not saved yet, in the order of the file.
  const std::vector<TSourcePatch>& PendingPatches() const { return patches_.Patches(); }
  // The value tree shown (edits included) and the number of rows the grid
  // shows, for the test flavour's checks.
  TJsonData* DocumentValue() const { return document_.Value.get(); }
  int VisibleRowCount() const { return core_.VisibleRowCount(); }

 private:
  TJsonViewer();
  // ---- creation and teardown (uJsonViewer.cpp) ----
  void Build(HWND parent, const std::u16string& fileName, THostThemeFlags host);
  void ReadStartSettings();
  void LoadFile();
  void ShowLoadError();
  void CreateWindows();
  void CreateChildren();
  TViewSettingsSnapshot SettingsNow() const;
  void ReleaseWindows();
  void SourceChanged() { ++sourceRevision_; }
  bool RunModal(bool menu, const std::function<void()>& body) override;

  // ---- messages (uJsonViewerMessages.cpp) ----
  bool RouteNotify(NMHDR* header, LRESULT* result);
  bool MouseMessage(UINT message, LPARAM lParam);
  HBRUSH EditColours(HWND edit, HDC dc);

  // ---- layout, fonts, focus, tabs and theme (uJsonViewerLayout.cpp) ----
  void LayoutControls();
  void MoveControls();
  void PlaceFilterRow();
  void CreateFonts();
  void ApplyNewScale();
  void ChangeDpi(int newDpi);
  void ZoomFont(int delta);
  void RescaleSplitter(int newValue, int oldValue);
  TFocusPane FocusPaneOf(HWND focus) const override;
  void FocusCycle();
  void FocusContent();
  void ShowTabContent();
  bool EnsureTextPane();
  void LoadText();
  void RefreshTextPane();
  void ShowCellInText();
  void FindTextSelectionInGrid();
  std::u16string ThemeMode() const;
  bool DarkControlStyle() const;
  void ApplyTheme();
  void ApplyControlStyles();
  void SetTheme(const std::u16string& mode);

  // ---- the table, the grid, the filters and the tree (uJsonViewerGrid.cpp) ----
  void ShowSelectedNode();
  void ShowTable(TJsonData* node);
  void ShowFilterResult(const TFilterPassResult& result);
  void RunWidthPass();
  void SetFlatLevel(int level);
  void ToggleSortColumn(int column);
  void ReadFilterEdits();
  void WriteFilterEdits();
  void ApplyFilterEdits(bool keepSelection);
  void ToggleFilterRow();
  void SetCurrentCell(int row, int column, bool scroll);
  bool MoveCellCursor(int virtualKey, bool ctrl);
  void ScrollGridToLeftEdge();
  void HideCurrentColumn();
  void ShowAllColumns();
  void SelectNodeInTree(int row);
  void UpdateStatusBar();
  void UpdateEditStatus(const std::u16string* text = nullptr);

  // ---- commands, keys, copies, search (uJsonViewerCommands.cpp) ----
  void RunCommand(int id, TFocusPane pane);
  void ShowContextMenu(LPARAM position);
  TFocusPane PaneAt(POINT screen) const;
  TContextMenuState ContextMenuState() const;
  POINT KeyboardMenuPoint() const;
  bool SortByDigit(int virtualKey);
  bool ArrowKey(int virtualKey, bool ctrl, TFocusPane focus);
  void CopyCell();
  void CopyRows();
  void CopyColumn();
  void CopyAsJson();
  void CopyPath(TFocusPane pane);
  void OpenLinkInCell();
  void OpenLink(const TLinkToOpen& link);
  void PutClipboardText(const std::u16string& text) const;

  // ---- edit mode, cell edits, saving (uJsonViewerEdit.cpp) ----
  void ToggleEditMode();
  void BeginCellEdit(int row, int column);
  void EndCellEdit(bool commit);
  void EndCellEditBeforeRowsMove();
  void ShowAcceptedEdit(const TCellEditTarget& target, const TCommitResult& result);
  bool SaveChanges();
  bool SaveAndReport(std::u16string* failure);
  int AskQuestion(const std::u16string& text, UINT style);
  void ShowStatus(const TI18nKey& key);
  void RefuseReadOnly();

  // ---- rows and columns added, copied, deleted (uJsonViewerStructure.cpp) ----
  void DeleteRow();
  void InsertRowBelow();
  void DeleteColumn();
  bool ConfirmStructureChange(const TI18nKey& question, const std::u16string& name);
  void RemoveAndShow(const std::vector<TJsonData*>& entries);
  void ShowStructureChange(TJsonData* treeNode, const TJsonData* rowNode, int position);
  void RefuseStructureChange(const std::u16string& status);

  // ---- what the panes report ----
  bool PaneKeyDown(int virtualKey) override;
  void PaneZoom(int wheelDelta) override;
  void TreeSelectionChanged() override;
  void TabSwitched() override;
  void GridCellClicked(int row, int column, bool doubleClick, bool alt) override;
  void GridRowSelected(int row) override;
  void GridColumnClicked(int column) override;
  void GridRowsMoving() override;
  void GridColumnsMoved() override;
  void GridHeaderChanged() override;
  HBRUSH GridEditColours(HWND edit, HDC dc) override;
  void FiltersTyped() override;
  void FilterEscape() override;
  std::string_view DocumentText(std::string* scratch) override;
  uint64_t DocumentRevision() const override { return sourceRevision_; }
  void TextLinkClicked(const std::u16string& link) override;
  void StatusFlatPartClicked() override;
  void SplitterMoved() override;
  bool CellEditCommit(const TCellEditTarget& target, const std::u16string& text) override;
  void CellEditClosed() override;
  void DescribeKeyContext(TKeyContext* context) const override;
  bool RunKeyAction(TKeyAction action, const TKeyPress& press) override;

  // ---- the document ----
  std::u16string fileName_;
  TDocumentLanguage language_ = TDocumentLanguage::Yaml;
  TLoadedDocument document_;        // bytes, structure records, value tree
  TSourcePatchDocument patches_;    // the same bytes plus pending patches
  bool hasStructure_ = false;       // edit mode is possible
  // A text that did not load: its error as the status bar shows it, and
  // the byte offset it names (-1: none).
  std::u16string loadError_;
  int64_t loadErrorOffset_ = -1;
  bool modified_ = false;
  bool editMode_ = false;
  // Counts the changes of the text the text pane shows (the patched bytes).
  uint64_t sourceRevision_ = 1;

  // ---- view state ----
  TSettingsAccess settings_;
  TViewerCore core_;  // table, filters, sort, cell cursor, flat level, search
  TViewerLook look_;  // scaling, theme colours, fonts
  THostThemeFlags host_;
  bool alwaysStartAtRoot_ = false;
  int flatLevelRead_ = 0;
  int tabNoRead_ = 0;
  TViewSettingsSnapshot snapshot_;

  // ---- windows (the panes' controls are children of main_) ----
  win::TViewerCounter counter_;
  HWND parent_ = nullptr;
  win::TOwnedWindow main_;
  win::TUserDataSlot userData_;
  TTreePane tree_;
  TTabFrame tabs_;
  TGridPane grid_;
  TFilterRow filters_;
  TTextPane text_;
  TStatusBar status_;
  TLayout layout_;
  TCellEditor editor_;
  TContextMenu menu_;
  TKeyboardMap keys_;

  bool created_ = false;
  bool closing_ = false;
  bool shutDown_ = false;
  int menuLoops_ = 0;  // menus and popups of this viewer now open
};

}  // namespace corvane
