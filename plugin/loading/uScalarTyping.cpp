// The scalar typing rules. See uScalarTyping.h.
#include "uScalarTyping.h"

#include "uNumberText.h"

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

}  // namespace

TJsonDataPtr ScalarToValue(std::string_view text, int style, TDocumentLanguage language) {
  std::string_view s = text;
  if (language == TDocumentLanguage::Toml) {
    if (s.size() >= 2 && (s[0] == '"' || s[0] == '\'') && s.back() == s[0]) s = s.substr(1, s.size() - 2);
  } else {
    if (style != 1) return std::make_unique<TJsonString>(s);
    if (s.empty() || s == "~" || EqualsAsciiNoCase(s, "null")) return std::make_unique<TJsonNull>();
  }
  if (EqualsAsciiNoCase(s, "true")) return std::make_unique<TJsonBoolean>(true);
  if (EqualsAsciiNoCase(s, "false")) return std::make_unique<TJsonBoolean>(false);
  int64_t integer = 0;
  if (s.size() < 256 && ParsePrefixedInteger(s, 64, &integer)) return std::make_unique<TJsonInteger>(integer);
  double number = 0;
  if (s.find('.') != std::string_view::npos && ParseDecimalFloat(TrimBlanks(s), &number))
    return std::make_unique<TJsonFloat>(number);
  return std::make_unique<TJsonString>(s);
}

}  // namespace corvane
