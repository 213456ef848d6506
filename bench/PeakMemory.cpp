// SPDX-FileCopyrightText: 2026 The VekGpuKalderExtensions Authors
// SPDX-License-Identifier: Apache-2.0
// Peak memory of one loadConfigFile beyond the process's baseline, or with
// "check" of what `vekhost check` does (the load, then the runner's check):
//   vek_peak_memory FILE [check]
// prints "<file bytes> <peak bytes beyond baseline>". Linux only (reads
// VmHWM from /proc/self/status).
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>

#include "BackendExtensions/IBackend.h"
#include "BackendExtensions/GPUBackendExtensions/ConfigSchema.h"
#include "BenchFiles.h"
#include "Lint.h"
#include "platform/DynamicLibrary.h"

namespace {

long long peakResidentBytes() {
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line)) {
        if (line.rfind("VmHWM:", 0) == 0) return std::stoll(line.substr(6)) * 1024;
    }
    return -1;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2 || argc > 3) {
        std::fprintf(stderr, "usage: vek_peak_memory FILE [check]\n");
        return 2;
    }
    vek::tools::kalder::ConfigDocument schema;
    schema.Parse(vek::gpu::configSchema);
    using namespace vek;
    bench::Plugin& plugin = bench::Plugin::get();
    tools::kalder::IBackend* backend = plugin.create();
    backend->installLogger(&bench::discardLog, VEK_LOG_LEVEL_WARN);
    const long long baseline = peakResidentBytes();
    // As vekhost check does: the check, then the plug-in's load.
    const bool checked = argc == 2 || !vek::host::lintConfigFile(argv[1], schema).hasError();
    const bool loaded = backend->loadConfigFile(argv[1]) && checked;
    const long long peak = peakResidentBytes();
    plugin.destroy(backend);
    std::printf("%lld %lld\n", static_cast<long long>(std::filesystem::file_size(argv[1])), peak - baseline);
    return loaded ? 0 : 1;
}
