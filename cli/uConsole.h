// The corvane command's console: its arguments as UTF-16 and its two output
// streams.
//
// Contract:
//  - Text is written as UTF-8 bytes exactly as given (no line-end
//    translation), except to a Windows console, which gets it as UTF-16 so
//    that any character shows whatever the console's code page is.
//  - A write that fails (a closed pipe) is dropped; nothing raises.
#pragma once

#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace corvane::cli {

void WriteStandardOutput(std::string_view text);
void WriteStandardError(std::string_view text);

// The program's arguments after its name: UTF-8 bytes (POSIX) or UTF-16
// units (Windows' wide argument vector).
std::vector<std::u16string> ArgumentsFromUtf8(int argc, const char* const* argv);
std::vector<std::u16string> ArgumentsFromUtf16(int argc, const char16_t* const* argv);

// Runs the command line on the console and gives the exit code. beforeSave
// is for test builds only (uCommands.h).
int RunOnConsole(const std::vector<std::u16string>& args,
                 std::function<void(const std::u16string& file)> beforeSave = {});

}  // namespace corvane::cli
