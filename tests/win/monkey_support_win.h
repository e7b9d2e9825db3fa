// A seeded random user of the viewer (the monkey): it opens a copy of a
// file in a viewer of the test flavour and performs actions drawn from what
// a user can do (keys, typing, clicks in every pane, menus, tab switches,
// resizes, zoom, themes, the host's search, cell edits, saves, outside
// changes of the file, closing and opening again), answering every menu
// and message box from inside its loop. After each action it checks that
// nothing a user relies on broke; a failure can be shrunk to the least
// actions that still break the same rule and printed as a script that a
// regular test replays.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "gui_test_support.h"

namespace corvane::test {

enum class TAct : int {
  Key,          // A virtual key, B modifiers (1 Ctrl, 2 Shift), C pane
  Chars,        // Text typed as characters into pane C
  GridClick,    // row A, column B, C: 0 click, 1 double click, 2 Alt+click
  HeaderClick,  // column A
  Tree,         // visible entry A, B: 0 select, 1 expand or collapse, 2 focus and select
  Filter,       // filter edit A gets Text (B odd: appended)
  Tab,          // tab A
  StatusClick,  // status part A
  Splitter,     // dragged to x A
  ContextMenu,  // entry A of the enabled ones, B mode (6 none, 7 close inside), C where
  Resize,       // to A x B (C 1: almost nothing)
  Wheel,        // Ctrl+wheel, A > 0 up, in pane C
  Theme,        // the host's flags, A picks
  Search,       // the host's search for Text with flags A
  EditCell,     // row A, column B, Text; C: 0 Enter, 1 Escape, 2 left open; B & 4 edit mode on first
  Save,         // Ctrl+S in the focused pane
  Outside,      // the file changed on disk (A: 0 a line appended, 1 the same bytes written)
  Reopen,       // closed (question answered by A) and opened again
  Wait,         // messages pumped for 300 ms (the filter's typing delay passes)
  TextClick,    // the text pane: caret to A, B: 0 caret, 1 selection to C
};

struct TMonkeyAction {
  TAct Act = TAct::Wait;
  int A = 0, B = 0, C = 0;
  std::wstring Text;
};

// The actions of a seed, the same on every machine.
std::vector<TMonkeyAction> MonkeyActions(uint32_t seed, int count);
// An action as a C++ initializer, for pasting into a regular test, and
// such lines (one action a line, as printed) read back.
std::string DescribeAction(const TMonkeyAction& action);
std::vector<TMonkeyAction> ReadMonkeyScript(const std::string& text);

struct TMonkeyFailure {
  bool Failed = false;
  int Index = -1;         // the action after which it broke; the count for the final close
  std::string Invariant;  // which rule ("values", "file", "rows", ...)
  std::string Detail;
};

struct TMonkeyTotals {
  long Actions = 0, Saves = 0, Edits = 0, Reopens = 0, Boxes = 0, MenuChoices = 0;
  long Milliseconds[20] = {};  // per kind of action, its checks included
};

// Runs the actions on a fresh copy of sourceFile (a corpus name or a full
// path) and stops at the first broken rule.
TMonkeyFailure RunMonkey(TPluginDll& dll, const std::string& sourceFile, const std::vector<TMonkeyAction>& actions,
                         TMonkeyTotals* totals = nullptr);

// Drops actions while the same rule still breaks (at most maxRuns replays).
std::vector<TMonkeyAction> ShrinkMonkey(TPluginDll& dll, const std::string& sourceFile,
                                        const std::vector<TMonkeyAction>& actions, const TMonkeyFailure& failure,
                                        int maxRuns);

// The failure with its seed and the shrunk actions as a test script.
std::string MonkeyReport(uint32_t seed, const std::string& sourceFile, const TMonkeyFailure& failure,
                         const std::vector<TMonkeyAction>& shrunk);

}  // namespace corvane::test
