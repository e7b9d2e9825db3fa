// The keyboard map: every key pressed in the viewer (main window and every
// control's subclass) comes here first. It reads the modifier keys, the
// focus and the key settings, asks the window-free rules (uViewerKeys) what
// the press means, hands the host's own lister keys back to the host's
// window and reports every other action to the viewer.
#pragma once

#include <windows.h>

#include "uSettingsAccess.h"
#include "uViewerKeys.h"

namespace corvane {

// What the keyboard map asks of the viewer and tells it.
class IKeyboardMapEvents {
 public:
  // Which pane a focused window belongs to.
  virtual TFocusPane FocusPaneOf(HWND focus) const = 0;
  // The viewer's part of a key's context: edit mode, a valid cell cursor,
  // the grid's selected rows (for C in the grid).
  virtual void DescribeKeyContext(TKeyContext* context) const = 0;
  // Carries out an action of the map; true when the key was used.
  virtual bool RunKeyAction(TKeyAction action, const TKeyPress& press) = 0;

 protected:
  ~IKeyboardMapEvents() = default;
};

class TKeyboardMap {
 public:
  TKeyboardMap(IKeyboardMapEvents& events, const TSettingsAccess& settings) : events_(events), settings_(settings) {}
  TKeyboardMap(const TKeyboardMap&) = delete;
  TKeyboardMap& operator=(const TKeyboardMap&) = delete;

  // The host's lister window, which takes the keys handed back.
  void Attach(HWND host) { host_ = host; }
  // WM_KEYDOWN; true when the viewer used the key (the control then does
  // not see it).
  bool KeyDown(int virtualKey);

 private:
  TKeyPress PressOf(int virtualKey) const;
  TKeySettings ReadKeySettings() const;
  // Hands one of the host's lister keys back to the host's lister window.
  bool ForwardToHost(int virtualKey);

  IKeyboardMapEvents& events_;
  const TSettingsAccess& settings_;
  HWND host_ = nullptr;
};

}  // namespace corvane
