// SPDX-FileCopyrightText: 2026 The VekGpuKalderExtensions Authors
// SPDX-License-Identifier: Apache-2.0
#include "Server.h"

#include <new>

#include <rapidjson/error/en.h>

#include "Rules.h"
#include "Text.h"

namespace vek::lsp {
namespace {

// A request's id as JSON text (a number or a string), kept to answer it.
std::string idText(const Value& id) {
    rapidjson::StringBuffer buffer;
    rapidjson::Writer<rapidjson::StringBuffer> writer(buffer);
    id.Accept(writer);
    return std::string(buffer.GetString(), buffer.GetSize());
}

bool offers(const Value& capabilities, const char* group, const char* list, const char* value) {
    const Value* general = optionalObject(capabilities, group);
    if (general == nullptr || !general->HasMember(list) || !(*general)[list].IsArray()) return false;
    for (const Value& item : (*general)[list].GetArray()) {
        if (item.IsString() && std::string(item.GetString()) == value) return true;
    }
    return false;
}

TextPosition positionMember(const Value& object, const char* name) {
    const Value& position = objectMember(object, name);
    return {uintMember(position, "line"), uintMember(position, "character")};
}

// A document's text lent to the check, not copied, and taken back however
// the check ends.
class LentText {
public:
    explicit LentText(std::string& owner) : owner_(owner), text_(std::make_shared<std::string>(std::move(owner))) {}
    ~LentText() { owner_ = std::move(*text_); }
    LentText(const LentText&) = delete;
    LentText& operator=(const LentText&) = delete;
    std::shared_ptr<const std::string> get() const { return text_; }

private:
    std::string& owner_;
    std::shared_ptr<std::string> text_;
};

// A check's diagnostic as the protocol has it: lines and characters from 0.
void writeDiagnostic(RpcWriter& w, const lint::Diagnostic& d) {
    w.StartObject();
    w.Key("range");
    w.StartObject();
    for (const auto& [name, position] : {std::pair<const char*, const lint::Position*>{"start", &d.begin}, {"end", &d.end}}) {
        w.Key(name);
        w.StartObject();
        w.Key("line");
        w.Uint64(position->line - 1);
        w.Key("character");
        w.Uint64(position->column - 1);
        w.EndObject();
    }
    w.EndObject();
    w.Key("severity");
    w.Int(d.severity == lint::Severity::Error ? 1 : 2);
    w.Key("code");
    w.String(lint::ruleOf(d.rule).id);
    w.Key("source");
    w.String("vekhost");
    w.Key("message");
    writeString(w, lint::utf8Text(d.message));
    w.EndObject();
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
    {"textDocument/hover", &Server::hover, true},
    {"textDocument/completion", &Server::completion, true},
    {"textDocument/codeAction", &Server::codeAction, true},
};

Server::Server(ServerSetup setup, std::function<bool(const std::string&)> send)
    : setup_(std::move(setup)), send_(std::move(send)) {}

void Server::send(const rapidjson::StringBuffer& buffer) {
    // A client that is gone cannot be served: the server stops.
    if (!send_(std::string(buffer.GetString(), buffer.GetSize())) && exitStatus_ < 0) exitStatus_ = 1;
}

void Server::sendMessage(const std::function<void(RpcWriter&)>& members) {
    rapidjson::StringBuffer buffer;
    RpcWriter writer(buffer);
    writer.StartObject();
    writer.Key("jsonrpc");
    writer.String("2.0");
    members(writer);
    writer.EndObject();
    send(buffer);
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
        writeString(w, lint::utf8Text(message));
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
        writeString(w, lint::utf8Text("vekhost: " + text));
        w.EndObject();
    });
}

void Server::noteCancel(const std::string& body) {
    rapidjson::Document message;
    message.Parse<rapidjson::kParseValidateEncodingFlag>(body.c_str(), body.size());
    if (message.HasParseError() || !message.IsObject() || !message.HasMember("method") || !message["method"].IsString() ||
        std::string(message["method"].GetString()) != "$/cancelRequest") {
        return;
    }
    const Value* params = optionalObject(message, "params");
    if (params != nullptr && params->HasMember("id") && ((*params)["id"].IsString() || (*params)["id"].IsNumber())) {
        cancelled_.insert(idText((*params)["id"]));
    }
}

