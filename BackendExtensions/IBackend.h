// SPDX-FileCopyrightText: 2026 The VekGpuKalderExtensions Authors
// SPDX-License-Identifier: Apache-2.0
// The host's interface to a backend extension: 51 virtual slots in a fixed
// order. Host-includable.
//
// What never changes, because the host calls slots by their place in the
// table: no slot is inserted, removed, reordered or given other parameters.
//
// What host and plug-in must share: std::string (slots 6 and 44),
// std::shared_ptr (slot 7) and std::unique_ptr (slots 37 to 39) cross this
// interface by value, so both sides must be built by the same compiler family
// against the same C++ standard library with the same library ABI (on Linux
// the same _GLIBCXX_USE_CXX11_ABI); the records of BackendRecords.h are plain
// structs with fixed layouts and need nothing of the kind.
//
// IBackend is a virtual base of every extension, so the pointer
// createBackendInterface returns is the IBackend part of the object, not its
// start, and only destroyBackendInterface may destroy it.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "BackendExtensions/BackendRecords.h"
#include "log/LogTypes.h"

namespace vek::tools::kalder {

using LogCallback = vek::log::LogCallback;
// The platform's module handle of a loaded library (HMODULE on Windows).
using LibraryHandle = void*;
// A block of bytes with a single owner, one pointer wide.
using OwnedBlock = std::unique_ptr<uint8_t[]>;
static_assert(sizeof(OwnedBlock) == sizeof(void*));

class IBackend {
public:
    // 0: the host hands the object to destroyBackendInterface.
    virtual ~IBackend() = default;
    // 1: first of all, to route the extension's messages to the host.
    virtual bool installLogger(LogCallback callback, int32_t maxLevel) = 0;
    // 2: after the host loaded the GPU backend library.
    virtual bool bindBackendLibrary(LibraryHandle library) = 0;
    // 3: instead of slot 2, when the host holds only the provider-listing function.
    virtual bool bindProviderFunction(GetProvidersFn getProviders) = 0;
    // 4: after binding, announcing the host's own interface version.
    virtual bool acceptHook4(uint32_t hostInterfaceVersion) = 0;
    // 5: for a command-line option the host does not know; true = consumed.
    virtual bool declineHook5(const char* optionName, const char* optionValue) = 0;
    // 6: with the configuration file the user named ("" for none).
    virtual bool loadConfigFile(std::string path) = 0;
    // 7: handing back a shared resource the host lent the extension.
    virtual bool releaseSharedHook7(std::shared_ptr<void> resource) = 0;
    // 8: before creating the backend, to collect its option records.
    virtual bool getBackendConfigs(ConfigList* list, uint32_t* count) = 0;
    // 9: after the backend was created with the records of slot 8.
    virtual bool releaseBackendConfigs(ConfigList list, uint32_t count) = 0;
    // 10: before creating a context, to collect its option records.
    virtual bool getContextConfigs(ConfigList* list, uint32_t* count) = 0;
    // 11: after the context was created with the records of slot 10.
    virtual bool releaseContextConfigs(ConfigList list, uint32_t count) = 0;
    // 12: before preparing graphs, to collect the per-graph records.
    virtual bool getGraphConfigs(GraphConfigList* list, uint32_t* count) = 0;
    // 13: after the graphs were prepared with the records of slot 12.
    virtual bool releaseGraphConfigs(GraphConfigList list, uint32_t count) = 0;
    // 14: before preparing one graph from its serialized form.
    virtual bool acceptHook14(const char* graphName, const void* graphData, uint64_t graphBytes, uint32_t graphIndex) = 0;
    // 15: after one graph was prepared.
    virtual bool acceptHook15(const char* graphName) = 0;
    // 16: before binding a graph's inputs.
    virtual bool acceptHook16(const char* graphName, uint32_t inputCount) = 0;
    // 17: before binding a graph's outputs.
    virtual bool acceptHook17(const char* graphName, uint32_t outputCount) = 0;
    // 18: right before a graph executes.
    virtual bool acceptHook18(const char* graphName) = 0;
    // 19: right after a graph executed, with the backend's status.
    virtual bool acceptHook19(const char* graphName, int64_t status) = 0;
    // 20: before a graph is freed.
    virtual bool acceptHook20(const char* graphName) = 0;
    // 21: after a context was created.
    virtual bool acceptHook21(uint32_t contextId) = 0;
    // 22: before a context is freed.
    virtual bool acceptHook22(uint32_t contextId) = 0;
    // 23: before a tensor buffer is allocated.
    virtual bool acceptHook23(const char* tensorName, uint64_t bytes) = 0;
    // 24: after a tensor buffer was freed.
    virtual bool acceptHook24(const char* tensorName) = 0;
    // 25: when the user sets a profiling level.
    virtual bool acceptHook25(uint32_t profilingLevel) = 0;
    // 26: for each profiling event the backend reports.
    virtual bool acceptHook26(const char* eventName, uint64_t timestampNs) = 0;
    // 27: after the backend was created.
    virtual bool acceptHook27(void* backendHandle) = 0;
    // 28: before the backend is freed.
    virtual bool acceptHook28(void* backendHandle) = 0;
    // 29: before creating the device, to collect the device record.
    virtual bool getDeviceConfigs(DeviceConfigList* list, uint32_t* count) = 0;
    // 30: after the device was created.
    virtual bool acceptHook30(void* deviceHandle) = 0;
    // 31: before the device is freed.
    virtual bool acceptHook31(void* deviceHandle) = 0;
    // 32: when the user asks for a number of cores.
    virtual bool acceptHook32(uint32_t coreCount) = 0;
    // 33: to register an operator package; true = the extension did it.
    virtual bool declineHook33(const char* packagePath) = 0;
    // 34: to restore a context from a cache file; true = restored.
    virtual bool declineHook34(const char* cachePath) = 0;
    // 35: to save a context to a cache file; true = saved.
    virtual bool declineHook35(const char* cachePath) = 0;
    // 36: when the host receives a stop signal; true = handled.
    virtual bool declineHook36(uint32_t signal) = 0;
    // 37: asks for a header block to write before a saved cache.
    virtual OwnedBlock emptyPointerHook37() = 0;
    // 38: hands back a block the extension gave out.
    virtual void freePointerHook38(OwnedBlock block) = 0;
    // 39: asks for a trailer block to write after a saved cache.
    virtual OwnedBlock emptyPointerHook39() = 0;
    // 40: reports the build identifier of the GPU backend library.
    virtual bool acceptHook40(const char* backendBuildId) = 0;
    // 41: when the user sets a power mode.
    virtual bool acceptHook41(uint32_t powerMode) = 0;
    // 42: when the user sets a latency budget.
    virtual bool acceptHook42(uint64_t latencyBudgetUs) = 0;
    // 43: for a custom property the host does not know; true = applied.
    virtual bool declineHook43(const char* key, const char* value) = 0;
    // 44: for each output written, when output dumping is on.
    virtual bool acceptStringsHook44(uint32_t graphIndex, std::string graphName, uint32_t outputIndex,
                                     std::string outputName, const void* data, uint64_t bytes, uint32_t dataType,
                                     bool lastOutput) = 0;
    // 45: for each input read, before a graph executes.
    virtual bool acceptHook45(const char* graphName, uint32_t inputIndex, const void* data, uint64_t bytes) = 0;
    // 46: asks whether the extension supports a run mode.
    virtual bool acceptHook46(uint32_t runMode) { (void)runMode; return true; }
    // 47: reports the wall time of one whole run.
    virtual void noOpHook47(uint64_t elapsedNs) = 0;
    // 48: asks the extension to take over graph scheduling; true = it did.
    virtual bool declineHook48(const char* graphName) = 0;
    // 49: asks the extension for its own memory allocator; true = provided.
    virtual bool declineHook49(void** allocator) = 0;
    // 50: asks the extension to run a graph itself; true = it did.
    virtual bool declineHook50(const char* graphName, uint32_t iterations) = 0;
};

}  // namespace vek::tools::kalder

// The library's two exports.
extern "C" {
using CreateBackendInterfaceFn = vek::tools::kalder::IBackend* (*)();
using DestroyBackendInterfaceFn = void (*)(vek::tools::kalder::IBackend*);
}
