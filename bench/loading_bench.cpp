// Loading benchmark: the raw parsers (libyaml events, toml++ parse) against
// the full load into value tree and structure tree, on generated files of
// realistic shape (~12 MB YAML: 100,000 list items of small mappings; ~5 MB
// TOML: arrays of tables) and on a dense variant of each (far more scalars
// per byte than real files). Every measurement runs in its own child process
// so its peak memory (VmHWM) can be read on its own.
//
// Goals (for the realistic files): full load within 2x the raw parse time;
// peak memory of the full load within 12x the file size.
#include <sys/wait.h>
#include <unistd.h>
#include <yaml.h>

#include <time.h>

#include <chrono>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <functional>
#include <string>
#include <toml++/toml.h>

#include "uFileLoading.h"
#include "uUnicode.h"

using namespace corvane;

namespace {

// Realistic YAML: 100,000 list items, each a small mapping of about 120
// bytes with five ordinary keys and one short flow list, as in compose files
// or deployment manifests (~12 MB).
std::string YamlText() {
  std::string t;
  t.reserve(13 << 20);
  for (int i = 0; i < 100000; ++i) {
    const std::string n = std::to_string(i);
    t += "- name: service-" + n + "\n  image: registry.local/app-" + n + ":1.4\n  replicas: " +
         std::to_string(i % 5 + 1) + "\n  enabled: " + (i % 3 ? "true" : "false") + "\n  port: " +
         std::to_string(8000 + i % 1000) + "\n  tags: [web, prod]\n";
  }
  return t;
}

// Dense YAML: 17 scalars packed into every 132-byte item (one every ~8
// bytes), far denser than real configuration files; reported for comparison.
std::string DenseYamlText() {
  std::string t;
  t.reserve(13 << 20);
  for (int i = 0; i < 100000; ++i) {
    const std::string n = std::to_string(i);
    t += "- id: " + n + "\n  name: \"item-" + n + "\"\n  enabled: " + (i % 3 ? "true" : "false") +
         "\n  ratio: 0." + std::to_string(i * 7919 % 100000) + "\n  tags: [alpha, beta, gamma-" + n +
         "]\n  owner: {team: core, site: 'ber-" + std::to_string(i % 17) + "'}\n";
  }
  return t;
}

// Realistic TOML: an array of tables with a few typical keys per table
// (~5 MB).
std::string TomlText() {
  std::string t = "title = \"generated\"\nversion = 3\n\n";
  t.reserve(6 << 20);
  for (int i = 0; i < 50000; ++i) {
    const std::string n = std::to_string(i);
    t += "[[servers]]\nname = \"server-" + n + "\"\nhost = \"10.0." + std::to_string(i / 250 % 250) + "." +
         std::to_string(i % 250) + "\"\nport = " + std::to_string(8000 + i % 1000) + "\nenabled = " +
         (i % 3 ? "true" : "false") + "\ntags = [\"web\", \"prod\"]\n\n";
  }
  return t;
}

// Dense TOML: every table packs a number list and an inline table.
std::string DenseTomlText() {
  std::string t = "title = \"generated\"\nversion = 3\n\n";
  t.reserve(6 << 20);
  for (int i = 0; i < 40000; ++i) {
    const std::string n = std::to_string(i);
    t += "[[items]]\nid = " + n + "\nname = \"item-" + n + "\"\nratio = 0." + std::to_string(i * 7919 % 100000) +
         "\nports = [80, 443, " + n + "]\nowner = { team = \"core\", site = 'ber' }\n\n";
  }
  return t;
}

long VmKb(const char* field) {
  std::ifstream in("/proc/self/status");
  std::string line;
  while (std::getline(in, line))
    if (line.rfind(field, 0) == 0) return std::atol(line.c_str() + std::strlen(field));
  return 0;
}

bool RawYaml(const std::string& text) {
  yaml_parser_t parser;
  yaml_parser_initialize(&parser);
  yaml_parser_set_input_string(&parser, reinterpret_cast<const unsigned char*>(text.data()), text.size());
  yaml_event_t event;
  bool ok = true;
  for (;;) {
    if (!yaml_parser_parse(&parser, &event)) { ok = false; break; }
    const bool end = event.type == YAML_STREAM_END_EVENT;
    yaml_event_delete(&event);
    if (end) break;
  }
  yaml_parser_delete(&parser);
  return ok;
}

bool RawToml(const std::string& text) {
  try {
    toml::table table = toml::parse(text);
    return !table.empty();
  } catch (const std::exception&) {
    return false;
  }
}

bool FullLoad(const std::string& text, bool isToml) {
  TLoadedDocument doc;
  std::u16string error;
  const bool ok = LoadDocumentFromBytes(text, isToml, doc, error);  // copies the bytes, as a read would
  if (!ok) std::fprintf(stderr, "load failed: %s\n", Utf16ToUtf8(error).c_str());
  return ok;
}

double CpuSeconds() {
  timespec ts{};
  clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &ts);
  return ts.tv_sec + ts.tv_nsec / 1e9;
}

