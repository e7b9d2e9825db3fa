// The failure of a viewer's creation: raised by the viewer and by the panes
// whose controls cannot be made; the exports turn it into "no window".
#pragma once

#include <stdexcept>
#include <string>

#include "uUnicode.h"

namespace corvane {

// what() is UTF-8, Text() the user-facing text it was made from.
class EViewerError : public std::runtime_error {
 public:
  explicit EViewerError(const std::u16string& text) : std::runtime_error(Utf16ToUtf8(text)), text_(text) {}
  const std::u16string& Text() const { return text_; }

 private:
  std::u16string text_;
};

}  // namespace corvane
