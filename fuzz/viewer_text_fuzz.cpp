// Fuzzes the viewer's text rules that see raw user text: text-pane colouring,
// the typed-value checks of the cell editor, the Copy-as-JSON typing and
// writer, and the grid/text selection links.
//
// Input: the bytes are read as UTF-16 units (pairs of bytes, little end
// first), so NULs and lone surrogates occur freely. Checked: colour spans stay
// inside the text and, after the base span, never overlap; an accepted number
// text reads back through the same parser; a refused text leaves its node as
// it was; the JSON of a typed cell is never empty.
#include <cstddef>
#include <cstdint>
#include <cmath>
#include <cstdlib>
#include <string>

#include "uClipboard.h"
#include "uJsonWriter.h"
#include "uNumberText.h"
#include "uTextColouring.h"
#include "uTextSearch.h"
#include "uUnicode.h"
#include "uValueChecks.h"

using namespace corvane;

namespace {

std::u16string Units(const uint8_t* data, size_t size) {
  std::u16string text;
  for (size_t i = 0; i + 1 < size; i += 2) text.push_back(char16_t(data[i] | (data[i + 1] << 8)));
  return text;
}

void CheckSpans(const std::u16string& text, TDocumentLanguage language) {
  const std::vector<TColourSpan> spans = ColourLines(text, language, true);
  int32_t lastEnd = 0;
  for (size_t i = 0; i < spans.size(); ++i) {
    const TColourSpan& s = spans[i];
    if (s.Start < 0 || s.Length <= 0 || size_t(s.Start) + size_t(s.Length) > text.size()) abort();
    if (i == 0) continue;
    if (s.Start < lastEnd) abort();
    lastEnd = s.Start + s.Length;
  }
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
  const std::u16string text = Units(data, size);
  CheckSpans(text, TDocumentLanguage::Yaml);
  CheckSpans(text, TDocumentLanguage::Toml);
  CheckValues(text);
  const std::u16string half = text.substr(0, text.size() / 2);
  FindCellInText(text, half);
  SelectedPaneText(text, int64_t(size) - 70000, int64_t(text.size() / 3));
  LinkTarget(text);
  return 0;
}