struct TMeasure {
  double Seconds = 0;     // wall time
  double CpuSeconds = 0;  // processor time: steadier on a busy machine
  long PeakKb = 0;  // above the process's size before the run
  bool Ok = false;
};

// Runs fn once in a fresh child process (so every run pays for first-touch
// memory as a real first load does): its time and the peak memory it added.
TMeasure MeasureOnce(const std::function<bool()>& fn) {
  int fds[2];
  if (pipe(fds) != 0) return {};
  const pid_t child = fork();
  if (child == 0) {
    close(fds[0]);
    TMeasure m;
    const long base = VmKb("VmRSS:");
    const auto t0 = std::chrono::steady_clock::now();
    const double c0 = CpuSeconds();
    m.Ok = fn();
    m.CpuSeconds = CpuSeconds() - c0;
    m.Seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
    m.PeakKb = VmKb("VmHWM:") - base;
    if (write(fds[1], &m, sizeof m) != static_cast<ssize_t>(sizeof m)) _exit(2);
    _exit(0);
  }
  close(fds[1]);
  TMeasure m;
  if (read(fds[0], &m, sizeof m) != static_cast<ssize_t>(sizeof m)) m.Ok = false;
  close(fds[0]);
  int status = 0;
  waitpid(child, &status, 0);
  return m;
}

// Best time and largest peak over several fresh runs.
TMeasure Measure(const std::function<bool()>& fn, int runs) {
  TMeasure best = MeasureOnce(fn);
  for (int i = 1; i < runs; ++i) {
    const TMeasure m = MeasureOnce(fn);
    if (m.Seconds < best.Seconds) best.Seconds = m.Seconds;
    if (m.CpuSeconds < best.CpuSeconds) best.CpuSeconds = m.CpuSeconds;
    if (m.PeakKb > best.PeakKb) best.PeakKb = m.PeakKb;
    best.Ok = best.Ok && m.Ok;
  }
  return best;
}

void Report(const char* name, const std::string& text, const TMeasure& raw, const TMeasure& full) {
  const double mb = text.size() / 1048576.0;
  std::printf("%s: %.1f MB\n", name, mb);
  std::printf("  raw parse   %7.3f s wall %7.3f s cpu  peak +%6.1f MB%s\n", raw.Seconds, raw.CpuSeconds,
              raw.PeakKb / 1024.0, raw.Ok ? "" : "  FAILED");
  std::printf("  full load   %7.3f s wall %7.3f s cpu  peak +%6.1f MB%s\n", full.Seconds, full.CpuSeconds,
              full.PeakKb / 1024.0, full.Ok ? "" : "  FAILED");
  std::printf("  time ratio  %.2fx wall, %.2fx cpu (goal <= 2.0)   memory ratio %.1fx file size (goal <= 12)\n",
              full.Seconds / raw.Seconds, full.CpuSeconds / raw.CpuSeconds, full.PeakKb * 1024.0 / text.size());
}

}  // namespace

int main(int argc, char** argv) {
  const int runs = argc > 1 ? std::atoi(argv[1]) : 3;
  const struct {
    const char* Name;
    std::string (*Make)();
    bool IsToml;
  } files[] = {
      {"YAML (realistic)", YamlText, false},
      {"YAML (dense)", DenseYamlText, false},
      {"TOML (realistic)", TomlText, true},
      {"TOML (dense)", DenseTomlText, true},
  };
  for (const auto& f : files) {
    const std::string text = f.Make();
    const TMeasure raw = Measure([&] { return f.IsToml ? RawToml(text) : RawYaml(text); }, runs);
    const TMeasure full = Measure([&] { return FullLoad(text, f.IsToml); }, runs);
    Report(f.Name, text, raw, full);
  }
  return 0;
}
