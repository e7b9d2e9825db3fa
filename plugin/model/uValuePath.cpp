// Writing and reading value-tree paths. See uValuePath.h.
#include "uValuePath.h"

#include <algorithm>

#include "uUnicode.h"

namespace corvane {

namespace {

bool IsDigit(char16_t c) { return c >= u'0' && c <= u'9'; }

// Reads paths left to right; every failure names the character (1-based)
// where reading stopped.
class TPathReader {
 public:
  explicit TPathReader(std::u16string_view text) : text_(text) {}

  bool Read(std::vector<TPathStep>& steps, std::string& error) {
    steps.clear();
    if (text_.empty()) return Fail("an empty path names nothing; the root is \"$\"", error);
    // "$" is the root unless it starts a name ("$schema").
    if (text_[0] == u'$' && (text_.size() == 1 || text_[1] == u'.' || text_[1] == u'[')) at_ = 1;
    else if (text_[0] != u'.' && text_[0] != u'[') return Name(steps, error) && Steps(steps, error);
    return Steps(steps, error);
  }

 private:
  std::u16string_view text_;
  size_t at_ = 0;

  bool Fail(const std::string& what, std::string& error) const {
    error = what + " at character " + std::to_string(at_ + 1);
    return false;
  }

  bool Steps(std::vector<TPathStep>& steps, std::string& error) {
    while (at_ < text_.size()) {
      const char16_t c = text_[at_];
      if (c != u'.' && c != u'[') return Fail("expected \".\" or \"[\"", error);
      ++at_;
      if (!(c == u'.' ? Name(steps, error) : Bracket(steps, error))) return false;
    }
    return true;
  }

  // A name written as it is: up to the next "." or "[".
  bool Name(std::vector<TPathStep>& steps, std::string& error) {
    const size_t end = std::min(text_.find_first_of(u".[", at_), text_.size());
    if (end == at_) return Fail("expected a name (an empty one is written [\"\"])", error);
    TPathStep step;
    step.Name = Utf16ToUtf8(text_.substr(at_, end - at_));
    steps.push_back(std::move(step));
    at_ = end;
    return true;
  }

  // After "[": an index or a quoted name, then "]".
  bool Bracket(std::vector<TPathStep>& steps, std::string& error) {
    TPathStep step;
    if (at_ < text_.size() && text_[at_] == u'"') {
      ++at_;
      if (!QuotedName(step.Name, error)) return false;
    } else if (!Index(step, error)) {
      return false;
    }
    if (at_ >= text_.size() || text_[at_] != u']') return Fail("expected \"]\"", error);
    ++at_;
    steps.push_back(std::move(step));
    return true;
  }

  bool Index(TPathStep& step, std::string& error) {
    const size_t start = at_;
    while (at_ < text_.size() && IsDigit(text_[at_])) ++at_;
    if (at_ == start) return Fail("expected an index or a quoted name", error);
    if (at_ - start > 1 && text_[start] == u'0') return at_ = start, Fail("an index has no leading zeros", error);
    if (at_ - start > 18) return at_ = start, Fail("index too large", error);
    step.IsIndex = true;
    for (size_t i = start; i < at_; ++i) step.Index = step.Index * 10 + size_t(text_[i] - u'0');
    return true;
  }

  // A JSON string after its opening quotation mark, up to the closing one.
  bool QuotedName(std::string& name, std::string& error) {
    std::u16string decoded;
    while (at_ < text_.size() && text_[at_] != u'"') {
      if (text_[at_] != u'\\') {
        decoded += text_[at_++];
        continue;
      }
      if (++at_ >= text_.size()) break;
      if (!Escape(decoded, error)) return false;
    }
    if (at_ >= text_.size()) return Fail("the quoted name has no closing quotation mark", error);
    ++at_;
    name = Utf16ToUtf8(decoded);
    return true;
  }

  bool Escape(std::u16string& decoded, std::string& error) {
    static const std::u16string_view kFrom = u"\"\\/bfnrt", kTo = u"\"\\/\b\f\n\r\t";
    const size_t simple = kFrom.find(text_[at_]);
    if (simple != std::u16string_view::npos) return decoded += kTo[simple], ++at_, true;
    char16_t unit = 0, low = 0;
    if (!UnicodeEscape(at_ - 1, unit)) return Fail("unknown escape", error);
    at_ += 5;
    // A surrogate pair is two escapes; half of one names no character.
    if (IsLowSurrogate(unit) || (IsHighSurrogate(unit) && !(UnicodeEscape(at_, low) && IsLowSurrogate(low))))
      return Fail("a \\u escape names half a character", error);
    decoded += unit;
    if (low) decoded += low, at_ += 6;
    return true;
  }

