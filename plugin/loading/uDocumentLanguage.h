// The language a document is written in. Scalar typing, edit locating and
// the text pane's colours follow different rules for each; a file's
// extension decides it (LanguageOfFileName, uFileLoading.h).
#pragma once

namespace corvane {

enum class TDocumentLanguage { Yaml, Toml };

}  // namespace corvane
