// SPDX-FileCopyrightText: 2026 The VekGpuKalderExtensions Authors
// SPDX-License-Identifier: Apache-2.0
// What a configuration file asked for. Filled only by loadConfigFile, read by
// the record hooks, which hand out pointers into it.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "BackendExtensions/GPUBackendExtensions/GpuOptions.h"
#include "BackendExtensions/GPUBackendExtensions/TextList.h"

namespace vek::gpu {

struct GpuSettings {
    // Backend and context options, one entry per key occurrence, in file order.
    std::vector<GpuOptionEntry> backendCustomConfigs;
    // The texts the PerformanceCacheDir and KernelRepoPath entries point at.
    std::string performanceCacheDir;
    std::string kernelRepoPath;
    std::vector<GpuOptionEntry> contextCustomConfigs;
    // Every graph name, already made an identifier.
    TextList graphNames;
    // One option block shared by every graph.
    GpuGraphOptions graphCustomConfig{};
    // The hardware device asked for; 0 leaves the choice to the backend library.
    int32_t deviceId = 0;
};

}  // namespace vek::gpu
