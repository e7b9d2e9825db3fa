// The raw parsers over a file's bytes, as the bench's reference: libyaml's
// event pass and toml++'s parse, each linked into this program and timed in
// the same process as the plug-in.
#define TOML_EXCEPTIONS 0
#define TOML_ENABLE_FORMATTERS 0
#define TOML_ENABLE_WINDOWS_COMPAT 0
#include <toml++/toml.h>
#include <yaml.h>

#include <chrono>

#include "lister_host.h"

namespace {

long long MicrosecondsSince(std::chrono::steady_clock::time_point start) {
  return std::chrono::duration_cast<std::chrono::microseconds>(std::chrono::steady_clock::now() - start).count();
}

}  // namespace

long long TimeRawYaml(const std::string& bytes, size_t* events) {
  const auto start = std::chrono::steady_clock::now();
  yaml_parser_t parser;
  if (!yaml_parser_initialize(&parser)) return -1;
  yaml_parser_set_input_string(&parser, reinterpret_cast<const unsigned char*>(bytes.data()), bytes.size());
  bool ok = true;
  *events = 0;
  for (bool done = false; !done;) {
    yaml_event_t event;
    if (!yaml_parser_parse(&parser, &event)) {
      ok = false;
      break;
    }
    ++*events;
    done = event.type == YAML_STREAM_END_EVENT;
    yaml_event_delete(&event);
  }
  yaml_parser_delete(&parser);
  return ok ? MicrosecondsSince(start) : -1;
}

long long TimeRawToml(const std::string& bytes) {
  const auto start = std::chrono::steady_clock::now();
  toml::parse_result result = toml::parse(std::string_view(bytes));
  const bool ok = static_cast<bool>(result);
  return ok ? MicrosecondsSince(start) : -1;
}
