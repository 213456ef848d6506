// Loaded libraries: symbol lookup for the plug-in, loading for hosts and tests.
#pragma once

#include <cstdint>
#include <string>

namespace vek::platform {

// The platform's module handle (HMODULE on Windows, a dlopen handle on POSIX).
using LibraryHandle = void*;

// Address of `name` in an already loaded library, null when it has none.
// After a null result, lastErrorCode() tells why.
void* findSymbol(LibraryHandle library, const char* name);

// The calling thread's last platform error code. Windows: GetLastError().
// POSIX has no numeric code for a failed dlsym, so findSymbol records ENOENT
// for a missing symbol (and 0 after a successful lookup) in a thread-local
// value that this returns.
int32_t lastErrorCode();

// Host side: load and unload a library. loadLibrary returns null on failure
// and sets `error` to the platform's explanation.
LibraryHandle loadLibrary(const std::string& path, std::string* error = nullptr);
void unloadLibrary(LibraryHandle library);

// File name of a shared library built as `name` on this platform
// (libname.so here, name.dll on Windows).
std::string sharedLibraryFileName(const std::string& name);

}  // namespace vek::platform
