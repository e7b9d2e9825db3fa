#include "uViewState.h"

#include <algorithm>

namespace corvane {

TViewStartSettings ReadViewStartSettings(const TSettingsAccess& settings, int dpi) {
  TViewStartSettings start;
  start.FontSize = settings.ReadInt(setting::kFontSize);
  const TScaling scaling{SaneDpi(dpi), start.FontSize};
  start.SplitterPosition =
      InitialSplitterPosition(scaling, settings.ReadInt(setting::kSplitterPosition));
  start.AlwaysStartAtRoot = settings.ReadFlag(setting::kAlwaysStartAtRoot);
  start.FlatLevelRead = settings.ReadInt(setting::kFlatViewLevel);
  start.FlatLevel = std::max(start.FlatLevelRead, -1);
  start.FilterRowShown = settings.ReadFlag(setting::kFilterRow);
  start.TabNo = settings.ReadInt(setting::kTabNo);
  return start;
}

int InitialTab(int tabNo) { return tabNo == 1 ? 1 : 0; }

std::vector<TSettingWrite> ViewSettingsToWrite(const TViewSettingsSnapshot& atCreation,
                                               const TViewSettingsSnapshot& now,
                                               int flatLevelRead, int flatLevelNow,
                                               const TScaling& scalingNow) {
  std::vector<TSettingWrite> writes;
  if (now.SplitterPosition != atCreation.SplitterPosition)
    writes.push_back({&setting::kSplitterPosition, scalingNow.UnscaleFont(now.SplitterPosition)});
  if (now.FilterRowShown != atCreation.FilterRowShown)
    writes.push_back({&setting::kFilterRow, now.FilterRowShown ? 1 : 0});
  if (now.FontSize != atCreation.FontSize) writes.push_back({&setting::kFontSize, now.FontSize});
  if (now.SelectedTab != atCreation.SelectedTab)
    writes.push_back({&setting::kTabNo, now.SelectedTab});
  if (flatLevelNow != flatLevelRead) writes.push_back({&setting::kFlatViewLevel, flatLevelNow});
  return writes;
}

void WriteBackViewSettings(const TSettingsAccess& settings, const std::vector<TSettingWrite>& writes) {
  for (const TSettingWrite& write : writes) settings.Write(*write.Key, write.Value);
}

}  // namespace corvane
