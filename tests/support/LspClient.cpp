// SPDX-FileCopyrightText: 2026 The VekGpuKalderExtensions Authors
// SPDX-License-Identifier: Apache-2.0
#include "LspClient.h"

#include <algorithm>
#include <stdexcept>

#include "Cases.h"
#include "Check.h"
#include "Serve.h"

namespace vek::test {
namespace {

std::string quoted(const std::string& text) {
    rapidjson::StringBuffer buffer;
    rapidjson::Writer<rapidjson::StringBuffer> writer(buffer);
    writer.String(text.c_str(), static_cast<rapidjson::SizeType>(text.size()));
    return buffer.GetString();
}

// The byte offset of a line and UTF-16 character.
size_t offsetOf(const std::string& text, const rapidjson::Value& position) {
    size_t at = 0;
    for (unsigned line = position["line"].GetUint(); line > 0 && at < text.size(); --line) {
        const size_t newline = text.find('\n', at);
        at = newline == std::string::npos ? text.size() : newline + 1;
    }
    for (unsigned units = position["character"].GetUint(); units > 0 && at < text.size() && text[at] != '\n';) {
        const auto lead = static_cast<unsigned char>(text[at]);
        const size_t bytes = lead < 0x80 ? 1 : lead < 0xE0 ? 2 : lead < 0xF0 ? 3 : 4;
        units -= std::min<unsigned>(units, bytes == 4 ? 2 : 1);
        at += bytes;
    }
    return at;
}

}  // namespace

std::string applyEdits(const std::string& text, const rapidjson::Value& edits) {
    // From the last to the first, so each edit's positions still hold.
    std::vector<std::pair<size_t, size_t>> ranges;
    for (const auto& edit : edits.GetArray()) ranges.emplace_back(offsetOf(text, edit["range"]["start"]), offsetOf(text, edit["range"]["end"]));
    std::string out = text;
    for (size_t i = ranges.size(); i-- > 0;) out.replace(ranges[i].first, ranges[i].second - ranges[i].first, edits[static_cast<rapidjson::SizeType>(i)]["newText"].GetString());
    return out;
}

Json parseJson(const std::string& text) {
    Json json;
    if (json.Parse(text.c_str(), text.size()).HasParseError()) throw std::invalid_argument("not JSON: " + text);
    return json;
}

LspClient::LspClient() {
    lsp::ServerSetup setup;
    setup.version = "test";
    if (!lint::readKeys(VEK_EDITOR_SCHEMA_PATH, setup.keys)) throw std::runtime_error("cannot read the editor schema");
    setup.verdict = [](const std::shared_ptr<const std::string>& text, lint::ColumnUnit unit, size_t count,
                       const lsp::DiagnosticSink& sink) { return lint::Check(text, pluginSchema()).forFirst(unit, count, sink); };
    server_ = std::make_unique<lsp::Server>(std::move(setup), [this](std::string_view body) {
        sent_.emplace_back(body);
        return true;
    });
}

LspClient::~LspClient() = default;

std::string LspClient::message(const std::string& method, const std::string& params, int id) {
    return R"({"jsonrpc":"2.0",)" + (id != 0 ? R"("id":)" + std::to_string(id) + "," : std::string()) + R"("method":")" + method +
           R"(","params":)" + params + "}";
}

std::vector<Json> LspClient::burst(const std::vector<std::string>& messages) {
    std::vector<lsp::Incoming> incoming;
    for (const std::string& body : messages) incoming.push_back(lsp::Incoming{lsp::Incoming::Kind::Body, body, "", false});
    sent_.clear();
    lsp::serveBurst(*server_, incoming);
    std::vector<Json> answers;
    for (const std::string& body : sent_) answers.push_back(parseJson(body));
    return answers;
}

Json LspClient::request(const std::string& method, const std::string& params) {
    const int id = nextId();
    for (Json& answer : burst({message(method, params, id)})) {
        if (answer.HasMember("id") && answer["id"] == id) {
            Json part;
            part.CopyFrom(answer.HasMember("result") ? answer["result"] : answer["error"], part.GetAllocator());
            return part;
        }
    }
    throw std::logic_error("no answer to " + method);
}

void LspClient::notify(const std::string& method, const std::string& params) { burst({message(method, params)}); }

void LspClient::start(const std::string& capabilities) {
    request("initialize", R"({"processId":null,"rootUri":null,"capabilities":)" + capabilities + "}");
    notify("initialized", "{}");
}

Json LspClient::lastPublished(const std::vector<Json>& sent) {
    for (auto it = sent.rbegin(); it != sent.rend(); ++it) {
        if (it->HasMember("method") && std::string((*it)["method"].GetString()) == "textDocument/publishDiagnostics") {
            Json params;
            params.CopyFrom((*it)["params"], params.GetAllocator());
            return params;
        }
    }
    return Json();
}

Json LspClient::open(const std::string& uri, const std::string& text) {
    versions_[uri] = 1;
    return lastPublished(burst({message("textDocument/didOpen",
                                        R"({"textDocument":{"uri":)" + quoted(uri) + R"(,"languageId":"json","version":1,"text":)" +
                                            quoted(text) + "}}")}));
}

Json LspClient::change(const std::string& uri, const std::string& changes) {
    const int version = ++versions_[uri];
    return lastPublished(burst({message("textDocument/didChange", R"({"textDocument":{"uri":)" + quoted(uri) + R"(,"version":)" +
                                                                       std::to_string(version) + R"(},"contentChanges":)" + changes + "}")}));
}

bool LspClient::exited() const { return server_->exited(); }
int LspClient::exitStatus() const { return server_->exitStatus(); }

}  // namespace vek::test
