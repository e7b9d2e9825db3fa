// Memory of one TOML document of the parser library, apart from the host's.
//
// toml++ builds millions of small nodes for a large file and frees them while
// its tree is mirrored. In the Windows library, everything the library
// allocates while a document is parsed and mirrored comes from a heap of the
// document's own, which is destroyed with the document: the memory goes back
// to the system instead of staying committed in the host's heap, where
// Windows-style heaps keep freed small blocks for good. Elsewhere (and in the
// static library, which shares the program's allocator) it is the ordinary
// heap and the types below do nothing.
//
// Contract:
//  - Allocations made on the thread while a TParseAllocation is alive come
//    from its TParseMemory (when one could be set up and has room; otherwise,
//    and for blocks too large for it, from the C runtime's heap). Frees may
//    come from any thread at any time: a pointer is routed back by address.
//  - The heap is destroyed when its TParseMemory is gone and nothing
//    allocated from it is still alive; something still alive keeps it until
//    that is freed too, so no pointer ever outlives the memory it points to.
#pragma once

#include <cstddef>

#if defined(_WIN32) && defined(CVN_OWN_PARSE_MEMORY)
#define CVN_PARSE_MEMORY 1
#endif

namespace corvane::parser {

#if defined(CVN_PARSE_MEMORY)

class TParseMemory {
 public:
  // Room for a document of textLength bytes.
  explicit TParseMemory(size_t textLength);
  ~TParseMemory();
  TParseMemory(const TParseMemory&) = delete;
  TParseMemory& operator=(const TParseMemory&) = delete;

 private:
  friend class TParseAllocation;
  int slot_ = -1;  // in the library's table of heaps; -1: none set up
};

class TParseAllocation {
 public:
  explicit TParseAllocation(TParseMemory& memory);
  ~TParseAllocation();
  TParseAllocation(const TParseAllocation&) = delete;
  TParseAllocation& operator=(const TParseAllocation&) = delete;

 private:
  int previous_;
};

// The library's start and end (DllMain).
void ParseMemoryAttach();
void ParseMemoryDetach();

#else

class TParseMemory {
 public:
  explicit TParseMemory(size_t) {}
};

class TParseAllocation {
 public:
  explicit TParseAllocation(TParseMemory&) {}
};

#endif

}  // namespace corvane::parser
