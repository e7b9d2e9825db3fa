// Where the viewer's controls go, without any window: the tree, the splitter
// strip and the tab control in the main window, the grid and the text pane
// inside the tab control, and the splitter's hit test and line. Every pixel
// constant is given at 96 DPI and scaled; sizes tied to the text follow the
// font size too.
#pragma once

#include "uScaling.h"

namespace corvane {

struct TRect {
  int Left = 0, Top = 0, Right = 0, Bottom = 0;
  int Width() const { return Right - Left; }
  int Height() const { return Bottom - Top; }
};

// Width of the splitter strip between the tree and the tab control.
int SplitterStripWidth(const TScaling& scaling);

struct TMainLayout {
  int SplitterPosition = 0;  // after the clamps
  TRect Tree;
  TRect Splitter;
  TRect Tab;
};

// The main window's client of width x height above a status bar of
// statusHeight: tree, splitter strip, tab control (sizes never negative).
TMainLayout ComputeMainLayout(const TScaling& scaling, int splitterPosition, int width, int height,
                              int statusHeight);

struct TTabLayout {
  int FilterTop = 0;     // top of the filter row (the display area's top)
  int FilterHeight = 0;  // 0 when the row is hidden
  TRect Grid;
  TRect Text;
};

// Inside a tab control of tabWidth x tabHeight whose display area starts at
// displayTop: the filter row (when shown), the grid below it and the text
// pane. lineHeight is the main font's character-cell height.
TTabLayout ComputeTabLayout(const TScaling& scaling, int tabWidth, int tabHeight, int displayTop,
                            bool filterRowShown, int lineHeight);

// True when client x lies on the splitter strip (position inclusive,
// position + strip width exclusive).
bool InSplitterStrip(const TScaling& scaling, int splitterPosition, int x);

// x of the 1-pixel line drawn in the middle of the strip.
int SplitterLineX(const TScaling& scaling, int splitterPosition);

}  // namespace corvane
