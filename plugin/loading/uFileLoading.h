// Loading a YAML or TOML file into the value tree the views show.
//
// Contract:
//  - TOML when the extension (from the last dot, ASCII letters lowered) is
//    ".toml"; everything else is YAML.
//  - The bytes are parsed exactly as read (a UTF-8 byte-order mark stays and
//    counts in offsets); the encoding name is always "UTF-8".
//  - A size limit above 0 refuses files with more bytes than the limit
//    (tr "error.too_large"); 0 or below means no limit. The caller reads the
//    limit (the "max-file-size" setting); loading reads no settings.
//  - Nothing is thrown; false comes with no value tree and the error text of
//    the step that failed (read, size, parse, duplicate member).
//  - LoadDocument reads the file once and parses it once, handing back the
//    bytes, the value tree and the structure tree together, so what is shown
//    and what editing patches always describe the same bytes.
#pragma once

#include <cstdint>
#include <string>

#include "uJsonModel.h"
#include "uStructureIndex.h"
#include "uStructuredNode.h"

namespace corvane {

// True when the file name's extension is ".toml" in any ASCII letter case.
bool IsTomlFileName(const std::u16string& fileName);

// Reads, checks the size limit, parses and converts; the structure tree is
// dropped. The encoding name is "UTF-8" on success.
bool LoadStructuredFile(const std::u16string& fileName, int32_t sizeLimit, TJsonDataPtr& root,
                        std::u16string& encodingName, std::u16string& error);

// The one-read, one-parse load: the file's bytes, its language, the value
// tree and the structure (with spans into Bytes) from the same bytes. The
// structure is kept in its flat form; Structure() gives it as a node tree,
// built from the flat form on first use (no second parse).
struct TLoadedDocument {
  std::string Bytes;
  bool IsToml = false;
  TJsonDataPtr Value;
  TStructureIndex Index;
  std::u16string EncodingName;  // "UTF-8"

  // The node tree of Index, or nullptr when nothing is loaded. Built on the
  // first call and kept; like the rest of the document, not to be used from
  // two threads at once.
  const TStructuredNode* Structure() const {
    if (!StructureTree_ && !Index.Empty()) StructureTree_ = Materialize(Index, Bytes, 0);
    return StructureTree_.get();
  }

 private:
  mutable TStructuredNodePtr StructureTree_;
};

// Reads fileName once and parses it once; sizeLimit is the caller's
// "max-file-size" (0 or below: none). On failure doc is left empty.
bool LoadDocument(const std::u16string& fileName, int32_t sizeLimit, TLoadedDocument& doc,
                  std::u16string& error);
// Parses bytes already read (no size limit applied). On failure doc is left
// empty.
bool LoadDocumentFromBytes(std::string bytes, bool isToml, TLoadedDocument& doc, std::u16string& error);

}  // namespace corvane