void Server::receive(std::string body) {
    // UTF-8 is checked first, on the whole body: RapidJSON's own check
    // reads past the end of a text parsed where it lies when a character is
    // cut short there.
    if (!lint::isUtf8(body)) {
        respondError("null", kParseError, "the message is not UTF-8");
        return;
    }
    rapidjson::Document message;
    message.ParseInsitu(&body[0]);
    if (message.HasParseError()) {
        respondError("null", kParseError,
                     std::string("the message is not JSON: ") + rapidjson::GetParseError_En(message.GetParseError()) + " at byte " +
                         std::to_string(message.GetErrorOffset()));
        return;
    }
    if (!message.IsObject()) {
        respondError("null", kInvalidRequest, "a message must be a JSON object (the protocol sends no batches)");
        return;
    }
    const auto id = message.FindMember("id");
    const bool request = id != message.MemberEnd();
    if (request && !id->value.IsString() && !id->value.IsInt64()) {
        respondError("null", kInvalidRequest, "a request's id must be an integer or a string");
        return;
    }
    const std::string idJson = request ? idText(id->value) : "null";
    const auto method = message.FindMember("method");
    if (method == message.MemberEnd()) {
        // A response to the server: it sends no requests, so there is nothing to match.
        if (request && (message.HasMember("result") || message.HasMember("error"))) return;
        respondError(idJson, kInvalidRequest, "a message without method is no request or notification");
        return;
    }
    const auto version = message.FindMember("jsonrpc");
    if (!method->value.IsString() || version == message.MemberEnd() || !version->value.IsString() ||
        std::string(version->value.GetString()) != "2.0") {
        if (request) respondError(idJson, kInvalidRequest, "a request needs \"jsonrpc\": \"2.0\" and a method name");
        else logProblem("a notification without \"jsonrpc\": \"2.0\" or a method name was ignored");
        return;
    }
    if (request && cancelled_.erase(idJson) > 0) {
        respondError(idJson, kRequestCancelled, "the request was cancelled");
        return;
    }
    try {
        dispatch(message, idJson, request);
    } catch (const BadParams& bad) {
        if (request) respondError(idJson, kInvalidParams, "invalid params: " + bad.what);
        else logProblem(std::string(method->value.GetString()) + ": invalid params: " + bad.what);
    } catch (const std::bad_alloc&) {
        if (request) respondError(idJson, kInternalError, "out of memory");
        else logProblem(std::string(method->value.GetString()) + ": out of memory");
    }
}

void Server::dispatch(const Value& message, const std::string& id, bool request) {
    const std::string name = message["method"].GetString();
    const Method* method = nullptr;
    for (const Method& candidate : kMethods) {
        if (name == candidate.name) method = &candidate;
    }
    if (name == "exit") {
        exitStatus_ = state_ == State::ShutDown ? 0 : 1;
        return;
    }
    if (state_ == State::Fresh && name != "initialize") {
        if (request) respondError(id, kServerNotInitialized, "the server is not initialized: initialize comes first");
        return;
    }
    if (state_ == State::ShutDown) {
        if (request) respondError(id, kInvalidRequest, "the server is shut down: only exit is left");
        return;
    }
    if (method == nullptr || method->request != request) {
        // Notifications the server does not know ($/setTrace, didSave, ...) are ignored.
        if (request) respondError(id, kMethodNotFound, "no method " + name);
        return;
    }
    static const Value kNoParams(rapidjson::kObjectType);
    const auto params = message.FindMember("params");
    const Value& given = params != message.MemberEnd() ? params->value : kNoParams;
    if (!request) {
        (this->*method->handler)(given, nullptr);
        return;
    }
    // The answer is made before it is sent: a handler that finds its params
    // wanting sends nothing but the error.
    rapidjson::StringBuffer result;
    RpcWriter writer(result);
    (this->*method->handler)(given, &writer);
    const std::string made(result.GetString(), result.GetSize());
    respond(id, [&](RpcWriter& w) { w.RawValue(made.c_str(), made.size(), rapidjson::kObjectType); });
}

