// SPDX-FileCopyrightText: 2026 The VekGpuKalderExtensions Authors
// SPDX-License-Identifier: Apache-2.0
// Arbitrary bytes as what an editor sends the language server: framed,
// answered and checked in the burst loop vekhost lsp runs, every diagnostic
// made with its fixes; no input may crash it, and every answer it writes
// must be JSON.
#include <cstdio>
#include <cstdlib>
#include <string>

#include "BackendExtensions/GPUBackendExtensions/ConfigSchema.h"
#include "Check.h"
#include "Serve.h"

extern "C" int LLVMFuzzerInitialize(int*, char***) { return 0; }

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static vek::tools::kalder::ConfigDocument schema;
    static const bool parsed = !schema.Parse(vek::gpu::configSchema).HasParseError();
    std::FILE* in = std::tmpfile();
    if (in == nullptr || !parsed) std::abort();
    std::fwrite(data, 1, size, in);
    std::rewind(in);

    vek::lsp::ServerSetup setup;
    setup.keys = {{"perf_hint", vek::gpu::KeyType::Text, "", "", {"\"high\"", "\"low\""}, "", {}, "Sets the hint"},
                  {"tuning_mode", vek::gpu::KeyType::Flag, "", "", {}, "false", {"graph_names"}, "Turns tuning on"},
                  {"device_id", vek::gpu::KeyType::Integer, "-2147483648", "2147483647", {}, "0", {"graph_names"}, "Selects"}};
    setup.verdict = [](const std::shared_ptr<const std::string>& text, vek::lint::ColumnUnit unit, size_t count,
                       const vek::lsp::DiagnosticSink& sink) { return vek::lint::Check(text, schema).forFirst(unit, count, sink); };
    vek::lsp::Server server(std::move(setup), [](std::string_view body) {
        rapidjson::Document answer;
        if (answer.Parse(body.data(), body.size()).HasParseError() || !answer.IsObject()) {
            std::fprintf(stderr, "broken: the server wrote no JSON object: %s\n", std::string(body).c_str());
            std::abort();
        }
        return true;
    });
    // Each message a burst of its own, as a client that waits for the
    // server sends them: every change is checked, and a code action finds
    // the diagnostics published before it.
    vek::lsp::MessageReader reader(in);
    std::vector<vek::lsp::Incoming> burst;
    while (!server.exited()) {
        burst.push_back(reader.next());
        vek::lsp::serveBurst(server, burst);
    }
    std::fclose(in);
    return 0;
}
