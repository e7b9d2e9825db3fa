// Binding to the parser library (corvane_parser64/32), which the plug-in never
// links: it is loaded by full path from the plug-in's own folder for one parse,
// every entry is resolved by name, and it is released again when the binding
// object goes away (also after a failed constructor). TParserLibrary is the
// one owner of the library's handle.
//
// Failures are raised as EParserBinding (what() is UTF-8; a syntax error
// carries the line and column the library names, when it names them):
//   "Cannot load native corvane parser"
//   "Missing native parser entry: <name>"   (YAML)
//   "Missing native TOML entry: <name>"
//   "Cannot initialize YAML parser"
//   the library's own error text when a TOML text does not parse
//   ("Cannot parse TOML text" when the library gave none).
#pragma once

#include <cstddef>
#include <cstdint>
#include <stdexcept>
#include <string>
#include <string_view>

#include "uLoadError.h"

namespace corvane {

class EParserBinding : public ELoadFailure {
 public:
  using ELoadFailure::ELoadFailure;
};

// The parser library cannot be loaded or lacks an entry: no fault of the
// text being parsed.
class EParserUnavailable : public EParserBinding {
 public:
  using EParserBinding::EParserBinding;
  bool InText() const override { return false; }
};

// The parser library, loaded for the life of the object (or EParserBinding);
// released when the object goes. As the first member of a binding object it
// goes last, after the handles its entries opened, and also when the
// binding's constructor fails part-way.
class TParserLibrary {
 public:
  TParserLibrary();
  ~TParserLibrary();
  TParserLibrary(const TParserLibrary&) = delete;
  TParserLibrary& operator=(const TParserLibrary&) = delete;
  // The address of an entry, or nullptr when the library lacks it.
  void* Entry(const char* name) const;

 private:
  void* handle_ = nullptr;
};

// Full path of the parser library: the folder of the module holding this code
// (the plug-in, or a test program standing in for it) + the library's name;
// with the parent folder allowed (below) and no library there, the folder
// above it when the library is there.
std::u16string ParserLibraryPath();
// The command is installed in a "cli" folder below the plug-in's folder,
// where the parser libraries lie: it allows the folder above its own. The
// plug-in never does.
void AllowParserLibraryInParentFolder();
// "corvane_parser64.dll" / "corvane_parser32.dll" on Windows; a native name
// (corvane_parser64.so) on other systems.
const char16_t* ParserLibraryFileName();

struct TYamlEvent {
  int32_t Kind = 0;
  std::ptrdiff_t StartIndex = 0;
  std::ptrdiff_t EndIndex = 0;
  std::ptrdiff_t Line = 0;
  std::ptrdiff_t Column = 0;
  std::ptrdiff_t EndLine = 0;
  std::ptrdiff_t EndColumn = 0;
  std::string Value;   // exactly value_length bytes; may hold NULs
  std::string Anchor;
  std::string Tag;
  int32_t ScalarStyle = 0;
};

class TYamlEventReader;

// An event read field by field on demand: either the reader's current event
// (each field is asked of the parser library when it is wanted, and the view
// is valid only until the reader's next Next / NextView call), or an event
// already copied out into a TYamlEvent (valid while that event lives).
class TYamlEventView {
 public:
  TYamlEventView() = default;
  explicit TYamlEventView(const TYamlEvent& e) : copy_(&e), kind_(e.Kind) {}

  int32_t Kind() const { return kind_; }
  std::ptrdiff_t StartIndex() const;
  std::ptrdiff_t EndIndex() const;
  std::ptrdiff_t Line() const;
  std::ptrdiff_t Column() const;
  std::ptrdiff_t EndLine() const;
  std::ptrdiff_t EndColumn() const;
  std::string_view Value() const;  // exactly value_length bytes; may hold NULs
  std::string_view Anchor() const;
  std::string_view Tag() const;
  int32_t ScalarStyle() const;

