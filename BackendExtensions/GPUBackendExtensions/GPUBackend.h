// SPDX-FileCopyrightText: 2026 The VekGpuKalderExtensions Authors
// SPDX-License-Identifier: Apache-2.0
// The GPU extension: the one concrete backend object the plug-in hands out.
#pragma once

#include <string>
#include <vector>

#include "BackendExtensions/BackendCommon.h"
#include "BackendExtensions/GPUBackendExtensions/GpuSettings.h"

namespace vek::gpu {

using tools::kalder::ConfigList;
using tools::kalder::ConfigRecord;
using tools::kalder::DeviceConfigList;
using tools::kalder::DeviceConfigRecord;
using tools::kalder::GetProvidersFn;
using tools::kalder::GraphConfigEntry;
using tools::kalder::GraphConfigList;
using tools::kalder::HwDeviceInfo;
using tools::kalder::LibraryHandle;
using tools::kalder::PlatformInfo;
using tools::kalder::ProviderRecord;

class GPUBackend final : public tools::kalder::BackendCommon {
public:
    GPUBackend() = default;
    ~GPUBackend() override = default;
    GPUBackend(const GPUBackend&) = delete;
    GPUBackend& operator=(const GPUBackend&) = delete;

    // Working hooks, each in the file named after it.
    bool bindBackendLibrary(LibraryHandle library) override;       // BindBackend.cpp
    bool bindProviderFunction(GetProvidersFn getProviders) override;  // BindBackend.cpp
    bool loadConfigFile(std::string path) override;                // LoadConfigFile.cpp
    bool getBackendConfigs(ConfigList* list, uint32_t* count) override;         // ConfigRecordHooks.cpp
    bool releaseBackendConfigs(ConfigList list, uint32_t count) override;       // ConfigRecordHooks.cpp
    bool getContextConfigs(ConfigList* list, uint32_t* count) override;         // ConfigRecordHooks.cpp
    bool releaseContextConfigs(ConfigList list, uint32_t count) override;       // ConfigRecordHooks.cpp
    bool getGraphConfigs(GraphConfigList* list, uint32_t* count) override;      // ConfigRecordHooks.cpp
    bool releaseGraphConfigs(GraphConfigList list, uint32_t count) override;    // ConfigRecordHooks.cpp
    bool getDeviceConfigs(DeviceConfigList* list, uint32_t* count) override;    // GetDeviceConfigs.cpp

    // Slots with a fixed answer.
    bool declineHook5(const char*, const char*) override { return false; }
    bool acceptHook15(const char*) override { return true; }
    bool acceptHook16(const char*, uint32_t) override { return true; }
    bool acceptHook17(const char*, uint32_t) override { return true; }
    bool acceptHook18(const char*) override { return true; }
    bool acceptHook19(const char*, int64_t) override { return true; }
    bool acceptHook20(const char*) override { return true; }
    bool acceptHook22(uint32_t) override { return true; }
    bool acceptHook23(const char*, uint64_t) override { return true; }
    bool acceptHook24(const char*) override { return true; }
    bool acceptHook25(uint32_t) override { return true; }
    bool acceptHook26(const char*, uint64_t) override { return true; }
    bool acceptHook30(void*) override { return true; }
    bool acceptHook31(void*) override { return true; }
    bool acceptHook32(uint32_t) override { return true; }
    bool declineHook33(const char*) override { return false; }
    bool declineHook34(const char*) override { return false; }
    bool declineHook35(const char*) override { return false; }
    bool declineHook36(uint32_t) override { return false; }
    bool acceptHook41(uint32_t) override { return true; }
    bool acceptHook42(uint64_t) override { return true; }

private:
    // Finds the GPU provider through `getProviders`, keeps a copy of it and
    // checks the backend API version.
    bool selectProvider(GetProvidersFn getProviders);

    // Copy of the GPU provider record; zero until a binding finds one.
    ProviderRecord boundProvider{};

    // What the configuration file asked for; a load starts from fresh settings.
    GpuSettings settings;

    // The records the backend, context and graph hooks hand out, pointing
    // into the settings.
    std::vector<ConfigRecord*> backendConfigPointers;
    std::vector<ConfigRecord> backendConfigRecords;
    std::vector<ConfigRecord> contextConfigRecords;
    std::vector<ConfigRecord*> contextConfigPointers;
    ConfigRecord graphConfigRecord{};
    std::vector<ConfigRecord*> graphConfigPointers;
    std::vector<GraphConfigEntry> graphConfigEntries;
    std::vector<GraphConfigEntry*> graphConfigEntryPointers;

    // The selected device, handed out by getDeviceConfigs.
    DeviceConfigRecord deviceConfigRecord{};
    PlatformInfo devicePlatformInfo{};
    std::vector<HwDeviceInfo> selectedDevices;
    std::vector<DeviceConfigRecord*> deviceConfigPointers;
};

// Logs an unexpected exception that reached a hook and answers false, so
// nothing is thrown into the host.
bool hookFailed(const char* hook) noexcept;

}  // namespace vek::gpu
