// The side effects of the test flavour of the plug-in (corvane_test.wlx64):
// beeps, keys for the host and shell calls are written to a log that the
// Windows tests read through an export of this flavour, instead of reaching
// the machine. The flavour also exports the live-resource counts.
#include <windows.h>

#include <stdexcept>
#include <string>

#include "uGuard.h"
#include "uJsonModel.h"
#include "uJsonViewer.h"
#include "uOutside.h"
#include "uUnicode.h"
#include "uValuePath.h"
#include "uWinResources.h"

namespace {

std::u16string gLog;
std::u16string gStyleLog;  // visual styles asked for, apart: they come in numbers
bool gFailNext = false;

// Copies text to a caller's buffer (at most size - 1 bytes and a NUL);
// returns the text's full length.
int CopyOut(const std::string& text, char* buffer, int size) {
  const int length = static_cast<int>(text.size());
  if (buffer && size > 0) {
    const int copied = length < size - 1 ? length : size - 1;
    text.copy(buffer, static_cast<size_t>(copied));
    buffer[copied] = '\0';
  }
  return length;
}

// Records one side effect; a failure the test asked for is raised instead,
// to show that nothing thrown inside the plug-in reaches its caller.
void Note(const std::u16string& line) {
  if (gFailNext) {
    gFailNext = false;
    throw std::runtime_error("side effect failed on request");
  }
  gLog += line + u"\n";
}

}  // namespace

namespace corvane::outside {

void Beep(unsigned type) { Note(u"beep " + U16(std::to_string(type))); }

void PressKey(int virtualKey) { Note(u"key " + U16(std::to_string(virtualKey))); }

bool OpenWithShell(const std::u16string& target) {
  Note(u"open " + target);
  return true;
}

// "style CLASS [APP|LIST]", "-" standing for a null text.
void SetVisualStyle(void* window, const wchar_t* appName, const wchar_t* classList) {
  wchar_t className[64] = {};
  GetClassNameW(static_cast<HWND>(window), className, 64);
  auto text = [](const wchar_t* value) {
    return value ? std::u16string(reinterpret_cast<const char16_t*>(value)) : std::u16string(u"-");
  };
  gStyleLog += u"style " + text(className) + u" [" + text(appName) + u"|" + text(classList) + u"]\n";
}

}  // namespace corvane::outside

extern "C" {

// Live resources of one kind (corvane::win::TResourceKind).
int __stdcall CorvaneTestLiveCount(int kind) {
  return corvane::win::LiveCount(static_cast<corvane::win::TResourceKind>(kind));
}

// Copies the log of side effects since the last call (at most size - 1
// characters and a NUL) and empties it; returns the log's full length.
int __stdcall CorvaneTestTakeOutsideLog(wchar_t* buffer, int size) {
  const int length = static_cast<int>(gLog.size());
  if (buffer && size > 0) {
    const int copied = length < size - 1 ? length : size - 1;
    gLog.copy(reinterpret_cast<char16_t*>(buffer), static_cast<size_t>(copied));
    buffer[copied] = L'\0';
  }
  gLog.clear();
  return length;
}

// The visual styles asked for since the last call, like the log above;
// without a buffer only the length is returned and the log stays.
int __stdcall CorvaneTestTakeStyleLog(wchar_t* buffer, int size) {
  const int length = static_cast<int>(gStyleLog.size());
  if (!buffer || size <= 0) return length;
  const int copied = length < size - 1 ? length : size - 1;
  gStyleLog.copy(reinterpret_cast<char16_t*>(buffer), static_cast<size_t>(copied));
  buffer[copied] = L'\0';
  gStyleLog.clear();
  return length;
}

// The viewer's pending patches, each "START LENGTH SIZE REPLACEMENT\n" (the
// replacement's SIZE bytes of UTF-8 as they will be written, line breaks
// included), copied like the log above; -1 for a window without a viewer.
int __stdcall CorvaneTestPendingPatches(HWND listWin, char* buffer, int size) {
  const corvane::TJsonViewer* viewer = corvane::TJsonViewer::FromWindow(listWin);
  if (!viewer) return -1;
  std::string lines;
  for (const corvane::TSourcePatch& patch : viewer->PendingPatches())
    lines += std::to_string(patch.Start) + " " + std::to_string(patch.Length) + " " +
             std::to_string(patch.Replacement.size()) + " " + patch.Replacement + "\n";
  return CopyOut(lines, buffer, size);
}

// Every scalar the viewer shows now (its edits included) as
// "PATH<TAB>VALUE\n" in UTF-8, the value on one line; copied like the
// patches above; -1 for a window without a viewer.
int __stdcall CorvaneTestPathValues(HWND listWin, char* buffer, int size) {
  const corvane::TJsonViewer* viewer = corvane::TJsonViewer::FromWindow(listWin);
  if (!viewer || !viewer->DocumentValue()) return -1;
  std::u16string lines;
  corvane::ForEachLeafPath(viewer->DocumentValue(), u"$", corvane::TPathNames::Quoted,
                           [&](const std::u16string& path, corvane::TJsonData* leaf) {
                             std::u16string value = corvane::ValueSummaryText(leaf);
                             for (char16_t& c : value)
                               if (c == u'\n' || c == u'\r') c = u' ';
                             lines += path + u"\t" + value + u"\n";
                           });
  return CopyOut(corvane::Utf16ToUtf8(lines), buffer, size);
}

// The rows the viewer's grid shows by its own count; -1 without a viewer.
int __stdcall CorvaneTestVisibleRows(HWND listWin) {
  const corvane::TJsonViewer* viewer = corvane::TJsonViewer::FromWindow(listWin);
  return viewer ? viewer->VisibleRowCount() : -1;
}

// Failures the plug-in's exception barriers dropped since it was loaded.
int __stdcall CorvaneTestCaughtExceptions() { return corvane::win::CaughtExceptionCount(); }

// The next side effect raises an exception inside the plug-in.
void __stdcall CorvaneTestFailNextOutsideCall() { gFailNext = true; }

}  // extern "C"
