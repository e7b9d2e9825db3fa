// Loading code modules by full path, and finding the module this code lives in.
//
// The plug-in keeps its helper libraries (the native parser) next to itself and
// must load exactly those files: a library of the same name elsewhere on the
// search path is never used. These four calls are all the operating-system
// support the core needs for that; Win32 and POSIX each implement them.
#pragma once

#include <string>

namespace corvane::platform {

// Full path (UTF-16) of the module that holds this code: the plug-in DLL, or the
// test program/shared object standing in for it — never the host program.
// Returns an empty string when the path cannot be determined.
std::u16string OwnModuleFileName();

using TLibraryHandle = void*;

// Loads the library at fullPath. Returns nullptr on failure. Never searches a
// path: a bare file name (no folder part) is refused.
TLibraryHandle LoadLibraryByPath(const std::u16string& fullPath);

// Address of the exported symbol, or nullptr when it is missing or lib is null.
void* ResolveSymbol(TLibraryHandle lib, const char* name);

// Releases a handle from LoadLibraryByPath; null is ignored.
void ReleaseLibrary(TLibraryHandle lib);

}  // namespace corvane::platform
