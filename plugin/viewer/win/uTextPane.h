// The text pane: the document's text on the Text tab, read-only, in a
// Scintilla control (uTextControl.h) created when the pane is first needed.
// The control holds the UTF-8 bytes themselves and asks for the colours of
// the lines it is about to draw; the pane answers with the viewer core's
// colouring rules (uTextColouring.h), so the work of a pass never depends on
// the size of the file.
//
// The rest of the viewer knows the pane only through this class: its text,
// its selection, the host's search over it and the links between a grid
// cell and the text go through the members below. Positions are byte
// offsets of the text shown, as the structure records count them.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>
#include <string_view>

#include "uDocumentLanguage.h"
#include "uHostSearch.h"
#include "uPane.h"
#include "uSettingsAccess.h"
#include "uTextColouring.h"
#include "uTextLinks.h"
#include "uViewerLayout.h"
#include "uViewerLook.h"

namespace corvane {

// What the text pane asks of the viewer.
class ITextPaneEvents : public IPaneHost {
 public:
  // The document text to show: the loaded bytes themselves, or the patched
  // text built into *scratch; and its revision: every change of the document
  // makes a new one, and a text is loaded once per revision.
  virtual std::string_view DocumentText(std::string* scratch) = 0;
  virtual uint64_t DocumentRevision() const = 0;
  // Alt+click on a link (a run of text naming a scheme) in the text.
  virtual void TextLinkClicked(const std::u16string& link) = 0;

 protected:
  ~ITextPaneEvents() = default;
};

class TTextPane {
 public:
  TTextPane(ITextPaneEvents& events, const TViewerLook& look, const TSettingsAccess& settings)
      : events_(events), look_(look), settings_(settings) {}
  TTextPane(const TTextPane&) = delete;
  TTextPane& operator=(const TTextPane&) = delete;

  void SetLanguage(TDocumentLanguage language) { language_ = language; }
  // Creates the control (id 104, hidden) in parent unless it exists; false
  // when the control cannot be made.
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
  // Loads the document text unless the pane holds its revision already,
  // keeping the reader's place and selection; the pane exists.
  void Load();
  void Repaint();
  // Colours the lines on screen now (the control otherwise asks for the
  // lines it draws) and applies "font-use-bold" again.
  void ColourVisibleLines();
  // The theme's colours, the font, bold keys and the line-number margin.
  void ApplyColours();
  void ApplyStyle(bool dark) { SetControlStyle(text_, dark); }
  void SetFont(HFONT font);

  // Selects bytes [start, end) of the text (clamped to it) and scrolls them
  // into view: the start's line on screen, with the line's start too when
  // the range fits the width from there. Nothing before the text is loaded.
  void SelectRange(int64_t start, int64_t end);
  TByteSpan Selection() const;
  // The selected bytes, at most maxBytes of them, cut at a character.
  std::string SelectedText(size_t maxBytes) const;
  // The whole text and the selection, read in place (valid until the text
  // is loaded again).
  TTextPaneView SearchView() const;
  // Selects a match of the host's search and takes the focus.
  void SelectMatch(int64_t start, int64_t end);
  // The selection to the clipboard.
  void Copy();
  // A notification of the control (WM_NOTIFY); true when handled.
  bool Notify(NMHDR* header, LRESULT* result);

  void Detach() { subclass_.Remove(); }
  void Forget() { text_ = nullptr; }

 private:
  static bool SubclassHandler(void* owner, HWND window, UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result);
  intptr_t Call(UINT message, uintptr_t wParam = 0, intptr_t lParam = 0) const;
  void Configure();
  void ApplyLook(HFONT font);
  void ApplyFont(HFONT font);
  void ShowLineNumbers();
  int64_t LineStart(size_t line) const;
  void StyleNeeded(int64_t position);
  void ColourLineRun(size_t first, size_t end);
  void ScrollIntoView(int64_t start, int64_t end);
  int TextWidth() const;
  bool OpenLinkAt(LPARAM point);

  ITextPaneEvents& events_;
  const TViewerLook& look_;
  const TSettingsAccess& settings_;
  HWND text_ = nullptr;
  win::TSubclass subclass_;
  TDocumentLanguage language_ = TDocumentLanguage::Yaml;
  bool stale_ = true;            // the text must be loaded again
  uint64_t shownRevision_ = 0;   // document revision the control holds, 0 none
  TColouredLines coloured_;      // lines that carry their colours
  std::string roles_;            // a colouring pass's roles, kept for the next
};

}  // namespace corvane
