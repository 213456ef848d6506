// The GPU extension: the one concrete backend object the plug-in hands out.
#pragma once

#include <string>
#include <vector>

#include <rapidjson/fwd.h>

#include "BackendExtensions/BackendCommon.h"
#include "BackendExtensions/GPUBackendExtensions/GpuOptions.h"
#include "BackendExtensions/GPUBackendExtensions/TextList.h"

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

struct FlagKey;  // a configuration key that sets a flag (LoadConfigFile.cpp)

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
    // Returns every setting to its initial value before a configuration load.
    void resetSettings();
    void reserveGraphNames(const rapidjson::Document& document);
    // Applies one configuration key whose value (null when the key names
    // nothing) was looked up; false after logging why it failed.
    bool applyConfigKey(const std::string& key, const rapidjson::Value* value);
    bool applyGraphName(const std::string& key, const rapidjson::Value* value);
    bool applyFlagKey(const FlagKey& flag, const rapidjson::Value* value);
    // Points every text entry of `entries` with `option` at `text`, so that no
    // entry keeps pointing at text that was assigned again.
    static void pointEntriesAt(std::vector<GpuOptionEntry>& entries, uint32_t option, const std::string& text);

    // Copy of the GPU provider record; zero until a binding finds one.
    ProviderRecord boundProvider{};

    // Settings of the configuration file, interleaved with the record buffers
    // the hooks hand out.
    std::vector<GpuOptionEntry> backendCustomConfigs;
    std::vector<ConfigRecord*> backendConfigPointers;
    std::vector<ConfigRecord> backendConfigRecords;
    std::string performanceCacheDir;
    std::string kernelRepoPath;
    std::vector<GpuOptionEntry> contextCustomConfigs;
    std::vector<ConfigRecord> contextConfigRecords;
    std::vector<ConfigRecord*> contextConfigPointers;
    TextList graphNames;
    GpuGraphOptions graphCustomConfig{};
    ConfigRecord graphConfigRecord{};
    std::vector<ConfigRecord*> graphConfigPointers;
    std::vector<GraphConfigEntry> graphConfigEntries;
    std::vector<GraphConfigEntry*> graphConfigEntryPointers;
    int32_t deviceId = 0;

    // The selected device, handed out by getDeviceConfigs.
    DeviceConfigRecord deviceConfigRecord{};
    PlatformInfo devicePlatformInfo{};
    std::vector<HwDeviceInfo> selectedDevices;
    std::vector<DeviceConfigRecord*> deviceConfigPointers;

    // Scratch text reused for every graph name, so a file with millions of
    // names does not allocate one temporary per name.
    std::string identifierScratch;
};

// Logs an unexpected exception that reached a hook and answers false, so
// nothing is thrown into the host.
bool hookFailed(const char* hook) noexcept;

}  // namespace vek::gpu
