// Slot 6: read, validate and interpret the configuration file.
#include <cstring>

#include <rapidjson/document.h>

#include "BackendExtensions/ConfigFile.h"
#include "BackendExtensions/ConfigValidation.h"
#include "BackendExtensions/ConfigValues.h"
#include "BackendExtensions/GPUBackendExtensions/ConfigSchema.h"
#include "BackendExtensions/GPUBackendExtensions/GPUBackend.h"
#include "log/Log.h"

namespace vek::gpu {

// Where a flag key's value goes and what it logs.
enum class FlagTarget { Graph, Backend, Context };
struct FlagKey {
    const char* key;
    FlagTarget target;
    uint8_t GpuGraphOptions::*graphField;  // for FlagTarget::Graph
    uint32_t option;                         // for the option lists
    const char* whenTrue;
    const char* whenFalse;
    const char* typeError;
};

namespace {

using rapidjson::Value;
using tools::kalder::findConfigValue;

constexpr const char* kInvalidValueType = "Invalid value type";

const FlagKey kFlagKeys[] = {
    {"disable_memory_optimizations", FlagTarget::Graph, &GpuGraphOptions::disableMemoryOptimizations, 0,
     "Disabling memory optimizations", "Enabling memory optimizations", kInvalidValueType},
    {"disable_node_optimizations", FlagTarget::Graph, &GpuGraphOptions::disableNodeOptimizations, 0,
     "Disabling node optimizations", "Enabling node optimizations", kInvalidValueType},
    {"invalidate_kernel_repo", FlagTarget::Context, nullptr,
     static_cast<uint32_t>(GpuContextOption::InvalidateKernelRepo), "Invalidating kernel repo",
     "Don't Invalidate kernel repo", "Invalid Value Type"},
    {"disable_queue_recording", FlagTarget::Graph, &GpuGraphOptions::disableQueueRecording, 0,
     "Disabling Queue Recording", "Enabling Queue Recording", kInvalidValueType},
    {"tuning_mode", FlagTarget::Backend, nullptr, static_cast<uint32_t>(GpuBackendOption::TuningMode),
     "Enabling tuning mode", "Disabling tuning mode", kInvalidValueType},
    {"invalidate_performance_cache", FlagTarget::Backend, nullptr,
     static_cast<uint32_t>(GpuBackendOption::InvalidatePerformanceCache), "Invalidating the performance cache",
     "Not invalidating the performance cache", kInvalidValueType},
    {"weight_sharing", FlagTarget::Backend, nullptr, static_cast<uint32_t>(GpuBackendOption::WeightSharing),
     "Weight sharing is enabled", "Weight sharing is disabled", kInvalidValueType},
    {"disable_kernel_profiling", FlagTarget::Backend, nullptr,
     static_cast<uint32_t>(GpuBackendOption::DisableKernelProfiling), "Kernel profiling is disabled",
     "Kernel profiling is enabled", kInvalidValueType},
};

// An enumeration value chosen by its exact file text, with its message.
struct EnumText {
    const char* text;
    uint32_t value;
    const char* message;
};

const EnumText kPrecisionModes[] = {
    {"fp32", static_cast<uint32_t>(GpuPrecisionMode::Fp32), "Setting FP32 precision mode"},
    {"fp16", static_cast<uint32_t>(GpuPrecisionMode::Fp16), "Setting FP16 precision mode"},
    {"hybrid", static_cast<uint32_t>(GpuPrecisionMode::Hybrid), "Setting hybrid precision mode"},
    {"user_provided", static_cast<uint32_t>(GpuPrecisionMode::UserProvided), "Setting user provided precision mode"},
};

const EnumText kPerfHints[] = {
    {"high", static_cast<uint32_t>(GpuPerfHint::High), "Setting performance hint to HIGH"},
    {"normal", static_cast<uint32_t>(GpuPerfHint::Normal), "Setting performance hint to NORMAL"},
    {"low", static_cast<uint32_t>(GpuPerfHint::Low), "Setting performance hint to LOW"},
};

template <size_t N>
const EnumText* findEnumText(const EnumText (&table)[N], const char* text) {
    for (const EnumText& entry : table) {
        if (std::strcmp(text, entry.text) == 0) return &entry;
    }
    return nullptr;
}

GpuOptionEntry& appendEntry(std::vector<GpuOptionEntry>& entries, uint32_t option) {
    GpuOptionEntry& entry = entries.emplace_back();
    std::memset(&entry, 0, sizeof entry);
    entry.option = option;
    return entry;
}

// The value as text (up to its first NUL); null when it is no string.
const char* textOf(const Value* value) { return value != nullptr && value->IsString() ? value->GetString() : nullptr; }

}  // namespace

bool GPUBackend::loadConfigFile(std::string path) try {
    if (path.empty()) return true;

    rapidjson::Document document;
    if (!tools::kalder::readConfigFile(document, path)) {
        VEK_LOG(VEK_LOG_LEVEL_ERROR, "Failed parsing config");
        return false;
    }
    if (!tools::kalder::validateConfig(document, std::string(configSchema, configSchemaSize))) {
        VEK_LOG(VEK_LOG_LEVEL_ERROR, "Config does not match schema");
        return false;
    }
    resetSettings();
    reserveGraphNames(document);
    // Each key is looked up as a host would name it; where the walk already
    // stands on the value the lookup would find, the lookup is skipped.
    return tools::kalder::forEachConfigKey(document, [&](const std::string& key, const Value& walked, bool direct) {
        const Value* value = direct ? &walked : findConfigValue(document, key);
        if (value == nullptr) VEK_LOG(VEK_LOG_LEVEL_ERROR, "Invalid key: %s", key.c_str());
        return applyConfigKey(key, value);
    });
} catch (...) {
    return hookFailed("loadConfigFile");
}

void GPUBackend::reserveGraphNames(const rapidjson::Document& document) {
    // Only a capacity hint: room for the names of the graph_names array at
    // once, so a list of millions is not copied over and over as it grows.
    const auto names = document.FindMember("graph_names");
    if (names == document.MemberEnd() || !names->value.IsArray()) return;
    size_t chars = 0;
    for (const Value& name : names->value.GetArray()) chars += name.IsString() ? name.GetStringLength() + 2 : 0;
    graphNames.reserve(names->value.Size(), chars);
}

void GPUBackend::resetSettings() {
    backendCustomConfigs.clear();
    performanceCacheDir.clear();
    kernelRepoPath.clear();
    contextCustomConfigs.clear();
    graphNames.clear();
    graphCustomConfig = GpuGraphOptions{};
    deviceId = 0;
}

bool GPUBackend::applyGraphName(const std::string& key, const Value* value) {
    const char* text = textOf(value);
    if (text == nullptr) {
        VEK_LOG(VEK_LOG_LEVEL_ERROR, "Unsupported key: %s", key.c_str());
        return false;
    }
    identifierScratch.assign(text);
    identifierScratch = makeIdentifier(std::move(identifierScratch));
    graphNames.push_back(identifierScratch);
    VEK_LOG(VEK_LOG_LEVEL_INFO, "Graph name: %s", graphNames.back());
    return true;
}

bool GPUBackend::applyConfigKey(const std::string& key, const Value* value) {
    // Every element of graph_names (and any key naming graph_names) is a graph name.
    if (key.find("graph_names") != std::string::npos) return applyGraphName(key, value);
    const char* text = textOf(value);

    if (key == "precision_mode") {
        if (text == nullptr) {
            VEK_LOG(VEK_LOG_LEVEL_ERROR, kInvalidValueType);
            return false;
        }
        const EnumText* mode = findEnumText(kPrecisionModes, text);
        if (mode == nullptr) {
            VEK_LOG(VEK_LOG_LEVEL_ERROR, "Invalid precision mode");
            return false;
        }
        graphCustomConfig.precisionMode = mode->value;
        VEK_LOG(VEK_LOG_LEVEL_INFO, mode->message);
        return true;
    }
    if (key == "kernel_repo_path" || key == "performance_cache_dir") {
        if (text == nullptr) {
            VEK_LOG(VEK_LOG_LEVEL_ERROR, kInvalidValueType);
            return false;
        }
        const bool kernelRepo = key == "kernel_repo_path";
        std::string& stored = kernelRepo ? kernelRepoPath : performanceCacheDir;
        std::vector<GpuOptionEntry>& entries = kernelRepo ? contextCustomConfigs : backendCustomConfigs;
        const uint32_t option = kernelRepo ? static_cast<uint32_t>(GpuContextOption::KernelRepoPath)
                                           : static_cast<uint32_t>(GpuBackendOption::PerformanceCacheDir);
        stored = text;
        appendEntry(entries, option);
        pointEntriesAt(entries, option, stored);
        if (kernelRepo) VEK_LOG(VEK_LOG_LEVEL_INFO, "Kernel cache path: %s", stored.c_str());
        else VEK_LOG(VEK_LOG_LEVEL_INFO, "Performance cache directory: %s", stored.c_str());
        return true;
    }
    if (key == "perf_hint") {
        if (text == nullptr) {
            VEK_LOG(VEK_LOG_LEVEL_ERROR, kInvalidValueType);
            return false;
        }
        GpuOptionEntry& entry = appendEntry(contextCustomConfigs, static_cast<uint32_t>(GpuContextOption::PerfHint));
        entry.value.enumValue = 0;
        const EnumText* hint = findEnumText(kPerfHints, text);
        if (hint == nullptr) {
            VEK_LOG(VEK_LOG_LEVEL_ERROR, "Invalid performance hint");
            return false;
        }
        entry.value.enumValue = hint->value;
        VEK_LOG(VEK_LOG_LEVEL_INFO, hint->message);
        return true;
    }
    if (key == "device_id") {
        // An integer beyond 32 bits is no int: refused like a missing value.
        if (value == nullptr || !value->IsInt()) {
            VEK_LOG(VEK_LOG_LEVEL_ERROR, kInvalidValueType);
            return false;
        }
        deviceId = value->GetInt();
        return true;
    }

    for (const FlagKey& flag : kFlagKeys) {
        if (key == flag.key) return applyFlagKey(flag, value);
    }
    VEK_LOG(VEK_LOG_LEVEL_ERROR, "Unsupported key: %s", key.c_str());
    return false;
}

bool GPUBackend::applyFlagKey(const FlagKey& flag, const Value* value) {
    if (value == nullptr || !value->IsBool()) {
        VEK_LOG(VEK_LOG_LEVEL_ERROR, flag.typeError);
        return false;
    }
    const bool on = value->GetBool();
    switch (flag.target) {
        case FlagTarget::Graph: graphCustomConfig.*flag.graphField = on ? 1 : 0; break;
        case FlagTarget::Backend: appendEntry(backendCustomConfigs, flag.option).value.flag = on ? 1 : 0; break;
        case FlagTarget::Context: appendEntry(contextCustomConfigs, flag.option).value.flag = on ? 1 : 0; break;
    }
    VEK_LOG(VEK_LOG_LEVEL_INFO, on ? flag.whenTrue : flag.whenFalse);
    return true;
}

void GPUBackend::pointEntriesAt(std::vector<GpuOptionEntry>& entries, uint32_t option, const std::string& text) {
    for (GpuOptionEntry& entry : entries) {
        if (entry.option == option) entry.value.text = text.c_str();
    }
}

}  // namespace vek::gpu
