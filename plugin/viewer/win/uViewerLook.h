// What the panes draw with: the scaling (window DPI and font size), the
// theme's colours and the viewer's three fonts. The viewer owns it and is
// the only one to change it; the panes read it when they paint, size or
// measure, so a font, DPI or theme change reaches every pane at once.
#pragma once

#include "uScaling.h"
#include "uThemes.h"
#include "uWinResources.h"

namespace corvane {

struct TViewerLook {
  TScaling Scaling;
  TThemeColours Colours;
  win::TFont MainFont;  // every control's text
  win::TFont BoldFont;  // the grid's header captions
  win::TFont TabFont;   // the tab captions
  int LineHeight = 0;   // character-cell height of the main font

  int ScaleDpi(int v) const { return Scaling.ScaleDpi(v); }
};

}  // namespace corvane
