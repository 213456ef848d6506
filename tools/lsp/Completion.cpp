// SPDX-FileCopyrightText: 2026 The VekGpuKalderExtensions Authors
// SPDX-License-Identifier: Apache-2.0
// Completion wherever a member or a value of the top-level object can
// start, each item valid where it lands: the commas its neighbours need
// come with it, and no key the object holds is offered again.
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

// Where the items land: the bytes they replace, and the commas they bring.
struct Landing {
    size_t begin, end;
    bool commaBefore;  // a comma goes after the value before (at beforeEnd)
    size_t beforeEnd;
    std::string after;  // what follows the item's text: a comma before the next member, if it needs one
};

void writeItem(RpcWriter& w, const DocumentView& document, const Item& item, const Landing& landing) {
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
    writeRange(w, document.text.rangeOf(landing.begin, landing.end, document.client.unit));
    w.Key("newText");
    writeString(w, item.newText + landing.after);
    w.EndObject();
    if (landing.commaBefore) {
        w.Key("additionalTextEdits");
        w.StartArray();
        w.StartObject();
        w.Key("range");
        writeRange(w, document.text.rangeOf(landing.beforeEnd, landing.beforeEnd, document.client.unit));
        w.Key("newText");
        w.String(",");
        w.EndObject();
        w.EndArray();
    }
    w.EndObject();
}

// Whether a colon follows the token: its member has its value already.
bool colonAfter(const std::string& text, size_t end) {
    size_t at = end;
    Token token;
    return nextToken(text, at, token) && token.kind == Token::Kind::Colon;
}

void memberItems(const DocumentView& document, const Place& place, bool valued, bool quoted, std::vector<Item>& items) {
    const bool snippets = document.client.snippets;
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
        item.filterText = quoted ? "\"" + key.key + "\"" : key.key;
        items.push_back(std::move(item));
    }
}

void valueItems(const DocumentView& document, const Place& place, std::vector<Item>& items) {
    for (const lint::KeyDescription& key : document.keys) {
        if (key.key != place.key) continue;
        const std::vector<std::string> values = !key.allowed.empty()                ? key.allowed
                                                : key.type == gpu::KeyType::Flag ? std::vector<std::string>{"true", "false"}
                                                                                  : std::vector<std::string>{};
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

}  // namespace

void answerCompletion(RpcWriter& writer, const DocumentView& document, const Value& params) {
    const size_t offset = offsetAt(document, params, "position");
    const std::string& text = document.text.text();
    const Place place = placeOf(text, offset, true);
    const bool replacing = place.onToken && (place.token.kind == Token::Kind::String || place.token.kind == Token::Kind::Word);
    Landing landing{replacing ? place.token.begin : offset, replacing ? place.token.end : offset, place.commaBefore, place.beforeEnd, ""};
    std::vector<Item> items;
    if (place.kind == Place::Kind::MemberName) {
        const bool valued = replacing && colonAfter(text, landing.end);
        memberItems(document, place, valued, replacing && text[landing.begin] == '"', items);
        if (valued) landing.commaBefore = false;
    } else if (place.kind == Place::Kind::Value && !place.nested) {
        valueItems(document, place, items);
    }
    // A member follows: the item ends its own with a comma (and a space
    // where the next one stands right behind it).
    if (place.commaAfter) {
        landing.after = landing.end < text.size() && !lint::isJsonSpace(text[landing.end]) ? ", " : ",";
    }
    writer.StartObject();
    writer.Key("isIncomplete");
    writer.Bool(false);
    writer.Key("items");
    writer.StartArray();
    for (const Item& item : items) writeItem(writer, document, item, landing);
    writer.EndArray();
    writer.EndObject();
}

}  // namespace vek::lsp
