// Reads what the record hooks hand a host, checking the list invariants on
// the way, into plain values tests can compare.
#pragma once

#include <string>
#include <vector>

#include "BackendExtensions/GPUBackendExtensions/GpuOptions.h"
#include "BackendExtensions/IBackend.h"

namespace vek::test {

// One option entry: its number and its value rendered by the option's kind:
// "flag:0|1", "enum:N" or "text:<text>".
struct Option {
    uint32_t option;
    std::string value;
    bool operator==(const Option& other) const { return option == other.option && value == other.value; }
};

struct Settings {
    std::vector<Option> backend;
    std::vector<Option> context;
    std::vector<std::string> graphs;
    gpu::GpuGraphOptions graphOptions;  // the one block all graphs share
};

// Calls slots 8, 10 and 12 and reads their records. Adds test failures when a
// list breaks its invariants (counts, terminators, kinds, shared graph block).
Settings readSettings(tools::kalder::IBackend& backend);

std::string describe(const gpu::GpuGraphOptions& options);  // "p3 m0 n0 q0"
std::ostream& operator<<(std::ostream& out, const Option& option);

}  // namespace vek::test
