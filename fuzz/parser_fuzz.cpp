// libFuzzer target over both halves of the parser library. The first byte
// picks the half (even: YAML, odd: TOML); the rest is the text. Every event
// and every node is read through all accessors, the way the plug-in does.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <vector>

#include "corvane_parser.h"

namespace {

volatile size_t gSink;  // keeps the reads from being optimised away

void Touch(const char* text) {
  if (text) gSink += std::strlen(text);
}

void WalkYaml(const char* data, size_t size) {
  cvn_yaml_parser* y = cvn_yaml_open(data, size);
  if (!y) return;
  for (int guard = 0; guard < 1000000 && cvn_yaml_next(y); ++guard) {
    const int type = cvn_yaml_type(y);
    gSink += cvn_yaml_start(y) + cvn_yaml_end(y) + cvn_yaml_line(y) + cvn_yaml_column(y) + cvn_yaml_end_line(y) +
             cvn_yaml_end_column(y) + static_cast<size_t>(cvn_yaml_scalar_style(y));
    if (const char* value = cvn_yaml_value(y)) {
      const size_t length = cvn_yaml_value_length(y);
      if (length) gSink += static_cast<unsigned char>(value[length - 1]);
    }
    Touch(cvn_yaml_anchor(y));
    Touch(cvn_yaml_tag(y));
    if (type == 0 || type == 2) break;
  }
  Touch(cvn_yaml_error(y));
  cvn_yaml_next(y);  // once more past the end or the failure
  cvn_yaml_close(y);
}

void WalkToml(const char* data, size_t size) {
  char err[64];
  gSink += static_cast<size_t>(cvn_toml_validate(data, size, err, sizeof err));
  cvn_toml_doc* doc = cvn_toml_open(data, size, err, sizeof err);
  if (!doc) return;
  std::vector<cvn_toml_table*> tables;
  std::vector<cvn_toml_array*> arrays;
  if (cvn_toml_table* root = cvn_toml_root(doc)) tables.push_back(root);
  while (!tables.empty() || !arrays.empty()) {
    if (!tables.empty()) {
      cvn_toml_table* t = tables.back();
      tables.pop_back();
      for (int i = 0; const char* key = cvn_toml_table_key(t, i); ++i) {
        Touch(cvn_toml_table_raw(t, key));
        if (cvn_toml_array* a = cvn_toml_table_array(t, key)) arrays.push_back(a);
        if (cvn_toml_table* sub = cvn_toml_table_table(t, key)) tables.push_back(sub);
      }
      Touch(cvn_toml_table_key(t, -1));
      continue;
    }
    cvn_toml_array* a = arrays.back();
    arrays.pop_back();
    const int count = cvn_toml_array_count(a);
    for (int i = -1; i <= count; ++i) {
      Touch(cvn_toml_array_raw(a, i));
      if (cvn_toml_array* sub = cvn_toml_array_array(a, i)) arrays.push_back(sub);
      if (cvn_toml_table* t = cvn_toml_array_table(a, i)) tables.push_back(t);
    }
  }
  cvn_toml_close(doc);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size == 0) return 0;
  const char* text = reinterpret_cast<const char*>(data + 1);
  if (data[0] & 1) WalkToml(text, size - 1);
  else WalkYaml(text, size - 1);
  return 0;
}
