// SPDX-FileCopyrightText: 2026 The VekGpuKalderExtensions Authors
// SPDX-License-Identifier: Apache-2.0
#include "Server.h"

#include <new>

#include "Capabilities.h"
#include "JsonOutput.h"
#include "Rules.h"
#include "Text.h"

namespace vek::lsp {
namespace {

TextPosition positionMember(const Value& object, const char* name) {
    const Value& position = objectMember(object, name);
    return {uintMember(position, "line"), uintMember(position, "character")};
}

}  // namespace

const Server::Method Server::kMethods[] = {
    {"initialize", &Server::initialize, true},
    {"initialized", &Server::initialized, false},
    {"shutdown", &Server::shutdown, true},
    {"exit", &Server::exit, false},
    {"textDocument/didOpen", &Server::didOpen, false},
    {"textDocument/didChange", &Server::didChange, false},
    {"textDocument/didClose", &Server::didClose, false},
    {"textDocument/codeAction", &Server::codeAction, true},
    {"codeAction/resolve", &Server::resolveCodeAction, true},
    {"textDocument/diagnostic", &Server::diagnostic, true},
};

Server::Server(ServerSetup setup, std::function<bool(std::string_view)> send)
    : setup_(std::move(setup)), send_(std::move(send)) {}

void Server::sendMessage(const std::function<void(RpcWriter&)>& members) {
    // A message made while another is (a log message while diagnostics are
    // written) takes a buffer of its own.
    rapidjson::StringBuffer own;
    rapidjson::StringBuffer& buffer = making_ ? own : buffer_;
    const bool outer = !making_;
    making_ = true;
    buffer.Clear();
    RpcWriter writer(buffer);
    writer.StartObject();
    writer.Key("jsonrpc");
    writer.String("2.0");
    members(writer);
    writer.EndObject();
    if (outer) making_ = false;
    // A client that is gone cannot be served: the server stops.
    if (!send_(std::string_view(buffer.GetString(), buffer.GetSize())) && exitStatus_ < 0) exitStatus_ = 1;
}

void Server::respond(const std::string& id, const std::function<void(RpcWriter&)>& result) {
    sendMessage([&](RpcWriter& w) {
        w.Key("id");
        w.RawValue(id.c_str(), id.size(), rapidjson::kNumberType);
        w.Key("result");
        result(w);
    });
}

void Server::respondError(const std::string& id, int32_t code, const std::string& message) {
    sendMessage([&](RpcWriter& w) {
        w.Key("id");
        w.RawValue(id.c_str(), id.size(), rapidjson::kNumberType);
        w.Key("error");
        w.StartObject();
        w.Key("code");
        w.Int(code);
        w.Key("message");
        writeText(w, message);
        w.EndObject();
    });
}

void Server::notify(const char* method, const std::function<void(RpcWriter&)>& params) {
    sendMessage([&](RpcWriter& w) {
        w.Key("method");
        w.String(method);
        w.Key("params");
        params(w);
    });
}

void Server::logProblem(const std::string& text) {
    notify("window/logMessage", [&](RpcWriter& w) {
        w.StartObject();
        w.Key("type");
        w.Int(1);
        w.Key("message");
        writeText(w, "vekhost: " + text);
        w.EndObject();
    });
}

void Server::noteCancel(const std::string& body) {
    std::string copy = body;
    rapidjson::Document document;
    const RpcMessage message = readMessage(copy, document);
    if (message.kind != RpcMessage::Kind::Notification || message.method != "$/cancelRequest") return;
    const auto id = message.params->IsObject() ? message.params->FindMember("id") : message.params->MemberEnd();
    if (id != message.params->MemberEnd() && (id->value.IsString() || id->value.IsNumber())) cancelled_.insert(lint::jsonText(id->value));
}

void Server::receive(std::string body) {
    rapidjson::Document document;
    const RpcMessage message = readMessage(body, document);
    switch (message.kind) {
        case RpcMessage::Kind::Bad:
            if (message.answer) respondError(message.id, message.error, message.problem);
            else logProblem(message.problem);
            return;
        case RpcMessage::Kind::Response: return;
        case RpcMessage::Kind::Request:
            if (cancelled_.erase(message.id) > 0) {
                respondError(message.id, kRequestCancelled, "the request was cancelled");
                return;
            }
            break;
        case RpcMessage::Kind::Notification: break;
    }
    const bool request = message.kind == RpcMessage::Kind::Request;
    try {
        dispatch(message);
    } catch (const BadParams& bad) {
        if (request) respondError(message.id, kInvalidParams, "invalid params: " + bad.what);
        else logProblem(message.method + ": invalid params: " + bad.what);
    } catch (const std::bad_alloc&) {
        if (request) respondError(message.id, kInternalError, "out of memory");
        else logProblem(message.method + ": out of memory");
    }
}

void Server::dispatch(const RpcMessage& message) {
    const bool request = message.kind == RpcMessage::Kind::Request;
    const Method* method = nullptr;
    for (const Method& candidate : kMethods) {
        if (message.method == candidate.name) method = &candidate;
    }
    if (message.method == "exit") {
        exitStatus_ = state_ == State::ShutDown ? 0 : 1;
        return;
    }
    if (state_ == State::Fresh && message.method != "initialize") {
        if (request) respondError(message.id, kServerNotInitialized, "the server is not initialized: initialize comes first");
        return;
    }
    if (state_ == State::ShutDown) {
        if (request) respondError(message.id, kInvalidRequest, "the server is shut down: only exit is left");
        return;
    }
    const Feature* feature = method == nullptr && request ? featureFor(message.method) : nullptr;
    if ((method == nullptr || method->request != request) && feature == nullptr) {
        // Notifications the server does not know ($/setTrace, didSave, ...) are ignored.
        if (request) respondError(message.id, kMethodNotFound, "no method " + message.method);
        return;
    }
    if (!request) {
        (this->*method->handler)(*message.params, nullptr);
        return;
    }
    // The answer is made before it is sent: a handler that finds its params
    // wanting sends nothing but the error.
    rapidjson::StringBuffer result;
    RpcWriter writer(result);
    if (feature != nullptr) feature->answer(writer, view(document(*message.params)), *message.params);
    else (this->*method->handler)(*message.params, &writer);
    const std::string made(result.GetString(), result.GetSize());
    respond(message.id, [&](RpcWriter& w) { w.RawValue(made.c_str(), made.size(), rapidjson::kObjectType); });
}

void Server::initialize(const Value& params, RpcWriter* result) {
    if (state_ != State::Fresh) throw BadParams{"initialize was received already"};
    client_ = readClientAbilities(params);
    state_ = State::Running;
    writeInitializeResult(*result, client_, setup_.name, setup_.version);
}

void Server::initialized(const Value&, RpcWriter*) {}

void Server::shutdown(const Value&, RpcWriter* result) {
    state_ = State::ShutDown;
    result->Null();
}

void Server::exit(const Value&, RpcWriter*) {}

void Server::streamEnded() {
    if (exitStatus_ < 0) exitStatus_ = state_ == State::ShutDown ? 0 : 1;
}

Server::Document& Server::document(const Value& params) {
    const std::string uri = stringMember(objectMember(params, "textDocument"), "uri");
    const auto found = documents_.find(uri);
    if (found == documents_.end()) throw BadParams{"no document " + uri + " is open"};
    return found->second;
}

DocumentView Server::view(const Document& document) const {
    return {document.text, document.uri, client_, setup_.keys, document.shown};
}

void Server::didOpen(const Value& params, RpcWriter*) {
    const Value& item = objectMember(params, "textDocument");
    const std::string uri = stringMember(item, "uri");
    Document& document = documents_[uri];
    document.uri = uri;
    document.text.replace(stringMember(item, "text"));
    document.version = item.HasMember("version") && item["version"].IsInt64() ? item["version"].GetInt64() : 0;
    document.diagnosed = document.pushed = false;
}

void Server::didChange(const Value& params, RpcWriter*) {
    Document& document = this->document(params);
    if (!params.HasMember("contentChanges") || !params["contentChanges"].IsArray()) throw BadParams{"contentChanges must be an array"};
    for (const Value& change : params["contentChanges"].GetArray()) {
        std::string text = stringMember(change, "text");
        if (const Value* range = optionalObject(change, "range")) {
            if (!document.text.edit(positionMember(*range, "start"), positionMember(*range, "end"), text, client_.unit)) {
                throw BadParams{"a change's range ends before it starts"};
            }
        } else {
            document.text.replace(std::move(text));
        }
    }
    const Value& item = objectMember(params, "textDocument");
    if (item.HasMember("version") && item["version"].IsInt64()) document.version = item["version"].GetInt64();
    document.diagnosed = document.pushed = false;
}

void Server::didClose(const Value& params, RpcWriter*) {
    const std::string uri = stringMember(objectMember(params, "textDocument"), "uri");
    if (documents_.erase(uri) == 0 || client_.pullDiagnostics) return;
    notify("textDocument/publishDiagnostics", [&](RpcWriter& w) {
        w.StartObject();
        w.Key("uri");
        writeString(w, uri);
        w.Key("diagnostics");
        w.StartArray();
        w.EndArray();
        w.EndObject();
    });
}

std::vector<lint::Fix> Server::preferredFixes(const std::shared_ptr<const std::string>& text) const {
    std::vector<lint::Fix> fixes;
    setup_.verdict(text, ColumnUnit::Byte, SIZE_MAX, [&](const lint::Diagnostic& d) {
        if (!d.fixes.empty()) fixes.push_back(d.fixes.front());
    });
    return fixes;
}

void Server::codeAction(const Value& params, RpcWriter* result) {
    Document& document = this->document(params);
    if (!document.diagnosed) diagnose(document);  // the fixes of what was shown
    const Value& context = objectMember(params, "context");
    if (!context.HasMember("diagnostics") || !context["diagnostics"].IsArray()) throw BadParams{"diagnostics must be an array"};
    ActionRequest request{context["diagnostics"], {}, !context.HasMember("triggerKind") || !context["triggerKind"].IsInt() ||
                                                       context["triggerKind"].GetInt() == 1};
    if (context.HasMember("only") && context["only"].IsArray()) {
        for (const Value& kind : context["only"].GetArray()) {
            if (kind.IsString()) request.only.emplace_back(kind.GetString());
        }
    }
    writeCodeActions(*result, view(document), request, [this](const auto& text) { return preferredFixes(text); });
}

void Server::resolveCodeAction(const Value& params, RpcWriter* result) {
    const Value* data = optionalObject(params, "data");
    if (data == nullptr) throw BadParams{"only the fix-all action is resolved, by its data"};
    const auto found = documents_.find(stringMember(*data, "uri"));
    if (found == documents_.end()) throw BadParams{"no document " + stringMember(*data, "uri") + " is open"};
    writeFixAll(*result, view(found->second), [this](const auto& text) { return preferredFixes(text); });
}

void Server::diagnostic(const Value& params, RpcWriter* result) {
    Document& document = this->document(params);
    if (!document.diagnosed) diagnose(document);
    const auto previous = params.FindMember("previousResultId");
    const bool unchanged = previous != params.MemberEnd() && previous->value.IsString() && document.resultId == previous->value.GetString();
    RpcWriter& w = *result;
    w.StartObject();
    w.Key("kind");
    w.String(unchanged ? "unchanged" : "full");
    w.Key("resultId");
    writeString(w, document.resultId);
    if (!unchanged) {
        w.Key("items");
        w.RawValue(document.items.c_str(), document.items.size(), rapidjson::kArrayType);
    }
    w.EndObject();
}

void Server::publishChanged() {
    if (client_.pullDiagnostics) return;  // it asks for them
    for (auto& entry : documents_) {
        const std::string& uri = entry.first;
        Document& document = entry.second;
        if (document.pushed || exited()) continue;
        if (!document.diagnosed) diagnose(document);
        document.pushed = true;
        notify("textDocument/publishDiagnostics", [&](RpcWriter& w) {
            w.StartObject();
            w.Key("uri");
            writeString(w, uri);
            w.Key("version");
            w.Int64(document.version);
            w.Key("diagnostics");
            w.RawValue(document.items.c_str(), document.items.size(), rapidjson::kArrayType);
            w.EndObject();
        });
    }
}

// A check's diagnostic as the protocol has it.
void Server::writeDiagnostic(RpcWriter& w, const Document& document, const lint::Diagnostic& d) const {
    w.StartObject();
    w.Key("range");
    writeRange(w, rangeOf(d));
    w.Key("severity");
    w.Int(d.severity == lint::Severity::Error ? 1 : 2);
    w.Key("code");
    w.String(lint::ruleOf(d.rule).id);
    w.Key("source");
    w.String("vekhost");
    w.Key("message");
    writeText(w, d.message);
    if (client_.relatedInformation && !d.related.empty()) {
        w.Key("relatedInformation");
        w.StartArray();
        for (const lint::Related& related : d.related) {
            w.StartObject();
            w.Key("location");
            w.StartObject();
            w.Key("uri");
            writeString(w, document.uri);
            w.Key("range");
            writeRange(w, document.text.rangeOf(related.begin, related.end, client_.unit));
            w.EndObject();
            w.Key("message");
            writeText(w, related.message);
            w.EndObject();
        }
        w.EndArray();
    }
    w.EndObject();
}

void Server::diagnose(Document& document) {
    document.diagnosed = true;
    document.resultId = std::to_string(++diagnoses_);
    document.shown.clear();
    rapidjson::StringBuffer buffer;
    RpcWriter w(buffer);
    w.StartArray();
    const size_t found = setup_.verdict(document.text.share(), client_.unit, kMostPublished, [&](const lint::Diagnostic& d) {
        writeDiagnostic(w, document, d);
        document.shown.push_back({d.begin.offset, d.end.offset, rangeOf(d), d.rule, d.message, d.fixes});
    });
    w.EndArray();
    document.items.assign(buffer.GetString(), buffer.GetSize());
    if (found > kMostPublished) {
        logProblem(document.uri + ": " + std::to_string(found - kMostPublished) + " more diagnostics than the " +
                   std::to_string(kMostPublished) + " shown");
    }
}

}  // namespace vek::lsp
