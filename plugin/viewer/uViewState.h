// The view state a viewer keeps across its lifetimes in the settings (font
// size, splitter, flat level, filter row, tab): read when it is created and
// written back when it closes. Only keys whose value changed during the
// viewer's life are written, so an untouched viewer leaves the settings file
// alone. (uSettingsAccess is the door every rule reads settings through.)
#pragma once

#include <string>
#include <vector>

#include "uScaling.h"
#include "uSettingsAccess.h"

namespace corvane {

// Values read at creation (after clamping), before the window exists.
struct TViewStartSettings {
  int FontSize = setting::kFontSize.IntDefault;
  int SplitterPosition = 0;  // device pixels, from "splitter-position"
  int FlatLevelRead = setting::kFlatViewLevel.IntDefault;  // as stored
  int FlatLevel = setting::kFlatViewLevel.IntDefault;      // the same raised to at least -1
  bool FilterRowShown = setting::kFilterRow.IntDefault != 0;
  bool AlwaysStartAtRoot = setting::kAlwaysStartAtRoot.IntDefault != 0;
  int TabNo = setting::kTabNo.IntDefault;  // as stored; the tab control refuses bad ones
};

TViewStartSettings ReadViewStartSettings(const TSettingsAccess& settings, int dpi);

// The tab that ends up selected for a "tab-no" value: 0 unless it names tab 1.
int InitialTab(int tabNo);

// What is compared at destruction.
struct TViewSettingsSnapshot {
  int SplitterPosition = 0;  // device pixels
  bool FilterRowShown = setting::kFilterRow.IntDefault != 0;
  int FontSize = setting::kFontSize.IntDefault;
  int SelectedTab = 0;
};

struct TSettingWrite {
  const TSettingKey* Key = nullptr;
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
