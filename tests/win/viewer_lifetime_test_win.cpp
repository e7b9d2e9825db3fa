// What a viewer leaves behind: nothing. Every font, brush, pen, bitmap,
// menu, timer, subclass, window and user-data slot a viewer owns is counted
// by the test flavour of the plug-in, which these tests read (the system's
// GDI counters always say 0 under wine).
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include "gui_test_support.h"

namespace corvane::test {
namespace {

enum TKind { kFont, kBrush, kPen, kBitmap, kMenu, kTimer, kSubclass, kWindow, kUserData, kViewer };

class ViewerLifetime : public ::testing::Test {
 protected:
  void SetUp() override {
    file_ = dll_.Dir.File("doc.yaml");
    WriteFileBytes(file_, "servers:\n  - {host: a, port: 1}\n  - {host: b, port: 2}\nname: x\n");
  }
  TPluginDll dll_;
  std::string file_;
};

TEST_F(ViewerLifetime, a_closed_viewer_leaves_no_resource_and_no_window) {
  HWND main = dll_.Open(file_);
  ASSERT_NE(main, nullptr);
  TViewerControls v(main);
  EXPECT_EQ(dll_.LiveCount(kFont), 3);
  EXPECT_EQ(dll_.LiveCount(kSubclass), 5 + 2);  // four controls, the grid's header, two filter edits
  EXPECT_EQ(dll_.LiveCount(kViewer), 1);
  EXPECT_EQ(v.Text, nullptr);  // the text pane comes with the Text tab
  TabCtrl_SetCurSel(v.Tab, 1);
  Notify(main, v.Tab, TCN_SELCHANGE);
  EXPECT_EQ(dll_.LiveCount(kSubclass), 6 + 2);
  HFONT font = reinterpret_cast<HFONT>(SendMessageW(v.Grid, WM_GETFONT, 0, 0));
  ASSERT_NE(GetObjectType(font), 0u);
  // The fonts are replaced on zoom; the old ones go.
  SendMessageW(main, WM_MOUSEWHEEL, MAKEWPARAM(MK_CONTROL, WHEEL_DELTA), 0);
  EXPECT_EQ(GetObjectType(font), 0u);
  EXPECT_EQ(dll_.LiveCount(kFont), 3);
  font = reinterpret_cast<HFONT>(SendMessageW(v.Grid, WM_GETFONT, 0, 0));
  dll_.Close(main);
  EXPECT_EQ(dll_.LiveTotal(), 0);
  EXPECT_EQ(GetObjectType(font), 0u);
  EXPECT_EQ(CountChildren(dll_.Parent()), 0);
}

TEST_F(ViewerLifetime, refused_or_failed_creation_leaves_nothing) {
  const std::string json = dll_.Dir.File("a.json");
  WriteFileBytes(json, "{}");
  EXPECT_EQ(dll_.Open(json), nullptr);
  // No parent: creation fails after the file was loaded and the flat-level
  // menu made, when the window cannot be created.
  std::wstring file = WinPath(file_);
  EXPECT_EQ(ListerExport<FListLoadW>(dll_.Module(), "ListLoadW")(nullptr, &file[0], 0), nullptr);
  EXPECT_EQ(dll_.LiveTotal(), 0);
  EXPECT_EQ(CountChildren(dll_.Parent()), 0);
  EXPECT_EQ(dll_.ReadIni(), "[corvane]\r\n");  // nothing written back
}

TEST_F(ViewerLifetime, a_window_the_host_destroys_takes_its_viewer_along) {
  HWND main = dll_.Open(file_);
  ASSERT_NE(main, nullptr);
  DestroyWindow(main);
  EXPECT_EQ(dll_.LiveTotal(), 0);
  dll_.Close(main);  // a later close finds no viewer
}

TEST_F(ViewerLifetime, a_hundred_viewers_open_at_once_close_in_reverse_order) {
  std::vector<HWND> windows;
  for (int i = 0; i < 100; ++i) {
    HWND main = dll_.Open(file_);
    ASSERT_NE(main, nullptr) << i;
    windows.push_back(main);
  }
  EXPECT_EQ(dll_.LiveCount(kViewer), 100);
  EXPECT_EQ(dll_.LiveCount(kFont), 300);
  // Each viewer still answers for itself.
  TViewerControls first(windows.front());
  EXPECT_EQ(SelectedTreeText(first.Tree), L"servers");
  for (auto it = windows.rbegin(); it != windows.rend(); ++it) {
    dll_.Close(*it);
    EXPECT_FALSE(IsWindow(*it));
  }
  EXPECT_EQ(dll_.LiveTotal(), 0);
  EXPECT_EQ(CountChildren(dll_.Parent()), 0);
}

// A suite of its own: CTest runs it as a separate entry (it takes minutes
// under wine).
using ViewerCycles = ViewerLifetime;

TEST_F(ViewerCycles, a_thousand_open_close_cycles_keep_memory_flat) {
  // Each viewer shows the Text tab too: its control and its text go with it.
  auto cycle = [&] {
    HWND main = dll_.Open(file_);
    ASSERT_NE(main, nullptr);
    const TViewerControls v(main);
    TabCtrl_SetCurSel(v.Tab, 1);
    Notify(main, v.Tab, TCN_SELCHANGE);
    PumpMessages();
    dll_.Close(main);
  };
  for (int i = 0; i < 50; ++i) cycle();
  const size_t warm = PrivateBytes();
  for (int i = 0; i < 1000; ++i) {
    cycle();
    ASSERT_EQ(dll_.LiveTotal(), 0) << "cycle " << i;
  }
  const size_t after = PrivateBytes();
  // A leak of one font handle's bookkeeping or one small block per cycle
  // shows as growth in proportion to the cycles; allocator noise does not.
  EXPECT_LT(after, warm + 2 * 1024 * 1024) << "private bytes " << warm << " -> " << after;
}

TEST_F(ViewerLifetime, a_failure_inside_a_handler_is_caught_and_the_viewer_goes_on) {
  HWND main = dll_.Open(file_);
  TViewerControls v(main);
  dll_.TakeOutsideLog();
  // The beep of a search without result raises inside ListSearchTextW.
  dll_.FailNextOutsideCall();
  EXPECT_EQ(dll_.Search(main, L"no such text", 1), 0);
  // A key handed to the host raises inside the grid's subclass procedure.
  SetFocus(v.Grid);
  dll_.FailNextOutsideCall();
  PressKey(v.Grid, 'N');
  EXPECT_EQ(dll_.TakeOutsideLog(), L"");
  // The viewer answers as before.
  EXPECT_EQ(CellText(v.Grid, 1, 0), L"b");
  dll_.Search(main, L"b", 1);
  EXPECT_EQ(SelectedRows(v.Grid), std::vector<int>{1});
  dll_.Close(main);
  EXPECT_EQ(dll_.LiveTotal(), 0);
}

TEST(viewer_module, unloading_and_loading_again_registers_the_window_class_anew) {
  TempDir dir;
  WriteFileBytes(dir.File("a.yaml"), "a: 1\n");
  for (int round = 0; round < 2; ++round) {
    TPluginDll dll;
    HWND main = dll.Open(dir.File("a.yaml"));
    ASSERT_NE(main, nullptr) << "round " << round;
    dll.Close(main);
  }
}

}  // namespace
}  // namespace corvane::test
