// The corvane command's commands over the plug-in's core: loading
// (plugin/loading), the value paths, display texts and JSON text
// (plugin/model), the typed-value checks of a cell edit (uValueChecks),
// edit locating with its proof and the checked save (plugin/editing).
//
// Contract:
//  - Output goes through the sinks of TCommandIo as UTF-8 text with "\n"
//    line ends; nothing is written to the console here.
//  - Exit codes: 0 done; 1 refused or failed, with one line "corvane: ..." on
//    the error sink and the file untouched; 2 bad usage (a malformed command
//    line or path).
//  - set and rename locate every edit of the call (each proven on its own)
//    before anything is written, then save once: the file is read again and
//    must still be the bytes that were loaded, the new text must load as the
//    loaded document except the edited values and keys, and it replaces the
//    file through a temporary file. Any refusal leaves the file as it was.
//  - Texts are English: the command sets the translation table to English
//    (a corvane.en.lng beside the program still applies).
#pragma once

#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "uCommandLine.h"

namespace corvane::cli {

constexpr int kExitDone = 0;
constexpr int kExitFailed = 1;
constexpr int kExitUsage = 2;

struct TCommandIo {
  std::function<void(std::string_view)> Out;  // standard output
  std::function<void(std::string_view)> Err;  // standard error
  // Called with the file name between loading and saving (test builds make
  // the file change there).
  std::function<void(const std::u16string& file)> BeforeSave;
};

int RunCommand(const TCommandRequest& request, TCommandIo& io);
// Reads the arguments (without the program name) and runs the command.
int RunCommandLine(const std::vector<std::u16string>& args, TCommandIo& io);

// A value on one line: backslash, tab, line feed and carriage return
// written as \\ \t \n \r.
std::string EscapeOnOneLine(std::string_view text);

}  // namespace corvane::cli
