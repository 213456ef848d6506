// SPDX-FileCopyrightText: 2026 The VekGpuKalderExtensions Authors
// SPDX-License-Identifier: Apache-2.0
// Loads the built plug-in the way a host does and hands out backend objects.
#pragma once

#include <memory>
#include <string>

#include "BackendExtensions/IBackend.h"
#include "platform/DynamicLibrary.h"

namespace vek::test {

using tools::kalder::IBackend;

// The plug-in library, loaded once per test process and kept loaded.
class Plugin {
public:
    static Plugin& instance();

    platform::LibraryHandle handle() const { return handle_; }
    CreateBackendInterfaceFn create = nullptr;
    DestroyBackendInterfaceFn destroy = nullptr;

private:
    Plugin();
    platform::LibraryHandle handle_ = nullptr;
};

struct BackendDeleter {
    void operator()(IBackend* backend) const { Plugin::instance().destroy(backend); }
};
using BackendPtr = std::unique_ptr<IBackend, BackendDeleter>;

// A new backend object from createBackendInterface.
BackendPtr makeBackend();

// Loads a library built beside the tests; fails the test when it cannot.
platform::LibraryHandle loadTestLibrary(const std::string& path);

}  // namespace vek::test
