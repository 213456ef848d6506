// SPDX-FileCopyrightText: 2026 The VekGpuKalderExtensions Authors
// SPDX-License-Identifier: Apache-2.0
// The language server in process, driven as an editor drives it: each call
// is one burst of messages through the loop vekhost lsp runs, and what the
// server sends back comes parsed. Its verdict is the check's, with the
// plug-in's schema; its keys are the editor schema's.
#pragma once

#include <map>
#include <memory>
#include <string>
#include <vector>

#include "JsonOutput.h"  // first: it sets how RapidJSON allocates
#include <rapidjson/document.h>

#include "Server.h"

namespace vek::test {

using Json = rapidjson::Document;

class LspClient {
public:
    LspClient();
    ~LspClient();

    // The messages (JSON texts) as one burst; what the server sent for it.
    std::vector<Json> burst(const std::vector<std::string>& messages);
    // One request; its response's "result", or its "error" where it failed.
    Json request(const std::string& method, const std::string& params);
    void notify(const std::string& method, const std::string& params);

    // initialize and initialized, with these client capabilities.
    void start(const std::string& capabilities = "{}");
    // A document opened (or its whole text changed); its diagnostics as published.
    Json open(const std::string& uri, const std::string& text);
    Json change(const std::string& uri, const std::string& changes);

    // {"jsonrpc": "2.0", "id": ID, "method", "params"} (ID 0: a notification).
    static std::string message(const std::string& method, const std::string& params, int id = 0);
    int nextId() { return ++lastId_; }
    bool exited() const;
    int exitStatus() const;

private:
    Json lastPublished(const std::vector<Json>& sent);

    std::unique_ptr<lsp::Server> server_;
    std::vector<std::string> sent_;
    std::map<std::string, int> versions_;
    int lastId_ = 0;
};

// A JSON text, parsed; and a value as compact text.
Json parseJson(const std::string& text);

// The protocol's text edits ([{"range", "newText"}], positions in UTF-16
// code units) applied to a text, counted here on their own.
std::string applyEdits(const std::string& text, const rapidjson::Value& edits);
using lint::jsonText;

}  // namespace vek::test
