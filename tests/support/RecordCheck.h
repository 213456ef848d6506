// SPDX-FileCopyrightText: 2026 The VekGpuKalderExtensions Authors
// SPDX-License-Identifier: Apache-2.0
// What a host reads from the record hooks, and the rules those records keep:
// counts and terminators, kinds, one option block shared by every graph,
// values the key table knows, zero padding. Shared by the tests and the fuzz
// target; a broken rule is described in `problems`, never asserted here.
#pragma once

#include <string>
#include <vector>

#include "BackendExtensions/GPUBackendExtensions/GpuConfigKeys.h"
#include "BackendExtensions/IBackend.h"

namespace vek::test {

using Problems = std::vector<std::string>;

// One option entry: its number and its value by the option's kind:
// "flag:0|1", "enum:N" or "text:<text>".
struct Option {
    uint32_t option;
    std::string value;
    bool operator==(const Option& other) const { return option == other.option && value == other.value; }
};

struct Records {
    std::vector<Option> backend, context;
    std::vector<std::string> graphs;
    std::string graphOptions;  // the one block all graphs share: "p3 m0 n0 q0"
    Problems problems;
};

// Calls slots 8, 10 and 12 with valid cells and reads what they hand out.
Records readRecords(tools::kalder::IBackend& backend);

// Each reads one list handed out earlier; what is still readable is what a
// host may still hold.
std::vector<Option> readOptionList(tools::kalder::ConfigList list, uint32_t count, gpu::KeyTarget kind,
                                   Problems& problems);
std::vector<std::string> readGraphList(tools::kalder::GraphConfigList list, uint32_t count, std::string& options,
                                       Problems& problems);
tools::kalder::HwDeviceInfo readDeviceList(tools::kalder::DeviceConfigList list, uint32_t count,
                                           Problems& problems);

}  // namespace vek::test
