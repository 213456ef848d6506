// SPDX-FileCopyrightText: 2026 The VekGpuKalderExtensions Authors
// SPDX-License-Identifier: Apache-2.0
// What the backend library would receive, read from the records a host gets.
#pragma once

#include <cstdio>
#include <string>
#include <vector>

#include "JsonOutput.h"  // first: it sets how RapidJSON allocates

#include "BackendExtensions/BackendRecords.h"
#include "BackendExtensions/GPUBackendExtensions/GpuConfigKeys.h"

namespace vek::host {

struct OptionReport {
    enum class Kind { Flag, Enum, Text };
    uint32_t number = 0;
    std::string name;  // "TuningMode", ...
    Kind kind = Kind::Flag;
    bool flag = false;
    std::string enumName;  // "HIGH", ...
    std::string text;
};

struct GraphReport {
    std::string name;
    gpu::GpuGraphOptions options;
};

struct HostReport {
    std::string configPath;
    std::vector<OptionReport> backend;
    std::vector<OptionReport> context;
    std::vector<GraphReport> graphs;
    bool deviceSelected = false;
    tools::kalder::HwDeviceInfo device{};
};

// Reads one entry of the backend or the context option list, named as the
// plug-in's key table names it.
OptionReport describeOption(gpu::KeyTarget list, const gpu::GpuOptionEntry& entry);

// "FP32", "FP16", "HYBRID", "USER_PROVIDED".
const char* precisionName(uint32_t precisionMode);

// Human-readable text.
void writeText(std::FILE* out, const HostReport& report);
// The records as members of the JSON object the writer has open:
// "backendOptions", "contextOptions", "graphs", "device".
void writeReportJson(lint::JsonWriter& writer, const HostReport& report);

}  // namespace vek::host
