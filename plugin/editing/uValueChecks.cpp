// Typed-value checks of the cell editor.
//
// Contract:
//  - The JSON grammar is checked here; conversion goes through the number
//    grammars of uNumberText, never strtod or streams, so a host that runs
//    with a locale using "," as decimal point checks and converts the same
//    way, and "9223372036854775808" is refused, not clamped.
#include "uValueChecks.h"

#include "uI18n.h"
#include "uNumberText.h"
#include "uScalarTyping.h"
#include "uTomlText.h"
#include "uUnicode.h"

namespace corvane {

namespace {

bool IsDigit(char16_t c) { return c >= u'0' && c <= u'9'; }

size_t SkipDigits(std::u16string_view text, size_t i) {
  while (i < text.size() && IsDigit(text[i])) ++i;
  return i;
}

}  // namespace

bool IsJsonNumberText(std::u16string_view text) {
  size_t i = 0;
  if (i < text.size() && text[i] == u'-') ++i;
  if (i >= text.size() || !IsDigit(text[i])) return false;
  i = text[i] == u'0' ? i + 1 : SkipDigits(text, i);
  if (i < text.size() && text[i] == u'.') {
    const size_t start = ++i;
    i = SkipDigits(text, i);
    if (i == start) return false;
  }
  if (i < text.size() && (text[i] == u'e' || text[i] == u'E')) {
    ++i;
    if (i < text.size() && (text[i] == u'+' || text[i] == u'-')) ++i;
    const size_t start = i;
    i = SkipDigits(text, i);
    if (i == start) return false;
  }
  return i == text.size();
}

namespace {

// Integer text of the JSON grammar within the signed 64-bit range; the JSON
// grammar has already refused every prefix, blank and "+".
bool ParseJsonInteger(std::u16string_view text, int64_t* value) {
  return IsJsonNumberText(text) && ParsePrefixedInteger(text, 64, value);
}

TValueCheck CheckNumber(const TJsonData& node, std::u16string_view text) {
  double parsed = 0.0;
  if (!IsJsonNumberText(text) || !ParseDecimalFloat(text, &parsed)) return vcInvalidNumber;
  if (static_cast<const TJsonNumber&>(node).IsFloat()) return vcAccepted;
  int64_t integer = 0;
  return ParseJsonInteger(text, &integer) ? vcAccepted : vcInvalidValue;
}

// A TOML date or time takes only another value of its own kind.
TValueCheck CheckString(const TJsonData& node, std::u16string_view text) {
  const auto* date = dynamic_cast<const TDateTimeString*>(&node);
  if (!date) return vcAccepted;
  return TomlFormOf(Utf16ToUtf8(text)) == date->Form() ? vcAccepted : vcInvalidValue;
}

}  // namespace

TValueCheck CheckTypedValue(const TJsonData* node, std::u16string_view text) {
  switch (NodeKind(node)) {
    case nkNumber: return CheckNumber(*node, text);
    case nkBoolean: return (text == u"true" || text == u"false") ? vcAccepted : vcUseTrueFalse;
    case nkNull: return text == u"null" ? vcAccepted : vcUseNull;
    case nkString: return CheckString(*node, text);
    default: return vcNotEditable;
  }
}

TValueCheck CheckEditedValue(const TJsonData* node, std::u16string_view text, TDocumentLanguage language) {
  const TValueCheck check = CheckTypedValue(node, text);
  if (check != vcAccepted || NodeKind(node) != nkNumber) return check;
  constexpr int kPlain = 1;
  const TJsonDataPtr reloaded = ScalarToValue(Utf16ToUtf8(text), kPlain, language);
  if (NodeKind(reloaded.get()) != nkNumber) return vcInvalidNumber;
  const bool wasFloat = static_cast<const TJsonNumber*>(node)->IsFloat();
  return static_cast<const TJsonNumber*>(reloaded.get())->IsFloat() == wasFloat ? vcAccepted : vcInvalidNumber;
}

std::u16string ValueCheckStatusText(TValueCheck check) {
  switch (check) {
    case vcInvalidNumber: return tr(i18n::kStatusInvalidNumber);
    case vcUseTrueFalse: return tr(i18n::kStatusTrueFalse);
    case vcUseNull: return tr(i18n::kStatusNull);
    case vcInvalidValue: return tr(i18n::kStatusInvalidValue);
    default: return {};
  }
}

namespace {

// Gives an accepted number text to its node; false when the node refuses it.
bool SetNumber(TJsonData* node, std::u16string_view text) {
  auto* number = static_cast<TJsonNumber*>(node);
  if (!number->IsFloat()) {
    int64_t value = 0;
    if (!ParseJsonInteger(text, &value)) return false;
    static_cast<TJsonInteger*>(node)->SetValue(value);
    return true;
  }
  try {
    static_cast<TJsonFloat*>(node)->SetFromText(Utf16ToUtf8(text));
  } catch (const std::exception&) {
    return false;
  }
  return true;
}

}  // namespace

TValueCheck ApplyTypedValue(TJsonData* node, std::u16string_view text) {
  const TValueCheck check = CheckTypedValue(node, text);
  if (check != vcAccepted) return check;
  switch (node->Kind()) {
    case nkNumber:
      return SetNumber(node, text) ? vcAccepted : vcInvalidValue;
    case nkBoolean:
      static_cast<TJsonBoolean*>(node)->SetValue(text == u"true");
      return vcAccepted;
    case nkString:
      static_cast<TJsonString*>(node)->SetValue(Utf16ToUtf8(text));
      return vcAccepted;
    default:
      return vcAccepted;  // null: the only accepted text is "null" itself
  }
}

TJsonDataPtr ValueTypedOverNull(std::u16string_view text, TDocumentLanguage language) {
  constexpr int kPlain = 1;
  return ScalarToValue(Utf16ToUtf8(text), kPlain, language);
}

TJsonDataPtr ValueOfKind(std::u16string_view text, TValueKind kind, TDocumentLanguage language, TValueCheck& check) {
  check = vcAccepted;
  TJsonDataPtr read = ValueTypedOverNull(text, language);
  switch (kind) {
    case TValueKind::String: return std::make_unique<TJsonString>(Utf16ToUtf8(text));
    case TValueKind::Number:
      if (IsJsonNumberText(text) && NodeKind(read.get()) == nkNumber) return read;
      check = vcInvalidNumber;
      return nullptr;
    case TValueKind::Boolean:
      if (text == u"true" || text == u"false") return std::make_unique<TJsonBoolean>(text == u"true");
      check = vcUseTrueFalse;
      return nullptr;
    case TValueKind::Null:
      if (language == TDocumentLanguage::Toml) check = vcNotEditable;
      else if (!text.empty() && NodeKind(read.get()) == nkNull) return read;
      else check = vcUseNull;
      return nullptr;
  }
  check = vcNotEditable;
  return nullptr;
}

}  // namespace corvane
