// --bench: how long the plug-in takes to open a file until the tree and the
// grid have painted, and to close it, against the raw parser over the same
// bytes, measured in this one process in the same run. Runs alternate which
// side goes first, so neither gains from the other warming the allocator.
#include <algorithm>
#include <chrono>
#include <cstdio>

#include "lister_host.h"

namespace {

using TClock = std::chrono::steady_clock;

long long MicrosecondsSince(TClock::time_point start) {
  return std::chrono::duration_cast<std::chrono::microseconds>(TClock::now() - start).count();
}

bool ReadAll(const std::wstring& file, std::string* bytes) {
  FILE* in = _wfopen(file.c_str(), L"rb");
  if (!in) return false;
  char buffer[1 << 16];
  size_t got;
  while ((got = fread(buffer, 1, sizeof buffer, in)) > 0) bytes->append(buffer, got);
  fclose(in);
  return true;
}

bool IsToml(const std::wstring& file) {
  const size_t dot = file.find_last_of(L'.');
  std::wstring ext = dot == std::wstring::npos ? L"" : file.substr(dot);
  for (wchar_t& c : ext) c = static_cast<wchar_t>(towlower(c));
  return ext == L".toml";
}

void PumpMessages() {
  MSG message;
  while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
    TranslateMessage(&message);
    DispatchMessageW(&message);
  }
}

struct TRun {
  long long Raw = -1, Open = -1, Close = -1;
};

// Opening ends when the plug-in's window, sized by the host, has painted.
TRun TimeViewer(THost& host, TRun run) {
  std::wstring file = host.Options.File;
  const auto start = TClock::now();
  HWND list = host.Plugin.ListLoadW(host.Main, &file[0], 0);
  if (!list) return run;
  RECT client{};
  GetClientRect(host.Main, &client);
  MoveWindow(list, 0, 0, client.right, client.bottom, TRUE);
  RedrawWindow(host.Main, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
  run.Open = MicrosecondsSince(start);
  PumpMessages();
  const auto closing = TClock::now();
  host.Plugin.ListCloseWindow(list);
  run.Close = MicrosecondsSince(closing);
  PumpMessages();
  return run;
}

long long Median(std::vector<long long> values) {
  std::sort(values.begin(), values.end());
  return values.empty() ? -1 : values[values.size() / 2];
}

std::string Ms(long long microseconds) {
  char text[32];
  snprintf(text, sizeof text, "%.1f ms", static_cast<double>(microseconds) / 1000.0);
  return text;
}

}  // namespace

int RunBench(THost& host) {
  std::string bytes;
  if (!ReadAll(host.Options.File, &bytes)) {
    Note("bench: cannot read the file");
    return 1;
  }
  const bool toml = IsToml(host.Options.File);
  std::vector<long long> raw, open, close;
  size_t events = 0;
  for (int i = 0; i < host.Options.BenchRuns; ++i) {
    TRun run;
    if (i % 2 == 1) run = TimeViewer(host, run);
    run.Raw = toml ? TimeRawToml(bytes) : TimeRawYaml(bytes, &events);
    if (i % 2 == 0) run = TimeViewer(host, run);
    if (run.Raw < 0 || run.Open < 0) {
      Note("bench: the file did not open (raw " + std::to_string(run.Raw) + ", viewer " +
           std::to_string(run.Open) + ")");
      return 1;
    }
    raw.push_back(run.Raw);
    open.push_back(run.Open);
    close.push_back(run.Close);
  }
  const long long rawMedian = Median(raw);
  const long long openMedian = Median(open);
  Note("bench-file: " + Utf8(host.Options.File) + " (" + std::to_string(bytes.size()) + " bytes, " +
       std::to_string(host.Options.BenchRuns) + " runs)");
  Note(std::string(toml ? "raw toml++ parse: " : "raw libyaml event pass: ") + Ms(rawMedian) + " median, " +
       Ms(*std::min_element(raw.begin(), raw.end())) + " best" +
       (toml ? std::string() : ", " + std::to_string(events) + " events"));
  Note("open until painted: " + Ms(openMedian) + " median, " + Ms(*std::min_element(open.begin(), open.end())) +
       " best");
  char ratio[64];
  snprintf(ratio, sizeof ratio, "ratio open/raw: %.2f", static_cast<double>(openMedian) / std::max(rawMedian, 1LL));
  Note(ratio);
  Note("close: " + Ms(Median(close)) + " median, " + Ms(*std::max_element(close.begin(), close.end())) + " worst");
  return 0;
}
