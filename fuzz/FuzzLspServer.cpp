// SPDX-FileCopyrightText: 2026 The VekGpuKalderExtensions Authors
// SPDX-License-Identifier: Apache-2.0
// Arbitrary bytes as what an editor sends the language server: framed,
// answered and checked as vekhost lsp does, every diagnostic made; no input
// may crash it, and every answer it writes must be JSON.
#include <cstdio>
#include <cstdlib>
#include <string>

#include "BackendExtensions/GPUBackendExtensions/ConfigSchema.h"
#include "Check.h"
#include "Server.h"
#include "Transport.h"

extern "C" int LLVMFuzzerInitialize(int*, char***) { return 0; }

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static vek::tools::kalder::ConfigDocument schema;
    static const bool parsed = !schema.Parse(vek::gpu::configSchema).HasParseError();
    std::FILE* in = std::tmpfile();
    if (in == nullptr || !parsed) std::abort();
    std::fwrite(data, 1, size, in);
    std::rewind(in);

    vek::lsp::ServerSetup setup;
    setup.keys = {{"perf_hint", "string", {"\"high\"", "\"low\""}, "", {}, "Sets the hint"},
                  {"tuning_mode", "boolean", {}, "false", {"graph_names"}, "Turns tuning on"}};
    setup.verdict = [](const std::shared_ptr<const std::string>& text, vek::lint::ColumnUnit unit,
                       const vek::lsp::DiagnosticSink& sink) { vek::lint::Check(text, schema).forEach(unit, sink); };
    vek::lsp::Server server(std::move(setup), [](const std::string& body) {
        rapidjson::Document answer;
        if (answer.Parse(body.c_str(), body.size()).HasParseError() || !answer.IsObject()) {
            std::fprintf(stderr, "broken: the server wrote no JSON object: %s\n", body.c_str());
            std::abort();
        }
        return true;
    });
    vek::lsp::MessageReader reader(in);
    while (!server.exited()) {
        vek::lsp::Incoming incoming = reader.next();
        if (!incoming.problem.empty()) server.logProblem(incoming.problem);
        if (incoming.kind == vek::lsp::Incoming::Kind::Body) {
            server.noteCancel(incoming.body);
            server.receive(std::move(incoming.body));
            server.forgetCancels();
        }
        if (incoming.kind == vek::lsp::Incoming::Kind::End) server.streamEnded();
        server.publishChanged();
    }
    std::fclose(in);
    return 0;
}
