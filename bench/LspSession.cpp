// SPDX-FileCopyrightText: 2026 The VekGpuKalderExtensions Authors
// SPDX-License-Identifier: Apache-2.0
#include "LspSession.h"

#include <fstream>
#include <iterator>

namespace vek::bench {
namespace {

const char kUri[] = "file:///bench/config.json";

std::string openMessage(const std::string& text) {
    rapidjson::StringBuffer buffer;
    lsp::RpcWriter w(buffer);
    w.StartObject();
    w.Key("jsonrpc");
    w.String("2.0");
    w.Key("method");
    w.String("textDocument/didOpen");
    w.Key("params");
    w.StartObject();
    w.Key("textDocument");
    w.StartObject();
    w.Key("uri");
    w.String(kUri);
    w.Key("version");
    w.Int(1);
    w.Key("text");
    w.String(text.c_str(), static_cast<rapidjson::SizeType>(text.size()));
    w.EndObject();
    w.EndObject();
    w.EndObject();
    return std::string(buffer.GetString(), buffer.GetSize());
}

std::string changeMessage(int64_t version, bool insert) {
    return std::string(R"({"jsonrpc":"2.0","method":"textDocument/didChange","params":{"textDocument":{"uri":")") + kUri +
           R"(","version":)" + std::to_string(version) + R"(},"contentChanges":[{"range":{"start":{"line":0,"character":1},"end":{"line":0,"character":)" +
           (insert ? "1" : "2") + R"(}},"text":")" + (insert ? " " : "") + R"("}]}})";
}

}  // namespace

void LspSession::send(std::string body) {
    burst_.push_back(lsp::Incoming{lsp::Incoming::Kind::Body, std::move(body), "", false});
    lsp::serveBurst(*server_, burst_);
}

LspSession::LspSession(const std::string& path, lsp::Verdict verdict) {
    lsp::ServerSetup setup;
    setup.verdict = std::move(verdict);
    server_ = std::make_unique<lsp::Server>(std::move(setup), [this](std::string_view body) {
        sent_ += body.size();
        return true;
    });
    send(R"({"jsonrpc":"2.0","id":1,"method":"initialize","params":{"capabilities":{}}})");
    std::string text;
    {
        std::ifstream in(path, std::ios::binary);
        text.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }
    std::string message = openMessage(text);
    text = std::string();
    send(std::move(message));
}

void LspSession::type() {
    ++version_;
    send(changeMessage(version_, version_ % 2 == 0));
}

}  // namespace vek::bench
