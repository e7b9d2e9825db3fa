// The scalar typing rules. See uScalarTyping.h.
#include "uScalarTyping.h"

#include "uNumberText.h"
#include "uTomlText.h"

namespace corvane {

namespace {

bool EqualsAsciiNoCase(std::string_view s, const char* word) {
  size_t i = 0;
  for (; word[i]; ++i) {
    if (i >= s.size()) return false;
    char c = s[i];
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c + 32);
    if (c != word[i]) return false;
  }
  return i == s.size();
}

TJsonDataPtr YamlScalarToValue(std::string_view s, int style) {
  if (style != 1) return std::make_unique<TJsonString>(s);
  if (s.empty() || s == "~" || EqualsAsciiNoCase(s, "null")) return std::make_unique<TJsonNull>();
  if (EqualsAsciiNoCase(s, "true")) return std::make_unique<TJsonBoolean>(true);
  if (EqualsAsciiNoCase(s, "false")) return std::make_unique<TJsonBoolean>(false);
  int64_t integer = 0;
  if (s.size() < 256 && ParseDecimalOrHexInteger(s, 64, &integer)) return std::make_unique<TJsonInteger>(integer);
  double number = 0;
  if (s.find('.') != std::string_view::npos && ParseDecimalFloat(TrimBlanks(s), &number))
    return std::make_unique<TJsonFloat>(number);
  return std::make_unique<TJsonString>(s);
}

TJsonDataPtr TomlScalarToValue(std::string_view raw) {
  // A text starting with a quote is a string or no valid value: decoding it
  // once tells which (finding its form first would decode it twice).
  if (!raw.empty() && (raw[0] == '"' || raw[0] == '\'')) {
    std::string text;
    return std::make_unique<TJsonString>(DecodeTomlString(raw, &text) ? std::string_view(text) : raw);
  }
  const TTomlForm form = TomlFormOf(raw);
  if (form == TTomlForm::Boolean) {
    return std::make_unique<TJsonBoolean>(raw == "true");
  } else if (form == TTomlForm::Integer) {
    int64_t value = 0;
    if (ParseTomlInteger(raw, &value)) {
      if (raw == TJsonInteger(value).PlainText()) return std::make_unique<TJsonInteger>(value);
      return std::make_unique<TSourceIntegerNumber>(value, raw);
    }
  } else if (form == TTomlForm::Float) {
    double value = 0;
    if (ParseTomlFloat(raw, &value)) return std::make_unique<TSourceFloatNumber>(value, raw);
  } else if (IsTomlDateTimeForm(form)) {
    return std::make_unique<TDateTimeString>(raw, form);
  }
  return std::make_unique<TJsonString>(raw);
}

}  // namespace

TJsonDataPtr ScalarToValue(std::string_view text, int style, TDocumentLanguage language) {
  return language == TDocumentLanguage::Toml ? TomlScalarToValue(text) : YamlScalarToValue(text, style);
}

}  // namespace corvane
