// The viewer's command identifiers, the entries of its context menu with
// their states, and the flat-level popup of the status bar, without any
// window: the Win32 side turns the entries into a menu and routes the
// chosen identifier.
#pragma once

#include <string>
#include <vector>

#include "uI18nKeys.h"

namespace corvane {

// Command identifiers (WM_COMMAND, low word of wParam).
namespace cmd {
constexpr int kCopy = 5000;
constexpr int kCopyRows = 5001;
constexpr int kCopyColumn = 5002;
constexpr int kCopyJson = 5003;
constexpr int kCopyPath = 5004;
constexpr int kThemeTc = 5005;
constexpr int kFilters = 5006;
constexpr int kHideColumn = 5007;
constexpr int kShowAllColumns = 5008;
constexpr int kEditMode = 5009;
constexpr int kFlat0 = 5010;
constexpr int kFlat1 = 5011;
constexpr int kFlat2 = 5012;
constexpr int kDeleteRow = 5013;
constexpr int kDeleteColumn = 5014;
constexpr int kInsertRow = 5015;
constexpr int kSelectItem = 5016;
constexpr int kThemeLight = 5017;
constexpr int kThemeDark = 5018;
constexpr int kSave = 5019;
constexpr int kFlatPathValue = 5020;  // status-bar popup only
// Filter edit i of the filter row has the identifier kFilterEditBase + i.
constexpr int kFilterEditBase = 1000;
}  // namespace cmd

// Control identifiers of the viewer's windows.
namespace ctl {
constexpr int kTree = 101;
constexpr int kTab = 102;
constexpr int kGrid = 103;
constexpr int kText = 104;
constexpr int kStatus = 105;
constexpr int kEditBox = 106;
}  // namespace ctl

// One entry of a menu: a separator, or a command with its text and state.
struct TMenuEntry {
  int Id = 0;                      // 0 for a separator
  const TI18nKey* Text = nullptr;  // translated text; nullptr with Literal
  std::u16string Literal;          // untranslated text ("0", "1", "2")
  bool Grayed = false;
  bool Checked = false;
  bool IsSeparator() const { return Id == 0; }
};

// What the context menu's states depend on.
struct TContextMenuState {
  int CurrentRow = -1;
  int GridRows = 0;
  bool FilterRowShown = true;
  bool EditMode = false;
  bool HasStructure = false;  // edit mode is possible
  bool Modified = false;
  std::u16string ThemeMode;   // resolved: "tc", "light" or "dark"
  // Why "Insert row below" and "Delete row" (the current row's entry) and
  // "Delete column" (the current column's members) cannot act; nullptr
  // where they can.
  const TI18nKey* RowReason = &i18n::kErrorStructureEditMode;
  const TI18nKey* ColumnReason = &i18n::kErrorStructureEditMode;
};

// The reason the status bar shows beside grayed structural entries of an
// open menu: the row's, else the column's; nullptr outside edit mode (the
// entries are grayed then, as edit mode is off) and when all can act.
const TI18nKey* StructureMenuReason(const TContextMenuState& state);

// The seventeen commands and four separators of the context menu, in order.
std::vector<TMenuEntry> ContextMenuEntries(const TContextMenuState& state);

// The flat-level popup: "0", "1", "2" and "-1 (Path / Value)", the item of
// the current level checked (none above 2).
std::vector<TMenuEntry> FlatLevelMenuEntries(int flatLevel);

// The flat level a command sets (5010..5012, 5020), or false for any other.
bool FlatLevelOfCommand(int id, int* level);

}  // namespace corvane
