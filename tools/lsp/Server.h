// SPDX-FileCopyrightText: 2026 The VekGpuKalderExtensions Authors
// SPDX-License-Identifier: Apache-2.0
// A language server for configuration files: the check's diagnostics as
// the text changes (pushed, or pulled by clients that prefer it), hover,
// completion, quick fixes, the outline, folding, selection, formatting and
// inlay hints, over the Language Server Protocol 3.17. It keeps the open
// documents and answers each message; serveBurst (Serve.h) runs it.
#pragma once

#include <functional>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "Diagnostic.h"
#include "Features.h"
#include "Keys.h"

namespace vek::lsp {

using DiagnosticSink = std::function<void(const lint::Diagnostic&)>;
// What vekhost check says of a text: its first `count` diagnostics, in the
// unit asked for, with their fixes and related places; returns how many
// there are in all. The text is the document's own, shared for the check.
using Verdict = std::function<size_t(const std::shared_ptr<const std::string>& text, lint::ColumnUnit unit, size_t count,
                                     const DiagnosticSink& sink)>;

struct ServerSetup {
    std::string name = "vekhost";
    std::string version;
    std::vector<lint::KeyDescription> keys;
    Verdict verdict;
};

// At most this many diagnostics are published for a document; a log
// message says how many more there are.
constexpr size_t kMostPublished = 1000;

class Server {
public:
    // `send` writes one message body to the client; false when it cannot.
    Server(ServerSetup setup, std::function<bool(std::string_view)> send);

    // One message from the client, answered at once; diagnostics wait for
    // publishChanged. The body is parsed where it lies (its strings are not
    // copied), so it is taken.
    void receive(std::string body);
    // A request to be answered as cancelled when it comes (it is in the
    // same burst of messages as the $/cancelRequest naming it).
    void noteCancel(const std::string& body);
    void forgetCancels() { cancelled_.clear(); }
    // Something wrong with the stream itself, told to the client's log.
    void logProblem(const std::string& text);
    // The stream ended: as the exit notification would, had it come.
    void streamEnded();
    // Checks each document changed since the last call, its newest text
    // only, and publishes its diagnostics.
    void publishChanged();

    bool exited() const { return exitStatus_ >= 0; }
    int exitStatus() const { return exitStatus_; }

private:
    struct Document {
        std::string uri;
        DocumentText text;
        int64_t version = 0;
        bool diagnosed = false;  // items and shown are of the text as it is
        bool pushed = false;     // and the client was sent them
        std::string items;       // the diagnostics as the protocol writes them, a JSON array
        std::string resultId;
        std::vector<Shown> shown;
    };
    enum class State { Fresh, Running, ShutDown };
    // The methods that change or read the server's own state; the requests
    // a document answers on its own are in the feature table (Features.cpp).
    using Handler = void (Server::*)(const Value& params, RpcWriter* result);
    struct Method {
        const char* name;
        Handler handler;
        bool request;
    };
    static const Method kMethods[];

    void dispatch(const RpcMessage& message);
    // {"jsonrpc": "2.0", then what `members` writes}, sent.
    void sendMessage(const std::function<void(RpcWriter&)>& members);
    void respond(const std::string& id, const std::function<void(RpcWriter&)>& result);
    void respondError(const std::string& id, int32_t code, const std::string& message);
    void notify(const char* method, const std::function<void(RpcWriter&)>& params);
    Document& document(const Value& params);
    DocumentView view(const Document& document) const;
    // Checks the document's text, keeping its diagnostics as the protocol writes them.
    void diagnose(Document& document);
    void writeDiagnostic(RpcWriter& w, const Document& document, const lint::Diagnostic& d) const;
    std::vector<lint::Fix> preferredFixes(const std::shared_ptr<const std::string>& text) const;

    void initialize(const Value& params, RpcWriter* result);
    void initialized(const Value& params, RpcWriter* result);
    void shutdown(const Value& params, RpcWriter* result);
    void exit(const Value& params, RpcWriter* result);
    void didOpen(const Value& params, RpcWriter* result);
    void didChange(const Value& params, RpcWriter* result);
    void didClose(const Value& params, RpcWriter* result);
    void codeAction(const Value& params, RpcWriter* result);
    void resolveCodeAction(const Value& params, RpcWriter* result);
    void diagnostic(const Value& params, RpcWriter* result);

    ServerSetup setup_;
    std::function<bool(std::string_view)> send_;
    rapidjson::StringBuffer buffer_;  // each message is made here, its room kept for the next
    bool making_ = false;
    State state_ = State::Fresh;
    int exitStatus_ = -1;
    ClientAbilities client_;
    std::map<std::string, Document> documents_;
    std::set<std::string> cancelled_;
    uint64_t diagnoses_ = 0;  // for result ids
};

}  // namespace vek::lsp
