// An owning UTF-8 byte string in 8 bytes, for the texts held once per node
// (structure node fields, member names, string values): a large file holds
// about one node per eight bytes of text, so the 32 bytes of a std::string
// per text dominated the trees' size.
//
// Contract:
//  - Empty: all bits zero, nothing allocated.
//  - Up to 7 bytes: stored inside the object (first byte = length * 2 + 1,
//    then the bytes), nothing allocated. Keys like "name" or "port" and
//    values like "true" or "8080" are this short.
//  - Longer: one allocation holding the length followed by the bytes; the
//    object keeps its address (always even, so the first byte tells the
//    two forms apart). The length is written in 7-bit groups, low first, the
//    top bit of a byte set where another follows: one byte up to 127, where
//    a word would take eight. It is node memory (uNodeMemory.h): a text made
//    while a tree is loaded shares that tree's blocks.
//  - Any byte value may occur, NUL included; data() is not NUL-terminated.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <ostream>
#include <string>
#include <string_view>

#include "uNodeMemory.h"

#if defined(__BYTE_ORDER__) && __BYTE_ORDER__ != __ORDER_LITTLE_ENDIAN__
#error "TCompactText keeps its form tag in the pointer's low byte: little-endian only"
#endif

namespace corvane {

class TCompactText {
 public:
  TCompactText() noexcept = default;
  explicit TCompactText(std::string_view text) { Assign(text); }
  TCompactText(const TCompactText& other) { Assign(other.view()); }
  TCompactText(TCompactText&& other) noexcept { Take(other); }
  ~TCompactText() { Free(); }

  TCompactText& operator=(const TCompactText& other) {
    if (this != &other) Assign(other.view());
    return *this;
  }
  TCompactText& operator=(TCompactText&& other) noexcept {
    if (this != &other) {
      Free();
      Take(other);
    }
    return *this;
  }
  TCompactText& operator=(std::string_view text) {
    Assign(text);
    return *this;
  }
  TCompactText& operator=(const std::string& text) { return *this = std::string_view(text); }
  TCompactText& operator=(const char* text) { return *this = std::string_view(text ? text : ""); }

  bool empty() const noexcept { return raw_[0] == 0 && Heap() == nullptr; }
  size_t size() const noexcept {
    if (IsInline()) return raw_[0] >> 1;
    const char* heap = Heap();
    if (!heap) return 0;
    size_t length;
    ReadLength(heap, length);
    return length;
  }
  const char* data() const noexcept {
    if (IsInline()) return reinterpret_cast<const char*>(raw_ + 1);
    const char* heap = Heap();
    size_t length;
    return heap ? ReadLength(heap, length) : reinterpret_cast<const char*>(raw_);
  }
  std::string_view view() const noexcept {
    if (IsInline()) return std::string_view(reinterpret_cast<const char*>(raw_ + 1), raw_[0] >> 1);
    const char* heap = Heap();
    if (!heap) return std::string_view();
    size_t length;
    const char* bytes = ReadLength(heap, length);
    return std::string_view(bytes, length);
  }
  // Sets the text, sharing like's stored block instead of a copy when like
  // holds the same text in node memory that can be shared (a batch's).
  void AssignLike(std::string_view text, const TCompactText& like) {
    if (this == &like) return Assign(text);
    char* heap = like.Heap();
    if (heap && text.size() > kInlineMax && like.view() == text && NodeShare(heap)) {
      Free();
      std::memcpy(raw_, like.raw_, sizeof raw_);
      return;
    }
    Assign(text);
  }
  char operator[](size_t index) const noexcept { return data()[index]; }  // index < size()
  operator std::string_view() const noexcept { return view(); }
  std::string str() const { return std::string(data(), size()); }
  void clear() noexcept { Free(); }

  // Texts up to this many bytes are always kept inside the object.
  static constexpr size_t kInlineMax = 7;

  // Same text as other. Each text has exactly one form (unused inline bytes
  // are zero), so two inline texts compare as one 8-byte word, and an inline
  // text never equals an allocated one.
  bool Equals(const TCompactText& other) const noexcept {
    if (IsInline() || other.IsInline() || empty() || other.empty())
      return std::memcmp(raw_, other.raw_, sizeof raw_) == 0;
    return view() == other.view();
  }

 private:
  alignas(8) unsigned char raw_[8] = {};

  bool IsInline() const noexcept { return (raw_[0] & 1) != 0; }
  char* Heap() const noexcept {
    if (IsInline()) return nullptr;
    char* p;
    std::memcpy(&p, raw_, sizeof p);
    return p;
  }
  // The length at heap, and the address of the bytes after it.
  static const char* ReadLength(const char* heap, size_t& length) noexcept {
    const auto* at = reinterpret_cast<const unsigned char*>(heap);
    length = 0;
    for (unsigned shift = 0;; shift += 7) {
      const unsigned char group = *at++;
      length |= size_t(group & 0x7F) << shift;
      if (!(group & 0x80)) return reinterpret_cast<const char*>(at);
    }
  }
  static size_t LengthBytes(size_t length) noexcept {
    size_t bytes = 1;
    for (; length >= 0x80; length >>= 7) ++bytes;
    return bytes;
  }
  void Take(TCompactText& other) noexcept {
    std::memcpy(raw_, other.raw_, sizeof raw_);
    std::memset(other.raw_, 0, sizeof other.raw_);
  }
  void Free() noexcept {
    NodeFree(Heap());
    std::memset(raw_, 0, sizeof raw_);
  }
  // Builds the new form first: text may point into this object's own bytes.
  void Assign(std::string_view text) {
    unsigned char next[8] = {};
    if (text.size() > kInlineMax) {
      char* heap = static_cast<char*>(NodeAllocate(LengthBytes(text.size()) + text.size()));
      auto* at = reinterpret_cast<unsigned char*>(heap);
      size_t length = text.size();
      for (; length >= 0x80; length >>= 7) *at++ = static_cast<unsigned char>(length | 0x80);
      *at++ = static_cast<unsigned char>(length);
      std::memcpy(at, text.data(), text.size());
      std::memcpy(next, &heap, sizeof heap);
    } else if (!text.empty()) {
      next[0] = static_cast<unsigned char>(text.size() * 2 + 1);
      std::memcpy(next + 1, text.data(), text.size());
    }
    Free();
    std::memcpy(raw_, next, sizeof raw_);
  }
};

inline bool operator==(const TCompactText& a, const TCompactText& b) { return a.Equals(b); }
inline bool operator==(const TCompactText& a, std::string_view b) { return a.view() == b; }
inline bool operator==(std::string_view a, const TCompactText& b) { return a == b.view(); }
inline bool operator==(const TCompactText& a, const std::string& b) { return a.view() == b; }
inline bool operator==(const std::string& a, const TCompactText& b) { return a == b.view(); }
inline bool operator==(const TCompactText& a, const char* b) { return a.view() == std::string_view(b); }
inline bool operator==(const char* a, const TCompactText& b) { return std::string_view(a) == b.view(); }
template <typename T>
bool operator!=(const TCompactText& a, const T& b) { return !(a == b); }
template <typename T>
bool operator!=(const T& a, const TCompactText& b) { return !(a == b); }
inline bool operator!=(const TCompactText& a, const TCompactText& b) { return !(a == b); }

inline std::ostream& operator<<(std::ostream& out, const TCompactText& text) { return out << text.view(); }

}  // namespace corvane
