// Every settings key of the plug-in with its type, its default, when it is
// read and what it does, in one place. Reads name their key from this table
// and take the default from it (TSettingsAccess), so no two callers can
// disagree about a default; the ini reference is generated from it. A test
// scans the product sources for settings reads that go around the table.
//
// Types: int, flag (an int where only zero / non-zero matters), colour (an
// int, 0x00BBGGRR), text, char (the first character of the raw value).
// A default is one of: the constant given; the value of another key (the
// syntax colours default to their json colour); or a value only known at run
// time (the splitter colour is the system's button-face colour), which the
// reading code supplies and RunTimeDefault describes.
#pragma once

#include <cstddef>
#include <string_view>

namespace corvane {

enum TSettingType { stInt, stFlag, stColour, stText, stChar };

struct TSettingKey {
  std::u16string_view Name;
  TSettingType Type;
  int IntDefault;                   // int, flag and colour keys
  std::u16string_view TextDefault;  // text keys; a char key's default is its first character
  const TSettingKey* DefaultKey;    // not null: the default is this key's value
  std::string_view RunTimeDefault;  // not empty: the default is given at run time, as described
  std::string_view Read;            // when the value is read (and written)
  std::string_view Effect;
};

namespace setting {

constexpr int Rgb(int r, int g, int b) { return r | (g << 8) | (b << 16); }

constexpr TSettingKey IntKey(std::u16string_view name, int def, std::string_view read,
                             std::string_view effect) {
  return {name, stInt, def, {}, nullptr, {}, read, effect};
}
constexpr TSettingKey FlagKey(std::u16string_view name, int def, std::string_view read,
                              std::string_view effect) {
  return {name, stFlag, def, {}, nullptr, {}, read, effect};
}
constexpr TSettingKey TextKey(std::u16string_view name, std::u16string_view def,
                              std::string_view read, std::string_view effect) {
  return {name, stText, 0, def, nullptr, {}, read, effect};
}
constexpr TSettingKey CharKey(std::u16string_view name, std::u16string_view def,
                              std::string_view read, std::string_view effect) {
  return {name, stChar, 0, def, nullptr, {}, read, effect};
}

constexpr std::string_view kThemeRead = "each theme application";

constexpr TSettingKey ColourKey(std::u16string_view name, int def, std::string_view effect) {
  return {name, stColour, def, {}, nullptr, {}, kThemeRead, effect};
}
// A colour whose default is the value of another colour key.
constexpr TSettingKey FallbackColourKey(std::u16string_view name, const TSettingKey& fallback,
                                        std::string_view effect) {
  return {name, stColour, 0, {}, &fallback, {}, kThemeRead, effect};
}
// A colour whose default is a system colour, supplied by the reading code.
constexpr TSettingKey SystemColourKey(std::u16string_view name, std::string_view systemColour,
                                      std::string_view effect) {
  return {name, stColour, 0, {}, nullptr, systemColour, kThemeRead, effect};
}

// ---- host, language, loading ----
inline constexpr TSettingKey kDetectString = TextKey(u"detect-string",
    u"ext=\"YAML\" | ext=\"YML\" | ext=\"TOML\"", "each time the host asks for the detect string",
    "the detect string handed to the host: which files the plug-in is offered (it can narrow "
    "the three extensions; files of any other extension are not shown)");
inline constexpr TSettingKey kLanguage = TextKey(u"language", u"auto",
    "viewer creation; the first translation lookup while no language is active",
    "user-interface language (en, de, ru, uk); \"auto\" follows the system");
inline constexpr TSettingKey kMaxFileSize = IntKey(u"max-file-size", 1000000, "viewer creation",
    "largest file in bytes that is loaded; 0 or less: no limit");
inline constexpr TSettingKey kShowParseErrors = FlagKey(u"show-parse-errors", 1, "viewer creation",
    "non-zero: a file that does not parse opens with an empty tree and grid, the error in the "
    "status bar and the text at the error's place; 0: such a file is left to the host's own viewer");

// ---- window, fonts, layout ----
inline constexpr TSettingKey kFont = TextKey(u"font", u"Arial", "font creation",
    "face name of the viewer's fonts");
inline constexpr TSettingKey kFontSize = IntKey(u"font-size", 16,
    "viewer creation; written at destruction when changed",
    "font height at 96 DPI; also scales the splitter; zoom keeps it within 10-48");
inline constexpr TSettingKey kFontWeight = IntKey(u"font-weight", 0, "font creation",
    "0-9: weight x 100 of the main font; other values: the font's default weight");
inline constexpr TSettingKey kSplitterPosition = IntKey(u"splitter-position", 200,
    "viewer creation; written at destruction when changed",
    "tree pane width in pixels at 96 DPI for a font size of 14 or less (grows with larger fonts)");
inline constexpr TSettingKey kTabNo = IntKey(u"tab-no", 0,
    "viewer creation; written at destruction when changed", "tab shown first: 0 Grid, 1 Text");
inline constexpr TSettingKey kDisableGridLines = FlagKey(u"disable-grid-lines", 0,
    "viewer creation", "non-zero: the grid draws no grid lines");

// ---- tree, grid, filters ----
inline constexpr TSettingKey kAlwaysStartAtRoot = FlagKey(u"alwaysStartAtRoot", 0,
    "viewer creation", "non-zero: the tree's root stays selected after loading");
inline constexpr TSettingKey kFlatViewLevel = IntKey(u"FlatViewLevel", 0,
    "viewer creation; written at destruction when changed",
    "flat level: -1 path/value listing, 0 plain views, 1 or more flat view depth");
inline constexpr TSettingKey kSkipAttributesScan = FlagKey(u"skip-attributes-scan", 0,
    "each build of an array's plain view",
    "non-zero: column names come from the first object element only");
inline constexpr TSettingKey kMissingAttributeValue = TextKey(u"missing-attribute-value",
    u"<N/A>", "each table build", "text of cells without a value");
inline constexpr TSettingKey kFilterRow = FlagKey(u"filter-row", 1,
    "viewer creation; written at destruction when changed", "non-zero: the filter row is shown");
inline constexpr TSettingKey kFilterAlign = IntKey(u"filter-align", -1,
    "each creation of the filter edits",
    "text alignment in filter edits: negative left, 0 centred, positive right");
inline constexpr TSettingKey kFilterCaseSensitive = FlagKey(u"filter-case-sensitive", 0,
    "each filter pass", "non-zero: filters compare case-sensitively");
inline constexpr TSettingKey kMaxColumnWidth = IntKey(u"max-column-width", 300,
    "each width pass", "widest automatic column width at 96 DPI");
inline constexpr TSettingKey kDecimalAlign = FlagKey(u"decimal-align", 1, "each width pass",
    "non-zero: numeric columns are aligned on the decimal separator");

// ---- themes ----
inline constexpr TSettingKey kThemeMode = TextKey(u"theme-mode", u"",
    "each theme application; written by the theme menu",
    "\"light\", \"dark\", or following the host (\"tc\", \"auto\", \"system\", "
    "\"total commander\"); \"0\" light, \"1\" dark; empty falls back to \"dark-theme\"");
inline constexpr TSettingKey kDarkTheme = FlagKey(u"dark-theme", 0,
    "each theme application when \"theme-mode\" is empty; written by the theme menu",
    "non-zero: dark");
inline constexpr TSettingKey kFontUseBold = FlagKey(u"font-use-bold", 0,
    "each load of the text pane, each theme application",
    "non-zero: keys and TOML table headers in the text pane are bold");
inline constexpr TSettingKey kTextLineNumbers = FlagKey(u"text-line-numbers", 1,
    "each load of the text pane, each theme application",
    "non-zero: the text pane shows line numbers in a margin");

// ---- keyboard ----
inline constexpr TSettingKey kDisableNumKeys = FlagKey(u"disable-num-keys", 0, "each key press",
    "non-zero: digit keys are not handed to the host and Ctrl+digit does not sort");
inline constexpr TSettingKey kDisableNpKeys = FlagKey(u"disable-np-keys", 0, "each key press",
    "non-zero: N and P are not handed to the host");
inline constexpr TSettingKey kExitByQ = FlagKey(u"exit-by-q", 0, "each key press",
    "non-zero: Q is handed to the host");
inline constexpr TSettingKey kCopyColumn = FlagKey(u"copy-column", 0, "each key press",
    "non-zero: the C key copies the current column when several rows are selected");

// ---- clipboard ----
inline constexpr TSettingKey kColumnDelimiter = CharKey(u"column-delimiter", u"\t",
    "each copy of rows", "cell separator of copied rows (TAB by default)");

// ---- colours of the light set, then the dark set ("-dark") ----
inline constexpr std::string_view kButtonFace = "the system's button-face colour";

inline constexpr TSettingKey kTextColor = ColourKey(u"text-color", Rgb(0, 0, 0),
    "tree text, grid cell text, tab captions, status bar text");
inline constexpr TSettingKey kBackColor = ColourKey(u"back-color", Rgb(255, 255, 255),
    "background of tree, grid, text pane, tabs and status bar; even grid rows");
inline constexpr TSettingKey kBackColor2 = ColourKey(u"back-color2", Rgb(240, 240, 240),
    "odd grid rows; unselected tabs");
inline constexpr TSettingKey kFilterTextColor = ColourKey(u"filter-text-color", Rgb(0, 0, 0),
    "text of filter edits and the cell editor; grid header text");
inline constexpr TSettingKey kFilterBackColor = ColourKey(u"filter-back-color",
    Rgb(240, 240, 240), "background of filter edits and the cell editor; grid header at 85 %");
inline constexpr TSettingKey kCurrentCellBackColor = ColourKey(u"current-cell-back-color",
    Rgb(70, 96, 166), "the current cell in a selected grid row");
inline constexpr TSettingKey kSelectionTextColor = ColourKey(u"selection-text-color",
    Rgb(255, 255, 255), "text of selected grid rows");
inline constexpr TSettingKey kSelectionBackColor = ColourKey(u"selection-back-color",
    Rgb(10, 36, 106), "background of selected grid rows");
inline constexpr TSettingKey kSplitterColor = SystemColourKey(u"splitter-color", kButtonFace,
    "viewer background and splitter bar; grid header separator lines");
inline constexpr TSettingKey kJsonTextColor = ColourKey(u"json-text-color", Rgb(0, 0, 0),
    "default of \"syntax-text-color\"");
inline constexpr TSettingKey kJsonKeyColor = ColourKey(u"json-key-color", Rgb(128, 0, 128),
    "default of \"syntax-key-color\"");
inline constexpr TSettingKey kJsonStringColor = ColourKey(u"json-string-color", Rgb(0, 128, 0),
    "default of \"syntax-string-color\"");
inline constexpr TSettingKey kJsonBooleanColor = ColourKey(u"json-boolean-color",
    Rgb(0, 0, 255), "default of \"syntax-boolean-color\"");
inline constexpr TSettingKey kJsonNullColor = ColourKey(u"json-null-color", Rgb(255, 0, 0),
    "default of \"syntax-null-color\"");
inline constexpr TSettingKey kSyntaxTextColor = FallbackColourKey(u"syntax-text-color",
    kJsonTextColor, "base text of the text pane");
inline constexpr TSettingKey kSyntaxKeyColor = FallbackColourKey(u"syntax-key-color",
    kJsonKeyColor, "keys and TOML table headers in the text pane");
inline constexpr TSettingKey kSyntaxStringColor = FallbackColourKey(u"syntax-string-color",
    kJsonStringColor, "quoted strings and other plain values in the text pane");
inline constexpr TSettingKey kSyntaxBooleanColor = FallbackColourKey(u"syntax-boolean-color",
    kJsonBooleanColor, "true, false and values starting with a digit in the text pane");
inline constexpr TSettingKey kSyntaxNullColor = FallbackColourKey(u"syntax-null-color",
    kJsonNullColor, "null and values starting with \"~\" in the text pane");
inline constexpr TSettingKey kCommentColor = ColourKey(u"comment-color", Rgb(110, 110, 110),
    "comments in the text pane");
inline constexpr TSettingKey kGridLineColor = SystemColourKey(u"grid-line-color", kButtonFace,
    "the grid's lines between rows and columns");

inline constexpr TSettingKey kTextColorDark = ColourKey(u"text-color-dark", Rgb(220, 220, 220),
    "dark set: tree text, grid cell text, tab captions, status bar text");
inline constexpr TSettingKey kBackColorDark = ColourKey(u"back-color-dark", Rgb(32, 32, 32),
    "dark set: background of tree, grid, text pane, tabs and status bar; even grid rows");
inline constexpr TSettingKey kBackColor2Dark = ColourKey(u"back-color2-dark", Rgb(52, 52, 52),
    "dark set: odd grid rows; unselected tabs");
inline constexpr TSettingKey kFilterTextColorDark = ColourKey(u"filter-text-color-dark",
    Rgb(255, 255, 255), "dark set: text of filter edits and the cell editor; grid header text");
inline constexpr TSettingKey kFilterBackColorDark = ColourKey(u"filter-back-color-dark",
    Rgb(60, 60, 60), "dark set: background of filter edits and the cell editor; grid header");
inline constexpr TSettingKey kCurrentCellBackColorDark = ColourKey(
    u"current-cell-back-color-dark", Rgb(32, 62, 62), "dark set: the current cell");
inline constexpr TSettingKey kSelectionTextColorDark = ColourKey(u"selection-text-color-dark",
    Rgb(220, 220, 220), "dark set: text of selected grid rows");
inline constexpr TSettingKey kSelectionBackColorDark = ColourKey(u"selection-back-color-dark",
    Rgb(72, 102, 102), "dark set: background of selected grid rows");
inline constexpr TSettingKey kSplitterColorDark = ColourKey(u"splitter-color-dark", Rgb(60, 60, 60),
    "dark set: viewer background and splitter bar; grid header separator lines");
inline constexpr TSettingKey kJsonTextColorDark = ColourKey(u"json-text-color-dark",
    Rgb(220, 220, 220), "default of \"syntax-text-color-dark\"");
inline constexpr TSettingKey kJsonKeyColorDark = ColourKey(u"json-key-color-dark",
    Rgb(220, 140, 230), "default of \"syntax-key-color-dark\"");
inline constexpr TSettingKey kJsonStringColorDark = ColourKey(u"json-string-color-dark",
    Rgb(130, 200, 120), "default of \"syntax-string-color-dark\"");
inline constexpr TSettingKey kJsonBooleanColorDark = ColourKey(u"json-boolean-color-dark",
    Rgb(110, 170, 255), "default of \"syntax-boolean-color-dark\"");
inline constexpr TSettingKey kJsonNullColorDark = ColourKey(u"json-null-color-dark",
    Rgb(255, 130, 120), "default of \"syntax-null-color-dark\"");
inline constexpr TSettingKey kSyntaxTextColorDark = FallbackColourKey(
    u"syntax-text-color-dark", kJsonTextColorDark, "dark set: base text of the text pane");
inline constexpr TSettingKey kSyntaxKeyColorDark = FallbackColourKey(u"syntax-key-color-dark",
    kJsonKeyColorDark, "dark set: keys and TOML table headers in the text pane");
inline constexpr TSettingKey kSyntaxStringColorDark = FallbackColourKey(
    u"syntax-string-color-dark", kJsonStringColorDark, "dark set: strings in the text pane");
inline constexpr TSettingKey kSyntaxBooleanColorDark = FallbackColourKey(
    u"syntax-boolean-color-dark", kJsonBooleanColorDark,
    "dark set: true, false and numbers in the text pane");
inline constexpr TSettingKey kSyntaxNullColorDark = FallbackColourKey(u"syntax-null-color-dark",
    kJsonNullColorDark, "dark set: null and values starting with \"~\" in the text pane");
inline constexpr TSettingKey kCommentColorDark = ColourKey(u"comment-color-dark",
    Rgb(150, 150, 150), "dark set: comments in the text pane");
inline constexpr TSettingKey kGridLineColorDark = ColourKey(u"grid-line-color-dark",
    Rgb(136, 136, 136), "dark set: the grid's lines between rows and columns");

}  // namespace setting

// All keys above, in table order.
extern const TSettingKey* const kAllSettingKeys[];
extern const size_t kAllSettingKeyCount;

// The table entry named name (exact spelling), or nullptr.
const TSettingKey* FindSettingKey(std::u16string_view name);

}  // namespace corvane
