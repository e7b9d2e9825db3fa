// The view settings a viewer reads when it is created and writes back when
// it closes. Only keys whose value changed during the viewer's life are
// written, so an untouched viewer leaves the settings file alone.
#pragma once

#include <string>
#include <vector>

#include "uScaling.h"
#include "uSettingsAccess.h"

namespace corvane {

// Values read at creation (after clamping), before the window exists.
struct TViewStartSettings {
  int FontSize = 16;           // "font-size"
  int SplitterPosition = 0;    // device pixels, from "splitter-position"
  int FlatLevelRead = 0;       // "FlatViewLevel" as stored
  int FlatLevel = 0;           // the same raised to at least -1
  bool FilterRowShown = true;  // "filter-row" != 0
  bool AlwaysStartAtRoot = false;  // "alwaysStartAtRoot" != 0
  int TabNo = 0;               // "tab-no" as stored; the tab control refuses bad ones
};

TViewStartSettings ReadViewStartSettings(const TSettingsAccess& settings, int dpi);

// The tab that ends up selected for a "tab-no" value: 0 unless it names tab 1.
int InitialTab(int tabNo);

// What is compared at destruction.
struct TViewSettingsSnapshot {
  int SplitterPosition = 0;  // device pixels
  bool FilterRowShown = true;
  int FontSize = 16;
  int SelectedTab = 0;
};

struct TSettingWrite {
  std::u16string Key;
  int Value = 0;
};

// The keys to write: each snapshot value that differs, with the splitter
// stored unscaled, and "FlatViewLevel" when the level differs from the one read.
std::vector<TSettingWrite> ViewSettingsToWrite(const TViewSettingsSnapshot& atCreation,
                                               const TViewSettingsSnapshot& now,
                                               int flatLevelRead, int flatLevelNow,
                                               const TScaling& scalingNow);

void WriteBackViewSettings(const TSettingsAccess& settings, const std::vector<TSettingWrite>& writes);

}  // namespace corvane
