// SPDX-FileCopyrightText: 2026 The VekGpuKalderExtensions Authors
// SPDX-License-Identifier: Apache-2.0
#include "Features.h"
#include "Text.h"
#include "Tokens.h"

namespace vek::lsp {
namespace {

enum CompletionKind { kProperty = 10, kValue = 12 };

// A value of the key's type to start from: a choice of the allowed values
// where the client takes snippets, the default otherwise.
std::string placeholder(const lint::KeyDescription& key, bool snippets) {
    if (!key.allowed.empty()) return snippets ? "${1|" + lint::joinList(key.allowed, ",", ",") + "|}" : key.allowed.front();
    switch (key.type) {
        case gpu::KeyType::Flag: return snippets ? "${1|true,false|}" : key.defaultValue.empty() ? "false" : key.defaultValue;
        case gpu::KeyType::TextList: return snippets ? "[\"$1\"]" : "[]";
        case gpu::KeyType::Text: return snippets ? "\"$1\"" : "\"\"";
        case gpu::KeyType::Integer: break;
    }
    const std::string start = key.defaultValue.empty() ? "0" : key.defaultValue;
    return snippets ? "${1:" + start + "}" : start;
}

struct Item {
    std::string label, detail, documentation, newText;
    std::string filterText;  // clients match what is typed against the text the edit replaces
    int kind = kValue;
    bool snippet = false;
};

void writeItem(RpcWriter& w, const DocumentView& document, const Item& item, size_t begin, size_t end) {
    w.StartObject();
    w.Key("label");
    writeString(w, item.label);
    w.Key("kind");
    w.Int(item.kind);
    if (!item.detail.empty()) {
        w.Key("detail");
        writeString(w, item.detail);
    }
    if (!item.documentation.empty()) {
        w.Key("documentation");
        writeString(w, item.documentation);
    }
    w.Key("filterText");
    writeString(w, item.filterText);
    w.Key("insertTextFormat");
    w.Int(item.snippet ? 2 : 1);
    w.Key("textEdit");
    w.StartObject();
    w.Key("range");
    writeRange(w, document.text.rangeOf(begin, end, document.client.unit));
    w.Key("newText");
    writeString(w, item.newText);
    w.EndObject();
    w.EndObject();
}

// Whether a colon follows the token: its member has its value already.
bool colonAfter(const std::string& text, size_t end) {
    size_t at = end;
    Token token;
    return nextToken(text, at, token) && token.kind == Token::Kind::Colon;
}

}  // namespace

void writeCompletion(RpcWriter& writer, const DocumentView& document, size_t offset) {
    const bool snippets = document.client.snippets;
    const std::string& text = document.text.text();
    const Place place = placeOf(text, offset, true);
    const bool replacing = place.onToken && (place.token.kind == Token::Kind::String || place.token.kind == Token::Kind::Word);
    const size_t begin = replacing ? place.token.begin : offset;
    const size_t end = replacing ? place.token.end : offset;
    std::vector<Item> items;
    if (place.kind == Place::Kind::MemberName) {
        const bool valued = replacing && colonAfter(text, end);
        for (const lint::KeyDescription& key : document.keys) {
            bool present = false;
            for (const std::string& name : place.names) present = present || name == key.key;
            if (present) continue;
            Item item;
            item.label = key.key;
            item.kind = kProperty;
            item.detail = key.allowed.empty() ? lint::typeWords(key) : lint::joinList(key.allowed, ", ", ", ");
            item.documentation = key.title;
            item.newText = "\"" + key.key + "\"" + (valued ? "" : ": " + placeholder(key, snippets));
            item.snippet = snippets && !valued;
            item.filterText = replacing && text[begin] == '"' ? "\"" + key.key + "\"" : key.key;
            items.push_back(std::move(item));
        }
    } else if (place.kind == Place::Kind::Value && !place.nested) {
        for (const lint::KeyDescription& key : document.keys) {
            if (key.key != place.key) continue;
            const std::vector<std::string> values =
                !key.allowed.empty() ? key.allowed : key.type == gpu::KeyType::Flag ? std::vector<std::string>{"true", "false"} : std::vector<std::string>{};
            for (const std::string& value : values) {
                Item item;
                item.label = value;
                item.detail = value == key.defaultValue ? "the default" : "";
                item.newText = value;
                item.filterText = value;
                items.push_back(std::move(item));
            }
        }
    }
    writer.StartObject();
    writer.Key("isIncomplete");
    writer.Bool(false);
    writer.Key("items");
    writer.StartArray();
    for (const Item& item : items) writeItem(writer, document, item, begin, end);
    writer.EndArray();
    writer.EndObject();
}

}  // namespace vek::lsp
