// How a text is written as a YAML or TOML scalar or key: which styles can
// hold a text at a given place, the text written in one of them, and the
// style nearest to the one a value or key had. Edit locating writes every
// value edit and key rename with these (uEditForms.h); anything else that
// writes scalars or keys into a file should use them too.
//
// Contract:
//  - "Holds" means: the written form, read back, is exactly the text as a
//    string, for this system's scalar typing (uScalarTyping.h) and for the
//    common YAML readers (the YAML 1.1 types and the YAML 1.2 core schema).
//    A plain YAML form therefore holds a text only when no reader takes it
//    for a null, boolean, number, date, merge key ("<<") or value key ("="),
//    and when it has no character the plain style cannot carry at that place
//    (indicators, ": ", " #", a leading or trailing blank, a tab, a line
//    break, a byte-order mark, a character that needs an escape; in a flow
//    collection also , [ ] { } and ":").
//  - Single quotes hold a text without line breaks, tabs and characters that
//    need an escape; double quotes and TOML basic strings hold every text.
//  - Edit locating proves every written edit by parsing it again, so a rule
//    here that says "holds" too readily ends in a refusal, never in a
//    changed value.
//  - Pure functions of their arguments; nothing is raised.
#pragma once

#include <string>
#include <string_view>

#include "uTomlText.h"

namespace corvane {

// ---- YAML --------------------------------------------------------------------

// YAML scalar styles, numbered as the structure records number them.
enum TYamlStyle : int { ysPlain = 1, ysSingleQuoted = 2, ysDoubleQuoted = 3 };

// Where a YAML scalar stands: inside a flow collection or in block context,
// as an implicit mapping key or as a value (a sequence item is a value).
struct TYamlPlace {
  bool Flow = false;
  bool Key = false;
};

// True when text written plain at place reads back as exactly this string.
// readAlike is the plain text the file holds there now, if any: a text the
// other readers take for the same kind of value as it (both YAML 1.1
// booleans, both numbers, both dates) may stay plain too, since the file's
// readers already read that place so ("no" over "yes").
bool YamlPlainHolds(std::string_view text, TYamlPlace place, std::string_view readAlike = {});
// True when single quotes hold text (one line, no tab, no escape needed).
bool YamlSingleQuotedHolds(std::string_view text);

// The style a string takes where a scalar of style `style` stood: that style
// when it holds the text; after plain, single quotes when singleAfterPlain
// and they hold it; double quotes otherwise. Styles other than plain and
// single-quoted count as double-quoted.
TYamlStyle YamlStringStyle(std::string_view text, int style, TYamlPlace place, bool singleAfterPlain,
                           std::string_view readAlike = {});
// text written in style (the caller has made sure the style holds it).
std::string WriteYamlScalar(std::string_view text, TYamlStyle style);
// YamlStringStyle and WriteYamlScalar in one.
std::string WriteYamlString(std::string_view text, int style, TYamlPlace place, bool singleAfterPlain,
                            std::string_view readAlike = {});

// ---- TOML ----------------------------------------------------------------------

enum class TTomlKeyStyle { Bare, Basic, Literal };

// The style of a key as written (its first byte: '"' basic, '\'' literal).
TTomlKeyStyle TomlKeyStyleOf(std::string_view written);
// A non-empty name of "A"-"Z", "a"-"z", "0"-"9", "-" and "_" only.
bool IsTomlBareKey(std::string_view name);
// name written as a key of style `style` where that style holds it (a bare
// key stays bare when the name is bare-safe, a literal key literal when the
// name fits), else as a basic (double-quoted) key.
std::string WriteTomlKey(std::string_view name, TTomlKeyStyle style);

// True when a literal string (multi-line or not) holds text as it is.
bool TomlLiteralHolds(std::string_view text, bool multiLine);
// text written as a TOML string of `form` where that form holds it, else of
// the nearest form that does (a literal string becomes a basic string, a
// multi-line literal string a multi-line basic one); a form that is no
// string form gives a basic string. A multi-line string writes each line
// break as lineBreak, after a line break right behind its opening delimiter
// when leadingBreak is set or the text starts with a line break.
std::string WriteTomlString(std::string_view text, TTomlForm form, std::string_view lineBreak, bool leadingBreak);

// ---- shared ----------------------------------------------------------------------

// A double-quoted scalar valid in YAML and as a TOML basic string or key.
std::string QuoteDoubleString(std::u16string_view text);
std::string QuoteDoubleStringUtf8(std::string_view text);

// "A"-"Z", "a"-"z", "0"-"9", "-", "_".
bool IsBareKeyChar(unsigned char c);

// True when text has a character no unescaped form holds: a control
// character other than tab and line feed, DEL, a C1 control, U+2028,
// U+2029, U+FFFE or U+FFFF.
bool NeedsEscapes(std::string_view text);

}  // namespace corvane
