#include "uStatusTexts.h"

#include <algorithm>

#include "uI18n.h"
#include "uUnicode.h"

namespace corvane {

std::u16string FormatInts(std::u16string_view format, std::initializer_list<long long> numbers) {
  std::u16string text;
  auto next = numbers.begin();
  for (size_t i = 0; i < format.size(); ++i) {
    if (format[i] == u'%' && i + 1 < format.size() && format[i + 1] == u'd' &&
        next != numbers.end()) {
      text += U16(std::to_string(*next++));
      ++i;
      continue;
    }
    text += format[i];
  }
  return text;
}

// " " + text, built by appending (GCC 12 warns falsely about literal + rvalue).
std::u16string Spaced(std::u16string_view text) {
  std::u16string spaced(u" ");
  spaced += text;
  return spaced;
}

int NodeDepth(const TJsonData* node) {
  int depth = 1;
  for (; node && node->Parent(); node = node->Parent()) ++depth;
  return depth;
}

std::u16string StatusEncodingText(std::u16string_view encodingName) {
  return Spaced(encodingName);
}

std::u16string StatusDepthText(const TJsonData* node) {
  return Spaced(U16(std::to_string(NodeDepth(node))));
}

std::u16string StatusKindText(const TJsonData* node) { return Spaced(TypeName(node)); }

std::u16string StatusFlatText(int flatLevel, const TTableModel& table) {
  return FormatInts(tr(i18n::kStatusFlat), {flatLevel}) + table.CompletenessMark();
}

std::u16string StatusRowsText(int visibleRows, int totalRows) {
  return FormatInts(tr(i18n::kStatusRows), {visibleRows, totalRows});
}

std::u16string StatusCursorText(int currentRow, int currentColumn) {
  if (currentRow < 0 || currentColumn < 0) return {};
  return FormatInts(u" %d:%d", {currentRow + 1LL, currentColumn + 1LL});
}

std::u16string StatusEditText(bool editMode, bool modified) {
  if (editMode && modified) return tr(i18n::kStatusEditDirty);
  if (editMode) return tr(i18n::kStatusEdit);
  if (modified) return tr(i18n::kStatusModified);
  return {};
}

namespace {

// text without the prefix or suffix when it has it.
void Drop(std::u16string& text, const std::u16string& prefix, const std::u16string& suffix) {
  if (!prefix.empty() && text.compare(0, prefix.size(), prefix) == 0) text.erase(0, prefix.size());
  if (!suffix.empty() && text.size() >= suffix.size() && text.compare(text.size() - suffix.size(), suffix.size(), suffix) == 0)
    text.erase(text.size() - suffix.size());
}

}  // namespace

std::u16string StatusLoadErrorText(const TLoadError& error) {
  const long long line = error.Region.Line, column = error.Region.Column;
  std::u16string message = error.Text;
  const std::u16string lineText = U16(std::to_string(line));
  // libyaml ends its messages with the place, TOML's parser starts them with
  // the line.
  std::u16string prefix(u"line "), suffix(u" at line ");
  prefix += lineText + u": ";
  suffix += lineText + u", column " + U16(std::to_string(column));
  Drop(message, prefix, suffix);
  std::u16string text;
  if (line > 0 && column > 0)
    text = FormatInts(tr(i18n::kStatusLoadErrorAt), {line, column});
  else if (line > 0)
    text = FormatInts(tr(i18n::kStatusLoadErrorLine), {line});
  else
    text = tr(i18n::kStatusLoadError);
  const size_t at = text.find(u"%s");
  if (at != std::u16string::npos) text.replace(at, 2, message);
  return text;
}

std::array<TStatusPartTemplate, 6> StatusPartTemplates() {
  std::vector<std::u16string> kinds;
  for (const TI18nKey* kind : {&i18n::kTypeNull, &i18n::kTypeBoolean, &i18n::kTypeNumber, &i18n::kTypeString,
                               &i18n::kTypeArray, &i18n::kTypeObject})
    kinds.push_back(Spaced(tr(*kind)));
  return {{
      {{u" UTF-16LE"}, 70},
      {{u" 999"}, 45},
      {kinds, 60},
      {{FormatInts(tr(i18n::kStatusFlat), {99}) + u"*"}, 75},
      {{FormatInts(tr(i18n::kStatusRows), {99999, 99999})}, 200},
      {{u" 99999:999"}, 65},
  }};
}

std::vector<int> StatusPartRightEdges(const TScaling& scaling,
                                      const std::function<int(std::u16string_view)>& measure,
                                      bool messageOnly) {
  std::vector<int> edges;
  int right = 0;
  for (const TStatusPartTemplate& part : StatusPartTemplates()) {
    if (messageOnly && !edges.empty()) {
      edges.push_back(right);
      continue;
    }
    int widest = 0;
    for (const std::u16string& text : part.Texts) widest = std::max(widest, measure ? measure(text) : 0);
    right += std::max(widest + scaling.ScaleDpi(18), scaling.ScaleDpi(part.MinWidth));
    edges.push_back(right);
  }
  edges.push_back(-1);
  return edges;
}

}  // namespace corvane
