// The two character classes every scanner of YAML and TOML text asks about.
#pragma once

namespace corvane {

// A blank inside a line: space or tab.
constexpr bool IsBlank(char c) { return c == ' ' || c == '\t'; }
// A character that ends a line: LF or CR.
constexpr bool IsLineBreak(char c) { return c == '\n' || c == '\r'; }

}  // namespace corvane
