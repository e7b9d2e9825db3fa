#include "uViewerLayout.h"

#include <algorithm>

namespace corvane {

namespace {

TRect Box(int left, int top, int width, int height) {
  return TRect{left, top, left + std::max(width, 0), top + std::max(height, 0)};
}

}  // namespace

int SplitterStripWidth(const TScaling& scaling) { return scaling.ScaleDpi(8); }

TMainLayout ComputeMainLayout(const TScaling& scaling, int splitterPosition, int width, int height,
                              int statusHeight) {
  TMainLayout layout;
  const int position = ClampSplitterPosition(scaling, splitterPosition, width);
  const int strip = SplitterStripWidth(scaling);
  const int paneHeight = height - statusHeight;
  layout.SplitterPosition = position;
  layout.Tree = Box(0, 0, position, paneHeight);
  layout.Splitter = Box(position, 0, strip, paneHeight);
  layout.Tab = Box(position + strip, 0, width - position - strip, paneHeight);
  return layout;
}

TTabLayout ComputeTabLayout(const TScaling& scaling, int tabWidth, int tabHeight, int displayTop,
                            bool filterRowShown, int lineHeight) {
  TTabLayout layout;
  const int margin = scaling.ScaleDpi(3);
  const int width = tabWidth - scaling.ScaleDpi(6);
  layout.FilterTop = displayTop;
  layout.FilterHeight = filterRowShown ? FilterRowHeight(scaling, lineHeight) : 0;
  const int gridTop =
      filterRowShown ? displayTop + layout.FilterHeight + FilterRowGap(scaling) : displayTop;
  layout.Grid = Box(margin, gridTop, width, tabHeight - gridTop - margin);
  layout.Text = Box(margin, displayTop, width, tabHeight - displayTop - margin);
  return layout;
}

bool InSplitterStrip(const TScaling& scaling, int splitterPosition, int x) {
  return x >= splitterPosition && x < splitterPosition + SplitterStripWidth(scaling);
}

int SplitterLineX(const TScaling& scaling, int splitterPosition) {
  return splitterPosition + SplitterStripWidth(scaling) / 2;
}

}  // namespace corvane
