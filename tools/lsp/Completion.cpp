// SPDX-FileCopyrightText: 2026 The VekGpuKalderExtensions Authors
// SPDX-License-Identifier: Apache-2.0
#include "Features.h"
#include "Tokens.h"

namespace vek::lsp {
namespace {

enum CompletionKind { kProperty = 10, kValue = 12 };

std::string joined(const std::vector<std::string>& items, const char* separator) {
    std::string out;
    for (const std::string& item : items) out += (out.empty() ? "" : separator) + item;
    return out;
}

// A value of the key's type to start from: a choice of the allowed values
// where the client takes snippets, the default otherwise.
std::string placeholder(const lint::KeyDescription& key, bool snippets) {
    if (!key.allowed.empty()) return snippets ? "${1|" + joined(key.allowed, ",") + "|}" : key.allowed.front();
    if (key.type == "boolean") return snippets ? "${1|true,false|}" : key.defaultValue.empty() ? "false" : key.defaultValue;
    if (key.type.rfind("array", 0) == 0) return snippets ? "[\"$1\"]" : "[]";
    if (key.type == "string") return snippets ? "\"$1\"" : "\"\"";
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
    writeRange(w, document.text, begin, end, document.encoding);
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

void writeCompletion(RpcWriter& writer, const DocumentView& document, size_t offset, bool snippets) {
    const Place place = placeOf(document.text, offset, true);
    const bool replacing = place.onToken && (place.token.kind == Token::Kind::String || place.token.kind == Token::Kind::Word);
    const size_t begin = replacing ? place.token.begin : offset;
    const size_t end = replacing ? place.token.end : offset;
    std::vector<Item> items;
    if (place.kind == Place::Kind::MemberName) {
        const bool valued = replacing && colonAfter(document.text, end);
        for (const lint::KeyDescription& key : document.keys) {
            bool present = false;
            for (const std::string& name : place.names) present = present || name == key.key;
            if (present) continue;
            Item item;
            item.label = key.key;
            item.kind = kProperty;
            item.detail = key.allowed.empty() ? key.type : joined(key.allowed, ", ");
            item.documentation = key.title;
            item.newText = "\"" + key.key + "\"" + (valued ? "" : ": " + placeholder(key, snippets));
            item.snippet = snippets && !valued;
            item.filterText = replacing && document.text[begin] == '"' ? "\"" + key.key + "\"" : key.key;
            items.push_back(std::move(item));
        }
    } else if (place.kind == Place::Kind::Value && !place.nested) {
        for (const lint::KeyDescription& key : document.keys) {
            if (key.key != place.key) continue;
            const std::vector<std::string> values =
                !key.allowed.empty() ? key.allowed : key.type == "boolean" ? std::vector<std::string>{"true", "false"} : std::vector<std::string>{};
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
