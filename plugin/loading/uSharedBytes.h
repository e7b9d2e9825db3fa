// The bytes of a loaded text, held once however many owners read them: the
// loaded document and the patch document of a file describe the same bytes
// until the first structural change, and a second copy of a 100 MB file
// would be the largest single cost of keeping it open.
//
// Contract:
//  - Immutable: a copy shares the bytes, an assignment of a std::string
//    takes that string over (moved, not copied) as new bytes; nothing ever
//    changes bytes another owner sees. Nothing converts to it implicitly,
//    so comparisons of plain strings never go through it.
//  - Reads as a const std::string (implicitly converts to const std::string&
//    and std::string_view); default-constructed it is empty.
//  - Two owners of the same bytes compare equal without reading them.
#pragma once

#include <cstddef>
#include <memory>
#include <ostream>
#include <string>
#include <string_view>
#include <utility>

namespace corvane {

class TSharedBytes {
 public:
  TSharedBytes() noexcept = default;
  explicit TSharedBytes(std::string bytes) : bytes_(std::make_shared<const std::string>(std::move(bytes))) {}
  TSharedBytes& operator=(std::string bytes) {
    bytes_ = std::make_shared<const std::string>(std::move(bytes));
    return *this;
  }

  const std::string& str() const noexcept { return bytes_ ? *bytes_ : Empty(); }
  operator const std::string&() const noexcept { return str(); }
  operator std::string_view() const noexcept { return str(); }

  size_t size() const noexcept { return str().size(); }
  size_t length() const noexcept { return str().size(); }
  bool empty() const noexcept { return str().empty(); }
  const char* data() const noexcept { return str().data(); }
  const char* c_str() const noexcept { return str().c_str(); }
  char operator[](size_t at) const noexcept { return str()[at]; }
  std::string::const_iterator begin() const noexcept { return str().begin(); }
  std::string::const_iterator end() const noexcept { return str().end(); }
  std::string substr(size_t at, size_t count = std::string::npos) const { return str().substr(at, count); }
  size_t find(std::string_view what, size_t from = 0) const noexcept { return str().find(what, from); }
  size_t find(char what, size_t from = 0) const noexcept { return str().find(what, from); }

  // Whether both hold the very same bytes (not merely equal ones).
  bool SharesWith(const TSharedBytes& other) const noexcept { return bytes_ == other.bytes_; }

 private:
  static const std::string& Empty() noexcept {
    static const std::string empty;
    return empty;
  }
  std::shared_ptr<const std::string> bytes_;
};

inline bool operator==(const TSharedBytes& a, const TSharedBytes& b) noexcept {
  return a.SharesWith(b) || a.str() == b.str();
}
inline bool operator==(const TSharedBytes& a, const std::string& b) noexcept { return a.str() == b; }
inline bool operator==(const std::string& a, const TSharedBytes& b) noexcept { return a == b.str(); }
inline bool operator==(const TSharedBytes& a, std::string_view b) noexcept { return std::string_view(a) == b; }
inline bool operator==(std::string_view a, const TSharedBytes& b) noexcept { return a == std::string_view(b); }
inline bool operator==(const TSharedBytes& a, const char* b) noexcept { return a.str() == b; }
inline bool operator==(const char* a, const TSharedBytes& b) noexcept { return a == b.str(); }
inline bool operator!=(const TSharedBytes& a, const TSharedBytes& b) noexcept { return !(a == b); }
inline bool operator!=(const TSharedBytes& a, const std::string& b) noexcept { return !(a == b); }
inline bool operator!=(const std::string& a, const TSharedBytes& b) noexcept { return !(a == b); }
inline bool operator!=(const TSharedBytes& a, std::string_view b) noexcept { return !(a == b); }
inline bool operator!=(std::string_view a, const TSharedBytes& b) noexcept { return !(a == b); }
inline bool operator!=(const TSharedBytes& a, const char* b) noexcept { return !(a == b); }
inline bool operator!=(const char* a, const TSharedBytes& b) noexcept { return !(a == b); }

inline std::ostream& operator<<(std::ostream& out, const TSharedBytes& bytes) { return out << bytes.str(); }

}  // namespace corvane
