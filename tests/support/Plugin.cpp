// SPDX-FileCopyrightText: 2026 The VekGpuKalderExtensions Authors
// SPDX-License-Identifier: Apache-2.0
#include "Plugin.h"

#include <cstdlib>
#include <stdexcept>

namespace vek::test {

Plugin& Plugin::instance() {
    static Plugin plugin;
    return plugin;
}

Plugin::Plugin() {
    handle_ = loadTestLibrary(VEK_PLUGIN_PATH);
    create = reinterpret_cast<CreateBackendInterfaceFn>(platform::findSymbol(handle_, "createBackendInterface"));
    destroy = reinterpret_cast<DestroyBackendInterfaceFn>(platform::findSymbol(handle_, "destroyBackendInterface"));
    if (create == nullptr || destroy == nullptr) throw std::runtime_error("plug-in lacks its exports");
}

BackendPtr makeBackend() { return BackendPtr(Plugin::instance().create()); }

platform::LibraryHandle loadTestLibrary(const std::string& path) {
    std::string error;
    platform::LibraryHandle handle = platform::loadLibrary(path, &error);
    if (handle == nullptr) throw std::runtime_error("cannot load " + path + ": " + error);
    return handle;
}

}  // namespace vek::test
