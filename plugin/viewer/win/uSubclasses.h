// The subclass procedures of the viewer's five standard controls. Each
// offers key presses to the viewer's keyboard map first and passes every
// message it does not consume to the control's own procedure.
#pragma once

#include <windows.h>

namespace corvane {

class TJsonViewer;

// What every subclassed control offers the viewer first: key presses go to
// the keyboard map, and a Ctrl+wheel (the font zoom) goes to the main window
// instead of scrolling or zooming the control itself. True when consumed.
bool OfferToViewer(TJsonViewer& viewer, UINT message, WPARAM wParam, LPARAM lParam);

// Subclasses the tree, the tab control, the grid and the status bar; raises
// EViewerError when one cannot be subclassed. The text pane subclasses
// itself when it is created (uTextPane).
void InstallSubclasses(TJsonViewer& viewer);

}  // namespace corvane
