// Loading benchmark: the raw parsers (libyaml events, toml++ parse) against
// the full load into value tree and structure records, on generated files of
// realistic shape (~12 MB YAML: 100,000 list items of small mappings; ~5 MB
// TOML: arrays of tables) and on a dense variant of each (far more scalars
// per byte than real files). Every measurement runs in its own child process
// so its peak memory (VmHWM) can be read on its own.
//
// Goals (for the realistic files): full load within 2x the raw parse time;
// peak memory of the full load within 12x the file size. Times run until the
// result is ready (events read to the end; toml++ table built; document
// loaded). Freeing the result is timed on its own: a viewer frees a document
// when it closes, not while the user waits for it to open.
#include <sys/wait.h>
#include <unistd.h>

#include <time.h>

#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <functional>
#include <string>
#include <toml++/toml.h>

#include "bench_support.h"
#include "uFileLoading.h"
#include "uUnicode.h"

using namespace corvane;
using namespace corvane::bench;

namespace {

long VmKb(const char* field) {
  std::ifstream in("/proc/self/status");
  std::string line;
  while (std::getline(in, line))
    if (line.rfind(field, 0) == 0) return std::atol(line.c_str() + std::strlen(field));
  return 0;
}

// The moment the measured work has its result ready; the time from there
// to the end of the measured function is the teardown.
std::chrono::steady_clock::time_point gReady;
double gReadyCpu = 0;

double CpuSeconds();

void MarkReady() {
  gReadyCpu = CpuSeconds();
  gReady = std::chrono::steady_clock::now();
}

bool RawToml(const std::string& text) {
  try {
    toml::table table = toml::parse(text);
    MarkReady();
    return !table.empty();
  } catch (const std::exception&) {
    return false;
  }
}

bool FullLoad(const std::string& text, TDocumentLanguage language) {
  TLoadedDocument doc;
  TLoadError error;
  const bool ok = LoadDocumentFromBytes(text, language, doc, error);  // copies the bytes, as a read would
  MarkReady();
  if (!ok) std::fprintf(stderr, "load failed: %s\n", Utf16ToUtf8(error.Text).c_str());
  return ok;
}

double CpuSeconds() {
  timespec ts{};
  clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &ts);
  return ts.tv_sec + ts.tv_nsec / 1e9;
}

struct TMeasure {
  double Seconds = 0;     // wall time until the result was ready
  double CpuSeconds = 0;  // processor time: steadier on a busy machine
  double FreeSeconds = 0;  // wall time of freeing the result
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
    gReady = t0;
    m.Ok = fn();
    const auto t1 = std::chrono::steady_clock::now();
    m.CpuSeconds = gReadyCpu - c0;
    m.Seconds = std::chrono::duration<double>(gReady - t0).count();
    m.FreeSeconds = std::chrono::duration<double>(t1 - gReady).count();
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
    if (m.FreeSeconds < best.FreeSeconds) best.FreeSeconds = m.FreeSeconds;
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
  std::printf("  full load   %7.3f s wall %7.3f s cpu  peak +%6.1f MB%s   (freeing it: %.3f s)\n", full.Seconds,
              full.CpuSeconds, full.PeakKb / 1024.0, full.Ok ? "" : "  FAILED", full.FreeSeconds);
  std::printf("  time ratio  %.2fx wall, %.2fx cpu (goal <= 2.0)   memory ratio %.1fx file size (goal <= 12)\n",
              full.Seconds / raw.Seconds, full.CpuSeconds / raw.CpuSeconds, full.PeakKb * 1024.0 / text.size());
}

}  // namespace

int main(int argc, char** argv) {
  const int runs = argc > 1 ? std::atoi(argv[1]) : 3;
  const struct {
    const char* Name;
    std::string (*Make)();
    TDocumentLanguage Language;
  } files[] = {
      {"YAML (realistic)", [] { return ServiceListYaml(100000); }, TDocumentLanguage::Yaml},
      {"YAML (dense)", DenseYaml, TDocumentLanguage::Yaml},
      {"TOML (lock file)", LockFileToml, TDocumentLanguage::Toml},
      {"TOML (array of small tables)", TableArrayToml, TDocumentLanguage::Toml},
      {"TOML (dense)", DenseToml, TDocumentLanguage::Toml},
  };
  for (const auto& f : files) {
    const std::string text = f.Make();
    const bool toml = f.Language == TDocumentLanguage::Toml;
    const TMeasure raw = Measure([&] { return toml ? RawToml(text) : RawYamlPass(text, MarkReady); }, runs);
    const TMeasure full = Measure([&] { return FullLoad(text, f.Language); }, runs);
    Report(f.Name, text, raw, full);
  }
  return 0;
}
