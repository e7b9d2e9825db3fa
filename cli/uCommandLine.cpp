// Reading the corvane command's arguments. See uCommandLine.h.
#include "uCommandLine.h"

#include <limits>

#include "uUnicode.h"

namespace corvane::cli {

namespace {

struct TCommandShape {
  const char16_t* Name;
  TCommand Command;
  const char* Operands;  // as the usage names them
};

constexpr TCommandShape kCommands[] = {
    {u"paths", TCommand::Paths, "FILE"},
    {u"get", TCommand::Get, "FILE PATH"},
    {u"set", TCommand::Set, "FILE PATH VALUE [PATH VALUE ...]"},
    {u"rename", TCommand::Rename, "FILE PATH NEWKEY"},
    {u"check", TCommand::Check, "FILE"},
};

// A byte count: decimal digits only, above 0; counts beyond the largest
// readable file mean the same as that size.
bool ParseMaxSize(const std::u16string& text, int32_t& size) {
  if (text.empty() || text.size() > 30) return false;
  int64_t value = 0;
  for (const char16_t c : text) {
    if (c < u'0' || c > u'9') return false;
    value = std::min<int64_t>(value * 10 + (c - u'0'), std::numeric_limits<int32_t>::max());
  }
  size = int32_t(value);
  return size > 0;
}

// The kind named by --as.
bool ParseValueKind(const std::u16string& name, std::optional<TValueKind>& kind) {
  static const std::pair<const char16_t*, TValueKind> kKinds[] = {{u"string", TValueKind::String},
                                                                   {u"number", TValueKind::Number},
                                                                   {u"bool", TValueKind::Boolean},
                                                                   {u"null", TValueKind::Null}};
  for (const auto& [text, value] : kKinds)
    if (name == text) return kind = value, true;
  return false;
}

// The value of an option written "--name VALUE" or "--name=VALUE" at
// args[i] (i moves past a separate value); false when none follows.
bool OptionValue(const std::vector<std::u16string>& args, size_t& i, size_t nameLength, std::u16string& value) {
  const std::u16string& arg = args[i];
  if (arg.size() > nameLength) return value = arg.substr(nameLength + 1), true;
  if (i + 1 == args.size()) return false;
  value = args[++i];
  return true;
}

// Takes the options out of args; false on a bad one. --help and --version
// end the reading: they win over everything else (help set true, with the
// request's command Help or Version).
bool ReadOptions(const std::vector<std::u16string>& args, TCommandRequest& request,
                 std::vector<std::u16string>& operands, bool& help, std::string& error) {
  bool optionsEnd = false;
  for (size_t i = 0; i < args.size(); ++i) {
    const std::u16string& arg = args[i];
    if (optionsEnd || (arg.rfind(u"--", 0) != 0 && arg != u"-h")) {
      operands.push_back(arg);
    } else if (arg == u"--") {
      optionsEnd = true;
    } else if (arg == u"--help" || arg == u"-h" || arg == u"--version") {
      request = TCommandRequest{};
      request.Command = arg == u"--version" ? TCommand::Version : TCommand::Help;
      help = true;
      return true;
    } else if (arg == u"--dry-run") {
      request.DryRun = true;
    } else if (arg == u"--max-size" || arg.rfind(u"--max-size=", 0) == 0) {
      std::u16string value;
      if (!OptionValue(args, i, 10, value)) return error = "--max-size needs a number of bytes", false;
      if (!ParseMaxSize(value, request.MaxSize))
        return error = "--max-size needs a positive number of bytes, not \"" + Utf16ToUtf8(value) + "\"", false;
    } else if (arg == u"--as" || arg.rfind(u"--as=", 0) == 0) {
      std::u16string value;
      if (!OptionValue(args, i, 4, value) || !ParseValueKind(value, request.As))
        return error = "--as needs string, number, bool or null", false;
    } else {
      return error = "unknown option " + Utf16ToUtf8(arg), false;
    }
  }
  return true;
}

// Puts the operands of the command in place; false when their count does
// not fit the command.
bool TakeOperands(const TCommandShape& shape, const std::vector<std::u16string>& operands, TCommandRequest& request) {
  const size_t count = operands.size() - 1;  // after the command's name
  switch (shape.Command) {
    case TCommand::Paths:
    case TCommand::Check:
      if (count != 1) return false;
      break;
    case TCommand::Get:
      if (count != 2) return false;
      request.Path = operands[2];
      break;
    case TCommand::Set:
    case TCommand::Rename:
      if (count < 3 || count % 2 == 0 || (shape.Command == TCommand::Rename && count != 3)) return false;
      for (size_t i = 2; i + 1 < operands.size(); i += 2) request.Edits.emplace_back(operands[i], operands[i + 1]);
      break;
    case TCommand::Help:
    case TCommand::Version:
      break;
  }
  request.File = operands[1];
  return true;
}

}  // namespace

bool ParseCommandLine(const std::vector<std::u16string>& args, TCommandRequest& request, std::string& error) {
  request = TCommandRequest{};
  std::vector<std::u16string> operands;
  bool help = false;
  if (!ReadOptions(args, request, operands, help, error)) return false;
  if (help) return true;
  if (operands.empty()) return error = "no command given", false;
  for (const TCommandShape& shape : kCommands) {
    if (operands[0] != shape.Name) continue;
    request.Command = shape.Command;
    if (!TakeOperands(shape, operands, request))
      return error = "usage: corvane " + Utf16ToUtf8(shape.Name) + " " + shape.Operands, false;
    if (request.DryRun && shape.Command != TCommand::Set && shape.Command != TCommand::Rename)
      return error = "--dry-run goes with set and rename only", false;
    if (request.As && shape.Command != TCommand::Set) return error = "--as goes with set only", false;
    return true;
  }
  return error = "unknown command \"" + Utf16ToUtf8(operands[0]) + "\"", false;
}

const char* VersionText() { return "corvane " CORVANE_VERSION "\n"; }

const char* UsageText() {
  return R"(Usage: corvane COMMAND [OPTIONS] FILE ...

Reads and changes single values in YAML and TOML files (".toml" is TOML,
every other name YAML). An edit replaces only the bytes of the value or key
it changes: comments, blank lines, indentation, quoting and line ends stay.

Commands:
  paths FILE         one line per value: PATH, a tab, the value
  get FILE PATH      the value at PATH; an object or array as JSON
  set FILE PATH VALUE [PATH VALUE ...]
                     change values, all in one checked save
  rename FILE PATH NEWKEY
                     give the member at PATH a new key
  check FILE         load the file; nothing is printed when it loads,
                     otherwise the error with its line and column

Options:
  --dry-run          (set, rename) print each edit as PATH, byte offset,
                     byte length, old text and new text, tab-separated;
                     write nothing
  --as KIND          (set) write every VALUE as KIND: string, number,
                     bool or null (null in YAML only), whatever the value
                     was before
  --max-size BYTES   refuse files of more than BYTES bytes (no limit
                     unless given)
  -h, --help         this text
  --version          the version ("corvane 0.2.0")
  --                 ends the options, for a VALUE that starts with "--"

Paths: "$" is the document (with several YAML documents "$[0]" is the
first), ".name" a member, "[2]" an element: $.services.web.image. A name
that is empty or holds . [ ] " a blank or a control character is written
["..."] with JSON escapes: $.metadata.labels["app.kubernetes.io/name"].
"paths" writes a backslash, tab, line feed and carriage return in a value
as \\ \t \n \r, so every value stays on its line.

Values are checked against the value they replace, as in the viewer: a
number must be a JSON number (an integer stays an integer), a boolean true
or false, a string takes any text; a null takes any text and becomes what
the text reads as in the file (a number, boolean, string, or still null).
--as states the kind instead. Each value and key keeps the style it was
written in where that style holds the new text: a plain YAML string stays
plain unless it would read back as something else (yes, null, 1e5, a text
with ": " or " #", ...), then single quotes, then double quotes; quoted
values keep their quotes; a TOML string keeps its form, a bare key stays
bare. Anchors and tags stay in front of the new value. Aliases, merge keys
(<<) and values that cannot be written without changing the file's
structure (an ambiguous TOML line, a text a block scalar cannot hold) are
refused.

Before anything is written the file is read again (a file changed since it
was loaded is refused), the new text must load as the same document except
the edited values, and it replaces the file through a temporary file in the
same folder.

Exit status: 0 done, 1 refused or failed (the reason on stderr, the file
untouched), 2 bad usage.

Examples:
  corvane set Cargo.toml '$.package.version' 0.5.0
  corvane set compose.yml '$.services.web.image' nginx:1.27
  corvane set ci-workflow.yaml '$.jobs.test.strategy.fail-fast' true
  corvane set --as string compose.yml '$.services.web.ports[0]' 8080
  corvane get compose.yml '$.services.api.healthcheck'
  corvane rename --dry-run compose.yml '$.services.db' database
)";
}

}  // namespace corvane::cli
