// Binding to the parser library: load by full path, resolve every entry by
// name, open one handle, and release everything when the object goes.
//
// Contract:
//  - The library is looked for only in the folder of the module holding this
//    code; a bare name is never handed to the loader, so no search path is used.
//  - A constructor that fails releases the library before the exception leaves
//    it (a throwing constructor does not run the destructor), so the library's
//    load count is back where it was after every parse, failed or not.
//  - Strings handed out by the library are borrowed; they are copied into the
//    event record or the exception message at once.
#include "uParserBinding.h"

#include <cstring>

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

// Loads the library or raises; the caller owns the returned handle.
platform::TLibraryHandle LoadParserLibrary() {
  platform::TLibraryHandle lib = platform::LoadLibraryByPath(ParserLibraryPath());
  if (lib == nullptr) throw EParserBinding("Cannot load native corvane parser");
  return lib;
}

template <typename F>
void ResolveEntry(platform::TLibraryHandle lib, const char* name, const char* missingPrefix, F& entry) {
  void* address = platform::ResolveSymbol(lib, name);
  if (address == nullptr) throw EParserBinding(std::string(missingPrefix) + name);
  entry = reinterpret_cast<F>(address);
}

// The library takes an empty text as a null pointer with length 0.
const char* TextData(std::string_view text) { return text.empty() ? nullptr : text.data(); }

}  // namespace

const char16_t* ParserLibraryFileName() {
#if defined(_WIN32)
  return sizeof(void*) == 8 ? u"corvane_parser64.dll" : u"corvane_parser32.dll";
#else
  return u"corvane_parser64.so";
#endif
}

std::u16string ParserLibraryPath() {
  const std::u16string folder = seams::ParserFolderOverride();  // tests only
  if (!folder.empty()) return folder + ParserLibraryFileName();
  return FolderOf(platform::OwnModuleFileName()) + ParserLibraryFileName();
}

// ---------------------------------------------------------------------------
// TYamlEventReader

TYamlEventReader::TYamlEventReader(const std::string& SourceText) { Open(TextData(SourceText), SourceText.size()); }

TYamlEventReader::TYamlEventReader(std::string&& SourceText) : OwnedSource(std::move(SourceText)) {
  Open(TextData(OwnedSource), OwnedSource.size());
}

void TYamlEventReader::Open(const char* data, size_t length) {
  LibraryHandle = LoadParserLibrary();
  try {
    const char* const kMissing = "Missing native parser entry: ";
    void* (*yaml_open)(const char*, size_t) = nullptr;
    ResolveEntry(LibraryHandle, "cvn_yaml_open", kMissing, yaml_open);
    ResolveEntry(LibraryHandle, "cvn_yaml_close", kMissing, yaml_close);
    ResolveEntry(LibraryHandle, "cvn_yaml_next", kMissing, yaml_next);
    ResolveEntry(LibraryHandle, "cvn_yaml_error", kMissing, yaml_error);
    ResolveEntry(LibraryHandle, "cvn_yaml_type", kMissing, yaml_type);
    ResolveEntry(LibraryHandle, "cvn_yaml_start", kMissing, yaml_start);
    ResolveEntry(LibraryHandle, "cvn_yaml_end", kMissing, yaml_end);
    ResolveEntry(LibraryHandle, "cvn_yaml_line", kMissing, yaml_line);
    ResolveEntry(LibraryHandle, "cvn_yaml_column", kMissing, yaml_column);
    ResolveEntry(LibraryHandle, "cvn_yaml_end_line", kMissing, yaml_end_line);
    ResolveEntry(LibraryHandle, "cvn_yaml_end_column", kMissing, yaml_end_column);
    ResolveEntry(LibraryHandle, "cvn_yaml_value", kMissing, yaml_value);
    ResolveEntry(LibraryHandle, "cvn_yaml_value_length", kMissing, yaml_value_length);
    ResolveEntry(LibraryHandle, "cvn_yaml_anchor", kMissing, yaml_anchor);
    ResolveEntry(LibraryHandle, "cvn_yaml_tag", kMissing, yaml_tag);
    ResolveEntry(LibraryHandle, "cvn_yaml_scalar_style", kMissing, yaml_scalar_style);
    ParserHandle = yaml_open(data, length);
    if (ParserHandle == nullptr) throw EParserBinding("Cannot initialize YAML parser");
  } catch (...) {
    platform::ReleaseLibrary(LibraryHandle);
    LibraryHandle = nullptr;
    throw;
  }
}

TYamlEventReader::~TYamlEventReader() {
  if (ParserHandle != nullptr && yaml_close != nullptr) yaml_close(ParserHandle);
  ParserHandle = nullptr;
  if (LibraryHandle != nullptr) platform::ReleaseLibrary(LibraryHandle);
  LibraryHandle = nullptr;
}

bool TYamlEventReader::NextView(TYamlEventView& Event) {
  Event = TYamlEventView();
  if (yaml_next(ParserHandle) == 0) {
    const char* text = yaml_error(ParserHandle);
    LastErrorUtf8_ = text != nullptr ? text : "";
    LastError_ = Utf8ToUtf16(LastErrorUtf8_);
    return false;
  }
  Event.reader_ = this;
  Event.kind_ = yaml_type(ParserHandle);
  return true;
}

