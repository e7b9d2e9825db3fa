// Viewer core timings on a document whose path/value listing has 1,000,000
// rows: building the table, one substring filter pass, a numeric and a text
// sort, each beside a plain scan of substring searches over the same cells.
// With a file name (such as the lister host's grid-bench file) the document
// is loaded from that file instead of generated.
#include <chrono>
#include <cstdio>
#include <fstream>
#include <string>

#include "bench_support.h"
#include "uFileLoading.h"
#include "uUnicode.h"
#include "uViewerCore.h"

using namespace corvane;

namespace {

using TClock = std::chrono::steady_clock;

double MsSince(TClock::time_point start) {
  return std::chrono::duration<double, std::milli>(TClock::now() - start).count();
}

// A plain scan: one substring search per cell of a column.
double ScanMs(const TViewerCore& core, int column, std::u16string_view needle, int* hits) {
  const auto start = TClock::now();
  int count = 0;
  std::u16string scratch;
  for (int row = 0; row < core.Table.RowCount(); ++row)
    if (core.Table.Cell(row, column).View(&scratch).find(needle) != std::u16string_view::npos) ++count;
  *hits = count;
  return MsSince(start);
}

long PeakRssKb() {
  std::ifstream status("/proc/self/status");
  std::string line;
  while (std::getline(status, line))
    if (line.rfind("VmHWM:", 0) == 0) return std::stol(line.substr(6));
  return -1;
}

template <typename F>
double BestOf(int runs, F&& f) {
  double best = 1e300;
  for (int i = 0; i < runs; ++i) {
    const auto start = TClock::now();
    f();
    best = std::min(best, MsSince(start));
  }
  return best;
}

}  // namespace

int main(int argc, char** argv) {
  TSettingsAccess noSettings;  // defaults only, no settings file
  TViewerCore core(noSettings);
  TJsonDataPtr document;
  if (argc > 1) {
    std::u16string encoding;
    TLoadError error;
    if (!LoadStructuredFile(Utf8ToUtf16(argv[1]), 0, document, encoding, error)) {
      std::fprintf(stderr, "%s: %s\n", argv[1], Utf16ToUtf8(error.Text).c_str());
      return 1;
    }
  } else {
    document = bench::MillionLeafDocument();
  }
  core.Root = document.get();
  core.FlatLevel = kFlatLevelPathValue;

  const double buildMs = BestOf(1, [&] { core.BuildTable(document.get()); });
  std::printf("rows                  %d\n", core.Table.RowCount());
  std::printf("table build           %8.1f ms (listing, cell texts, first filter pass)\n", buildMs);

  // How much of the build is the value tree's own display texts.
  size_t characters = 0;
  const double textsMs = BestOf(1, [&] {
    for (TJsonData* leaf : core.Table.RowNodes) characters += ValueSummaryText(leaf).size();
  });
  std::printf("  of which display texts %5.1f ms (%zu characters)\n", textsMs, characters);

  const std::u16string needle = u"values[12";
  int scanHits = 0, filterRows = 0;
  const double scanMs = BestOf(3, [&] { ScanMs(core, 0, needle, &scanHits); });
  core.SetFilterText(0, needle);
  const double filterMs = BestOf(3, [&] { filterRows = core.ApplyFilters(false).VisibleCount; });
  std::printf("plain scan            %8.1f ms (%d hits)\n", scanMs, scanHits);
  std::printf("filter pass           %8.1f ms (%d rows, %.2fx scan)\n", filterMs, filterRows,
              filterMs / scanMs);

  core.SetFilterText(0, u"");
  core.ApplyFilters(false);
  core.SortColumn = 1;  // values: numbers (plus 1,000 names)
  const double numericMs = BestOf(1, [&] { core.ApplyFilters(false); });
  std::printf("numeric sort pass     %8.1f ms (%.1fx scan)\n", numericMs, numericMs / scanMs);
  core.SortColumn = 0;  // paths: text with digit runs
  const double textMs = BestOf(1, [&] { core.ApplyFilters(false); });
  std::printf("text sort pass        %8.1f ms (%.1fx scan)\n", textMs, textMs / scanMs);
  std::printf("peak memory           %8ld KiB\n", PeakRssKb());
  return 0;
}
