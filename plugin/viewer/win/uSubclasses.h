// The subclass procedures of the viewer's five standard controls. Each
// offers key presses to the viewer's keyboard map first and passes every
// message it does not consume to the control's own procedure.
#pragma once

namespace corvane {

class TJsonViewer;

// Subclasses the tree, the tab control, the grid and the status bar; raises
// EViewerError when one cannot be subclassed. The text pane subclasses
// itself when it is created (uTextPane).
void InstallSubclasses(TJsonViewer& viewer);

}  // namespace corvane
