// A scripted editing session over every file of the editing corpus, through
// the real cell editor: in the Path/Value view, values and one key chosen by
// a fixed seed are typed into the edit box, the file is saved and opened
// again. The saved file must be the original with exactly the viewer's
// pending patches applied (not one byte changed elsewhere), and the new
// viewer must show every accepted value and the renamed key.
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <iostream>
#include <map>
#include <random>
#include <sstream>

#include "gui_test_support.h"

namespace corvane::test {
namespace {

constexpr int kValuesPerFile = 10;
constexpr unsigned kSeed = 20261207;
constexpr int kCmdPathValueView = 5020;

bool IsInteger(const std::wstring& text) {
  const size_t digits = text.find_first_not_of(L"-");
  return !text.empty() && digits <= 1 && digits < text.size() &&
         text.find_first_not_of(L"0123456789", digits) == std::wstring::npos;
}

// What the session types over a value: another value of the same kind as
// far as the cell shows it (a string gains a double quote, a backslash and
// non-ASCII text).
std::wstring NewValueFor(const std::wstring& cell, unsigned salt) {
  if (cell == L"true") return L"false";
  if (cell == L"false") return L"true";
  if (IsInteger(cell)) return cell == L"0" ? L"1" : cell + std::to_wstring(salt % 10);
  if (cell.find_first_not_of(L"-0123456789.") == std::wstring::npos && cell.find(L'.') != std::wstring::npos)
    return cell + L"5";
  return cell + L" \"\u00E9d\\it\" " + std::to_wstring(salt % 100);
}

// Replaces the box's text by typing it, then presses Enter; true when the
// edit was accepted (the box closed).
bool TypeIntoEditor(const TViewerControls& v, HWND box, const std::wstring& text) {
  SendMessageW(box, EM_SETSEL, 0, -1);
  SendMessageW(box, WM_CLEAR, 0, 0);
  // Each character as a key press and its character, as typing makes them:
  // the viewer's keyboard map must leave the keys to the box.
  for (wchar_t c : text) {
    const SHORT key = VkKeyScanW(c);
    if (key != -1) SendMessageW(box, WM_KEYDOWN, WPARAM(LOBYTE(key)), 1);
    SendMessageW(box, WM_CHAR, WPARAM(c), 1);
  }
  EXPECT_EQ(WindowTextOf(box), text);
  PressKey(box, VK_RETURN);
  if (!GetDlgItem(v.Grid, 106)) return true;
  PressKey(box, VK_ESCAPE);
  return false;
}

struct TSessionCounts {
  int Values = 0, Keys = 0, Refused = 0, ReadOnly = 0, Patches = 0;
  size_t BytesInSpans = 0;
};

class EditSession : public ::testing::TestWithParam<const char*> {
 protected:
  HWND OpenInPathValueView(const std::string& path) {
    HWND main = dll_.Open(path);
    EXPECT_NE(main, nullptr) << path;
    SetForegroundWindow(dll_.Parent());
    TViewerControls v(main);
    TreeView_SelectItem(v.Tree, TreeRoot(v.Tree));
    SendMessageW(main, WM_COMMAND, kCmdPathValueView, 0);
    return main;
  }