void Server::initialize(const Value& params, RpcWriter* result) {
    if (state_ != State::Fresh) throw BadParams{"initialize was received already"};
    const Value* capabilities = optionalObject(params, "capabilities");
    static const Value kNone(rapidjson::kObjectType);
    const Value& offered = capabilities != nullptr ? *capabilities : kNone;
    encoding_ = offers(offered, "general", "positionEncodings", "utf-8") ? Encoding::Utf8 : Encoding::Utf16;
    const Value* textDocument = optionalObject(offered, "textDocument");
    const Value* completion = textDocument != nullptr ? optionalObject(*textDocument, "completion") : nullptr;
    const Value* item = completion != nullptr ? optionalObject(*completion, "completionItem") : nullptr;
    snippets_ = item != nullptr && item->HasMember("snippetSupport") && (*item)["snippetSupport"].IsBool() &&
                (*item)["snippetSupport"].GetBool();
    state_ = State::Running;
    RpcWriter& w = *result;
    w.StartObject();
    w.Key("capabilities");
    w.StartObject();
    w.Key("positionEncoding");
    w.String(encoding_ == Encoding::Utf8 ? "utf-8" : "utf-16");
    w.Key("textDocumentSync");
    w.StartObject();
    w.Key("openClose");
    w.Bool(true);
    w.Key("change");
    w.Int(2);  // incremental; a change without a range replaces the whole text
    w.EndObject();
    w.Key("hoverProvider");
    w.Bool(true);
    w.Key("completionProvider");
    w.StartObject();
    w.Key("triggerCharacters");
    w.StartArray();
    w.String("\"");
    w.EndArray();
    w.EndObject();
    w.Key("codeActionProvider");
    w.StartObject();
    w.Key("codeActionKinds");
    w.StartArray();
    w.String("quickfix");
    w.EndArray();
    w.EndObject();
    w.EndObject();
    w.Key("serverInfo");
    w.StartObject();
    w.Key("name");
    writeString(w, setup_.name);
    w.Key("version");
    writeString(w, setup_.version);
    w.EndObject();
    w.EndObject();
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
    return {document.text, encoding_, setup_.keys, document.shown};
}

void Server::didOpen(const Value& params, RpcWriter*) {
    const Value& item = objectMember(params, "textDocument");
    const std::string uri = stringMember(item, "uri");
    Document& document = documents_[uri];
    document.text = stringMember(item, "text");
    document.version = item.HasMember("version") && item["version"].IsInt64() ? item["version"].GetInt64() : 0;
    document.changed = true;
}

void Server::didChange(const Value& params, RpcWriter*) {
    Document& document = this->document(params);
    if (!params.HasMember("contentChanges") || !params["contentChanges"].IsArray()) throw BadParams{"contentChanges must be an array"};
    for (const Value& change : params["contentChanges"].GetArray()) {
        const std::string text = stringMember(change, "text");
        if (const Value* range = optionalObject(change, "range")) {
            if (!replaceRange(document.text, positionMember(*range, "start"), positionMember(*range, "end"), text, encoding_)) {
                throw BadParams{"a change's range ends before it starts"};
            }
        } else {
            document.text = text;
        }
    }
    const Value& item = objectMember(params, "textDocument");
    if (item.HasMember("version") && item["version"].IsInt64()) document.version = item["version"].GetInt64();
    document.changed = true;
}

void Server::didClose(const Value& params, RpcWriter*) {
    const std::string uri = stringMember(objectMember(params, "textDocument"), "uri");
    if (documents_.erase(uri) == 0) return;
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

void Server::hover(const Value& params, RpcWriter* result) {
    const Document& document = this->document(params);
    writeHover(*result, view(document), offsetOf(document.text, positionMember(params, "position"), encoding_));
}

void Server::completion(const Value& params, RpcWriter* result) {
    const Document& document = this->document(params);
    writeCompletion(*result, view(document), offsetOf(document.text, positionMember(params, "position"), encoding_), snippets_);
}

void Server::codeAction(const Value& params, RpcWriter* result) {
    const Document& document = this->document(params);
    const Value& context = objectMember(params, "context");
    if (!context.HasMember("diagnostics") || !context["diagnostics"].IsArray()) throw BadParams{"diagnostics must be an array"};
    writeCodeActions(*result, view(document), stringMember(objectMember(params, "textDocument"), "uri"), context["diagnostics"]);
}

void Server::publishChanged() {
    for (auto& [uri, document] : documents_) {
        if (document.changed && !exited()) publish(uri, document);
    }
}

void Server::publish(const std::string& uri, Document& document) {
    document.changed = false;
    document.shown.clear();
    const lint::ColumnUnit unit = encoding_ == Encoding::Utf8 ? lint::ColumnUnit::Byte : lint::ColumnUnit::Char;
    size_t found = 0;
    notify("textDocument/publishDiagnostics", [&](RpcWriter& w) {
        w.StartObject();
        w.Key("uri");
        writeString(w, uri);
        w.Key("version");
        w.Int64(document.version);
        w.Key("diagnostics");
        w.StartArray();
        const LentText text(document.text);
        setup_.verdict(text.get(), unit, [&](const lint::Diagnostic& d) {
            if (++found > kMostPublished) return;
            writeDiagnostic(w, d);
            document.shown.push_back({d.begin.offset, d.end.offset, d.message});
        });
        w.EndArray();
        w.EndObject();
    });
    if (found > kMostPublished) {
        logProblem(uri + ": " + std::to_string(found - kMostPublished) + " more diagnostics than the " +
                   std::to_string(kMostPublished) + " shown");
    }
}

}  // namespace vek::lsp
