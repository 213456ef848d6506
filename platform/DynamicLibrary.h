// SPDX-FileCopyrightText: 2026 The VekGpuKalderExtensions Authors
// SPDX-License-Identifier: Apache-2.0
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

// The calling thread's last platform error code: GetLastError() on Windows,
// errno on POSIX. dlsym reports a failure only as text, so findSymbol sets
// errno to ENOENT when a symbol is missing.
int32_t lastErrorCode();

// Host side: load and unload a library. loadLibrary returns null on failure
// and sets `error` to the platform's explanation.
LibraryHandle loadLibrary(const std::string& path, std::string* error = nullptr);
void unloadLibrary(LibraryHandle library);

// File name of a shared library built as `name` on this platform
// (libname.so here, name.dll on Windows).
std::string sharedLibraryFileName(const std::string& name);

}  // namespace vek::platform
