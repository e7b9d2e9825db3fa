// lister_host: a stand-in for the file manager's lister window (see
// lister_host.cpp for the options). Shared by its files.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "uListerInterface.h"

struct TOptions {
  std::wstring PluginDir;
  std::wstring PluginName;  // default: corvane.wlx64 / corvane.wlx
  std::wstring IniFile;
  std::wstring File;
  std::wstring OutFile;
  std::wstring ScreenshotFile;
  std::wstring SendKeys;    // keys pressed in the plug-in's window after loading
  int ShowFlags = 0;
  int CloseAfterMs = -1;
  int Width = 900;
  int Height = 600;
  int BenchRuns = 0;        // --bench N: timing runs instead of a window session
  bool GridBench = false;   // --grid-bench: grid and text pane timings
  bool NoText = false;      // --no-text: the grid bench leaves out the text pane
  bool TextOnly = false;    // --text-only: the grid bench times the open, the text pane and the close
  bool Check = false;
  bool MenuShot = false;    // --screenshot with the context menu open
  int Tab = 0;              // --tab 1: the Text tab in the screenshot
  int FilterColumn = -1;    // --filter N=TEXT: typed into the filter edit of column N
  std::wstring FilterText;
};

struct TPlugin {
  HMODULE Module = nullptr;
  FListLoadW ListLoadW = nullptr;
  FListCloseWindow ListCloseWindow = nullptr;
  FListGetDetectString ListGetDetectString = nullptr;
  FListSetDefaultParams ListSetDefaultParams = nullptr;
  FListSearchTextW ListSearchTextW = nullptr;
  FListSendCommand ListSendCommand = nullptr;
};

struct THost {
  TOptions Options;
  TPlugin Plugin;
  HWND Main = nullptr;
  HWND ListWin = nullptr;
  HWND FindPrompt = nullptr;
  std::wstring LastSearch;
  int LastSearchFlags = 0;  // match case, whole words, backwards
  int HostFlags = 0;        // dark bits sent with command 2
  std::string Report;
};

extern THost gHost;

void Note(const std::string& line);
std::string Utf8(const std::wstring& text);

// The find prompt (Ctrl+F) and find next (F3).
void OpenFindPrompt();
void FindNext();
bool IsFindPromptMessage(MSG* message);

// Writes a PNG of a screen rectangle through the system's imaging component.
bool SaveScreenPng(const RECT& area, const std::wstring& file);

// --bench: opens and closes the file in the plug-in several times, timing
// each against the raw parser over the same bytes; writes the report.
int RunBench(THost& host);
// --grid-bench: times the open, a table build, filter keystrokes, header
// clicks and the text pane's colouring in the plug-in; writes the report.
int RunGridBench(THost& host);
// The raw parser passes the bench compares with (microseconds; -1 on error).
long long TimeRawYaml(const std::string& bytes, size_t* events);
long long TimeRawToml(const std::string& bytes);
