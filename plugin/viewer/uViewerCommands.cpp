#include "uViewerCommands.h"

namespace corvane {

namespace {

TMenuEntry Command(int id, const TI18nKey& text, bool grayed = false, bool checked = false) {
  TMenuEntry entry;
  entry.Id = id;
  entry.Text = &text;
  entry.Grayed = grayed;
  entry.Checked = checked;
  return entry;
}

TMenuEntry Separator() { return TMenuEntry(); }

}  // namespace

std::vector<TMenuEntry> ContextMenuEntries(const TContextMenuState& s) {
  const bool rowValid = s.CurrentRow >= 0 && s.CurrentRow < s.GridRows;
  return {
      Command(cmd::kCopy, i18n::kMenuCopy),
      Command(cmd::kCopyRows, i18n::kMenuCopyRows),
      Command(cmd::kCopyColumn, i18n::kMenuCopyColumn),
      Command(cmd::kCopyJson, i18n::kMenuCopyJson),
      Command(cmd::kCopyPath, i18n::kMenuCopyPath),
      Separator(),
      Command(cmd::kSelectItem, i18n::kMenuSelectItem, !rowValid),
      Separator(),
      Command(cmd::kHideColumn, i18n::kMenuHideColumn),
      Command(cmd::kShowAllColumns, i18n::kMenuShowColumns),
      Separator(),
      Command(cmd::kInsertRow, i18n::kMenuInsertRow, s.RowReason != nullptr),
      Command(cmd::kDeleteRow, i18n::kMenuDeleteRow, s.RowReason != nullptr),
      Command(cmd::kDeleteColumn, i18n::kMenuDeleteColumn, s.ColumnReason != nullptr),
      Separator(),
      Command(cmd::kFilters, i18n::kMenuFilters, false, s.FilterRowShown),
      Command(cmd::kEditMode, i18n::kMenuEditMode, !s.HasStructure, s.EditMode),
      Command(cmd::kSave, i18n::kMenuSave, !s.Modified),
      Command(cmd::kThemeTc, i18n::kMenuThemeTc, false, s.ThemeMode == u"tc"),
      Command(cmd::kThemeLight, i18n::kMenuThemeLight, false, s.ThemeMode == u"light"),
      Command(cmd::kThemeDark, i18n::kMenuThemeDark, false, s.ThemeMode == u"dark"),
  };
}

const TI18nKey* StructureMenuReason(const TContextMenuState& s) {
  if (!s.EditMode) return nullptr;
  return s.RowReason ? s.RowReason : s.ColumnReason;
}

std::vector<TMenuEntry> FlatLevelMenuEntries(int flatLevel) {
  std::vector<TMenuEntry> entries;
  const char16_t* const digits[] = {u"0", u"1", u"2"};
  for (int level = 0; level <= 2; ++level) {
    TMenuEntry entry;
    entry.Id = cmd::kFlat0 + level;
    entry.Literal = digits[level];
    entry.Checked = flatLevel == level;
    entries.push_back(entry);
  }
  entries.push_back(Command(cmd::kFlatPathValue, i18n::kFlatAll, false, flatLevel == -1));
  return entries;
}

bool FlatLevelOfCommand(int id, int* level) {
  if (id >= cmd::kFlat0 && id <= cmd::kFlat2) {
    *level = id - cmd::kFlat0;
    return true;
  }
  if (id == cmd::kFlatPathValue) {
    *level = -1;
    return true;
  }
  return false;
}

}  // namespace corvane
