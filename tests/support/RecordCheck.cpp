// SPDX-FileCopyrightText: 2026 The VekGpuKalderExtensions Authors
// SPDX-License-Identifier: Apache-2.0
#include "RecordCheck.h"

#include <algorithm>
#include <cstring>

namespace vek::test {
namespace {

using gpu::ConfigKey;
using gpu::GpuGraphOptions;
using gpu::GpuOptionEntry;
using namespace tools::kalder;

bool require(bool condition, const std::string& rule, Problems& problems) {
    if (!condition) problems.push_back(rule);
    return condition;
}

bool zero(const uint8_t* bytes, size_t from, size_t to) {
    return std::all_of(bytes + from, bytes + to, [](uint8_t byte) { return byte == 0; });
}

// The entry's value by the kind of its option, as the key table gives it.
Option readEntry(const GpuOptionEntry& entry, gpu::KeyTarget kind, Problems& problems) {
    uint8_t raw[sizeof entry];
    std::memcpy(raw, &entry, sizeof raw);
    const ConfigKey* key = gpu::findOptionKey(kind, entry.option);
    const std::string rule = "option " + std::to_string(entry.option) + ": a known option, padding and unused bytes zero";
    if (key != nullptr && key->enumTexts != nullptr) {
        require(zero(raw, 4, 8) && zero(raw, 12, 16) && gpu::findEnumValue(*key, entry.value.enumValue), rule, problems);
        return {entry.option, "enum:" + std::to_string(entry.value.enumValue)};
    }
    if (key != nullptr && key->type == gpu::KeyType::Text) {
        require(zero(raw, 4, 8) && entry.value.text != nullptr, rule, problems);
        return {entry.option, "text:" + std::string(entry.value.text != nullptr ? entry.value.text : "")};
    }
    require(key != nullptr && zero(raw, 4, 8) && zero(raw, 9, 16) && entry.value.flag <= 1, rule, problems);
    return {entry.option, "flag:" + std::to_string(entry.value.flag)};
}

std::string describe(const GpuGraphOptions& options) {
    return "p" + std::to_string(options.precisionMode) + " m" + std::to_string(options.disableMemoryOptimizations) +
           " n" + std::to_string(options.disableNodeOptimizations) + " q" +
           std::to_string(options.disableQueueRecording);
}

}  // namespace

std::vector<Option> readOptionList(ConfigList list, uint32_t count, gpu::KeyTarget kind, Problems& problems) {
    std::vector<Option> options;
    if (count == 0) {
        require(list == nullptr, "an empty option list is handed out as null", problems);
        return options;
    }
    if (!require(list != nullptr && count >= 2, "N entries are handed out as N + 1 pointers", problems)) return options;
    require(list[count - 1] == nullptr, "the option list ends with a null", problems);
    for (uint32_t i = 0; i + 1 < count; ++i) {
        const ConfigRecord* record = list[i];
        require(record != nullptr && record->kind == 0 && record->data != nullptr, "an option record of kind 0",
                problems);
        if (record != nullptr && record->data != nullptr) {
            options.push_back(readEntry(*static_cast<const GpuOptionEntry*>(record->data), kind, problems));
        }
    }
    return options;
}

std::vector<std::string> readGraphList(GraphConfigList list, uint32_t count, std::string& options,
                                       Problems& problems) {
    std::vector<std::string> names;
    if (count == 0) return names;  // the list is not to be read
    const ConfigRecord* const* shared = list[0]->configs;
    if (!require(shared != nullptr && shared[0] != nullptr && shared[1] == nullptr, "one graph record, then a null", problems)) {
        return names;
    }
    require(shared[0]->kind == 0, "the graph record has kind 0", problems);
    GpuGraphOptions block{};
    std::memcpy(&block, shared[0]->data, sizeof block);
    require(gpu::findEnumValue(*gpu::findConfigKey("precision_mode"), block.precisionMode) != nullptr &&
                block.disableMemoryOptimizations <= 1 && block.disableNodeOptimizations <= 1 &&
                block.disableQueueRecording <= 1,
            "the graph block holds known values", problems);
    options = describe(block);
    for (uint32_t i = 0; i < count; ++i) {
        require(list[i] != nullptr && list[i]->graphName != nullptr && list[i]->configs == shared,
                "every graph names itself and shares the one record list", problems);
        if (list[i] != nullptr && list[i]->graphName != nullptr) names.emplace_back(list[i]->graphName);
    }
    return names;
}

HwDeviceInfo readDeviceList(DeviceConfigList list, uint32_t count, Problems& problems) {
    HwDeviceInfo device{};
    if (!require(count == 2 && list != nullptr && list[0] != nullptr && list[1] == nullptr, "one device record, then a null",
                 problems)) {
        return device;
    }
    const auto* platform = static_cast<const PlatformInfo*>(list[0]->data);
    require(list[0]->kind == 1 && platform->version == 1 && platform->hwDeviceCount == 1,
            "a device record of kind 1 with a platform of one device", problems);
    std::memcpy(&device, platform->hwDevices, sizeof device);
    require(device.version == 1, "the selected device has version 1", problems);
    return device;
}

Records readRecords(IBackend& backend) {
    Records records;
    ConfigList list = nullptr;
    uint32_t count = 0;
    require(backend.getBackendConfigs(&list, &count), "slot 8 succeeds", records.problems);
    records.backend = readOptionList(list, count, gpu::KeyTarget::BackendOption, records.problems);
    require(backend.getContextConfigs(&list, &count), "slot 10 succeeds", records.problems);
    records.context = readOptionList(list, count, gpu::KeyTarget::ContextOption, records.problems);
    GraphConfigList graphs = nullptr;
    require(backend.getGraphConfigs(&graphs, &count), "slot 12 succeeds", records.problems);
    records.graphs = readGraphList(graphs, count, records.graphOptions, records.problems);
    return records;
}

}  // namespace vek::test
