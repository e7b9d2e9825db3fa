#include "uSettingKeys.h"

namespace corvane {

using namespace setting;

const TSettingKey* const kAllSettingKeys[] = {
    &kDetectString,
    &kLanguage,
    &kMaxFileSize,
    &kShowParseErrors,
    &kFont,
    &kFontSize,
    &kFontWeight,
    &kSplitterPosition,
    &kTabNo,
    &kDisableGridLines,
    &kAlwaysStartAtRoot,
    &kFlatViewLevel,
    &kSkipAttributesScan,
    &kMissingAttributeValue,
    &kFilterRow,
    &kFilterAlign,
    &kFilterCaseSensitive,
    &kMaxColumnWidth,
    &kDecimalAlign,
    &kThemeMode,
    &kDarkTheme,
    &kFontUseBold,
    &kTextLineNumbers,
    &kDisableNumKeys,
    &kDisableNpKeys,
    &kExitByQ,
    &kCopyColumn,
    &kColumnDelimiter,
    &kTextColor,
    &kBackColor,
    &kBackColor2,
    &kFilterTextColor,
    &kFilterBackColor,
    &kCurrentCellBackColor,
    &kSelectionTextColor,
    &kSelectionBackColor,
    &kSplitterColor,
    &kJsonTextColor,
    &kJsonKeyColor,
    &kJsonStringColor,
    &kJsonBooleanColor,
    &kJsonNullColor,
    &kSyntaxTextColor,
    &kSyntaxKeyColor,
    &kSyntaxStringColor,
    &kSyntaxBooleanColor,
    &kSyntaxNullColor,
    &kCommentColor,
    &kGridLineColor,
    &kTextColorDark,
    &kBackColorDark,
    &kBackColor2Dark,
    &kFilterTextColorDark,
    &kFilterBackColorDark,
    &kCurrentCellBackColorDark,
    &kSelectionTextColorDark,
    &kSelectionBackColorDark,
    &kSplitterColorDark,
    &kJsonTextColorDark,
    &kJsonKeyColorDark,
    &kJsonStringColorDark,
    &kJsonBooleanColorDark,
    &kJsonNullColorDark,
    &kSyntaxTextColorDark,
    &kSyntaxKeyColorDark,
    &kSyntaxStringColorDark,
    &kSyntaxBooleanColorDark,
    &kSyntaxNullColorDark,
    &kCommentColorDark,
    &kGridLineColorDark,
};

const size_t kAllSettingKeyCount = sizeof(kAllSettingKeys) / sizeof(kAllSettingKeys[0]);

const TSettingKey* FindSettingKey(std::u16string_view name) {
  for (const TSettingKey* key : kAllSettingKeys)
    if (key->Name == name) return key;
  return nullptr;
}

}  // namespace corvane
