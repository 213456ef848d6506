// SPDX-FileCopyrightText: 2026 The VekGpuKalderExtensions Authors
// SPDX-License-Identifier: Apache-2.0
// Typing in a 1 MB configuration of every shape: each keystroke's
// diagnostics from the language server, against the check of the same
// text in process, as vekhost check makes every diagnostic of a file.
#include <benchmark/benchmark.h>

#include <filesystem>
#include <fstream>
#include <iterator>

#include "BackendExtensions/GPUBackendExtensions/ConfigSchema.h"
#include "BenchFiles.h"
#include "Check.h"
#include "LspSession.h"

namespace vek::bench {
namespace {

// The members that make a file of about 1 MB in a shape.
size_t membersForOneMegabyte(MemberShape shape) {
    const size_t sample = 1000;
    const auto bytes = std::filesystem::file_size(memberFile(shape, sample));
    return std::max<size_t>(1, static_cast<size_t>(sample * (1 << 20) / std::max<uintmax_t>(bytes, 1)));
}

const tools::kalder::ConfigDocument& schema() {
    static const tools::kalder::ConfigDocument parsed = [] {
        tools::kalder::ConfigDocument document;
        document.Parse(gpu::configSchema);
        return document;
    }();
    return parsed;
}

const int registered = [] {
    for (const MemberShape shape : kMemberShapes) {
        const std::string path = memberFile(shape, membersForOneMegabyte(shape));
        benchmark::RegisterBenchmark((std::string("LspTyping/") + shapeName(shape)).c_str(), [path](benchmark::State& state) {
            LspSession session(path, [](const std::shared_ptr<const std::string>& text, lint::ColumnUnit unit, size_t count,
                                        const lsp::DiagnosticSink& sink) { return lint::Check(text, schema()).forFirst(unit, count, sink); });
            for (auto _ : state) session.type();
            benchmark::DoNotOptimize(session.sent());
        })->Unit(benchmark::kMillisecond);
        benchmark::RegisterBenchmark((std::string("LspCheck/") + shapeName(shape)).c_str(), [path](benchmark::State& state) {
            std::ifstream in(path, std::ios::binary);
            const auto text = std::make_shared<const std::string>(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
            size_t shown = 0;
            for (auto _ : state) {
                lint::Check(text, schema()).forEach(lint::ColumnUnit::Char, [&](const lint::Diagnostic& d) {
                    shown += d.message.size() + d.pointer.size();
                });
            }
            benchmark::DoNotOptimize(shown);
        })->Unit(benchmark::kMillisecond);
    }
    return 0;
}();

}  // namespace
}  // namespace vek::bench
