// Stand-ins for the parser library, used to drive the binding through cases
// the real library never produces.
//
// Built twice:
//  - without CVN_FAKE_COMPLETE: lacks cvn_yaml_scalar_style and
//    cvn_toml_array_table, so binding to it must fail and release it;
//  - with CVN_FAKE_COMPLETE: every entry exists; open records what it was
//    given (fake_last_open_data, fake_last_open_length) and fails on request:
//    a YAML text "fail-open" makes cvn_yaml_open return null, a TOML text
//    "fail-silent" makes cvn_toml_open fail without a message, any other TOML
//    text fails with "line 1: fake failure"; cvn_yaml_next always fails.
#include <cstddef>
#include <cstring>

#if defined(_WIN32)
#define FAKE_EXPORT extern "C" __declspec(dllexport)
#else
#define FAKE_EXPORT extern "C" __attribute__((visibility("default")))
#endif

namespace {
int gHandle = 0;
const char* gLastData = reinterpret_cast<const char*>(1);
size_t gLastLength = 12345;

bool Is(const char* data, size_t length, const char* text) {
  return data != nullptr && length == std::strlen(text) && std::memcmp(data, text, length) == 0;
}
void Record(const char* data, size_t length) {
  gLastData = data;
  gLastLength = length;
}
}  // namespace

FAKE_EXPORT void* cvn_yaml_open(const char* data, size_t length) {
  Record(data, length);
  return Is(data, length, "fail-open") ? nullptr : &gHandle;
}
FAKE_EXPORT void cvn_yaml_close(void*) {}
FAKE_EXPORT int cvn_yaml_next(void*) { return 0; }
FAKE_EXPORT const char* cvn_yaml_error(void*) { return "fake problem at line 3, column 4"; }
FAKE_EXPORT int cvn_yaml_type(void*) { return 0; }
FAKE_EXPORT size_t cvn_yaml_start(void*) { return 0; }
FAKE_EXPORT size_t cvn_yaml_end(void*) { return 0; }
FAKE_EXPORT size_t cvn_yaml_line(void*) { return 0; }
FAKE_EXPORT size_t cvn_yaml_column(void*) { return 0; }
FAKE_EXPORT size_t cvn_yaml_end_line(void*) { return 0; }
FAKE_EXPORT size_t cvn_yaml_end_column(void*) { return 0; }
FAKE_EXPORT const char* cvn_yaml_value(void*) { return nullptr; }
FAKE_EXPORT size_t cvn_yaml_value_length(void*) { return 0; }
FAKE_EXPORT const char* cvn_yaml_anchor(void*) { return nullptr; }
FAKE_EXPORT const char* cvn_yaml_tag(void*) { return nullptr; }

FAKE_EXPORT void* cvn_toml_open(const char* data, size_t length, char* errbuf, int errbufsize) {
  Record(data, length);
  if (length == 0) return &gHandle;
  if (!Is(data, length, "fail-silent") && errbuf != nullptr && errbufsize > 0) {
    std::strncpy(errbuf, "line 1: fake failure", size_t(errbufsize) - 1);
  }
  return nullptr;
}
FAKE_EXPORT void cvn_toml_close(void*) {}
FAKE_EXPORT void* cvn_toml_root(void*) { return nullptr; }
FAKE_EXPORT const char* cvn_toml_table_key(void*, int) { return nullptr; }
FAKE_EXPORT const char* cvn_toml_table_raw(void*, const char*) { return nullptr; }
FAKE_EXPORT void* cvn_toml_table_array(void*, const char*) { return nullptr; }
FAKE_EXPORT void* cvn_toml_table_table(void*, const char*) { return nullptr; }
FAKE_EXPORT int cvn_toml_array_count(void*) { return 0; }
FAKE_EXPORT const char* cvn_toml_array_raw(void*, int) { return nullptr; }
FAKE_EXPORT void* cvn_toml_array_array(void*, int) { return nullptr; }

#if defined(CVN_FAKE_COMPLETE)
FAKE_EXPORT int cvn_yaml_scalar_style(void*) { return 0; }
FAKE_EXPORT void* cvn_toml_array_table(void*, int) { return nullptr; }
FAKE_EXPORT const char* fake_last_open_data() { return gLastData; }
FAKE_EXPORT size_t fake_last_open_length() { return gLastLength; }
#endif
