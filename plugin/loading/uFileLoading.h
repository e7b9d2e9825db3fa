// Loading a YAML or TOML file into the value tree the views show.
//
// Contract:
//  - TOML when the extension says so (LanguageOfExtension); everything else
//    is YAML.
//  - The bytes are parsed exactly as read (a UTF-8 byte-order mark stays and
//    counts in offsets); the encoding name is always "UTF-8".
//  - A size limit above 0 refuses files with more bytes than the limit
//    (tr "error.too_large"); 0 or below means no limit. The caller reads the
//    limit (the "max-file-size" setting); loading reads no settings.
//  - Nothing is thrown; false comes with no value tree and the error of the
//    step that failed (read, size, parse with its line and column, duplicate
//    member).
//  - LoadDocument reads the file once and parses it once, handing back the
//    bytes, the value tree and the structure records together, so what is
//    shown and what editing patches always describe the same bytes.
#pragma once

#include <cstdint>
#include <string>

#include "uDocumentLanguage.h"
#include "uJsonModel.h"
#include "uParserBinding.h"
#include "uSharedBytes.h"
#include "uStructureIndex.h"

namespace corvane {

// The language of LanguageOfExtension, YAML for a name it does not know.
TDocumentLanguage LanguageOfFileName(const std::u16string& fileName);

// Parses text in its language into structure records (ParseYamlIndex or
// ParseTomlIndex), and checks it before a save (ValidateYaml or
// ValidateToml).
bool ParseDocumentIndex(const std::string& text, TDocumentLanguage language, TStructureIndex& index,
                        TLoadError& error);
bool ValidateDocument(const std::string& text, TDocumentLanguage language, std::u16string& error);

// Reads, checks the size limit, parses and converts; the structure is
// dropped. The encoding name is "UTF-8" on success.
bool LoadStructuredFile(const std::u16string& fileName, int32_t sizeLimit, TJsonDataPtr& root,
                        std::u16string& encodingName, TLoadError& error);

// The one-read, one-parse load: the file's bytes, its language, the value
// tree and the structure records (with spans into Bytes) from the same bytes.
struct TLoadedDocument {
  TSharedBytes Bytes;  // shared with the patch document (uSharedBytes.h)
  TDocumentLanguage Language = TDocumentLanguage::Yaml;
  TJsonDataPtr Value;
  TStructureIndex Index;
  std::u16string EncodingName;  // "UTF-8"
};

// Reads fileName once and parses it once; sizeLimit is the caller's
// "max-file-size" (0 or below: none). On failure doc is left empty.
bool LoadDocument(const std::u16string& fileName, int32_t sizeLimit, TLoadedDocument& doc,
                  TLoadError& error);
// Parses bytes already read (no size limit applied). On failure doc is left
// empty.
bool LoadDocumentFromBytes(std::string bytes, TDocumentLanguage language, TLoadedDocument& doc,
                           TLoadError& error);
// The same, moving bytes into doc only on success: a caller that shows a
// text that did not load keeps it without a copy.
bool LoadDocumentTakingBytes(std::string& bytes, TDocumentLanguage language, TLoadedDocument& doc,
                             TLoadError& error);
// Whether bytes load (LoadDocumentTakingBytes's verdict and error), kept
// by the caller: YAML is checked from the parser's events without building
// records or a tree (CheckYamlLoads), falling back to the full load where
// that check is undecided; TOML loads in full.
bool CheckDocumentLoads(std::string& bytes, TDocumentLanguage language, TLoadError& error);

// LoadDocument's first step: the file's bytes within the size limit (0 or
// below: none); false with the error ("error.read", "error.too_large") and
// no bytes.
bool ReadDocumentBytes(const std::u16string& fileName, int32_t sizeLimit, std::string& bytes, TLoadError& error);

}  // namespace corvane
