// SPDX-FileCopyrightText: 2026 The VekGpuKalderExtensions Authors
// SPDX-License-Identifier: Apache-2.0
// The smallest complete host of the plug-in:
//   example-host BACKEND_LIBRARY CONFIG
// loads the plug-in, installs a logger, binds to the GPU backend library,
// loads the configuration, reads and releases every record list, selects the
// device and destroys the backend object. One line per record on stdout.
#include <cstdarg>
#include <cstdio>

#include "BackendExtensions/GPUBackendExtensions/GpuOptions.h"
#include "BackendExtensions/IBackend.h"

#if defined(_WIN32)
#include <windows.h>
static void* openLibrary(const char* path) { return LoadLibraryA(path); }
static void* symbol(void* library, const char* name) {
    return reinterpret_cast<void*>(GetProcAddress(static_cast<HMODULE>(library), name));
}
#else
#include <dlfcn.h>
static void* openLibrary(const char* path) { return dlopen(path, RTLD_NOW | RTLD_LOCAL); }
static void* symbol(void* library, const char* name) { return dlsym(library, name); }
#endif

using namespace vek::tools::kalder;
using vek::gpu::GpuGraphOptions;
using vek::gpu::GpuOptionEntry;

// The plug-in hands over format texts and arguments; the host formats them.
static void logMessage(const char* format, uint32_t level, uint64_t timestamp, va_list args) {
    std::fprintf(stderr, "[%u %.6f s] ", level, static_cast<double>(timestamp) / 1e9);
    std::vfprintf(stderr, format, args);
    std::fputc('\n', stderr);
}

// Backend option 1 and context option 2 carry text, context option 0 the
// performance hint, every other option a flag.
static void printOptions(const char* list, ConfigList records, uint32_t count, uint32_t textOption, bool context) {
    static const char* const kHints[] = {"HIGH", "NORMAL", "LOW"};
    for (uint32_t i = 0; i + 1 < count; ++i) {  // the last pointer is the null terminator
        const auto* entry = static_cast<const GpuOptionEntry*>(records[i]->data);
        std::printf("%s %u ", list, entry->option);
        if (entry->option == textOption) std::printf("%s\n", entry->value.text);
        else if (context && entry->option == 0) std::printf("%s\n", entry->value.enumValue < 3 ? kHints[entry->value.enumValue] : "?");
        else std::printf("%s\n", entry->value.flag != 0 ? "true" : "false");
    }
}

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: example-host BACKEND_LIBRARY CONFIG\n");
        return 2;
    }
    void* plugin = openLibrary(VEK_PLUGIN_PATH);
    void* backendLibrary = openLibrary(argv[1]);
    if (plugin == nullptr || backendLibrary == nullptr) {
        std::fprintf(stderr, "cannot load %s\n", plugin == nullptr ? VEK_PLUGIN_PATH : argv[1]);
        return 2;
    }
    auto create = reinterpret_cast<CreateBackendInterfaceFn>(symbol(plugin, "createBackendInterface"));
    auto destroy = reinterpret_cast<DestroyBackendInterfaceFn>(symbol(plugin, "destroyBackendInterface"));
    IBackend* backend = create != nullptr && destroy != nullptr ? create() : nullptr;
    if (backend == nullptr) {
        std::fprintf(stderr, "%s is no backend extension\n", VEK_PLUGIN_PATH);
        return 2;
    }

    // Every hook answers false after logging why; nothing is thrown.
    bool ok = backend->installLogger(&logMessage, VEK_LOG_LEVEL_WARN) && backend->bindBackendLibrary(backendLibrary) &&
              backend->loadConfigFile(argv[2]);
    ConfigList records = nullptr;
    uint32_t count = 0;
    if (ok && (ok = backend->getBackendConfigs(&records, &count))) {
        printOptions("backend", records, count, 1, false);
        backend->releaseBackendConfigs(records, count);
    }
    if (ok && (ok = backend->getContextConfigs(&records, &count))) {
        printOptions("context", records, count, 2, true);
        backend->releaseContextConfigs(records, count);
    }
    GraphConfigList graphs = nullptr;
    if (ok && (ok = backend->getGraphConfigs(&graphs, &count))) {
        static const char* const kPrecisions[] = {"FP32", "FP16", "HYBRID", "USER_PROVIDED"};
        for (uint32_t i = 0; i < count; ++i) {  // no terminator in this list
            const auto* block = static_cast<const GpuGraphOptions*>(graphs[i]->configs[0]->data);
            std::printf("graph %s %s %d %d %d\n", graphs[i]->graphName,
                        block->precisionMode < 4 ? kPrecisions[block->precisionMode] : "?",
                        block->disableMemoryOptimizations, block->disableNodeOptimizations, block->disableQueueRecording);
        }
        backend->releaseGraphConfigs(graphs, count);
    }
    DeviceConfigList devices = nullptr;
    count = 0;  // left untouched when the backend library's default device is to be used
    if (ok && (ok = backend->getDeviceConfigs(&devices, &count))) {
        const auto* platform = count > 0 ? static_cast<const PlatformInfo*>(devices[0]->data) : nullptr;
        if (platform != nullptr) std::printf("device %u\n", platform->hwDevices[0].hwDeviceId);
        else std::printf("device default\n");
    }
    destroy(backend);
    return ok ? 0 : 1;
}
