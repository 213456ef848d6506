// SPDX-FileCopyrightText: 2026 The VekGpuKalderExtensions Authors
// SPDX-License-Identifier: Apache-2.0
// Typing in a 1 MB configuration: each keystroke's diagnostics from the
// language server, against the check of the same file.
#include <benchmark/benchmark.h>

#include "BackendExtensions/GPUBackendExtensions/ConfigSchema.h"
#include "BenchFiles.h"
#include "Check.h"
#include "LspSession.h"

namespace vek::bench {
namespace {

// Members that make a file of about 1 MB in each shape.
constexpr std::pair<MemberShape, size_t> kTypedFiles[] = {
    {MemberShape::GraphNames, 32000}, {MemberShape::Warnings, 64000}, {MemberShape::UnknownKeys, 40000}};

void checkText(const tools::kalder::ConfigDocument& schema, const std::shared_ptr<const std::string>& text, lint::ColumnUnit unit,
               size_t detailed, const lsp::DiagnosticSink& sink) {
    lint::Check(text, schema).forEach(unit, sink, detailed);
}

const int registered = [] {
    for (const auto& [shape, members] : kTypedFiles) {
        const std::string path = memberFile(shape, members);
        benchmark::RegisterBenchmark((std::string("LspTyping/") + shapeName(shape)).c_str(), [path](benchmark::State& state) {
            static tools::kalder::ConfigDocument schema;
            schema.Parse(gpu::configSchema);
            LspSession session(path, [](const std::shared_ptr<const std::string>& text, lint::ColumnUnit unit, size_t detailed,
                                        const lsp::DiagnosticSink& sink) { checkText(schema, text, unit, detailed, sink); });
            for (auto _ : state) session.type();
            benchmark::DoNotOptimize(session.sent());
        })->Unit(benchmark::kMillisecond);
        benchmark::RegisterBenchmark((std::string("LspCheck/") + shapeName(shape)).c_str(), [path](benchmark::State& state) {
            tools::kalder::ConfigDocument schema;
            schema.Parse(gpu::configSchema);
            size_t shown = 0;
            for (auto _ : state) {
                lint::Check::ofFile(path, schema).forEach(lint::ColumnUnit::Char, [&](const lint::Diagnostic& d) {
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