bool TYamlEventReader::Next(TYamlEvent& Event) {
  TYamlEventView view;
  const bool ok = NextView(view);
  Event.Kind = view.Kind();
  Event.StartIndex = view.StartIndex();
  Event.EndIndex = view.EndIndex();
  Event.Line = view.Line();
  Event.Column = view.Column();
  Event.EndLine = view.EndLine();
  Event.EndColumn = view.EndColumn();
  Event.Value.clear();
  Event.Anchor.clear();
  Event.Tag.clear();
  Event.ScalarStyle = 0;
  const auto copy = [](std::string& to, std::string_view from) {
    if (!from.empty()) to.append(from.data(), from.size());
  };
  // Only the accessors whose datum the event kind carries are called: the
  // others would answer null or 0 anyway.
  switch (Event.Kind) {
    case yeScalar:
      copy(Event.Value, view.Value());
      Event.ScalarStyle = view.ScalarStyle();
      [[fallthrough]];
    case yeSequenceStart:
    case yeMappingStart:
      copy(Event.Tag, view.Tag());
      [[fallthrough]];
    case yeAlias:
      copy(Event.Anchor, view.Anchor());
      break;
    default:
      break;
  }
  return ok;
}

// ---------------------------------------------------------------------------
// TYamlEventView: a field of the reader's current event, or of the copy.

#define CORVANE_VIEW_FIELD(Type, Name, Entry)                                         \
  Type TYamlEventView::Name() const {                                               \
    if (copy_) return copy_->Name;                                                  \
    if (!reader_) return Type();                                                    \
    return static_cast<Type>(reader_->Entry(reader_->ParserHandle));                \
  }
CORVANE_VIEW_FIELD(std::ptrdiff_t, StartIndex, yaml_start)
CORVANE_VIEW_FIELD(std::ptrdiff_t, EndIndex, yaml_end)
CORVANE_VIEW_FIELD(std::ptrdiff_t, Line, yaml_line)
CORVANE_VIEW_FIELD(std::ptrdiff_t, Column, yaml_column)
CORVANE_VIEW_FIELD(std::ptrdiff_t, EndLine, yaml_end_line)
CORVANE_VIEW_FIELD(std::ptrdiff_t, EndColumn, yaml_end_column)
CORVANE_VIEW_FIELD(int32_t, ScalarStyle, yaml_scalar_style)
#undef CORVANE_VIEW_FIELD

std::string_view TYamlEventView::Value() const {
  if (copy_) return copy_->Value;
  if (!reader_) return {};
  const char* value = reader_->yaml_value(reader_->ParserHandle);
  // The length is authoritative: the decoded scalar may hold NUL bytes.
  return value ? std::string_view(value, reader_->yaml_value_length(reader_->ParserHandle)) : std::string_view();
}

std::string_view TYamlEventView::Anchor() const {
  if (copy_) return copy_->Anchor;
  const char* text = reader_ ? reader_->yaml_anchor(reader_->ParserHandle) : nullptr;
  return text ? std::string_view(text) : std::string_view();
}

std::string_view TYamlEventView::Tag() const {
  if (copy_) return copy_->Tag;
  const char* text = reader_ ? reader_->yaml_tag(reader_->ParserHandle) : nullptr;
  return text ? std::string_view(text) : std::string_view();
}

// ---------------------------------------------------------------------------
// TTomlNative

TTomlNative::TTomlNative(std::string_view SourceText) {
  LibraryHandle = LoadParserLibrary();
  try {
    const char* const kMissing = "Missing native TOML entry: ";
    void* (*toml_open)(const char*, size_t, char*, int) = nullptr;
    ResolveEntry(LibraryHandle, "cvn_toml_open", kMissing, toml_open);
    ResolveEntry(LibraryHandle, "cvn_toml_close", kMissing, toml_close);
    ResolveEntry(LibraryHandle, "cvn_toml_root", kMissing, toml_root);
    ResolveEntry(LibraryHandle, "cvn_toml_table_key", kMissing, toml_table_key);
    ResolveEntry(LibraryHandle, "cvn_toml_table_raw", kMissing, toml_table_raw);
    ResolveEntry(LibraryHandle, "cvn_toml_table_array", kMissing, toml_table_array);
    ResolveEntry(LibraryHandle, "cvn_toml_table_table", kMissing, toml_table_table);
    ResolveEntry(LibraryHandle, "cvn_toml_array_count", kMissing, toml_array_count);
    ResolveEntry(LibraryHandle, "cvn_toml_array_raw", kMissing, toml_array_raw);
    ResolveEntry(LibraryHandle, "cvn_toml_array_array", kMissing, toml_array_array);
    ResolveEntry(LibraryHandle, "cvn_toml_array_table", kMissing, toml_array_table);
    char errorText[1024];
    std::memset(errorText, 0, sizeof errorText);
    DocumentHandle = toml_open(TextData(SourceText), SourceText.size(), errorText, int(sizeof errorText));
    if (DocumentHandle == nullptr) {
      errorText[sizeof errorText - 1] = '\0';
      // The library leaves the buffer empty only when it ran out of memory; a
      // failure must still say what failed.
      throw EParserBinding(errorText[0] != '\0' ? errorText : "Cannot parse TOML text");
    }
  } catch (...) {
    platform::ReleaseLibrary(LibraryHandle);
    LibraryHandle = nullptr;
    throw;
  }
}

TTomlNative::~TTomlNative() {
  if (DocumentHandle != nullptr && toml_close != nullptr) toml_close(DocumentHandle);
  DocumentHandle = nullptr;
  if (LibraryHandle != nullptr) platform::ReleaseLibrary(LibraryHandle);
  LibraryHandle = nullptr;
}

}  // namespace corvane
