// What every pane of the viewer shares.
//
// A pane is one class in its own file that owns its control (or a row of
// controls of one kind), the control's subclass and its own state, which is
// private to it. A pane never reaches into another pane: what it cannot
// decide alone it reports to the viewer (TJsonViewer), the one place where
// an event of one pane becomes an action on others. Each pane declares the
// small interface of the events it reports, derived from IPaneHost, and the
// viewer implements them all.
#pragma once

#include <windows.h>

#include <functional>
#include <vector>

#include "uViewerCommands.h"
#include "uWinResources.h"

namespace corvane {

// What every pane may ask of the viewer.
class IPaneHost {
 public:
  // A key pressed in the pane, offered to the viewer's keyboard map before
  // the control sees it; true when the viewer handled it.
  virtual bool PaneKeyDown(int virtualKey) = 0;
  // Ctrl+wheel over the pane: the viewer's font zoom, never the control's.
  virtual void PaneZoom(int wheelDelta) = 0;
  // Runs a modal loop of the viewer (a menu, a popup). While a menu's loop
  // runs the viewer counts it, so a close from inside ends the menu first.
  // False when the viewer began closing meanwhile: the pane must then leave
  // its controls alone (they are gone; the pane object is still valid).
  virtual bool RunModal(bool menu, const std::function<void()>& body) = 0;

 protected:
  ~IPaneHost() = default;
};

// What every subclassed control offers the viewer first: key presses and a
// Ctrl+wheel. True when consumed.
bool OfferToHost(IPaneHost& host, UINT message, WPARAM wParam);

// The module the plug-in's code lives in (its windows belong to it).
HINSTANCE PluginInstance();

// A child control with an identifier, or EViewerError.
HWND CreateControl(const wchar_t* className, DWORD style, HWND parent, int id);
// Subclasses a control for a pane, or raises EViewerError.
void SubclassControl(win::TSubclass& subclass, HWND control, void* owner, win::TSubclass::THandler handler);

// WM_SETFONT with a repaint; nothing for a control that does not exist.
void SetControlFont(HWND control, HFONT font);
// The dark visual style on a control, or its default style again (through
// the side-effect seam: the request cannot be read back from a control).
void SetControlStyle(HWND control, bool dark);
// Moves a control to a rectangle of its parent; nothing for none.
void PlaceControl(HWND control, int left, int top, int width, int height);

// A popup menu of entries (translated texts, grayed and checked states);
// the caller owns it.
HMENU BuildMenu(const std::vector<TMenuEntry>& entries);

bool KeyHeld(int virtualKey);
// Ctrl+A in an edit control selects all its text (the control itself does
// not know the key); true when message was that key (its character
// included, so no beep follows).
bool SelectAllKey(HWND edit, UINT message, WPARAM wParam);
// The user is told that an action was refused.
void RefusalBeep();

}  // namespace corvane
