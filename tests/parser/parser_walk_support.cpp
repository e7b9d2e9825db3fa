#include "parser_walk_support.h"

#include <utility>

namespace corvane::test {
namespace {

std::string Text(const char* p) { return p ? p : ""; }

TEventRecord Record(cvn_yaml_parser* y) {
  TEventRecord e;
  e.Type = cvn_yaml_type(y);
  e.Start = cvn_yaml_start(y);
  e.End = cvn_yaml_end(y);
  e.Line = cvn_yaml_line(y);
  e.Column = cvn_yaml_column(y);
  e.EndLine = cvn_yaml_end_line(y);
  e.EndColumn = cvn_yaml_end_column(y);
  if (const char* v = cvn_yaml_value(y)) {
    e.HasValue = true;
    e.Value.assign(v, cvn_yaml_value_length(y));
  }
  e.AnchorPtr = cvn_yaml_anchor(y);
  e.Anchor = Text(e.AnchorPtr);
  e.Tag = Text(cvn_yaml_tag(y));
  e.Style = cvn_yaml_scalar_style(y);
  return e;
}

// What one of the span entries answers for a container and a key or index.
template <typename TContainer, typename TWhich>
TTomlSpan SpanOf(int (*entry)(TContainer*, TWhich, size_t*, size_t*), TContainer* container, TWhich which) {
  TTomlSpan span;
  span.Given = entry(container, which, &span.Start, &span.End) == 1;
  return span;
}

// Walks with an explicit stack so deep documents do not recurse here either.
void CollectLeaves(cvn_toml_table* root, std::vector<TTomlLeaf>& leaves, std::vector<TTomlKey>& keys) {
  struct TWork {
    cvn_toml_table* Table;
    cvn_toml_array* Array;
    std::string Path;
  };
  std::vector<TWork> stack{{root, nullptr, ""}};
  while (!stack.empty()) {
    TWork w = std::move(stack.back());
    stack.pop_back();
    std::vector<TWork> children;
    if (w.Table) {
      for (int i = 0; const char* key = cvn_toml_table_key(w.Table, i); ++i) {
        const std::string path = w.Path + "." + key;
        keys.push_back({path, key, SpanOf(cvn_toml_table_key_span, w.Table, key)});
        if (const char* raw = cvn_toml_table_raw(w.Table, key)) {
          leaves.push_back({path, raw, SpanOf(cvn_toml_table_raw_span, w.Table, key)});
        } else {
          children.push_back({cvn_toml_table_table(w.Table, key), cvn_toml_table_array(w.Table, key), path});
        }
      }
    } else {
      for (int i = 0; i < cvn_toml_array_count(w.Array); ++i) {
        const std::string path = w.Path + "[" + std::to_string(i) + "]";
        if (const char* raw = cvn_toml_array_raw(w.Array, i)) {
          leaves.push_back({path, raw, SpanOf(cvn_toml_array_raw_span, w.Array, i)});
        } else {
          children.push_back({cvn_toml_array_table(w.Array, i), cvn_toml_array_array(w.Array, i), path});
        }
      }
    }
    for (auto it = children.rbegin(); it != children.rend(); ++it) stack.push_back(std::move(*it));
  }
}

}  // namespace

TYamlRun ReadYaml(const std::string& text) {
  TYamlRun run;
  cvn_yaml_parser* y = cvn_yaml_open(text.data(), text.size());
  if (!y) {
    run.Failed = true;
    run.Error = "open failed";
    return run;
  }
  while (true) {
    if (!cvn_yaml_next(y)) {
      run.Failed = true;
      run.Error = cvn_yaml_error(y);
      break;
    }
    run.Events.push_back(Record(y));
    if (run.Events.back().Type == CVN_YAML_STREAM_END || run.Events.back().Type == 0) break;
  }
  cvn_yaml_close(y);
  return run;
}

TTomlRun ReadToml(const std::string& text) {
  TTomlRun run;
  char err[512] = "unchanged";
  cvn_toml_doc* doc = cvn_toml_open(text.data(), text.size(), err, sizeof err);
  run.Opened = doc != nullptr;
  run.Error = err;
  if (!doc) return run;
  cvn_toml_table* root = cvn_toml_root(doc);
  run.RootIsNull = root == nullptr;
  if (root) CollectLeaves(root, run.Leaves, run.Keys);
  cvn_toml_close(doc);
  return run;
}

std::vector<std::string> TomlKeys(const std::string& text, const std::string& path) {
  std::vector<std::string> keys;
  cvn_toml_doc* doc = cvn_toml_open(text.data(), text.size(), nullptr, 0);
  cvn_toml_table* table = cvn_toml_root(doc);
  size_t from = 0;
  while (table && from < path.size()) {
    const size_t dot = path.find('.', from);
    const std::string key = path.substr(from, dot == std::string::npos ? std::string::npos : dot - from);
    table = cvn_toml_table_table(table, key.c_str());
    from = dot == std::string::npos ? path.size() : dot + 1;
  }
  for (int i = 0; const char* key = cvn_toml_table_key(table, i); ++i) keys.push_back(key);
  cvn_toml_close(doc);
  return keys;
}

}  // namespace corvane::test