  TPluginDll dll_;
};

TEST_P(EditSession, edits_values_and_a_key_then_saves_only_their_spans) {
  const std::string name = GetParam();
  const std::string path = dll_.Dir.File(name);
  WriteFileBytes(path, ReadFileBytes(SourceDir() + "/tests/editing/corpus/" + name));
  const std::string original = ReadFileBytes(path);

  HWND main = OpenInPathValueView(path);
  TViewerControls v(main);
  const int rows = ItemCount(v.Grid);
  ASSERT_GT(rows, 0);
  SetFocus(v.Grid);
  PressKey(v.Grid, 'E', true);

  std::mt19937 random(kSeed);
  std::vector<int> order(size_t(rows), 0);
  for (int row = 0; row < rows; ++row) order[size_t(row)] = row;
  std::shuffle(order.begin(), order.end(), random);

  TSessionCounts counts;
  std::map<int, std::wstring> expectedValue;  // row -> value cell after the session
  for (int row : order) {
    if (counts.Values == kValuesPerFile) break;
    HWND box = OpenCellEditor(v, row, 1);
    if (!box) {
      ++counts.ReadOnly;
      continue;
    }
    EXPECT_EQ(WindowTextOf(box), CellText(v.Grid, row, 1));
    const std::wstring text = NewValueFor(WindowTextOf(box), unsigned(random()));
    if (!TypeIntoEditor(v, box, text)) {
      ++counts.Refused;
      continue;
    }
    EXPECT_EQ(CellText(v.Grid, row, 1), text) << name << " row " << row;
    expectedValue[row] = text;
    ++counts.Values;
  }

  std::shuffle(order.begin(), order.end(), random);
  std::map<int, std::wstring> expectedPath;  // row -> path cell after the session
  for (int row : order) {
    HWND box = OpenCellEditor(v, row, 0);
    if (!box) continue;
    const std::wstring renamed = WindowTextOf(box) + L"_r";
    if (!TypeIntoEditor(v, box, renamed)) continue;
    EXPECT_EQ(CellText(v.Grid, row, 0), renamed);
    expectedPath[row] = renamed;
    ++counts.Keys;
    break;
  }
  EXPECT_EQ(counts.Keys, 1) << name;
  EXPECT_GE(counts.Values, 1) << name;

  const std::vector<TPatchSeen> patches = ParsePatches(dll_.PendingPatches(main));
  counts.Patches = int(patches.size());
  for (const TPatchSeen& patch : patches) counts.BytesInSpans += size_t(patch.Length);
  EXPECT_EQ(counts.Patches, counts.Values + counts.Keys);
  EXPECT_EQ(ReadFileBytes(path), original);  // nothing written before the save
  PressKey(v.Grid, 'S', true);
  EXPECT_EQ(StatusText(v.Status, 6), L" SAVED");
  EXPECT_EQ(ReadFileBytes(path), Applied(original, patches)) << name;
  EXPECT_EQ(ParsePatches(dll_.PendingPatches(main)).size(), 0u);
  dll_.Close(main);

  main = OpenInPathValueView(path);
  TViewerControls again(main);
  ASSERT_EQ(ItemCount(again.Grid), rows);
  for (const auto& [row, text] : expectedValue) EXPECT_EQ(CellText(again.Grid, row, 1), text) << name;
  for (const auto& [row, text] : expectedPath) EXPECT_EQ(CellText(again.Grid, row, 0), text) << name;
  dll_.Close(main);
  EXPECT_EQ(dll_.LiveTotal(), 0);

  std::cout << "edit session " << name << ": " << rows << " rows, " << counts.Values << " values and "
            << counts.Keys << " key accepted, " << counts.Refused << " refused, " << counts.ReadOnly
            << " read-only, " << counts.Patches << " spans (" << counts.BytesInSpans
            << " bytes) replaced, file equal to the original outside them\n";
}

INSTANTIATE_TEST_SUITE_P(Corpus, EditSession,
                         ::testing::Values("Cargo.toml", "ci-workflow.yml", "compose.yaml", "flow-and-quoting.yaml",
                                           "helm-values.yaml", "k8s-manifests.yaml", "pyproject.toml",
                                           "service.toml", "windows-settings.yaml", "windows.toml",
                                           "helm-chart-values.yaml", "home-assistant.yaml", "compose-stack.yaml"),
                         [](const ::testing::TestParamInfo<const char*>& info) {
                           std::string name = info.param;
                           for (char& c : name)
                             if (!isalnum(static_cast<unsigned char>(c))) c = '_';
                           return name;
                         });

}  // namespace
}  // namespace corvane::test
