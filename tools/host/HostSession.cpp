// SPDX-FileCopyrightText: 2026 The VekGpuKalderExtensions Authors
// SPDX-License-Identifier: Apache-2.0
#include "HostSession.h"

#include <cstdio>

#include "LogSink.h"

namespace vek::host {

using namespace tools::kalder;

HostSession::~HostSession() {
    if (backend_ != nullptr) destroy_(backend_);
    // The backend library goes after the object that bound to it.
    platform::unloadLibrary(backendLibrary_);
    platform::unloadLibrary(plugin_);
}

bool HostSession::hookResult(bool result, const char* hook) {
    if (!result) {
        failure_ = std::string(hook) + " returned false";
        if (!quiet_) std::fprintf(stderr, "vekhost: %s\n", failure_.c_str());
    }
    return result;
}

bool HostSession::loadPlugin(const std::string& path) {
    std::string error;
    plugin_ = platform::loadLibrary(path, &error);
    if (plugin_ == nullptr) {
        std::fprintf(stderr, "vekhost: cannot load the plug-in %s: %s\n", path.c_str(), error.c_str());
        return false;
    }
    create_ = reinterpret_cast<CreateBackendInterfaceFn>(platform::findSymbol(plugin_, "createBackendInterface"));
    destroy_ = reinterpret_cast<DestroyBackendInterfaceFn>(platform::findSymbol(plugin_, "destroyBackendInterface"));
    if (create_ == nullptr || destroy_ == nullptr) {
        std::fprintf(stderr, "vekhost: %s is no backend extension: it does not export %s\n", path.c_str(),
                     create_ == nullptr ? "createBackendInterface" : "destroyBackendInterface");
        return false;
    }
    backend_ = create_();
    if (backend_ == nullptr) {
        std::fprintf(stderr, "vekhost: createBackendInterface returned null\n");
        return false;
    }
    return true;
}

bool HostSession::installLogger(int32_t maxLevel) {
    logLevel_ = maxLevel;
    return hookResult(backend_->installLogger(&printLogMessage, maxLevel), "installLogger");
}

bool HostSession::renewBackend() {
    destroy_(backend_);
    backend_ = create_();
    if (backend_ == nullptr) {
        failure_ = "createBackendInterface returned null";
        return false;
    }
    return installLogger(logLevel_);
}

bool HostSession::loadBackend(const std::string& path) {
    std::string error;
    backendLibrary_ = platform::loadLibrary(path, &error);
    if (backendLibrary_ == nullptr) {
        std::fprintf(stderr, "vekhost: cannot load the GPU backend library %s: %s\n", path.c_str(), error.c_str());
        return false;
    }
    return true;
}

bool HostSession::bindBackend() {
    return hookResult(backend_->bindBackendLibrary(backendLibrary_), "bindBackendLibrary");
}

bool HostSession::loadConfig(const std::string& path) {
    return hookResult(backend_->loadConfigFile(path), "loadConfigFile");
}

bool HostSession::collectRecords(HostReport& report) {
    ConfigList list = nullptr;
    uint32_t count = 0;
    if (!hookResult(backend_->getBackendConfigs(&list, &count), "getBackendConfigs")) return false;
    for (uint32_t i = 0; i + 1 < count; ++i) {
        report.backend.push_back(describeOption(gpu::KeyTarget::BackendOption, *static_cast<const gpu::GpuOptionEntry*>(list[i]->data)));
    }
    if (!hookResult(backend_->releaseBackendConfigs(list, count), "releaseBackendConfigs")) return false;

    list = nullptr;
    count = 0;
    if (!hookResult(backend_->getContextConfigs(&list, &count), "getContextConfigs")) return false;
    for (uint32_t i = 0; i + 1 < count; ++i) {
        report.context.push_back(describeOption(gpu::KeyTarget::ContextOption, *static_cast<const gpu::GpuOptionEntry*>(list[i]->data)));
    }
    if (!hookResult(backend_->releaseContextConfigs(list, count), "releaseContextConfigs")) return false;

    GraphConfigList graphs = nullptr;
    count = 0;
    if (!hookResult(backend_->getGraphConfigs(&graphs, &count), "getGraphConfigs")) return false;
    for (uint32_t i = 0; i < count; ++i) {
        report.graphs.push_back(
            GraphReport{graphs[i]->graphName, *static_cast<const gpu::GpuGraphOptions*>(graphs[i]->configs[0]->data)});
    }
    if (!hookResult(backend_->releaseGraphConfigs(graphs, count), "releaseGraphConfigs")) return false;

    DeviceConfigList devices = nullptr;
    count = 0;
    if (!hookResult(backend_->getDeviceConfigs(&devices, &count), "getDeviceConfigs")) return false;
    if (count > 0 && devices[0] != nullptr) {
        const auto* platform = static_cast<const PlatformInfo*>(devices[0]->data);
        report.deviceSelected = platform->hwDeviceCount > 0;
        if (report.deviceSelected) report.device = platform->hwDevices[0];
    }
    return true;
}

}  // namespace vek::host
