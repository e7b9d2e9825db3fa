// The copy commands and links opened from grid cells.
#pragma once

namespace corvane {

class TJsonViewer;

void CopyCell(TJsonViewer& viewer);
void CopyRows(TJsonViewer& viewer);
void CopyColumn(TJsonViewer& viewer);
void CopyAsJson(TJsonViewer& viewer);
void CopyPath(TJsonViewer& viewer);
// Alt+click: opens the cell's text as a link.
void OpenLinkInCell(TJsonViewer& viewer, int row, int column);

}  // namespace corvane
