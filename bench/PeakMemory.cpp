// SPDX-FileCopyrightText: 2026 The VekGpuKalderExtensions Authors
// SPDX-License-Identifier: Apache-2.0
// Peak memory beyond the process's baseline of one loadConfigFile; with
// "check", of the configuration check alone (every diagnostic made, as
// `vekhost check` makes them, and dropped); with "check N", of N rounds of
// what `vekhost check` does for each file it is given (the load, then the
// check), as for N files in one call; with "lsp", of the language server
// with the file open and one keystroke typed (each check as vekhost lsp
// makes it: the load, then the check):
//   vek_peak_memory FILE [check [N] | lsp]
// prints "<file bytes> <peak bytes beyond baseline>". Linux only (reads
// VmHWM from /proc/self/status).
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>

#include "BackendExtensions/IBackend.h"
#include "BackendExtensions/GPUBackendExtensions/ConfigSchema.h"
#include "BenchFiles.h"
#include "Check.h"
#include "LspSession.h"
#include "platform/DynamicLibrary.h"
#include "platform/Process.h"

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
    const bool check = argc >= 3 && std::strcmp(argv[2], "check") == 0;
    const bool lsp = argc == 3 && std::strcmp(argv[2], "lsp") == 0;
    const long rounds = argc == 4 ? std::strtol(argv[3], nullptr, 10) : 0;
    if (argc < 2 || argc > 4 || (argc >= 3 && !check && !lsp) || (argc == 4 && rounds <= 0)) {
        std::fprintf(stderr, "usage: vek_peak_memory FILE [check [N] | lsp]\n");
        return 2;
    }
    using namespace vek;
    tools::kalder::ConfigDocument schema;
    schema.Parse(gpu::configSchema);
    bench::Plugin& plugin = bench::Plugin::get();
    tools::kalder::IBackend* backend = plugin.create();
    backend->installLogger(&bench::discardLog, VEK_LOG_LEVEL_WARN);
    size_t shown = 0;
    const long long baseline = peakResidentBytes();
    const auto checkFile = [&] {
        lint::Check::ofFile(argv[1], schema).forEach(lint::ColumnUnit::Char, [&](const lint::Diagnostic& d) {
            shown += d.message.size() + d.pointer.size();
        });
    };
    if (lsp) {
        platform::returnLargeBlocks();  // as vekhost lsp runs
        bench::LspSession session(argv[1], [&](const std::shared_ptr<const std::string>& text, lint::ColumnUnit unit, size_t count,
                                               const lsp::DiagnosticSink& sink) {
            // As vekhost lsp does: a backend object for the load, gone before the check.
            tools::kalder::IBackend* loader = plugin.create();
            loader->installLogger(&bench::discardLog, VEK_LOG_LEVEL_WARN);
            loader->loadConfigFile(argv[1]);
            plugin.destroy(loader);
            return lint::Check(text, schema).forFirst(unit, count, sink);
        });
        session.type();
        shown = session.sent();
    } else if (rounds > 0) {
        for (long i = 0; i < rounds; ++i) {
            backend->loadConfigFile(argv[1]);
            checkFile();
        }
    } else if (check) {
        checkFile();
    } else {
        backend->loadConfigFile(argv[1]);
    }
    const long long peak = peakResidentBytes();
    plugin.destroy(backend);
    std::printf("%lld %lld\n", static_cast<long long>(std::filesystem::file_size(argv[1])), peak - baseline);
    return shown == SIZE_MAX ? 1 : 0;
}
