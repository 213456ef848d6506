// SPDX-FileCopyrightText: 2026 The VekGpuKalderExtensions Authors
// SPDX-License-Identifier: Apache-2.0
#include "platform/DynamicLibrary.h"

#include <windows.h>

namespace vek::platform {

void* findSymbol(LibraryHandle library, const char* name) {
    return reinterpret_cast<void*>(GetProcAddress(static_cast<HMODULE>(library), name));
}

int32_t lastErrorCode() { return static_cast<int32_t>(GetLastError()); }

LibraryHandle loadLibrary(const std::string& path, std::string* error) {
    HMODULE module = LoadLibraryA(path.c_str());
    if (module == nullptr && error != nullptr) *error = "LoadLibrary failed with error " + std::to_string(GetLastError());
    return module;
}

void unloadLibrary(LibraryHandle library) {
    if (library != nullptr) FreeLibrary(static_cast<HMODULE>(library));
}

std::string sharedLibraryFileName(const std::string& name) { return name + ".dll"; }

}  // namespace vek::platform
