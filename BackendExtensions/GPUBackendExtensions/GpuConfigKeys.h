// SPDX-FileCopyrightText: 2026 The VekGpuKalderExtensions Authors
// SPDX-License-Identifier: Apache-2.0
// Every configuration key the plug-in interprets, in the order it recognises
// them, with all it does with each: the JSON type it reads, where the value
// goes, and the messages it logs. configSchema.json says which values a file
// may hold; this table says what each of them does. A new key goes into both.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "BackendExtensions/GPUBackendExtensions/GpuSettings.h"

namespace vek::gpu {

// The JSON type a key's value is read as.
enum class KeyType : uint8_t { TextList, Text, Flag, Integer };

// Where a key's value goes.
enum class KeyTarget : uint8_t {
    GraphNames,      // appended to graphNames, made an identifier
    GraphPrecision,  // precisionMode of the graph option block
    GraphFlag,       // a flag of the graph option block
    BackendOption,   // an entry appended to backendCustomConfigs
    ContextOption,   // an entry appended to contextCustomConfigs
    DeviceId,        // deviceId
};

// One text an enumeration key allows.
struct EnumText {
    const char* text;     // as the file writes it: "fp16"
    uint32_t value;       // the number handed on: 1
    const char* name;     // as tools show it: "FP16"
    const char* message;  // logged at info level when it is set
};

struct ConfigKey {
    const char* name;
    KeyType type;
    KeyTarget target;
    // Backend and context options: the entry's option number, and its name.
    uint32_t option;
    const char* optionName;
    // Graph flags: the flag in the graph option block.
    uint8_t GpuGraphOptions::*graphFlag;
    // Text options: the stored text the entry points at.
    std::string GpuSettings::*storedText;
    // Enumerations: the allowed texts, and the error for any other text.
    const EnumText* enumTexts;
    size_t enumCount;
    const char* invalidEnum;
    // Info messages: a flag's when true and when false; for a text or a graph
    // name one format, whose argument is the stored text.
    const char* whenTrue;
    const char* whenFalse;
    // Logged when the value is missing or of another type.
    const char* typeError;
};

namespace keys {

constexpr char kInvalidValueType[] = "Invalid value type";

constexpr EnumText kPrecisionModes[] = {
    {"fp32", static_cast<uint32_t>(GpuPrecisionMode::Fp32), "FP32", "Setting FP32 precision mode"},
    {"fp16", static_cast<uint32_t>(GpuPrecisionMode::Fp16), "FP16", "Setting FP16 precision mode"},
    {"hybrid", static_cast<uint32_t>(GpuPrecisionMode::Hybrid), "HYBRID", "Setting hybrid precision mode"},
    {"user_provided", static_cast<uint32_t>(GpuPrecisionMode::UserProvided), "USER_PROVIDED",
     "Setting user provided precision mode"},
};

constexpr EnumText kPerfHints[] = {
    {"high", static_cast<uint32_t>(GpuPerfHint::High), "HIGH", "Setting performance hint to HIGH"},
    {"normal", static_cast<uint32_t>(GpuPerfHint::Normal), "NORMAL", "Setting performance hint to NORMAL"},
    {"low", static_cast<uint32_t>(GpuPerfHint::Low), "LOW", "Setting performance hint to LOW"},
};

constexpr ConfigKey graphNames(const char* name, const char* message) {
    return {name, KeyType::TextList, KeyTarget::GraphNames, 0, nullptr, nullptr, nullptr, nullptr, 0, nullptr,
            message, nullptr, nullptr};
}

constexpr ConfigKey graphFlag(const char* name, uint8_t GpuGraphOptions::*flag, const char* whenTrue,
                              const char* whenFalse) {
    return {name, KeyType::Flag, KeyTarget::GraphFlag, 0, nullptr, flag, nullptr, nullptr, 0, nullptr,
            whenTrue, whenFalse, kInvalidValueType};
}

template <typename Option>
constexpr ConfigKey optionFlag(const char* name, KeyTarget list, Option option, const char* optionName,
                               const char* whenTrue, const char* whenFalse, const char* typeError = kInvalidValueType) {
    return {name, KeyType::Flag, list, static_cast<uint32_t>(option), optionName, nullptr, nullptr, nullptr, 0,
            nullptr, whenTrue, whenFalse, typeError};
}

template <typename Option>
constexpr ConfigKey optionText(const char* name, KeyTarget list, Option option, const char* optionName,
                               std::string GpuSettings::*stored, const char* message) {
    return {name, KeyType::Text, list, static_cast<uint32_t>(option), optionName, nullptr, stored, nullptr, 0,
            nullptr, message, nullptr, kInvalidValueType};
}

template <typename Option, size_t N>
constexpr ConfigKey enumeration(const char* name, KeyTarget target, Option option, const char* optionName,
                                const EnumText (&texts)[N], const char* invalid) {
    return {name, KeyType::Text, target, static_cast<uint32_t>(option), optionName, nullptr, nullptr, texts, N,
            invalid, nullptr, nullptr, kInvalidValueType};
}

constexpr ConfigKey deviceId(const char* name) {
    return {name, KeyType::Integer, KeyTarget::DeviceId, 0, nullptr, nullptr, nullptr, nullptr, 0, nullptr,
            nullptr, nullptr, kInvalidValueType};
}

}  // namespace keys

// Message texts are the plug-in's interface to a host's log reader and are
// kept byte for byte, odd capitals included ("Don't Invalidate kernel repo",
// "Invalid Value Type").
inline constexpr ConfigKey kConfigKeys[] = {
    keys::graphNames("graph_names", "Graph name: %s"),
    keys::enumeration("precision_mode", KeyTarget::GraphPrecision, 0, nullptr, keys::kPrecisionModes,
                      "Invalid precision mode"),
    keys::graphFlag("disable_memory_optimizations", &GpuGraphOptions::disableMemoryOptimizations,
                    "Disabling memory optimizations", "Enabling memory optimizations"),
    keys::graphFlag("disable_node_optimizations", &GpuGraphOptions::disableNodeOptimizations,
                    "Disabling node optimizations", "Enabling node optimizations"),
    keys::optionText("kernel_repo_path", KeyTarget::ContextOption, GpuContextOption::KernelRepoPath,
                     "KernelRepoPath", &GpuSettings::kernelRepoPath, "Kernel cache path: %s"),
    keys::optionFlag("invalidate_kernel_repo", KeyTarget::ContextOption, GpuContextOption::InvalidateKernelRepo,
                     "InvalidateKernelRepo", "Invalidating kernel repo", "Don't Invalidate kernel repo",
                     "Invalid Value Type"),
    keys::graphFlag("disable_queue_recording", &GpuGraphOptions::disableQueueRecording,
                    "Disabling Queue Recording", "Enabling Queue Recording"),
    keys::enumeration("perf_hint", KeyTarget::ContextOption, GpuContextOption::PerfHint, "PerfHint",
                      keys::kPerfHints, "Invalid performance hint"),
    keys::optionFlag("tuning_mode", KeyTarget::BackendOption, GpuBackendOption::TuningMode, "TuningMode",
                     "Enabling tuning mode", "Disabling tuning mode"),
    keys::optionText("performance_cache_dir", KeyTarget::BackendOption, GpuBackendOption::PerformanceCacheDir,
                     "PerformanceCacheDir", &GpuSettings::performanceCacheDir, "Performance cache directory: %s"),
    keys::optionFlag("invalidate_performance_cache", KeyTarget::BackendOption,
                     GpuBackendOption::InvalidatePerformanceCache, "InvalidatePerformanceCache",
                     "Invalidating the performance cache", "Not invalidating the performance cache"),
    keys::optionFlag("weight_sharing", KeyTarget::BackendOption, GpuBackendOption::WeightSharing, "WeightSharing",
                     "Weight sharing is enabled", "Weight sharing is disabled"),
    keys::optionFlag("disable_kernel_profiling", KeyTarget::BackendOption, GpuBackendOption::DisableKernelProfiling,
                     "DisableKernelProfiling", "Kernel profiling is disabled", "Kernel profiling is enabled"),
    keys::deviceId("device_id"),
};

// The key `key` is taken as: any key that contains "graph_names" names a
// graph, whatever else it holds; the others must match a name exactly. Null
// for a key the plug-in does not support.
inline const ConfigKey* findConfigKey(std::string_view key) {
    if (key.find(kConfigKeys[0].name) != std::string_view::npos) return &kConfigKeys[0];
    for (const ConfigKey& entry : kConfigKeys) {
        if (key == entry.name) return &entry;
    }
    return nullptr;
}

// The key whose entries carry `option` in the backend or context list.
inline const ConfigKey* findOptionKey(KeyTarget list, uint32_t option) {
    for (const ConfigKey& entry : kConfigKeys) {
        if (entry.target == list && entry.option == option) return &entry;
    }
    return nullptr;
}

// The allowed text of an enumeration key spelled `text`, exactly.
inline const EnumText* findEnumText(const ConfigKey& key, std::string_view text) {
    for (size_t i = 0; i < key.enumCount; ++i) {
        if (text == key.enumTexts[i].text) return &key.enumTexts[i];
    }
    return nullptr;
}

// The text of an enumeration key that stands for `value`.
inline const EnumText* findEnumValue(const ConfigKey& key, uint32_t value) {
    for (size_t i = 0; i < key.enumCount; ++i) {
        if (key.enumTexts[i].value == value) return &key.enumTexts[i];
    }
    return nullptr;
}

}  // namespace vek::gpu
