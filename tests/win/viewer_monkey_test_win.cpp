// The monkey in the viewer: seeded random user actions on realistic files,
// every rule checked after each action (monkey_support_win.h). The fixed
// seeds run with the Windows tests; a longer run takes its seeds, action
// count and files from the environment (tools/monkey.sh). Scripts of faults
// it found run as regular tests.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <iostream>
#include <sstream>

#include "monkey_support_win.h"

namespace corvane::test {
namespace {

struct TMonkeyPlan {
  std::vector<uint32_t> Seeds;
  std::vector<std::string> Files;
  int Actions = 0;
};

// Runs every seed on every file; a failure is shrunk and reported with its
// seed and script.
void RunPlan(const TMonkeyPlan& plan, int shrinkRuns) {
  TPluginDll dll;
  TMonkeyTotals totals;
  int runs = 0, faults = 0;
  const auto start = std::chrono::steady_clock::now();
  for (const std::string& file : plan.Files) {
    for (uint32_t seed : plan.Seeds) {
      const std::vector<TMonkeyAction> actions = MonkeyActions(seed, plan.Actions);
      const long before = totals.Actions;
      const auto started = std::chrono::steady_clock::now();
      const TMonkeyFailure failure = RunMonkey(dll, file, actions, &totals);
      std::cout << "monkey: " << file << " seed " << seed << ": " << totals.Actions - before << " actions, "
                << std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count() << " s"
                << (failure.Failed ? ", FAILED" : "") << std::endl;
      ++runs;
      if (!failure.Failed) continue;
      ++faults;
      const std::vector<TMonkeyAction> shrunk = ShrinkMonkey(dll, file, actions, failure, shrinkRuns);
      ADD_FAILURE() << MonkeyReport(seed, file, failure, shrunk);
    }
  }
  const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  std::cout << "monkey: " << totals.Actions << " actions in " << runs << " runs (" << plan.Seeds.size()
            << " seeds x " << plan.Files.size() << " files), " << totals.Edits << " patch changes, "
            << totals.Saves << " saves, " << totals.Reopens << " closes, " << totals.MenuChoices
            << " menu choices, " << totals.Boxes << " message boxes answered, " << faults << " faults, " << seconds
            << " s\n";
  std::cout << "monkey: milliseconds per kind:";
  for (long ms : totals.Milliseconds) std::cout << " " << ms;
  std::cout << "\n";
}

std::vector<std::string> Split(const std::string& text, char separator) {
  std::vector<std::string> parts;
  std::istringstream in(text);
  for (std::string part; std::getline(in, part, separator);)
    if (!part.empty()) parts.push_back(part);
  return parts;
}

// "3", "1-20" or "1,5,9".
std::vector<uint32_t> Seeds(const std::string& text) {
  std::vector<uint32_t> seeds;
  for (const std::string& part : Split(text, ',')) {
    const size_t dash = part.find('-');
    const uint32_t first = uint32_t(std::stoul(part.substr(0, dash)));
    const uint32_t last = dash == std::string::npos ? first : uint32_t(std::stoul(part.substr(dash + 1)));
    for (uint32_t seed = first; seed <= last; ++seed) seeds.push_back(seed);
  }
  return seeds;
}

std::string Env(const char* name) {
  const char* value = std::getenv(name);
  return value ? value : "";
}

// Replays a script the monkey printed: every rule must hold.
void ExpectScriptHolds(const std::string& file, const std::vector<TMonkeyAction>& actions,
                       TMonkeyTotals* totals = nullptr) {
  TPluginDll dll;
  const TMonkeyFailure failure = RunMonkey(dll, file, actions, totals);
  EXPECT_FALSE(failure.Failed) << "rule \"" << failure.Invariant << "\" broken after action " << failure.Index
                               << ": " << failure.Detail;
}

TEST(ViewerMonkey, fixed_seeds_keep_every_rule) {
  TMonkeyPlan plan;
  plan.Seeds = {20261208, 7, 1309};
  plan.Files = {"compose.yaml", "Cargo.toml", "k8s-manifests.yaml", "flow-and-quoting.yaml"};
  plan.Actions = 250;
  RunPlan(plan, 120);
}

// CORVANE_MONKEY_ACTIONS actions per run, CORVANE_MONKEY_SEEDS seeds,
// CORVANE_MONKEY_FILES corpus names or paths (comma-separated).
TEST(ViewerMonkey, long_run) {
  const std::string actions = Env("CORVANE_MONKEY_ACTIONS");
  if (actions.empty()) GTEST_SKIP() << "a local run: tools/monkey.sh";
  if (!Env("CORVANE_MONKEY_SCRIPT").empty()) {  // a printed script, replayed on the first file
    const std::vector<TMonkeyAction> script = ReadMonkeyScript(ReadFileBytes(Env("CORVANE_MONKEY_SCRIPT")));
    const std::string file = Split(Env("CORVANE_MONKEY_FILES"), ',').at(0);
    TPluginDll dll;
    const TMonkeyFailure failure = RunMonkey(dll, file, script);
    if (failure.Failed) ADD_FAILURE() << MonkeyReport(0, file, failure, ShrinkMonkey(dll, file, script, failure, 400));
    return;
  }
  TMonkeyPlan plan;
  plan.Actions = std::stoi(actions);
  plan.Seeds = Seeds(Env("CORVANE_MONKEY_SEEDS").empty() ? "1" : Env("CORVANE_MONKEY_SEEDS"));
  plan.Files = Split(Env("CORVANE_MONKEY_FILES").empty() ? "compose.yaml" : Env("CORVANE_MONKEY_FILES"), ',');
  RunPlan(plan, 400);
}

// The barriers count a failure inside the plug-in (the monkey's exception
// rule reads the count).
TEST(ViewerMonkeyRules, a_failure_dropped_by_a_barrier_is_counted) {
  TPluginDll dll;
  HWND main = dll.OpenYaml("a: 1\n");
  const int caught = dll.CaughtExceptions();
  dll.FailNextOutsideCall();
  dll.Search(main, L"missing", 1);  // the beep of a miss fails inside the plug-in
  EXPECT_EQ(dll.CaughtExceptions(), caught + 1);
  dll.Close(main);
}

// An edit, the file changed on disk, a save (refused: the file keeps the
// outside change), then the viewer closed from inside its context menu with
// the question answered Yes (the save fails again and says so).
TEST(ViewerMonkeyRules, a_file_changed_outside_is_never_overwritten) {
  TempDir dir;
  const std::string file = dir.File("service.yaml");
  WriteFileBytes(file, "name: demo\nport: 80\n");
  TMonkeyTotals totals;
  ExpectScriptHolds(file,
                    {
                        {TAct::Key, 'E', 1, 1, L""},
                        {TAct::EditCell, 1, 1, 0, L"edited"},  // the first row's value
                        {TAct::Outside, 0, 0, 0, L""},
                        {TAct::Save, 0, 0, 0, L""},
                        {TAct::ContextMenu, 0, 7, 1, L""},
                    },
                    &totals);
  EXPECT_EQ(totals.Edits, 1);
  EXPECT_EQ(totals.Saves, 0);
  EXPECT_EQ(totals.Boxes, 2);  // the question, then the failed save
}

}  // namespace
}  // namespace corvane::test
