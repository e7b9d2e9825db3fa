// Fuzzes edit locating and the patch document together, and the writing
// rules of scalars and keys on their own.
//
// Input with the flag byte 0xFF: the rest is a text, written by the rules of
// uScalarWriting.h in every style and at every place (YAML plain, single-
// and double-quoted values and keys, in block and flow collections; TOML
// basic, literal and multi-line strings with LF and CR LF line breaks, bare,
// basic and literal keys, in key lines, table headers and dotted keys); each
// written form must load back as exactly that text.
//
// Other input: one flag byte (bit 0: TOML; bit 1: take a built-in document, chosen
// by the upper bits, so a run from an empty corpus edits real shapes at once;
// otherwise the document follows, ended by a NUL byte), then edit requests of
// the form [node: 2 bytes][action: 1 byte][text choice: 1 byte] (a choice of
// kTextCount or more takes that many minus kTextCount raw bytes as the text).
// Each request edits a value or renames a key of the chosen node, with the same
// checks the viewer makes before it asks for a span (the kind of a typed value,
// no duplicate key), on the loader's records; the structure oracle of the
// tests, locating on its own tree of the document, must give the same answer.
// Accepted spans go through AddPatch. At the end the
// patched text must pass the save's parse check and the save's structure
// check of located edits, load as a document, and equal the original
// everywhere outside the accepted spans.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <algorithm>
#include <string>
#include <vector>

#include "structure_oracle_support.h"
#include "uEditLocate.h"
#include "uEditProof.h"
#include "uFileLoading.h"
#include "uModule.h"
#include "uNumberText.h"
#include "uParserBinding.h"
#include "uScalarWriting.h"
#include "uSourcePatch.h"
#include "uTomlText.h"
#include "uUnicode.h"

using namespace corvane;

