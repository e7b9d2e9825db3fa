// The text pane: the document text on the Text tab, syntax-coloured one
// screenful at a time. The control (a rich edit, its library loaded on first
// use) is created when the pane is first needed.
//
// The rest of the viewer knows the pane only through this class: its text,
// its selection, the host's search over it and the links between a grid
// cell and the text go through the members below, so another control can
// take the rich edit's place without touching any other pane. Positions are
// the control's own, one character per line break.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>

#include "uDocumentLanguage.h"
#include "uPane.h"
#include "uSettingsAccess.h"
#include "uTextColouring.h"
#include "uViewerLayout.h"
#include "uViewerLook.h"

namespace corvane {

// What the text pane asks of the viewer.
class ITextPaneEvents : public IPaneHost {
 public:
  // The document text to show, and its revision: every change of the
  // document makes a new one, and a text is loaded once per revision.
  virtual const std::u16string& DocumentText() = 0;
  virtual uint64_t DocumentRevision() const = 0;

 protected:
  ~ITextPaneEvents() = default;
};

// The pane as the host's search sees it: the text with CR LF reduced to
// CR, and the selection.
struct TTextPaneSnapshot {
  std::u16string Text;
  int SelStart = 0, SelEnd = 0;
};

class TTextPane {
 public:
  TTextPane(ITextPaneEvents& events, const TViewerLook& look, const TSettingsAccess& settings)
      : events_(events), look_(look), settings_(settings) {}
  TTextPane(const TTextPane&) = delete;
  TTextPane& operator=(const TTextPane&) = delete;

  void SetLanguage(TDocumentLanguage language) { language_ = language; }
  // Creates the control (id 104, hidden) in parent unless it exists; false
  // when the control or its library is not available.
  bool Ensure(HWND parent, bool darkStyle);
  bool Exists() const { return text_ != nullptr; }
  HWND Window() const { return text_; }
  bool HasFocus() const { return text_ && GetFocus() == text_; }
  void Place(const TRect& r);
  void Show(bool shown);

  // The document changed or another node was chosen: the text is loaded
  // again when it is next shown.
  void MarkStale() { stale_ = true; }
  bool Stale() const { return stale_; }
  // Loads the document text unless the pane holds its revision already
  // (replacing a big text costs seconds, and the reader keeps the place and
  // selection); the pane exists.
  void Load();
  void Repaint();
  // Colours the lines on screen (at most 1,001), unless a pass runs or the
  // pane is hidden.
  void ColourVisibleLines();
  // The theme changed: every line is coloured again.
  void ColoursChanged();
  void ApplyColours();
  void ApplyStyle(bool dark) { SetControlStyle(text_, dark); }
  void SetFont(HFONT font) { SetControlFont(text_, font); }

  // Selects the first occurrence of a cell's text (as far as the links
  // look) and colours the lines brought on screen.
  void SelectFirst(const std::u16string& cellText);
  // The selected text as the grid link reads it; false without a selection.
  bool SelectedLinkText(std::u16string* text) const;
  TTextPaneSnapshot Snapshot() const;
  // Selects a match of the host's search and takes the focus.
  void SelectMatch(int start, int end);
  // The selection to the clipboard.
  void Copy();

  void Detach() { subclass_.Remove(); }
  void Forget() { text_ = nullptr; }

 private:
  static bool SubclassHandler(void* owner, HWND window, UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result);
  bool ShowsOtherLines(UINT message, WPARAM wParam) const;
  void ColourText(LONG start, LONG end, size_t firstLine);

  ITextPaneEvents& events_;
  const TViewerLook& look_;
  const TSettingsAccess& settings_;
  HWND text_ = nullptr;
  win::TSubclass subclass_;
  TDocumentLanguage language_ = TDocumentLanguage::Yaml;
  bool stale_ = true;              // the text must be loaded again
  bool coloursStale_ = true;       // the lines on screen must be coloured again
  bool busy_ = false;              // a colouring pass runs (its own messages wait)
  uint64_t shownRevision_ = 0;     // document revision the control holds, 0 none
  TLineColourState lineColours_;   // lines showing the current colours
  bool colouredBold_ = false;      // "font-use-bold" those colours were made with
};

}  // namespace corvane
