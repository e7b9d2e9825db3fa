// The corvane command's arguments: which command, on which file, with which
// paths and texts, and the options.
//
// Contract:
//  - Arguments are UTF-16 (the program's own argument vector, without the
//    program name), so non-ASCII file names and values survive on Windows.
//  - An argument that starts with "--" is an option, anywhere before a
//    lone "--" (after it everything is positional, for a VALUE that starts
//    with "--"); "-h" is --help; "-5" or "-" are positional.
//  - A malformed command line gives false with an English reason; --help
//    and --version win over everything else.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "uValueChecks.h"

namespace corvane::cli {

enum class TCommand { Help, Version, Paths, Get, Set, Rename, Check };

struct TCommandRequest {
  TCommand Command = TCommand::Help;
  std::u16string File;
  std::u16string Path;                                          // get
  std::vector<std::pair<std::u16string, std::u16string>> Edits;  // set: path, value; rename: path, new key
  bool DryRun = false;
  std::optional<TValueKind> As;  // set --as: the kind every value is written as
  int32_t MaxSize = 0;  // bytes; 0: no limit
};

bool ParseCommandLine(const std::vector<std::u16string>& args, TCommandRequest& request, std::string& error);

// The --help text.
const char* UsageText();
// The --version text: "corvane " and the release's version, one line.
const char* VersionText();

}  // namespace corvane::cli