namespace {

const char16_t* const kTexts[] = {
    u"a: b", u"#x", u"- x", u"", u" lead", u"trail ", u"null", u"true",
    u"false", u"42", u"-1.5e3", u"line\nbreak", u"x, y]}", u"caf\u00E9 \u65E5", u"\x7F\u2028\uFFFE",
    u"\"q\" \\ \t", u"ends\n\n", u"\nleads", u" a\n  b\n", u"it's '''", u"\"\"\"", u"cr\r\nlf",
    u"1979-05-27", u"07:32:00", u"1979-05-27T07:32:00Z", u"0x1F", u"inf", u"p\n\nq"};
constexpr size_t kTextCount = sizeof kTexts / sizeof *kTexts;

// Small documents with the shapes editing must handle: comments, quoting
// styles, flow collections, anchors, block scalars of every chomping style
// and indicator, empty values, several documents, CR LF, a byte-order mark;
// TOML tables, arrays of tables, inline tables, dotted and quoted keys,
// every string form, dates and number spellings, lookalike lines in strings
// and other tables.
const char* const kYamlSamples[] = {
    "# c\nname: John  # who\nage: 5\nq: 'a b'\nd: \"x\\ty\"\nlist: [1, two, {k: v}]\n"
    "m:\n  - a\n  - b: c\n    e: 2.5\nempty:\nt: ~\n",
    "base: &b {x: 1}\nuse: *b\nmerged:\n  <<: *b\n  y: !!str 2\nlit: |\n  text\nfold: >-\n  more\n",
    "\xEF\xBB\xBF" "a: 1\r\n---\r\nb: [2, 3]\r\n--- plain\r\n",
    "? explicit\n: value\n\"quoted key\": 1\n'single': [a, 'b', \"c\"]\nmulti: first\n  second\n",
    "a: |\n  one\n\n  two\n\nb: >-  # c\n  x\n  y\nc: |+\n  k\n\n\nd:\n  - |2\n     s\n  - >\n    f\n  -\n"
    "e:\nf: {g: , h: 1}\nlast: |\n",
    "k: >\r\n  crlf\r\n  folded\r\nl: |-\r\n  x\r\nm:\r\n",
};
const char* const kTomlSamples[] = {
    "title = \"x\" # c\nport = 80\nv = \"42\"\nb = 'true'\n[a]\nenabled = true\nport = 8080\n"
    "[b]\nenabled = true\nname = 'lit'\n",
    "s = \"\"\"\nport = 80\n\"\"\"\nweb = { port = 80, on = true }\ndb.url = \"u\"\n\"q k\" = 1\n"
    "[[srv]]\nname = \"a\"\n[[srv]]\nname = \"b\"\n[other]\non = true\n",
    "\xEF\xBB\xBF" "name = \"w\"\r\nratio = 1.5\r\nwhen = 1979-05-27\r\nlist = [1, 2]\r\n",
    "ml = \"\"\"\nline \\\n  joined\"\"\"\nlit = '''\nraw\n'''\nq = 'it'\nnums = [0x1F, 1_000, +inf, 5e+22]\n"
    "t = 07:32:00\ndt = 1979-05-27 07:32:00\nodt = 1979-05-27T07:32:00-07:00\n"
    "a.b.c = 1\na.b.d = { e = [1, { f = 'g' }] }\n[x.y]\nz = 1\n[x]\nw = 2\n",
    "s = \"\"\"\r\nwin\r\n\"\"\"\r\nk = 'v'\r\n",
};

void Check(bool condition, const char* what) {
  if (!condition) {
    std::fprintf(stderr, "editing fuzz: %s\n", what);
    std::abort();
  }
}

std::vector<TJsonData*> AllNodes(TJsonData* root) {
  std::vector<TJsonData*> nodes, pending{root};
  while (!pending.empty()) {
    TJsonData* node = pending.back();
    pending.pop_back();
    nodes.push_back(node);
    if (node->Kind() != nkArray && node->Kind() != nkObject) continue;
    auto* container = static_cast<TJsonContainer*>(node);
    for (size_t i = 0; i < container->Count(); ++i) pending.push_back(container->Child(i));
  }
  return nodes;
}

// A kind check like the one the viewer applies to a typed value before
// locating it.
bool TextSuitsKind(const TJsonData* node, const std::string& text) {
  switch (node->Kind()) {
    // Any text, even for a TOML date or time: the proof must hold those to
    // their kind.
    case nkString: return true;
    case nkBoolean: return text == "true" || text == "false";
    case nkNull: return text == "null";
    case nkNumber: {
      // Looser than the cell editor's JSON grammar, so the locator also
      // meets texts such as "0x10", "+1", " 5", "5.", "inf" or "1_000".
      double value = 0;
      int64_t integer = 0;
      const TTomlForm form = TomlFormOf(text);
      return text.size() <= 30 && (ParseDecimalFloat(text, &value) || ParsePrefixedInteger(text, 64, &integer) ||
                                   form == TTomlForm::Integer || form == TTomlForm::Float);
    }
    default: return false;
  }
}

struct TRequests {
  const uint8_t* Data;
  size_t Size;
  size_t Pos = 0;
  bool Next(size_t& node, uint8_t& action, std::u16string& text) {
    if (Pos + 4 > Size) return false;
    node = size_t(Data[Pos]) << 8 | Data[Pos + 1];
    action = Data[Pos + 2];
    uint8_t choice = Data[Pos + 3];
    Pos += 4;
    if (choice < kTextCount) {
      text = kTexts[choice];
      return true;
    }
    size_t length = std::min<size_t>(choice - kTextCount, Size - Pos);
    text = Utf8ToUtf16(std::string(reinterpret_cast<const char*>(Data + Pos), length));
    Pos += length;
    return true;
  }
};

// The locators on the loader's records and the oracle's on its own tree
// must give the same answer.
void SameAsOracle(const TLoadedDocument& doc, const test::TStructuredNode& tree, const TJsonData* node,
                  const std::u16string& text, bool rename, const TLocatedEdit& located) {
  const TLocatedEdit oracle =
      rename ? test::LocateKeyRenameOnTree(doc.Bytes, tree, doc.Value.get(), node, doc.Language, text)
             : test::LocateValueEditOnTree(doc.Bytes, tree, doc.Value.get(), node, doc.Language, text);
  Check(test::CompareEdits(located, oracle).empty(), "records and oracle tree locate differently");
}

// Renames in the value tree too, as the viewer does, so a later request sees
// the new name when it checks for duplicates.
bool TryRename(TLoadedDocument& doc, const test::TStructuredNode& tree, TSourcePatchDocument& patches,
               TJsonData* node, const std::u16string& key) {
  TJsonData* parent = node->Parent();
  if (!parent || parent->Kind() != nkObject || key.empty()) return false;
  auto* object = static_cast<TJsonObject*>(parent);
  const std::string name = Utf16ToUtf8(key);
  if (object->IndexOfName(name) >= 0) return false;
  const TLocatedEdit located = LocateKeyRename(doc, node, key);
  SameAsOracle(doc, tree, node, key, true, located);
  if (!located.Accepted()) return false;
  if (!patches.AddPatch(located.Start, located.Length, located.Replacement)) return false;
  return object->Rename(size_t(object->IndexOf(node)), name);
}

// The index path from the root down to node.
std::vector<size_t> PathOf(const TJsonData* node) {
  std::vector<size_t> path;
  for (; node->Parent(); node = node->Parent())
    path.insert(path.begin(), size_t(static_cast<const TJsonContainer*>(node->Parent())->IndexOf(node)));
  return path;
}

// The loaded bytes with one accepted value edit, loaded again: the node at
// the same place holds exactly the typed text (a string) or a value of the
// same kind.
void CheckReadsBack(const TLoadedDocument& doc, const TJsonData* node, const TLocatedEdit& edit,
                    const std::string& typed) {
  const std::string text = doc.Bytes.substr(0, size_t(edit.Start)) + edit.Replacement +
                           doc.Bytes.substr(size_t(edit.Start + edit.Length));
  TLoadedDocument again;
  TLoadError error;
  Check(LoadDocumentFromBytes(text, doc.Language, again, error), "an accepted value edit does not load");
  const TJsonData* now = again.Value.get();
  for (size_t index : PathOf(node)) {
    Check(now->Kind() == nkArray || now->Kind() == nkObject, "an accepted value edit moved the value");
    now = static_cast<const TJsonContainer*>(now)->Child(index);
    Check(now != nullptr, "an accepted value edit moved the value");
  }
  Check(now->Kind() == node->Kind(), "an accepted value edit changed the value's kind");
  if (now->Kind() == nkString)
    Check(static_cast<const TJsonString*>(now)->Value() == typed, "an accepted string edit reads back otherwise");
}

bool TryValueEdit(TLoadedDocument& doc, const test::TStructuredNode& tree, TSourcePatchDocument& patches,
                  TJsonData* node, const std::u16string& text) {
  if (!TextSuitsKind(node, Utf16ToUtf8(text))) return false;
  const TLocatedEdit located = LocateValueEdit(doc, node, text);
  SameAsOracle(doc, tree, node, text, false, located);
  if (!located.Accepted()) {
    Check(located.Start == -1 && !located.Refusal.empty(), "a refusal must carry a reason and no span");
    return false;
  }
  Check(size_t(located.Start + located.Length) <= doc.Bytes.size(), "span outside the bytes");
  CheckReadsBack(doc, node, located, Utf16ToUtf8(text));
  return patches.AddPatch(located.Start, located.Length, located.Replacement);
}

void CheckOutsideSpans(const std::string& original, const std::string& text,
                       const TSourcePatches& list) {
  size_t from = 0, at = 0;
  for (const TSourcePatch& patch : list) {
    size_t gap = size_t(patch.Start) - from;
    Check(text.compare(at, gap, original, from, gap) == 0, "bytes changed outside a span");
    at += gap + patch.Replacement.size();
    from = size_t(patch.Start + patch.Length);
  }
  Check(text.compare(at, std::string::npos, original, from, std::string::npos) == 0,
        "bytes changed after the last span");
}

// ---- the writing rules on their own ------------------------------------------------

// The text the document loads with at path (member names and indexes): the
// string there, or with key set the one member name of the object there.
bool LoadedText(const std::string& doc, TDocumentLanguage language, std::initializer_list<const char*> path,
                bool key, std::string& text) {
  TLoadedDocument loaded;
  TLoadError error;
  if (!LoadDocumentFromBytes(doc, language, loaded, error)) return false;
  const TJsonData* node = loaded.Value.get();
  for (const char* step : path) {
    if (NodeKind(node) == nkObject) node = static_cast<const TJsonObject*>(node)->Find(step);
    else if (NodeKind(node) == nkArray) node = static_cast<const TJsonArray*>(node)->Child(size_t(std::atoi(step)));
    else return false;
  }
  if (key && NodeKind(node) == nkObject && static_cast<const TJsonObject*>(node)->Count() == 1)
    return text = std::string(static_cast<const TJsonObject*>(node)->Name(0)), true;
  if (key || NodeKind(node) != nkString) return false;
  text = std::string(static_cast<const TJsonString*>(node)->Value());
  return true;
}

void CheckYamlStyles(const std::string& text) {
  struct TPlace {
    TYamlPlace Place;
    const char* Before;
    const char* After;
    std::initializer_list<const char*> Path;  // to the value; empty: the text is the key
  };
  const TPlace places[] = {{{false, false}, "k: ", "\n", {"k"}},      {{false, false}, "- ", "\n", {"0"}},
                           {{true, false}, "[", ", x]\n", {"0"}},     {{true, false}, "{k: ", "}\n", {"k"}},
                           {{false, true}, "", ": 1\n", {}},          {{true, true}, "{", ": 1}\n", {}}};
  for (const TPlace& p : places) {
    for (const int style : {int(ysPlain), int(ysSingleQuoted), int(ysDoubleQuoted)}) {
      for (const std::string_view readAlike : {std::string_view(), std::string_view(text)}) {
        const std::string doc = p.Before + WriteYamlString(text, style, p.Place, true, readAlike) + p.After;
        std::string back;
        const bool loaded = LoadedText(doc, TDocumentLanguage::Yaml, p.Path, p.Path.size() == 0, back);
        Check(loaded && back == text, "a YAML scalar or key written in its style reads back otherwise");
      }
    }
  }
}

void CheckTomlStyles(const std::string& text) {
  for (const TTomlForm form : {TTomlForm::BasicString, TTomlForm::LiteralString, TTomlForm::MultiLineBasicString,
                               TTomlForm::MultiLineLiteralString}) {
    for (const char* lineBreak : {"\n", "\r\n"}) {
      const std::string doc = "k = " + WriteTomlString(text, form, lineBreak, false) + lineBreak;
      std::string back;
      Check(LoadedText(doc, TDocumentLanguage::Toml, {"k"}, false, back) && back == text,
            "a TOML string written in its form reads back otherwise");
    }
  }
  // The parser library hands TOML keys out as C strings: a NUL ends them.
  if (text.find('\0') != std::string::npos) return;
  for (const TTomlKeyStyle style : {TTomlKeyStyle::Bare, TTomlKeyStyle::Basic, TTomlKeyStyle::Literal}) {
    const std::string key = WriteTomlKey(text, style);
    std::string back;
    for (const std::string& doc : {key + " = 1\n", "[" + key + "]\nx = 1\n"})
      Check(LoadedText(doc, TDocumentLanguage::Toml, {}, true, back) && back == text,
            "a TOML key or table header written in its style reads back otherwise");
    Check(LoadedText("a." + key + " = 1\n", TDocumentLanguage::Toml, {"a"}, true, back) && back == text,
          "a TOML dotted key written in its style reads back otherwise");
  }
}

}  // namespace

