// The corvane command against the raw parser: "corvane set" of one value in
// YAML files of about 1 MB and 12 MB, run as a script runs it (a new
// process that reads, checks, proves, saves and flushes the file), against
// libyaml's event pass over the same bytes in this process, in the same
// run. "corvane check" (read, then the full load's verdict from the parser's
// events, building no records or tree) is measured too, and alone on a
// 100 MB stream of release documents (non-ASCII text, block scalars,
// anchors): goal within 2x.
//
// Files: one document holding a list of small mappings (as in a large
// compose or inventory file), and a stream of many small documents (as in
// concatenated Kubernetes manifests), with the edit in the middle of each.
// Goal: set within 3x the raw parse. The proof parses again only the
// top-level entry (list) or the document (stream) the edit is in, and the
// save's check reuses the proof of a single edit (uEditProof.h).
#include <fcntl.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

#include "bench_support.h"
#include "uModule.h"
#include "uUnicode.h"

namespace {

size_t Count(const std::string& text, const std::string& what) {
  size_t n = 0;
  for (size_t p = text.find(what); p != std::string::npos; p = text.find(what, p + 1)) ++n;
  return n;
}

struct TTime {
  double Wall = 1e9;
  double Cpu = 1e9;
};

double Seconds(const timeval& t) { return t.tv_sec + t.tv_usec / 1e6; }

TTime TimeRaw(const std::string& text, int runs) {
  TTime best;
  for (int i = 0; i < runs; ++i) {
    rusage before{}, after{};
    getrusage(RUSAGE_SELF, &before);
    const auto t0 = std::chrono::steady_clock::now();
    if (!corvane::bench::RawYamlPass(text)) std::fprintf(stderr, "raw parse failed\n");
    const auto t1 = std::chrono::steady_clock::now();
    getrusage(RUSAGE_SELF, &after);
    best.Wall = std::min(best.Wall, std::chrono::duration<double>(t1 - t0).count());
    best.Cpu = std::min(best.Cpu, Seconds(after.ru_utime) + Seconds(after.ru_stime) - Seconds(before.ru_utime) -
                                      Seconds(before.ru_stime));
  }
  return best;
}

// Runs the program once; its wall time and its own processor time.
bool RunOnce(const std::vector<std::string>& args, TTime& time) {
  std::vector<char*> argv;
  for (const std::string& a : args) argv.push_back(const_cast<char*>(a.c_str()));
  argv.push_back(nullptr);
  std::fflush(stdout);  // the child must not write this program's buffered output again
  const auto t0 = std::chrono::steady_clock::now();
  const pid_t child = fork();
  if (child == 0) {
    const int null = open("/dev/null", O_WRONLY);
    if (null < 0 || dup2(null, 1) < 0) _exit(127);
    execv(argv[0], argv.data());
    _exit(127);
  }
  int status = 0;
  rusage usage{};
  if (child < 0 || wait4(child, &status, 0, &usage) != child) return false;
  time.Wall = std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
  time.Cpu = Seconds(usage.ru_utime) + Seconds(usage.ru_stime);
  return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

void WriteFile(const std::string& path, const std::string& bytes) {
  std::ofstream(path, std::ios::binary | std::ios::trunc).write(bytes.data(), std::streamsize(bytes.size()));
}

// Best of runs; the file is written afresh before each (not timed).
TTime TimeProgram(const std::vector<std::string>& args, const std::string& path, const std::string& text, int runs) {
  TTime best;
  for (int i = 0; i < runs; ++i) {
    WriteFile(path, text);
    TTime t;
    if (!RunOnce(args, t)) std::fprintf(stderr, "%s %s failed\n", args[0].c_str(), args[1].c_str());
    best.Wall = std::min(best.Wall, t.Wall);
    best.Cpu = std::min(best.Cpu, t.Cpu);
  }
  return best;
}

}  // namespace

int main(int argc, char** argv) {
  const int runs = argc > 1 ? std::atoi(argv[1]) : 5;
  const std::string self = corvane::Utf16ToUtf8(corvane::platform::OwnModuleFileName());
  const std::string program = self.substr(0, self.rfind('/') + 1) + "corvane";
  char folder[] = "/tmp/corvane-cli-bench-XXXXXX";
  if (!mkdtemp(folder)) return 1;
  struct TFile {
    const char* Name;
    std::string Text;
    std::string Path;  // of the edited value; none: check only
  };
  std::vector<TFile> files;
  for (const size_t mb : {1, 12}) {
    const std::string list = corvane::bench::ServiceListYaml(0, mb << 20);
    const std::string stream = corvane::bench::ManifestStreamYaml(mb << 20);
    const std::string item = std::to_string(Count(list, "- name:") / 2);
    const std::string doc = std::to_string(Count(stream, "---\n") / 2);
    files.push_back({mb == 1 ? "1 MB, one document" : "12 MB, one document", list, "$[" + item + "].image"});
    files.push_back({mb == 1 ? "1 MB, many documents" : "12 MB, many documents", stream,
                     "$[" + doc + "].spec.template.spec.containers[0].image"});
  }
  files.push_back({"100 MB, release documents", corvane::bench::ReleaseStreamYaml(size_t(100) << 20), ""});
  std::printf("corvane set of one value vs the raw parse (libyaml events) of the same file; best of %d\n", runs);
  for (const TFile& f : files) {
    const std::string path = std::string(folder) + "/bench.yaml";
    const TTime raw = TimeRaw(f.Text, runs);
    const TTime check = TimeProgram({program, "check", path}, path, f.Text, runs);
    if (f.Path.empty()) {
      std::printf("%s (%.1f MB): raw %.3f s (cpu %.3f)   check %.3f s (cpu %.3f)\n", f.Name, f.Text.size() / 1048576.0,
                  raw.Wall, raw.Cpu, check.Wall, check.Cpu);
      std::printf("  check / raw: %.2fx wall, %.2fx cpu (goal < 2)\n", check.Wall / raw.Wall, check.Cpu / raw.Cpu);
      std::remove(path.c_str());
      continue;
    }
    const TTime set = TimeProgram({program, "set", path, f.Path, "registry.local/app:2.0"}, path, f.Text, runs);
    std::printf("%s (%.1f MB): raw %.3f s (cpu %.3f)   check %.3f s (cpu %.3f)   set %.3f s (cpu %.3f)\n", f.Name,
                f.Text.size() / 1048576.0, raw.Wall, raw.Cpu, check.Wall, check.Cpu, set.Wall, set.Cpu);
    std::printf("  set / raw: %.2fx wall, %.2fx cpu (goal < 3)   check / raw: %.2fx wall, %.2fx cpu\n",
                set.Wall / raw.Wall, set.Cpu / raw.Cpu, check.Wall / raw.Wall, check.Cpu / raw.Cpu);
    std::remove(path.c_str());
  }
  rmdir(folder);
  return 0;
}
