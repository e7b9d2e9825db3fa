// Loading a viewed file: read once, check the size limit, parse once, and
// convert the structure records into the value tree.
//
// Contract:
//  - The extension rule of uDocumentLanguage.h selects the language; a name
//    it does not know loads as YAML. The bytes are parsed as read, a
//    byte-order mark included.
//  - Error texts: tr "error.read" when the file cannot be read,
//    tr "error.too_large" above a positive limit (a file of exactly the limit
//    loads), otherwise the parser's text with its place, or the value tree's
//    own text.
//  - Never throws; on failure the caller gets no value tree and no document.
#include "uFileLoading.h"

#include <new>

#include "uFiles.h"
#include "uI18n.h"
#include "uTomlTree.h"
#include "uUnicode.h"
#include "uYamlEvents.h"

namespace corvane {

TDocumentLanguage LanguageOfFileName(const std::u16string& fileName) {
  return LanguageOfExtension(fileName).value_or(TDocumentLanguage::Yaml);
}

bool ParseDocumentIndex(const std::string& text, TDocumentLanguage language, TStructureIndex& index,
                        TLoadError& error) {
  const bool ok = language == TDocumentLanguage::Toml ? ParseTomlIndex(text, index, error)
                                                      : ParseYamlIndex(text, index, error);
  // The pool grew by doubling; a loaded document keeps it as long as it is
  // open, so it is cut to what it holds (up to half of it was spare room).
  if (ok) index.Pool.shrink_to_fit();
  return ok;
}

bool ValidateDocument(const std::string& text, TDocumentLanguage language, std::u16string& error) {
  return language == TDocumentLanguage::Toml ? ValidateToml(text, error) : ValidateYaml(text, error);
}

bool LoadDocumentFromBytes(std::string bytes, TDocumentLanguage language, TLoadedDocument& doc,
                           TLoadError& error) {
  return LoadDocumentTakingBytes(bytes, language, doc, error);
}

bool LoadDocumentTakingBytes(std::string& bytes, TDocumentLanguage language, TLoadedDocument& doc,
                             TLoadError& error) {
  doc = TLoadedDocument{};
  error = TLoadError();
  TLoadedDocument loaded;
  if (!ParseDocumentIndex(bytes, language, loaded.Index, error)) return false;
  try {
    loaded.Value = IndexRootToValue(loaded.Index, bytes, language);
  } catch (const std::bad_alloc&) {
    error.Text = tr(i18n::kErrorOutOfMemory);
    return false;
  } catch (const std::exception& e) {
    error.Text = Utf8ToUtf16(e.what());  // a member named twice
    error.InText = true;
    return false;
  }
  // Moving the string keeps its buffer, so the spans stay valid for Bytes.
  loaded.Bytes = std::move(bytes);
  loaded.Language = language;
  loaded.EncodingName = u"UTF-8";
  doc = std::move(loaded);
  return true;
}

bool CheckDocumentLoads(std::string& bytes, TDocumentLanguage language, TLoadError& error) {
  if (language == TDocumentLanguage::Yaml) {
    const TLoadCheck verdict = CheckYamlLoads(bytes, error);
    if (verdict != TLoadCheck::Undecided) return verdict == TLoadCheck::Loads;
  }
  TLoadedDocument doc;
  return LoadDocumentTakingBytes(bytes, language, doc, error);
}

bool ReadDocumentBytes(const std::u16string& fileName, int32_t sizeLimit, std::string& bytes, TLoadError& error) {
  bytes.clear();
  error = TLoadError();
  std::u16string readError;
  if (!platform::ReadFileBytes(fileName, bytes, readError)) {
    error.Text = tr(i18n::kErrorRead);
    return false;
  }
  if (sizeLimit > 0 && bytes.size() > static_cast<size_t>(sizeLimit)) {
    bytes.clear();
    error.Text = tr(i18n::kErrorTooLarge);
    return false;
  }
  return true;
}

bool LoadDocument(const std::u16string& fileName, int32_t sizeLimit, TLoadedDocument& doc, TLoadError& error) {
  doc = TLoadedDocument{};
  std::string bytes;
  if (!ReadDocumentBytes(fileName, sizeLimit, bytes, error)) return false;
  return LoadDocumentTakingBytes(bytes, LanguageOfFileName(fileName), doc, error);
}

bool LoadStructuredFile(const std::u16string& fileName, int32_t sizeLimit, TJsonDataPtr& root,
                        std::u16string& encodingName, TLoadError& error) {
  root.reset();
  encodingName.clear();
  TLoadedDocument doc;
  if (!LoadDocument(fileName, sizeLimit, doc, error)) return false;
  root = std::move(doc.Value);
  encodingName = doc.EncodingName;
  return true;
}

}  // namespace corvane
