// Fuzzes the loader's structure records against the structure oracle of the
// tests (a tree built the plain way from the same parse).
//
// Input: one flag byte (bit 0: TOML), then the document. The records and the
// oracle's tree must both parse or both fail with the same text; when they
// parse, they must describe the same structure (shape, texts, spans), every
// span must lie inside the text, and the value trees built from both must be
// equal, or both conversions fail with the same text. A YAML text's check
// from the events alone (CheckYamlLoads) gives the same verdict and error
// where it decides.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "structure_oracle_support.h"
#include "uFileLoading.h"
#include "uModule.h"
#include "uParserBinding.h"
#include "uStructureIndex.h"
#include "uUnicode.h"
#include "uYamlEvents.h"

using namespace corvane;

namespace {

void Check(bool condition, const char* what) {
  if (!condition) {
    std::fprintf(stderr, "loading fuzz: %s\n", what);
    std::abort();
  }
}

template <typename FConvert>
std::string ValueOrError(FConvert convert, TJsonDataPtr& value) {
  try {
    value = convert();
    return "";
  } catch (const std::exception& e) {
    return e.what();
  }
}

void CheckSpans(const TStructureIndex& index, const std::string& text) {
  for (size_t i = 0; i < index.Records.size(); ++i) {
    const TStructureRecord& r = index.Records[i];
    if (r.StartOffset < 0) continue;
    Check(size_t(r.StartOffset) <= text.size(), "node starts outside the text");
    Check(r.EndOffset < 0 || (r.EndOffset >= r.StartOffset && size_t(r.EndOffset) <= text.size()),
          "node ends outside the text");
  }
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  // Kept loaded for the whole run: a fuzz build's library carries coverage
  // counters that must not be unmapped between inputs.
  Check(platform::LoadLibraryByPath(ParserLibraryPath()) != nullptr, "parser library missing");
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 1 || size > 16384) return 0;
  const TDocumentLanguage language = (data[0] & 1) ? TDocumentLanguage::Toml : TDocumentLanguage::Yaml;
  const std::string text(reinterpret_cast<const char*>(data) + 1, size - 1);
  TStructureIndex index;
  TLoadError error;
  const bool parsed = ParseDocumentIndex(text, language, index, error);
  test::TStructuredNodePtr tree;
  std::u16string treeError;
  Check(parsed == test::ParseTree(text, language, tree, treeError), "records and oracle tree parse differently");
  Check(error.Text == treeError, "records and oracle tree fail differently");
  // The check from the events alone must answer as the full load does.
  TLoadError checkError;
  const TLoadCheck verdict =
      language == TDocumentLanguage::Yaml ? CheckYamlLoads(text, checkError) : TLoadCheck::Undecided;
  if (verdict != TLoadCheck::Undecided && !parsed) {
    Check(verdict == TLoadCheck::Fails, "the event check passes a text the parse refuses");
    Check(checkError.Text == error.Text && checkError.Region.Line == error.Region.Line &&
              checkError.Region.Column == error.Region.Column && checkError.Region.Offset == error.Region.Offset,
          "the event check and the parse fail differently");
  }
  if (!parsed) {
    Check(!error.Text.empty(), "a failure without a text");
    return 0;
  }
  Check(test::CompareWithRecords(*tree, index, text).empty(), "records and oracle tree differ");
  CheckSpans(index, text);
  TJsonDataPtr fromRecords, fromTree;
  const std::string recordsError =
      ValueOrError([&] { return IndexRootToValue(index, text, language); }, fromRecords);
  const std::string treeValueError = ValueOrError([&] { return test::TreeRootToValue(*tree, language); }, fromTree);
  Check(recordsError == treeValueError, "records and oracle tree convert differently");
  if (verdict != TLoadCheck::Undecided) {
    Check((verdict == TLoadCheck::Loads) == recordsError.empty(), "the event check and the value tree disagree");
    Check(Utf16ToUtf8(checkError.Text) == recordsError, "the event check and the value tree fail differently");
  }
  if (fromRecords) Check(test::CompareValues(*fromRecords, *fromTree).empty(), "records and oracle tree give different values");
  return 0;
}
