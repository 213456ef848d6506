// SPDX-FileCopyrightText: 2026 The VekGpuKalderExtensions Authors
// SPDX-License-Identifier: Apache-2.0
// vekhost lsp: the language server, checking each text as vekhost check
// checks a file: the plug-in loads it, then the check reads it.
#include <cstdio>

#include "Commands.h"
#include "HostSession.h"
#include "Keys.h"
#include "LogSink.h"
#include "Serve.h"
#include "Verdict.h"
#include "platform/Process.h"
#include "platform/TempFile.h"

namespace vek::host {

int lspCommand(const Options& options) {
    tools::kalder::ConfigDocument schema;
    std::vector<lint::KeyDescription> keys;
    if (!readSchema(options.schema, schema)) {
        std::fprintf(stderr, "vekhost: cannot read the configuration schema %s\n", options.schema.c_str());
        return 2;
    }
    if (!lint::readKeys(options.editorSchema, keys)) {
        std::fprintf(stderr, "vekhost: cannot read the editor schema %s\n", options.editorSchema.c_str());
        return 2;
    }
    HostSession session;
    session.setQuiet(true);
    setLogPrinting(options.printLevel);
    setLogKeeping(false);
    if (!session.loadPlugin(options.plugin)) return 2;
    if (!session.installLogger(options.logLevel)) return 1;
    platform::ignoreBrokenPipe();
    platform::useBinaryStandardStreams();
    platform::returnLargeBlocks();

    lsp::ServerSetup setup;
    setup.version = VEK_VERSION;
    setup.keys = std::move(keys);
    setup.verdict = [&](const std::shared_ptr<const std::string>& text, lint::ColumnUnit unit, size_t count,
                        const lsp::DiagnosticSink& sink) -> size_t {
        // The plug-in reads files only: the text goes to a private one first.
        platform::TempFile file;
        const bool written = !file.path().empty() && std::fwrite(text->data(), 1, text->size(), file.stream()) == text->size() && file.close();
        forgetLoggedMessages();
        const bool loaded = written && session.loadConfig(file.path());
        // What the load kept is freed before the check takes its own.
        if (!session.renewBackend()) return 0;
        const lint::Check check(text, schema);
        std::fflush(stderr);
        if (!written) {
            if (count > 0) sink(refusal("the text could not be handed to the plug-in: " + file.error()));
            return 1 + check.forFirst(unit, count > 0 ? count - 1 : 0, sink);
        }
        return firstDiagnostics(loaded, check, unit, count, sink);
    };
    std::function<bool()> clientAlive;
    if (options.clientProcessId > 0) clientAlive = [id = options.clientProcessId] { return platform::processAlive(id); };
    return lsp::serve(stdin, stdout, std::move(setup), std::move(clientAlive));
}

}  // namespace vek::host
