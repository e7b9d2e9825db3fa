// Loading a viewed file: read once, check the size limit, parse once, and
// convert the structure tree into the value tree.
//
// Contract:
//  - ".toml" (any ASCII case, from the last dot) selects TOML, anything else
//    YAML; the bytes are parsed as read, a byte-order mark included.
//  - Error texts: tr "error.read" when the file cannot be read,
//    tr "error.too_large" above a positive limit (a file of exactly the limit
//    loads), otherwise the parser's or the value tree's own text.
//  - Never throws; on failure the caller gets no value tree and no document.
#include "uFileLoading.h"

#include <new>

#include "uFiles.h"
#include "uI18n.h"
#include "uTomlTree.h"
#include "uUnicode.h"

namespace corvane {

bool IsTomlFileName(const std::u16string& fileName) {
  const size_t dot = fileName.rfind(u'.');
  if (dot == std::u16string::npos) return false;
  return AsciiLowerText(std::u16string_view(fileName).substr(dot)) == u".toml";
}

bool LoadDocumentFromBytes(std::string bytes, bool isToml, TLoadedDocument& doc, std::u16string& error) {
  doc = TLoadedDocument{};
  error.clear();
  TLoadedDocument loaded;
  const bool parsed = isToml ? ParseTomlIndex(bytes, loaded.Index, error) : ParseYamlIndex(bytes, loaded.Index, error);
  if (!parsed) return false;
  try {
    loaded.Value = IndexRootToValue(loaded.Index, bytes, isToml);
  } catch (const std::bad_alloc&) {
    error = u"Not enough memory to load the document";
    return false;
  } catch (const std::exception& e) {
    error = Utf8ToUtf16(e.what());
    return false;
  }
  // Moving the string keeps its buffer, so the spans stay valid for Bytes.
  loaded.Bytes = std::move(bytes);
  loaded.IsToml = isToml;
  loaded.EncodingName = u"UTF-8";
  doc = std::move(loaded);
  return true;
}

bool LoadDocument(const std::u16string& fileName, int32_t sizeLimit, TLoadedDocument& doc,
                  std::u16string& error) {
  doc = TLoadedDocument{};
  error.clear();
  std::string bytes;
  std::u16string readError;
  if (!platform::ReadFileBytes(fileName, bytes, readError)) {
    error = tr(i18n::kErrorRead);
    return false;
  }
  if (sizeLimit > 0 && bytes.size() > static_cast<size_t>(sizeLimit)) {
    error = tr(i18n::kErrorTooLarge);
    return false;
  }
  return LoadDocumentFromBytes(std::move(bytes), IsTomlFileName(fileName), doc, error);
}

bool LoadStructuredFile(const std::u16string& fileName, int32_t sizeLimit, TJsonDataPtr& root,
                        std::u16string& encodingName, std::u16string& error) {
  root.reset();
  encodingName.clear();
  TLoadedDocument doc;
  if (!LoadDocument(fileName, sizeLimit, doc, error)) return false;
  root = std::move(doc.Value);
  encodingName = doc.EncodingName;
  return true;
}

}  // namespace corvane
