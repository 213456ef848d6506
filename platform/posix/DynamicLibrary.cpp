// SPDX-FileCopyrightText: 2026 The VekGpuKalderExtensions Authors
// SPDX-License-Identifier: Apache-2.0
#include "platform/DynamicLibrary.h"

#include <cerrno>
#include <dlfcn.h>

namespace vek::platform {

void* findSymbol(LibraryHandle library, const char* name) {
    dlerror();  // clear any earlier error so the one below is ours
    void* address = dlsym(library, name);
    // dlsym reports failure as text only; errno is the thread's error code.
    if (address == nullptr && dlerror() != nullptr) errno = ENOENT;
    return address;
}

int32_t lastErrorCode() { return errno; }

LibraryHandle loadLibrary(const std::string& path, std::string* error) {
    void* handle = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (handle == nullptr && error != nullptr) {
        const char* why = dlerror();
        *error = why != nullptr ? why : "unknown error";
    }
    return handle;
}

void unloadLibrary(LibraryHandle library) {
    if (library != nullptr) dlclose(library);
}

std::string sharedLibraryFileName(const std::string& name) { return "lib" + name + ".so"; }

}  // namespace vek::platform
