#include "uDocumentLanguage.h"

#include "uUnicode.h"

namespace corvane {

std::optional<TDocumentLanguage> LanguageOfExtension(std::u16string_view fileName) {
  const size_t folder = fileName.find_last_of(u"\\/");
  const std::u16string_view name = folder == std::u16string_view::npos ? fileName : fileName.substr(folder + 1);
  const size_t dot = name.rfind(u'.');
  if (dot == std::u16string_view::npos) return std::nullopt;
  const std::u16string extension = AsciiLowerText(name.substr(dot));
  if (extension == u".toml") return TDocumentLanguage::Toml;
  if (extension == u".yaml" || extension == u".yml") return TDocumentLanguage::Yaml;
  return std::nullopt;
}

}  // namespace corvane
