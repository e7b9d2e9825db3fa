// Measures the parser library's YAML stream against libyaml called directly,
// on one generated ~10 MB document, in the same run. After each event both
// loops read what the plug-in's loader reads for that event kind in an
// all-ASCII text like this one: the kind; start and end index, value,
// style, tag and anchor of a scalar; both indexes and the anchor of an
// alias; start index, tag and anchor of a collection start; the end index of
// a collection end; nothing more for stream and document events (the
// library through its accessors, the direct loop from libyaml's event
// record). Runs alternate, and which of the two goes first alternates too,
// so neither gains from the other warming the allocator.
#include <yaml.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

#include "bench_support.h"
#include "corvane_parser.h"

namespace {

volatile size_t gSink;

bool StreamLibrary(const std::string& text, size_t& events) {
  cvn_yaml_parser* y = cvn_yaml_open(text.data(), text.size());
  size_t sum = 0;
  events = 0;
  bool ok = true;
  while (true) {
    if (!cvn_yaml_next(y)) { ok = false; break; }
    const int type = cvn_yaml_type(y);
    switch (type) {
      case CVN_YAML_SCALAR:
        sum += cvn_yaml_start(y) + cvn_yaml_end(y);
        if (const char* v = cvn_yaml_value(y)) sum += cvn_yaml_value_length(y) + static_cast<unsigned char>(v[0]);
        sum += static_cast<size_t>(cvn_yaml_scalar_style(y));
        if (const char* t = cvn_yaml_tag(y)) sum += static_cast<unsigned char>(t[0]);
        if (const char* a = cvn_yaml_anchor(y)) sum += static_cast<unsigned char>(a[0]);
        break;
      case CVN_YAML_ALIAS:
        sum += cvn_yaml_start(y) + cvn_yaml_end(y);
        if (const char* a = cvn_yaml_anchor(y)) sum += static_cast<unsigned char>(a[0]);
        break;
      case CVN_YAML_SEQUENCE_START:
      case CVN_YAML_MAPPING_START:
        sum += cvn_yaml_start(y);
        if (const char* t = cvn_yaml_tag(y)) sum += static_cast<unsigned char>(t[0]);
        if (const char* a = cvn_yaml_anchor(y)) sum += static_cast<unsigned char>(a[0]);
        break;
      case CVN_YAML_SEQUENCE_END:
      case CVN_YAML_MAPPING_END:
        sum += cvn_yaml_end(y);
        break;
      default:
        break;
    }
    ++events;
    if (type == CVN_YAML_STREAM_END || type == 0) break;
  }
  cvn_yaml_close(y);
  gSink += sum;
  return ok;
}

const yaml_char_t* AnchorOf(const yaml_event_t& e) {
  switch (e.type) {
    case YAML_ALIAS_EVENT: return e.data.alias.anchor;
    case YAML_SCALAR_EVENT: return e.data.scalar.anchor;
    case YAML_SEQUENCE_START_EVENT: return e.data.sequence_start.anchor;
    case YAML_MAPPING_START_EVENT: return e.data.mapping_start.anchor;
    default: return nullptr;
  }
}

const yaml_char_t* TagOf(const yaml_event_t& e) {
  switch (e.type) {
    case YAML_SCALAR_EVENT: return e.data.scalar.tag;
    case YAML_SEQUENCE_START_EVENT: return e.data.sequence_start.tag;
    case YAML_MAPPING_START_EVENT: return e.data.mapping_start.tag;
    default: return nullptr;
  }
}

bool StreamRaw(const std::string& text, size_t& events) {
  yaml_parser_t parser;
  yaml_parser_initialize(&parser);
  yaml_parser_set_input_string(&parser, reinterpret_cast<const unsigned char*>(text.data()), text.size());
  size_t sum = 0;
  events = 0;
  bool ok = true;
  while (true) {
    yaml_event_t e;
    if (!yaml_parser_parse(&parser, &e)) { ok = false; break; }
    const yaml_event_type_t type = e.type;
    switch (type) {
      case YAML_SCALAR_EVENT:
        sum += e.start_mark.index + e.end_mark.index + e.data.scalar.length + e.data.scalar.value[0] +
               e.data.scalar.style;
        break;
      case YAML_ALIAS_EVENT: sum += e.start_mark.index + e.end_mark.index; break;
      case YAML_SEQUENCE_START_EVENT:
      case YAML_MAPPING_START_EVENT: sum += e.start_mark.index; break;
      case YAML_SEQUENCE_END_EVENT:
      case YAML_MAPPING_END_EVENT: sum += e.end_mark.index; break;
      default: break;
    }
    if (const yaml_char_t* a = AnchorOf(e)) sum += a[0];
    if (const yaml_char_t* t = TagOf(e)) sum += t[0];
    yaml_event_delete(&e);
    ++events;
    if (type == YAML_STREAM_END_EVENT) break;
  }
  yaml_parser_delete(&parser);
  gSink += sum;
  return ok;
}

template <typename F>
double Seconds(F&& run) {
  const auto start = std::chrono::steady_clock::now();
  run();
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

double Median(std::vector<double> v) {
  std::sort(v.begin(), v.end());
  return v[v.size() / 2];
}

}  // namespace

int main(int argc, char** argv) {
  const int repetitions = argc > 1 ? std::max(1, std::atoi(argv[1])) : 7;
  const std::string text = corvane::bench::ConfigYaml(10u << 20);
  size_t libEvents = 0, rawEvents = 0;
  bool libOk = true, rawOk = true;
  std::vector<double> lib, raw;
  for (int i = 0; i < repetitions; ++i) {
    const auto runLibrary = [&] { lib.push_back(Seconds([&] { libOk = StreamLibrary(text, libEvents) && libOk; })); };
    const auto runRaw = [&] { raw.push_back(Seconds([&] { rawOk = StreamRaw(text, rawEvents) && rawOk; })); };
    if (i % 2 == 0) {
      runLibrary();
      runRaw();
    } else {
      runRaw();
      runLibrary();
    }
  }
  if (!libOk || !rawOk || libEvents != rawEvents) {
    std::printf("parser_bench: FAILED (library ok=%d events=%zu, libyaml ok=%d events=%zu)\n", libOk, libEvents,
                rawOk, rawEvents);
    return 1;
  }
  // Each library run is compared with the libyaml run right beside it, and
  // the median of those ratios is reported: on a shared machine the load
  // drifts between runs, but rarely within one pair.
  std::vector<double> ratios;
  for (size_t i = 0; i < lib.size(); ++i) ratios.push_back(lib[i] / raw[i]);
  const double ratio = Median(ratios);
  std::printf("parser_bench: %.1f MB, %zu events, %d runs: libyaml %.1f ms, corvane_parser %.1f ms (medians), "
              "ratio %.3f (%s)\n",
              text.size() / 1048576.0, libEvents, repetitions, Median(raw) * 1000, Median(lib) * 1000, ratio,
              ratio <= 1.10 ? "within 10%" : "over 10%");
  return 0;
}
