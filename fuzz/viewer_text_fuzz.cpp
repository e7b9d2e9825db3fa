// Fuzzes the viewer's text rules that see raw user text: text-pane colouring
// and search, links in the text, the typed-value checks of the cell editor,
// the Copy-as-JSON typing and writer, and the grid/text link fallbacks.
//
// Input: the bytes as the text pane holds them (any bytes, not only UTF-8),
// and read as UTF-16 units (pairs of bytes, little end first), so NULs and
// lone surrogates occur freely. Checked: colour spans stay inside the text
// and, after the base span, never overlap, and the roles per byte agree with
// them; a search hit lies inside the text and holds the needle; an accepted
// number text reads back through the same parser; a refused text leaves its
// node as it was; the JSON of a typed cell is never empty.
#include <cstddef>
#include <cstdint>
#include <cmath>
#include <cstdlib>
#include <string>

#include "uClipboard.h"
#include "uJsonWriter.h"
#include "uNumberText.h"
#include "uTextColouring.h"
#include "uHostSearch.h"
#include "uTextLinks.h"
#include "uUnicode.h"
#include "uValueChecks.h"

using namespace corvane;

namespace {

std::u16string Units(const uint8_t* data, size_t size) {
  std::u16string text;
  for (size_t i = 0; i + 1 < size; i += 2) text.push_back(char16_t(data[i] | (data[i + 1] << 8)));
  return text;
}

void CheckSpans(const std::string& text, TDocumentLanguage language) {
  const std::vector<TColourSpan> spans = ColourLines(text, language);
  std::string expected(text.size(), char(srText));
  int32_t lastEnd = 0;
  for (size_t i = 0; i < spans.size(); ++i) {
    const TColourSpan& s = spans[i];
    if (s.Start < 0 || s.Length <= 0 || size_t(s.Start) + size_t(s.Length) > text.size()) abort();
    expected.replace(size_t(s.Start), size_t(s.Length), size_t(s.Length), char(s.Role));
    if (i == 0) continue;
    if (s.Start < lastEnd) abort();
    lastEnd = s.Start + s.Length;
  }
  std::string roles(text.size(), '?');
  ColourBytes(text, language, &roles[0]);
  if (roles != expected) abort();
}

void CheckSearch(const std::string& text) {
  if (text.size() < 2) return;
  const std::string needle = text.substr(text.size() / 3, 1 + text.size() % 3);
  for (const bool backwards : {false, true}) {
    const long long at = FindInText(text, needle, (long long)(text.size() / 2), backwards, text[0] & 1, text[1] & 1);
    if (at < 0 || size_t(at) + needle.size() > text.size() + 1) abort();
    if (at > 0 && (text[1] & 1) && text.compare(size_t(at - 1), needle.size(), needle) != 0) abort();
  }
  LinkTextAt(text, text.size() / 2);
}

void CheckValues(const std::u16string& text) {
  TJsonInteger integer(7);
  if (ApplyTypedValue(&integer, text) != vcAccepted && integer.AsInt64() != 7) abort();
  TSourceFloatNumber fraction(0.5);
  if (ApplyTypedValue(&fraction, text) == vcAccepted) {
    double back = 0.0;
    if (!ParseDecimalFloat(text, &back) || back != fraction.AsFloat()) abort();
  } else if (fraction.AsFloat() != 0.5) {
    abort();
  }
  // Copy as JSON writes a number in a text that reads back as exactly it.
  double value = 0.0;
  if (ParseDecimalFloat(text, &value)) {
    double back = 0.0;
    const std::string json = JsonNumberText(TJsonFloat(value));
    if (std::isfinite(value) && (!ParseDecimalFloat(Utf8ToUtf16(json), &back) || back != value)) abort();
  }
  TJsonArray holder;
  holder.Add(std::make_unique<TJsonString>(Utf16ToUtf8(text)));
  if (WriteJson(holder, false).size() < 4) abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string bytes(reinterpret_cast<const char*>(data), size);
  CheckSpans(bytes, TDocumentLanguage::Yaml);
  CheckSpans(bytes, TDocumentLanguage::Toml);
  CheckSearch(bytes);
  const std::u16string text = Units(data, size);
  CheckValues(text);
  FindCellInText(bytes, text.substr(0, text.size() / 2));
  LinkTarget(text);
  return 0;
}
