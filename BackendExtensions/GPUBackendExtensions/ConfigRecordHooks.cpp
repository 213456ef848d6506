// SPDX-FileCopyrightText: 2026 The VekGpuKalderExtensions Authors
// SPDX-License-Identifier: Apache-2.0
// Slots 8 to 13: the backend, context and graph records and their release.
#include "BackendExtensions/GPUBackendExtensions/GPUBackend.h"
#include "log/Log.h"

namespace vek::gpu {
namespace {

// Wraps each entry in a record and lists the records' addresses, then a null.
// Both lists are sized before any address is taken, so the records never move
// under the pointers; only the final append may move the pointer list.
bool buildOptionRecords(const std::vector<GpuOptionEntry>& entries, std::vector<ConfigRecord>& records,
                        std::vector<ConfigRecord*>& pointers, ConfigList* list, uint32_t* count) {
    if (entries.empty()) {
        *list = nullptr;
        *count = 0;
        return true;
    }
    records.clear();
    pointers.clear();
    records.reserve(entries.size());
    pointers.reserve(entries.size() + 1);
    for (const GpuOptionEntry& entry : entries) {
        ConfigRecord& record = records.emplace_back();
        record = ConfigRecord{};
        record.kind = 0;
        record.data = &entry;
        pointers.push_back(&record);
    }
    pointers.push_back(nullptr);
    *list = pointers.data();
    *count = static_cast<uint32_t>(pointers.size());
    return true;
}

}  // namespace

bool GPUBackend::getBackendConfigs(ConfigList* list, uint32_t* count) try {
    if (list == nullptr || count == nullptr) {
        VEK_LOG(VEK_LOG_LEVEL_ERROR, "Invalid backend config args");
        return false;
    }
    return buildOptionRecords(settings.backendCustomConfigs, backendConfigRecords, backendConfigPointers, list, count);
} catch (...) {
    return hookFailed("getBackendConfigs");
}

bool GPUBackend::releaseBackendConfigs(ConfigList, uint32_t) {
    backendConfigPointers.clear();
    backendConfigRecords.clear();
    return true;
}

bool GPUBackend::getContextConfigs(ConfigList* list, uint32_t* count) try {
    if (list == nullptr || count == nullptr) {
        VEK_LOG(VEK_LOG_LEVEL_ERROR, "Invalid context config args");
        return false;
    }
    return buildOptionRecords(settings.contextCustomConfigs, contextConfigRecords, contextConfigPointers, list, count);
} catch (...) {
    return hookFailed("getContextConfigs");
}

bool GPUBackend::releaseContextConfigs(ConfigList, uint32_t) {
    contextConfigRecords.clear();
    contextConfigPointers.clear();
    return true;
}

bool GPUBackend::getGraphConfigs(GraphConfigList* list, uint32_t* count) try {
    if (list == nullptr || count == nullptr) {
        VEK_LOG(VEK_LOG_LEVEL_ERROR, "Invalid graph config args");
        return false;
    }
    // One record and one option block, shared by every graph.
    graphConfigRecord = ConfigRecord{};
    graphConfigRecord.kind = 0;
    graphConfigRecord.data = &settings.graphCustomConfig;
    graphConfigPointers.clear();
    graphConfigPointers.push_back(&graphConfigRecord);
    graphConfigPointers.push_back(nullptr);

    graphConfigEntries.clear();
    graphConfigEntryPointers.clear();
    graphConfigEntries.reserve(settings.graphNames.size());
    graphConfigEntryPointers.reserve(settings.graphNames.size());
    for (size_t i = 0; i < settings.graphNames.size(); ++i) {
        GraphConfigEntry& entry = graphConfigEntries.emplace_back();
        entry.graphName = settings.graphNames[i];
        entry.configs = graphConfigPointers.data();
        graphConfigEntryPointers.push_back(&entry);
    }
    *list = graphConfigEntryPointers.data();
    *count = static_cast<uint32_t>(graphConfigEntryPointers.size());
    return true;
} catch (...) {
    return hookFailed("getGraphConfigs");
}

bool GPUBackend::releaseGraphConfigs(GraphConfigList, uint32_t) {
    graphConfigPointers.clear();
    graphConfigEntryPointers.clear();
    return true;
}

}  // namespace vek::gpu
