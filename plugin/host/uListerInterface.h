// The file manager's lister plug-in interface, as both sides see it: the
// parameters record, the eight exports' signatures, the show-flag and
// search-flag bits and the commands of ListSendCommand. The plug-in's exports,
// the lister host (the stand-in for the file manager) and the Windows tests
// all include this one header.
//
// The host calls every export with the stdcall convention on 32-bit and
// looks the names up undecorated (corvane.def); on 64-bit there is one
// calling convention.
#pragma once

#include <windows.h>

// Record handed over by ListSetDefaultParams; its layout is fixed by the host.
struct ListDefaultParamStruct {
  int size;
  DWORD PluginInterfaceVersionLow;
  DWORD PluginInterfaceVersionHi;
  char DefaultIniName[MAX_PATH];
};

// Show flags of ListLoad / ListLoadW, and the parameter of command 2.
constexpr int lcp_darkmode = 0x80;        // the host uses a dark colour scheme
constexpr int lcp_darkmodenative = 0x100; // the host asks for native dark mode

// Search flags of ListSearchText / ListSearchTextW.
constexpr int lcs_findfirst = 1;
constexpr int lcs_matchcase = 2;
constexpr int lcs_wholewords = 4;
constexpr int lcs_backwards = 8;

// Commands of ListSendCommand; the plug-in acts only on lc_newparams.
constexpr int lc_copy = 1;
constexpr int lc_newparams = 2;
constexpr int lc_selectall = 3;
constexpr int lc_setpercent = 4;

// Names the host looks up, in the order of the table above each typedef.
inline const char* const kListerExportNames[] = {
    "ListLoad",        "ListLoadW",      "ListCloseWindow", "ListGetDetectString",
    "ListSetDefaultParams", "ListSearchText", "ListSearchTextW", "ListSendCommand"};

using FListLoad = HWND(__stdcall*)(HWND parentWin, char* fileToLoad, int showFlags);
using FListLoadW = HWND(__stdcall*)(HWND parentWin, WCHAR* fileToLoad, int showFlags);
using FListCloseWindow = void(__stdcall*)(HWND listWin);
using FListGetDetectString = void(__stdcall*)(char* detectString, int maxLen);
using FListSetDefaultParams = void(__stdcall*)(ListDefaultParamStruct* params);
using FListSearchText = int(__stdcall*)(HWND listWin, char* searchString, int searchParameter);
using FListSearchTextW = int(__stdcall*)(HWND listWin, WCHAR* searchString, int searchParameter);
using FListSendCommand = int(__stdcall*)(HWND listWin, int command, int parameter);

// The exports as the plug-in declares them.
extern "C" {
HWND __stdcall ListLoad(HWND parentWin, char* fileToLoad, int showFlags);
HWND __stdcall ListLoadW(HWND parentWin, WCHAR* fileToLoad, int showFlags);
void __stdcall ListCloseWindow(HWND listWin);
void __stdcall ListGetDetectString(char* detectString, int maxLen);
void __stdcall ListSetDefaultParams(ListDefaultParamStruct* params);
int __stdcall ListSearchText(HWND listWin, char* searchString, int searchParameter);
int __stdcall ListSearchTextW(HWND listWin, WCHAR* searchString, int searchParameter);
int __stdcall ListSendCommand(HWND listWin, int command, int parameter);
}

// An export looked up in a loaded plug-in. FARPROC has no parameters; going
// through void* states that the cast is meant.
template <typename F>
F ListerExport(HMODULE plugin, const char* name) {
  return reinterpret_cast<F>(reinterpret_cast<void*>(GetProcAddress(plugin, name)));
}
