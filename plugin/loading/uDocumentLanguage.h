// The language a document is written in. Scalar typing, edit locating and
// the text pane's colours follow different rules for each; the file name's
// extension decides it, by the one rule below that the viewer, loading,
// editing and the command all follow.
#pragma once

#include <optional>
#include <string_view>

namespace corvane {

enum class TDocumentLanguage { Yaml, Toml };

// The language a file name's extension names: ".toml" is TOML, ".yaml" and
// ".yml" are YAML, in any ASCII letter case; nothing for another extension
// or none. The extension is taken from the last dot of the name's last
// part: the folders before it ("\" or "/") never count, so
// "C:\Users\john.doe\Cargo.toml" is TOML and "config.toml.d/x.yaml" YAML.
std::optional<TDocumentLanguage> LanguageOfExtension(std::u16string_view fileName);

}  // namespace corvane
