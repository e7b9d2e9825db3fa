// One viewer per lister window: the loaded document, the window-free view
// state (TViewerCore) and the Win32 controls that show it.
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
//  - The panes are free functions over this object, one file per pane or
//    concern in this folder; each moves data between its control and Core
//    and asks the window-free rules for every decision.
#pragma once

#include <windows.h>

#include <array>
#include <deque>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "uCellEditor.h"
#include "uFileLoading.h"
#include "uScaling.h"
#include "uSourcePatch.h"
#include "uTextColouring.h"
#include "uTreeRules.h"
#include "uThemes.h"
#include "uViewState.h"
#include "uViewerCore.h"
#include "uWinResources.h"

namespace corvane {

// Raised when a viewer cannot be created; what() is UTF-8, Text() the
// user-facing text it was made from.
class EViewerError : public std::runtime_error {
 public:
  explicit EViewerError(const std::u16string& text);
  const std::u16string& Text() const { return text_; }

 private:
  std::u16string text_;
};

class TJsonViewer {
 public:
  // Builds a viewer for fileName inside parent; raises EViewerError.
  static std::unique_ptr<TJsonViewer> Create(HWND parent, const std::u16string& fileName,
                                             int showFlags);
  ~TJsonViewer();
  TJsonViewer(const TJsonViewer&) = delete;
  TJsonViewer& operator=(const TJsonViewer&) = delete;

  // The viewer bound to a main window, or nullptr.
  static TJsonViewer* FromWindow(HWND window);
  HWND Window() const { return Main.Get(); }
  // True once creation has finished.
  bool Created() const { return created_; }

  // The host destroyed the main window: the controls are gone, only the
  // rest is to be released (called from the window's last message).
  void WindowDestroyed();
  // Ends an open cell edit without committing it, writes the changed view
  // settings back and destroys the windows; the object stays usable (its
  // window handles are null) until it is deleted. Runs once.
  void Shutdown();
  bool Closing = false;  // closing or closed: code after a modal loop stops
  int MenuLoops = 0;     // menus and popups of this viewer now open

  // ---- document ----
  std::u16string FileName;
  TDocumentLanguage Language = TDocumentLanguage::Yaml;
  TLoadedDocument Document;            // bytes, structure records, value tree
  TSourcePatchDocument PatchDocument;  // the same bytes plus pending patches
  bool HasStructure = false;           // edit mode is possible
  bool Modified = false;
  bool EditMode = false;
  // The document text shown by the text pane: the patched bytes as UTF-16,
  // decoded on first use. Its revision counts the changes.
  const std::u16string& SourceText();
  void SourceChanged() {
    sourceDecoded_ = false;
    ++sourceRevision_;
  }
  uint64_t SourceRevision() const { return sourceRevision_; }

  // ---- view state ----
  TSettingsAccess Settings;
  TViewerCore Core;  // table, filters, sort, cell cursor, flat level, search
  bool AlwaysStartAtRoot = false;
  int FlatLevelRead = 0;
  bool FilterRowShown = true;
  int ActiveTab = 0;         // 0 Grid, 1 Text
  bool TextStale = true;     // the text pane must load the text again
  bool ColoursStale = true;  // the text pane must be coloured again
  bool ColouringBusy = false;  // a colouring pass runs (its own messages wait)
  uint64_t TextShownRevision = 0;  // source revision the text pane holds, 0 none
  TLineColourState LineColours;    // text pane lines showing the current colours
  bool ColouredBold = false;       // "font-use-bold" those colours were made with
  bool HostDark = false;
  bool HostNativeDark = false;
  TThemeColours Colours;
  bool BuildingTree = false;    // selection changes are shown once at the end
  // What the tree's range entries stand for; an entry keeps the address of
  // its record (a deque never moves them), all dropped with the entries.
  std::deque<TTreeRange> TreeRanges;
  bool WritingFilters = false;  // filter edits changed by the viewer, not typed
  bool SizingColumns = false;   // the width pass sets several column widths
  TIntegerArray DecimalOffsets; // per column, from the width pass
  std::array<std::u16string, 7> StatusTexts;  // what the status bar parts show

  // ---- layout and fonts ----
  TScaling Scaling;  // window DPI and font size
  int SplitterPosition = 0;
  bool SplitterDragging = false;
  int SplitterGrab = 0;
  int LineHeight = 0;  // character-cell height of the main font

  int ScaleDpi(int v) const { return Scaling.ScaleDpi(v); }
  // A DPI or font-size change scales the splitter and its snapshot alike,
  // so that the change alone is never written back as a new position.
  void RescaleSplitter(int newValue, int oldValue);

  // ---- windows (children are destroyed with Main) ----
  HWND Parent = nullptr;
  win::TOwnedWindow Main;
  HWND Tree = nullptr;
  HWND Tab = nullptr;
  HWND Grid = nullptr;  // child of Tab
  HWND Text = nullptr;  // child of Tab, created when first shown
  HWND Status = nullptr;
  HWND EditBox = nullptr;         // in-place cell editor, while open
  TCellEditSession CellEdit;      // what the open cell edit is on
  std::vector<HWND> FilterEdits;  // children of Tab, one per grid column
  win::TFont MainFont;
  win::TFont BoldFont;
  win::TFont TabFont;
  win::TBrush FilterBrush;
  win::TMenu FlatMenu;
  win::TTimer FilterTimer;
  win::TSubclass TreeSubclass, TabSubclass, GridSubclass, TextSubclass, StatusSubclass;
  std::vector<std::unique_ptr<win::TSubclass>> FilterSubclasses;
  win::TUserDataSlot UserData;

 private:
  TJsonViewer();
  void Build(HWND parent, const std::u16string& fileName, int showFlags);
  void ReadStartSettings(int showFlags);
  void LoadFile();
  void CreateWindows();
  void CreateChildren();
  void SelectStartTab(int tabNo);
  TViewSettingsSnapshot SettingsNow() const;
  void ReleaseWindows();

  win::TViewerCounter counter_;
  int tabNoRead_ = 0;
  TViewSettingsSnapshot snapshot_;
  bool created_ = false;
  bool shutDown_ = false;
  bool sourceDecoded_ = false;
  uint64_t sourceRevision_ = 1;
  std::u16string sourceText_;
};

}  // namespace corvane