  static bool IsHighSurrogate(char16_t c) { return c >= 0xD800 && c <= 0xDBFF; }
  static bool IsLowSurrogate(char16_t c) { return c >= 0xDC00 && c <= 0xDFFF; }

  // "\uXXXX" at from.
  bool UnicodeEscape(size_t from, char16_t& unit) const {
    if (text_.substr(from, 2) != u"\\u" || from + 6 > text_.size()) return false;
    unit = 0;
    for (size_t i = from + 2; i < from + 6; ++i) {
      const char16_t c = AsciiLower(text_[i]);
      const int digit = IsDigit(c) ? c - u'0' : (c >= u'a' && c <= u'f') ? c - u'a' + 10 : -1;
      if (digit < 0) return false;
      unit = char16_t(unit * 16 + digit);
    }
    return true;
  }
};

}  // namespace

bool NeedsQuotedStep(std::string_view name) {
  if (name.empty()) return true;
  for (const char ch : name) {
    const auto c = static_cast<unsigned char>(ch);
    if (c <= 32 || c == 127 || c == '.' || c == '[' || c == ']' || c == '"') return true;
  }
  return false;
}

void AppendMemberStep(std::u16string& path, std::string_view name, TPathNames names) {
  if (names == TPathNames::Quoted && NeedsQuotedStep(name)) {
    path += u'[';
    path += Utf8ToUtf16(JsonQuoteString(name));
    path += u']';
    return;
  }
  if (!path.empty()) path += u'.';
  path += Utf8ToUtf16(name);
}

void AppendIndexStep(std::u16string& path, size_t index) {
  path += u'[';
  path += U16(std::to_string(index));
  path += u']';
}

std::u16string ValuePathText(const TJsonData* node, std::u16string_view root, TPathNames names) {
  struct TStep { const TJsonData* Parent; size_t Index; };
  std::vector<TStep> steps;  // innermost first
  for (const TJsonData* child = node; child && child->Parent(); child = child->Parent()) {
    const TJsonData* parent = child->Parent();
    const long long index = static_cast<const TJsonContainer*>(parent)->IndexOf(child);
    if (index < 0) break;
    steps.push_back({parent, size_t(index)});
  }
  std::u16string path(root);
  for (auto it = steps.rbegin(); it != steps.rend(); ++it) {
    if (NodeKind(it->Parent) == nkObject)
      AppendMemberStep(path, static_cast<const TJsonObject*>(it->Parent)->Name(it->Index), names);
    else
      AppendIndexStep(path, it->Index);
  }
  return path;
}

void ForEachLeafPath(TJsonData* root, std::u16string_view rootPath, TPathNames names,
                     const std::function<void(const std::u16string& path, TJsonData* leaf)>& visit) {
  std::u16string path(rootPath);
  if (!root) return;
  if (!IsContainer(root)) return visit(path, root);
  struct TFrame { const TJsonContainer* Container; size_t Next; size_t PathLength; };
  std::vector<TFrame> stack{{static_cast<const TJsonContainer*>(root), 0, path.size()}};
  while (!stack.empty()) {
    TFrame& frame = stack.back();
    if (frame.Next >= frame.Container->Count()) {
      stack.pop_back();
      continue;
    }
    const size_t i = frame.Next++;
    path.resize(frame.PathLength);
    if (NodeKind(frame.Container) == nkObject)
      AppendMemberStep(path, static_cast<const TJsonObject*>(frame.Container)->Name(i), names);
    else
      AppendIndexStep(path, i);
    TJsonData* child = frame.Container->Child(i);
    if (IsContainer(child))
      stack.push_back({static_cast<const TJsonContainer*>(child), 0, path.size()});  // invalidates frame
    else
      visit(path, child);
  }
}

bool ParseValuePath(std::u16string_view text, std::vector<TPathStep>& steps, std::string& error) {
  return TPathReader(text).Read(steps, error);
}

TJsonData* FindByPath(TJsonData* root, const std::vector<TPathStep>& steps) {
  TJsonData* node = root;
  for (const TPathStep& step : steps) {
    if (!node) return nullptr;
    if (step.IsIndex && NodeKind(node) == nkArray)
      node = static_cast<TJsonContainer*>(node)->Child(step.Index);
    else if (!step.IsIndex && NodeKind(node) == nkObject)
      node = static_cast<TJsonObject*>(node)->Find(step.Name);
    else
      return nullptr;
  }
  return node;
}

}  // namespace corvane
