#include "Invariants.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <unistd.h>

#include "BackendExtensions/GPUBackendExtensions/GpuOptions.h"

namespace vek::fuzz {

using gpu::GpuGraphOptions;
using gpu::GpuOptionEntry;
using tools::kalder::ConfigRecord;
using tools::kalder::PlatformInfo;

void require(bool condition, const char* what) {
    if (condition) return;
    std::fprintf(stderr, "invariant broken: %s\n", what);
    std::abort();
}

// Touches every byte, so AddressSanitizer sees each read.
volatile uint8_t sink;
void touch(const void* data, size_t size) {
    const auto* bytes = static_cast<const uint8_t*>(data);
    for (size_t i = 0; i < size; ++i) sink = bytes[i];
}

void checkOptionList(ConfigList list, uint32_t count, bool backendList) {
    if (count == 0) {
        require(list == nullptr, "an empty option list is null");
        return;
    }
    require(list != nullptr && count >= 2, "N option entries are handed out as N + 1 pointers");
    require(list[count - 1] == nullptr, "option list ends with null");
    for (uint32_t i = 0; i + 1 < count; ++i) {
        const ConfigRecord* record = list[i];
        require(record != nullptr && record->kind == 0 && record->data != nullptr, "option record");
        touch(record, sizeof *record);
        const auto* entry = static_cast<const GpuOptionEntry*>(record->data);
        touch(entry, sizeof *entry);
        const bool text = backendList ? entry->option == 1 : entry->option == 2;
        require(backendList ? entry->option <= 4 : (entry->option == 0 || entry->option == 2 || entry->option == 3),
                "known option number");
        if (text) {
            require(entry->value.text != nullptr, "text option points at text");
            touch(entry->value.text, std::strlen(entry->value.text) + 1);
        } else if (!backendList && entry->option == 0) {
            require(entry->value.enumValue <= 2, "perf hint value");
        } else {
            require(entry->value.flag <= 1, "flag value");
        }
    }
}

void checkGraphList(GraphConfigList list, uint32_t count) {
    if (count == 0) return;  // the list is not to be read
    const ConfigRecord* const* shared = list[0]->configs;
    require(shared != nullptr && shared[0] != nullptr && shared[1] == nullptr, "graph record list");
    require(shared[0]->kind == 0 && shared[0]->data != nullptr, "graph record");
    const auto* options = static_cast<const GpuGraphOptions*>(shared[0]->data);
    touch(options, sizeof *options);
    require(options->precisionMode <= 3, "precision mode");
    for (uint32_t i = 0; i < count; ++i) {
        require(list[i] != nullptr && list[i]->graphName != nullptr, "graph entry");
        require(list[i]->configs == shared, "graphs share one record list");
        touch(list[i]->graphName, std::strlen(list[i]->graphName) + 1);
    }
}

void checkDeviceList(DeviceConfigList list, uint32_t count) {
    require(count == 2 && list != nullptr && list[0] != nullptr && list[1] == nullptr, "device list of one record");
    require(list[0]->kind == 1, "device record kind");
    const auto* platform = static_cast<const PlatformInfo*>(list[0]->data);
    require(platform->version == 1 && platform->hwDeviceCount == 1, "platform of exactly one device");
    touch(platform->hwDevices, sizeof *platform->hwDevices);
    require(platform->hwDevices->version == 1, "selected device version");
}

void checkAllRecords(IBackend& backend) {
    ConfigList list = nullptr;
    uint32_t count = 0;
    require(backend.getBackendConfigs(&list, &count), "slot 8 with valid cells");
    checkOptionList(list, count, true);
    ConfigList context = nullptr;
    uint32_t contextCount = 0;
    require(backend.getContextConfigs(&context, &contextCount), "slot 10 with valid cells");
    checkOptionList(context, contextCount, false);
    checkOptionList(list, count, true);  // still valid after another hook
    GraphConfigList graphs = nullptr;
    uint32_t graphCount = 0;
    require(backend.getGraphConfigs(&graphs, &graphCount), "slot 12 with valid cells");
    checkGraphList(graphs, graphCount);

    DeviceConfigList devices = nullptr;
    uint32_t deviceCount = 0xFFFF;
    if (backend.getDeviceConfigs(&devices, &deviceCount) && deviceCount != 0xFFFF) {
        checkDeviceList(devices, deviceCount);
    }
    backend.releaseBackendConfigs(list, count);
    backend.releaseContextConfigs(context, contextCount);
    backend.releaseGraphConfigs(graphs, graphCount);
}

void formattingLogCallback(const char* format, uint32_t level, uint64_t, va_list args) {
    require(format != nullptr && level >= 1 && level <= 5, "log message");
    char buffer[256];
    std::vsnprintf(buffer, sizeof buffer, format, args);
}

std::string scratchPath(const std::string& name) {
    const char* directory = std::getenv("TMPDIR");
    return std::string(directory != nullptr ? directory : "/tmp") + "/vek-fuzz-" + std::to_string(getpid()) + "-" + name;
}

void writeScratch(const std::string& path, const uint8_t* data, size_t size) {
    std::FILE* file = std::fopen(path.c_str(), "wb");
    require(file != nullptr, "scratch file can be written");
    if (size > 0) std::fwrite(data, 1, size, file);
    std::fclose(file);
}

}  // namespace vek::fuzz
