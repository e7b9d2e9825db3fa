#include "uViewState.h"

#include <algorithm>

namespace corvane {

namespace {

int ReadInt(const TSettingsAccess& settings, const char16_t* key, int defaultValue) {
  return settings.ReadInt ? settings.ReadInt(key, defaultValue) : defaultValue;
}

}  // namespace

TViewStartSettings ReadViewStartSettings(const TSettingsAccess& settings, int dpi) {
  TViewStartSettings start;
  start.FontSize = ReadInt(settings, u"font-size", 16);
  const TScaling scaling{SaneDpi(dpi), start.FontSize};
  start.SplitterPosition =
      InitialSplitterPosition(scaling, ReadInt(settings, u"splitter-position", 200));
  start.AlwaysStartAtRoot = ReadInt(settings, u"alwaysStartAtRoot", 0) != 0;
  start.FlatLevelRead = ReadInt(settings, u"FlatViewLevel", 0);
  start.FlatLevel = std::max(start.FlatLevelRead, -1);
  start.FilterRowShown = ReadInt(settings, u"filter-row", 1) != 0;
  start.TabNo = ReadInt(settings, u"tab-no", 0);
  return start;
}

int InitialTab(int tabNo) { return tabNo == 1 ? 1 : 0; }

std::vector<TSettingWrite> ViewSettingsToWrite(const TViewSettingsSnapshot& atCreation,
                                               const TViewSettingsSnapshot& now,
                                               int flatLevelRead, int flatLevelNow,
                                               const TScaling& scalingNow) {
  std::vector<TSettingWrite> writes;
  if (now.SplitterPosition != atCreation.SplitterPosition)
    writes.push_back({u"splitter-position", scalingNow.UnscaleFont(now.SplitterPosition)});
  if (now.FilterRowShown != atCreation.FilterRowShown)
    writes.push_back({u"filter-row", now.FilterRowShown ? 1 : 0});
  if (now.FontSize != atCreation.FontSize) writes.push_back({u"font-size", now.FontSize});
  if (now.SelectedTab != atCreation.SelectedTab) writes.push_back({u"tab-no", now.SelectedTab});
  if (flatLevelNow != flatLevelRead) writes.push_back({u"FlatViewLevel", flatLevelNow});
  return writes;
}

void WriteBackViewSettings(const TSettingsAccess& settings, const std::vector<TSettingWrite>& writes) {
  if (!settings.WriteInt) return;
  for (const TSettingWrite& write : writes) settings.WriteInt(write.Key, write.Value);
}

}  // namespace corvane