// Every parse loads and releases the parser library. The library of a fuzz
// build carries coverage counters, which must not vanish between runs: one
// extra reference keeps it loaded for the whole process.
extern "C" int LLVMFuzzerInitialize(int*, char***) {
  Check(platform::LoadLibraryByPath(ParserLibraryPath()) != nullptr, "parser library missing");
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 2 || size > 8192) return 0;
  if (data[0] == 0xFF) {
    // Names longer than 255 bytes are cut in the value tree.
    const std::string text =
        Utf16ToUtf8(Utf8ToUtf16(std::string(reinterpret_cast<const char*>(data + 1), std::min<size_t>(size - 1, 80))));
    CheckYamlStyles(text);
    CheckTomlStyles(text);
    return 0;
  }
  const bool isToml = data[0] & 1;
  const TDocumentLanguage language = isToml ? TDocumentLanguage::Toml : TDocumentLanguage::Yaml;
  const uint8_t* end = data;  // the byte before the requests
  std::string bytes;
  if (data[0] & 2) {
    size_t choice = data[0] >> 2;
    bytes = isToml ? kTomlSamples[choice % (sizeof kTomlSamples / sizeof *kTomlSamples)]
                   : kYamlSamples[choice % (sizeof kYamlSamples / sizeof *kYamlSamples)];
  } else {
    end = static_cast<const uint8_t*>(std::memchr(data + 1, 0, size - 1));
    if (!end) return 0;
    bytes.assign(reinterpret_cast<const char*>(data + 1), size_t(end - data - 1));
  }
  TLoadedDocument doc;
  TLoadError error;
  if (!LoadDocumentFromBytes(bytes, language, doc, error)) return 0;
  // The value tree is edited below; the oracle's tree is parsed from the
  // same bytes before that.
  test::TStructuredNodePtr tree;
  std::u16string treeError;
  Check(test::ParseTree(doc.Bytes, language, tree, treeError), "the oracle does not parse a loaded document");
  TSourcePatchDocument patches;
  patches.LoadFromBytes(u"fuzz", doc.Bytes);
  std::vector<TJsonData*> nodes = AllNodes(doc.Value.get());
  TRequests requests{end + 1, size_t(data + size - end - 1)};
  size_t index = 0;
  uint8_t action = 0;
  std::u16string text;
  for (int count = 0; count < 16 && requests.Next(index, action, text); ++count) {
    TJsonData* node = nodes[index % nodes.size()];
    if (action & 1) TryRename(doc, *tree, patches, node, text);
    else TryValueEdit(doc, *tree, patches, node, text);
  }
  if (patches.Patches().empty()) return 0;
  const std::string patched = patches.BuildText();
  CheckOutsideSpans(doc.Bytes, patched, patches.Patches());
  std::u16string validateError;
  Check(ValidateDocument(patched, language, validateError), "patched text does not parse");
  Check(LocatedEditsValidation(doc, patches.Patches())(patched, validateError),
        "the save's check refuses edits that were each accepted");
  TLoadedDocument again;
  Check(LoadDocumentFromBytes(patched, language, again, error), "patched text does not load");
  return 0;
}
