// SPDX-FileCopyrightText: 2026 The VekGpuKalderExtensions Authors
// SPDX-License-Identifier: Apache-2.0
#include <optional>

#include "Features.h"
#include "Tokens.h"

namespace vek::lsp {
namespace {

struct Fix {
    std::string title;
    size_t begin = 0, end = 0;
    std::string newText;
};

using Fixer = std::optional<Fix> (*)(const std::string& text, size_t begin, size_t end, const std::string& message);

// "... did you mean "graph_names"?": the name the check suggests.
std::optional<Fix> renameKey(const std::string&, size_t begin, size_t end, const std::string& message) {
    const std::string marker = "did you mean \"";
    const size_t at = message.rfind(marker);
    if (at == std::string::npos || message.size() < at + marker.size() + 2 || message.compare(message.size() - 2, 2, "\"?") != 0) {
        return std::nullopt;
    }
    const std::string name = message.substr(at + marker.size(), message.size() - 2 - at - marker.size());
    return Fix{"Rename to \"" + name + "\"", begin, end, "\"" + name + "\""};
}

std::optional<Fix> removeMember(const std::string& text, size_t begin, size_t end, const std::string&) {
    size_t from = 0, to = 0;
    if (!memberSpan(text, begin, from, to)) return std::nullopt;
    return Fix{"Remove this repeated \"" + stringValue(std::string_view(text).substr(begin, end - begin)) + "\"", from, to, ""};
}

// Python's spellings and single quotes, in JSON's.
std::optional<Fix> jsonSpelling(const std::string& text, size_t begin, size_t, const std::string&) {
    size_t at = begin;
    Token token;
    if (!nextToken(text, at, token) || token.begin != begin) return std::nullopt;
    const std::string_view word(text.data() + token.begin, token.end - token.begin);
    static const std::pair<const char*, const char*> kWords[] = {{"True", "true"}, {"False", "false"}, {"None", "null"}};
    for (const auto& [python, json] : kWords) {
        if (word == python) return Fix{std::string("Write ") + json, token.begin, token.end, json};
    }
    if (word.size() < 2 || word.front() != '\'' || word.back() != '\'') return std::nullopt;
    std::string quoted = "\"";
    for (size_t i = 1; i + 1 < word.size(); ++i) {
        if (word[i] == '\\' && i + 2 < word.size() && word[i + 1] == '\'') continue;  // \' needs no escape in JSON
        if (word[i] == '"') quoted += '\\';
        quoted += word[i];
        if (word[i] == '\\' && i + 2 < word.size()) quoted += word[++i];
    }
    quoted += '"';
    return Fix{"Use double quotes", token.begin, token.end, quoted};
}

const std::pair<const char*, Fixer> kFixers[] = {
    {"unknown-key", renameKey},
    {"repeated-key", removeMember},
    {"invalid-json", jsonSpelling},
};

}  // namespace

void writeCodeActions(RpcWriter& writer, const DocumentView& document, const std::string& uri, const Value& diagnostics) {
    writer.StartArray();
    for (const Value& diagnostic : diagnostics.GetArray()) {
        if (!diagnostic.IsObject() || !diagnostic.HasMember("code") || !diagnostic["code"].IsString()) continue;
        const Value* range = optionalObject(diagnostic, "range");
        const Value* start = range != nullptr ? optionalObject(*range, "start") : nullptr;
        const Value* finish = range != nullptr ? optionalObject(*range, "end") : nullptr;
        if (start == nullptr || finish == nullptr) continue;
        const size_t begin = offsetOf(document.text, {uintMember(*start, "line"), uintMember(*start, "character")}, document.encoding);
        const size_t end = offsetOf(document.text, {uintMember(*finish, "line"), uintMember(*finish, "character")}, document.encoding);
        const std::string message = diagnostic.HasMember("message") && diagnostic["message"].IsString() ? diagnostic["message"].GetString() : "";
        for (const auto& [rule, fixer] : kFixers) {
            if (std::string(diagnostic["code"].GetString()) != rule || end < begin) continue;
            const std::optional<Fix> fix = fixer(document.text, begin, end, message);
            if (!fix) continue;
            writer.StartObject();
            writer.Key("title");
            writeString(writer, fix->title);
            writer.Key("kind");
            writer.String("quickfix");
            writer.Key("isPreferred");
            writer.Bool(true);
            writer.Key("diagnostics");
            writer.StartArray();
            diagnostic.Accept(writer);
            writer.EndArray();
            writer.Key("edit");
            writer.StartObject();
            writer.Key("changes");
            writer.StartObject();
            writer.Key(uri.c_str(), static_cast<rapidjson::SizeType>(uri.size()));
            writer.StartArray();
            writer.StartObject();
            writer.Key("range");
            writeRange(writer, document.text, fix->begin, fix->end, document.encoding);
            writer.Key("newText");
            writeString(writer, fix->newText);
            writer.EndObject();
            writer.EndArray();
            writer.EndObject();
            writer.EndObject();
            writer.EndObject();
        }
    }
    writer.EndArray();
}

}  // namespace vek::lsp
