// Binding to the parser library: load by full path, resolve every entry by
// name, open one handle, and release everything when the object goes.
//
// Contract:
//  - The library is looked for only in the folder of the module holding this
//    code (for the command also the folder above it); a bare name is never
//    handed to the loader, so no search path is used.
//  - The library's handle has one owner, TParserLibrary, the first member of
//    each binding object: a constructor that fails destroys it before the
//    exception leaves (a throwing constructor does not run its own
//    destructor, but does destroy the members made), so the library's load
//    count is back where it was after every parse, failed or not.
//  - Strings handed out by the library are borrowed; they are copied into the
//    event record or the exception message at once.
#include "uParserBinding.h"

#include <cstring>

#include "uFiles.h"
#include "uModule.h"
#include "uTestSeams.h"
#include "uUnicode.h"

namespace corvane {

namespace {

// The folder part of a module path, including its last separator.
std::u16string FolderOf(const std::u16string& path) {
  const size_t cut = path.find_last_of(u"\\/");
  return cut == std::u16string::npos ? std::u16string() : path.substr(0, cut + 1);
}

bool gParentFolderAllowed = false;

template <typename F>
void ResolveEntry(const TParserLibrary& lib, const char* name, const char* missingPrefix, F& entry) {
  void* address = lib.Entry(name);
  if (address == nullptr) throw EParserUnavailable(std::string(missingPrefix) + name);
  entry = reinterpret_cast<F>(address);
}

// An entry a library may lack: null when it does.
template <typename F>
void ResolveOptionalEntry(const TParserLibrary& lib, const char* name, F& entry) {
  entry = reinterpret_cast<F>(lib.Entry(name));
}

// The library takes an empty text as a null pointer with length 0.
const char* TextData(std::string_view text) { return text.empty() ? nullptr : text.data(); }

}  // namespace

TParserLibrary::TParserLibrary() : handle_(platform::LoadLibraryByPath(ParserLibraryPath())) {
  if (handle_ == nullptr) throw EParserUnavailable("Cannot load native corvane parser");
}

TParserLibrary::~TParserLibrary() { platform::ReleaseLibrary(handle_); }

void* TParserLibrary::Entry(const char* name) const { return platform::ResolveSymbol(handle_, name); }

const char16_t* ParserLibraryFileName() {
#if defined(_WIN32)
  return sizeof(void*) == 8 ? u"corvane_parser64.dll" : u"corvane_parser32.dll";
#else
  return u"corvane_parser64.so";
#endif
}

std::u16string ParserLibraryPath() {
  const std::u16string override = seams::ParserFolderOverride();  // tests only
  if (!override.empty()) return override + ParserLibraryFileName();
  const std::u16string folder = FolderOf(platform::OwnModuleFileName());
  const std::u16string beside = folder + ParserLibraryFileName();
  if (!gParentFolderAllowed || folder.size() < 2 || platform::FileExists(beside)) return beside;
  const std::u16string parent = FolderOf(folder.substr(0, folder.size() - 1));
  const std::u16string above = parent + ParserLibraryFileName();
  return !parent.empty() && platform::FileExists(above) ? above : beside;
}

void AllowParserLibraryInParentFolder() { gParentFolderAllowed = true; }

// ---------------------------------------------------------------------------
// TYamlEventReader

TYamlEventReader::TYamlEventReader(const std::string& sourceText) { Open(TextData(sourceText), sourceText.size()); }

TYamlEventReader::TYamlEventReader(std::string&& sourceText) : ownedSource_(std::move(sourceText)) {
  Open(TextData(ownedSource_), ownedSource_.size());
}

void TYamlEventReader::Open(const char* data, size_t length) {
  const char* const kMissing = "Missing native parser entry: ";
  void* (*yaml_open)(const char*, size_t) = nullptr;
  ResolveEntry(library_, "cvn_yaml_open", kMissing, yaml_open);
  ResolveEntry(library_, "cvn_yaml_close", kMissing, close_);
  ResolveEntry(library_, "cvn_yaml_next", kMissing, next_);
  ResolveEntry(library_, "cvn_yaml_error", kMissing, error_);
  ResolveEntry(library_, "cvn_yaml_type", kMissing, type_);
  ResolveEntry(library_, "cvn_yaml_start", kMissing, start_);
  ResolveEntry(library_, "cvn_yaml_end", kMissing, end_);
  ResolveEntry(library_, "cvn_yaml_line", kMissing, line_);
  ResolveEntry(library_, "cvn_yaml_column", kMissing, column_);
  ResolveEntry(library_, "cvn_yaml_end_line", kMissing, endLine_);
  ResolveEntry(library_, "cvn_yaml_end_column", kMissing, endColumn_);
  ResolveEntry(library_, "cvn_yaml_value", kMissing, value_);
  ResolveEntry(library_, "cvn_yaml_value_length", kMissing, valueLength_);
  ResolveEntry(library_, "cvn_yaml_anchor", kMissing, anchor_);
  ResolveEntry(library_, "cvn_yaml_tag", kMissing, tag_);
  ResolveEntry(library_, "cvn_yaml_scalar_style", kMissing, scalarStyle_);
  ResolveOptionalEntry(library_, "cvn_yaml_error_line", errorLine_);
  ResolveOptionalEntry(library_, "cvn_yaml_error_column", errorColumn_);
  parserHandle_ = yaml_open(data, length);
  if (parserHandle_ == nullptr) throw EParserUnavailable("Cannot initialize YAML parser");
}

TYamlEventReader::~TYamlEventReader() {
  if (parserHandle_ != nullptr && close_ != nullptr) close_(parserHandle_);
  parserHandle_ = nullptr;
}

bool TYamlEventReader::NextView(TYamlEventView& event) {
  event = TYamlEventView();
  if (next_(parserHandle_) == 0) {
    const char* text = error_(parserHandle_);
    lastErrorUtf8_ = text != nullptr ? text : "";
    lastError_ = Utf8ToUtf16(lastErrorUtf8_);
    lastErrorLine_ = errorLine_ ? static_cast<int64_t>(errorLine_(parserHandle_)) : 0;
    lastErrorColumn_ = errorColumn_ ? static_cast<int64_t>(errorColumn_(parserHandle_)) : 0;
    return false;
  }
  event.reader_ = this;
  event.kind_ = type_(parserHandle_);
  return true;
}

bool TYamlEventReader::Next(TYamlEvent& event) {
  TYamlEventView view;
  const bool ok = NextView(view);
  event.Kind = view.Kind();
  event.StartIndex = view.StartIndex();
  event.EndIndex = view.EndIndex();
  event.Line = view.Line();
  event.Column = view.Column();
  event.EndLine = view.EndLine();
  event.EndColumn = view.EndColumn();
  event.Value.clear();
  event.Anchor.clear();
  event.Tag.clear();
  event.ScalarStyle = 0;
  const auto copy = [](std::string& to, std::string_view from) {
    if (!from.empty()) to.append(from.data(), from.size());
  };
  // Only the accessors whose datum the event kind carries are called: the
  // others would answer null or 0 anyway.
  switch (event.Kind) {
    case yeScalar:
      copy(event.Value, view.Value());
      event.ScalarStyle = view.ScalarStyle();
      [[fallthrough]];
    case yeSequenceStart:
    case yeMappingStart:
      copy(event.Tag, view.Tag());
      [[fallthrough]];
    case yeAlias:
      copy(event.Anchor, view.Anchor());
      break;
    default:
      break;
  }
  return ok;
}

// ---------------------------------------------------------------------------
// TYamlEventView: a field of the reader's current event, or of the copy.

#define CORVANE_VIEW_FIELD(Type, Name, Entry)                          \
  Type TYamlEventView::Name() const {                                \
    if (copy_) return copy_->Name;                                   \
    if (!reader_) return Type();                                     \
    return static_cast<Type>(reader_->Entry(reader_->parserHandle_)); \
  }
CORVANE_VIEW_FIELD(std::ptrdiff_t, StartIndex, start_)
CORVANE_VIEW_FIELD(std::ptrdiff_t, EndIndex, end_)
CORVANE_VIEW_FIELD(std::ptrdiff_t, Line, line_)
CORVANE_VIEW_FIELD(std::ptrdiff_t, Column, column_)
CORVANE_VIEW_FIELD(std::ptrdiff_t, EndLine, endLine_)
CORVANE_VIEW_FIELD(std::ptrdiff_t, EndColumn, endColumn_)
CORVANE_VIEW_FIELD(int32_t, ScalarStyle, scalarStyle_)
#undef CORVANE_VIEW_FIELD

std::string_view TYamlEventView::Value() const {
  if (copy_) return copy_->Value;
  if (!reader_) return {};
  const char* value = reader_->value_(reader_->parserHandle_);
  // The length is authoritative: the decoded scalar may hold NUL bytes.
  return value ? std::string_view(value, reader_->valueLength_(reader_->parserHandle_)) : std::string_view();
}

std::string_view TYamlEventView::Anchor() const {
  if (copy_) return copy_->Anchor;
  const char* text = reader_ ? reader_->anchor_(reader_->parserHandle_) : nullptr;
  return text ? std::string_view(text) : std::string_view();
}

std::string_view TYamlEventView::Tag() const {
  if (copy_) return copy_->Tag;
  const char* text = reader_ ? reader_->tag_(reader_->parserHandle_) : nullptr;
  return text ? std::string_view(text) : std::string_view();
}

// ---------------------------------------------------------------------------
// TTomlNative

TTomlNative::TTomlNative(std::string_view sourceText) {
  const char* const kMissing = "Missing native TOML entry: ";
  void* (*toml_open)(const char*, size_t, char*, int) = nullptr;
  void* (*toml_open_at)(const char*, size_t, char*, int, size_t*) = nullptr;
  ResolveEntry(library_, "cvn_toml_open", kMissing, toml_open);
  ResolveEntry(library_, "cvn_toml_close", kMissing, toml_close);
  ResolveEntry(library_, "cvn_toml_root", kMissing, toml_root);
  ResolveEntry(library_, "cvn_toml_table_key", kMissing, toml_table_key);
  ResolveEntry(library_, "cvn_toml_table_raw", kMissing, toml_table_raw);
  ResolveEntry(library_, "cvn_toml_table_array", kMissing, toml_table_array);
  ResolveEntry(library_, "cvn_toml_table_table", kMissing, toml_table_table);
  ResolveEntry(library_, "cvn_toml_array_count", kMissing, toml_array_count);
  ResolveEntry(library_, "cvn_toml_array_raw", kMissing, toml_array_raw);
  ResolveEntry(library_, "cvn_toml_array_array", kMissing, toml_array_array);
  ResolveEntry(library_, "cvn_toml_array_table", kMissing, toml_array_table);
  ResolveOptionalEntry(library_, "cvn_toml_open_at", toml_open_at);
  ResolveOptionalEntry(library_, "cvn_toml_table_key_span", toml_table_key_span);
  ResolveOptionalEntry(library_, "cvn_toml_table_raw_span", toml_table_raw_span);
  ResolveOptionalEntry(library_, "cvn_toml_array_raw_span", toml_array_raw_span);
  char errorText[1024];
  std::memset(errorText, 0, sizeof errorText);
  size_t errorLine = 0;
  const char* data = TextData(sourceText);
  DocumentHandle = toml_open_at ? toml_open_at(data, sourceText.size(), errorText, int(sizeof errorText), &errorLine)
                                : toml_open(data, sourceText.size(), errorText, int(sizeof errorText));
  if (DocumentHandle == nullptr) {
    errorText[sizeof errorText - 1] = '\0';
    // The library leaves the buffer empty only when it ran out of memory; a
    // failure must still say what failed.
    throw EParserBinding(errorText[0] != '\0' ? errorText : "Cannot parse TOML text",
                         static_cast<int64_t>(errorLine));
  }
}

TTomlNative::~TTomlNative() {
  if (DocumentHandle != nullptr && toml_close != nullptr) toml_close(DocumentHandle);
  DocumentHandle = nullptr;
}

}  // namespace corvane