 private:
  friend class TYamlEventReader;
  const TYamlEventReader* reader_ = nullptr;
  const TYamlEvent* copy_ = nullptr;
  int32_t kind_ = 0;
};

// Event type codes of the library.
enum TYamlEventKind : int32_t {
  yeNone = 0, yeStreamStart = 1, yeStreamEnd = 2, yeDocumentStart = 3, yeDocumentEnd = 4,
  yeAlias = 5, yeScalar = 6, yeSequenceStart = 7, yeSequenceEnd = 8,
  yeMappingStart = 9, yeMappingEnd = 10,
};

// The reader reads the text in place: a text passed as an lvalue must stay
// alive and unchanged while the reader exists (it is never copied); a
// temporary or a C string is kept by the reader itself.
class TYamlEventReader {
 public:
  explicit TYamlEventReader(const std::string& source);
  explicit TYamlEventReader(std::string&& source);
  explicit TYamlEventReader(const char* source) : TYamlEventReader(std::string(source ? source : "")) {}
  ~TYamlEventReader();
  TYamlEventReader(const TYamlEventReader&) = delete;
  TYamlEventReader& operator=(const TYamlEventReader&) = delete;

  // Reads one event; false on a parse failure, with LastError set. Only the
  // fields the event's kind carries are read; the others are reset. Reusing
  // one TYamlEvent for a whole stream keeps its string buffers.
  bool Next(TYamlEvent& event);
  // The same without reading any field but the kind (see TYamlEventView).
  bool NextView(TYamlEventView& event);
  const std::u16string& LastError() const { return lastError_; }
  const std::string& LastErrorUtf8() const { return lastErrorUtf8_; }
  // The 1-based line and column the last error names; 0 when not known.
  int64_t LastErrorLine() const { return lastErrorLine_; }
  int64_t LastErrorColumn() const { return lastErrorColumn_; }

 private:
  friend class TYamlEventView;
  using TCloseEntry = void (*)(void*);
  using TIntEntry = int (*)(void*);
  using TSizeEntry = size_t (*)(void*);
  using TTextEntry = const char* (*)(void*);

  void Open(const char* data, size_t length);

  TParserLibrary library_;
  void* parserHandle_ = nullptr;
  std::string ownedSource_;  // only for a temporary or C-string source
  std::u16string lastError_;
  std::string lastErrorUtf8_;
  int64_t lastErrorLine_ = 0;
  int64_t lastErrorColumn_ = 0;
  TCloseEntry close_ = nullptr;
  TIntEntry next_ = nullptr;
  TTextEntry error_ = nullptr;
  TIntEntry type_ = nullptr;
  TSizeEntry start_ = nullptr, end_ = nullptr, line_ = nullptr, column_ = nullptr, endLine_ = nullptr,
             endColumn_ = nullptr;
  TTextEntry value_ = nullptr;
  TSizeEntry valueLength_ = nullptr;
  TTextEntry anchor_ = nullptr, tag_ = nullptr;
  TIntEntry scalarStyle_ = nullptr;
  TSizeEntry errorLine_ = nullptr, errorColumn_ = nullptr;  // optional
};

// One parsed TOML document. The TOML tree builder reads the entry pointers
// and DocumentHandle directly. The library copies everything it hands out,
// so the source text is only read during construction. The span entries
// are optional: a library that lacks them leaves them null (and the TOML
// structure then has no spans), every other entry is required. A text that
// does not parse raises EParserBinding with the line the library names
// (from a library that hands it out as a number; none from an older one).
class TTomlNative {
 private:
  TParserLibrary library_;  // first: released last

 public:
  explicit TTomlNative(std::string_view source);
  ~TTomlNative();
  TTomlNative(const TTomlNative&) = delete;
  TTomlNative& operator=(const TTomlNative&) = delete;

  void* DocumentHandle = nullptr;
  void (*toml_close)(void*) = nullptr;
  void* (*toml_root)(void*) = nullptr;
  const char* (*toml_table_key)(void*, int) = nullptr;
  const char* (*toml_table_raw)(void*, const char*) = nullptr;
  void* (*toml_table_array)(void*, const char*) = nullptr;
  void* (*toml_table_table)(void*, const char*) = nullptr;
  int (*toml_array_count)(void*) = nullptr;
  const char* (*toml_array_raw)(void*, int) = nullptr;
  void* (*toml_array_array)(void*, int) = nullptr;
  void* (*toml_array_table)(void*, int) = nullptr;
  int (*toml_table_key_span)(void*, const char*, size_t*, size_t*) = nullptr;  // optional
  int (*toml_table_raw_span)(void*, const char*, size_t*, size_t*) = nullptr;  // optional
  int (*toml_array_raw_span)(void*, int, size_t*, size_t*) = nullptr;          // optional
};

}  // namespace corvane
