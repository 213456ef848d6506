// SPDX-FileCopyrightText: 2026 The VekGpuKalderExtensions Authors
// SPDX-License-Identifier: Apache-2.0
// The language server in process, in the burst loop vekhost lsp runs, with
// a document open and its messages to the client counted and dropped.
#pragma once

#include <memory>
#include <string>

#include "Serve.h"

namespace vek::bench {

class LspSession {
public:
    // Initializes the server and opens the file's text as a document.
    LspSession(const std::string& path, lsp::Verdict verdict);
    // One keystroke: a space typed after the first byte, or taken out
    // again; then the check of the new text and its diagnostics published.
    void type();
    size_t sent() const { return sent_; }

private:
    // One message as a burst of its own, answered and checked as vekhost lsp does.
    void send(std::string body);

    std::unique_ptr<lsp::Server> server_;
    std::vector<lsp::Incoming> burst_;
    size_t sent_ = 0;
    int64_t version_ = 1;
};

}  // namespace vek::bench
