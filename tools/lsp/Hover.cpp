// SPDX-FileCopyrightText: 2026 The VekGpuKalderExtensions Authors
// SPDX-License-Identifier: Apache-2.0
#include "BackendExtensions/Identifier.h"
#include "Features.h"
#include "Text.h"
#include "Tokens.h"

namespace vek::lsp {
namespace {

const lint::KeyDescription* keyNamed(const std::vector<lint::KeyDescription>& keys, const std::string& name) {
    for (const lint::KeyDescription& key : keys) {
        if (key.key == name) return &key;
    }
    return nullptr;
}

// As vekhost keys tells it.
std::string describeKey(const lint::KeyDescription& key) {
    std::vector<std::string> needs;
    for (const std::string& needed : key.needs) needs.push_back("`" + needed + "`");
    return "**" + key.key + "**: " + (key.allowed.empty() ? lint::typeWords(key) : "one of " + lint::joinList(key.allowed, ", ", " or ")) + "\n\n" +
           key.title + "\n\nDefault: " + (key.defaultValue.empty() ? "none, the backend library decides" : "`" + key.defaultValue + "`") +
           ". Needs: " + (needs.empty() ? "nothing" : lint::joinList(needs, ", ", " and ")) + ".";
}

// What the plug-in makes of a value: a graph name's identifier, an
// ignored null or empty value, the setting it gives.
std::string describeValue(const DocumentView& document, const Place& place) {
    const std::string_view token(document.text.text().data() + place.token.begin, place.token.end - place.token.begin);
    const lint::KeyDescription* key = keyNamed(document.keys, place.key);
    std::string out;
    if (key == nullptr) {
        out = "`" + place.key + "` is no configuration key: the plug-in reads nothing of it.";
    } else if (place.key == "graph_names" && token.size() >= 2 && token.front() == '"') {
        const std::string name = stringValue(token);
        out = "The graph name \"" + lint::printable(name, 60) + "\" becomes the identifier `" +
              lint::printable(tools::kalder::toIdentifier(name.substr(0, name.find('\0'))), 60) + "`.";
    } else if (token == "null" || token == "\"\"") {
        out = "The plug-in ignores a null or empty value: `" + key->key + "` keeps its default.";
    } else if (!place.nested) {
        out = "`" + key->key + "` = `" + lint::printable(token, 60) + "`: " + key->title + ".";
        if (token == key->defaultValue) out += " This is the default.";
    }
    return out;
}

}  // namespace

void answerHover(RpcWriter& writer, const DocumentView& document, const Value& params) {
    const size_t offset = offsetAt(document, params, "position");
    const std::string& text = document.text.text();
    const Place place = placeOf(text, offset, false);
    std::string contents;
    if (place.onToken && place.kind == Place::Kind::MemberName && place.token.kind == Token::Kind::String) {
        const lint::KeyDescription* key = keyNamed(document.keys, stringValue(std::string_view(text).substr(
                                                                       place.token.begin, place.token.end - place.token.begin)));
        if (key != nullptr) contents = describeKey(*key);
    } else if (place.onToken && place.kind == Place::Kind::Value &&
               (place.token.kind == Token::Kind::String || place.token.kind == Token::Kind::Word)) {
        contents = describeValue(document, place);
    }
    // Then what the check says there.
    for (const Shown& shown : document.shown) {
        if (place.onToken && shown.begin <= place.token.begin && place.token.begin < std::max(shown.end, shown.begin + 1)) {
            contents += (contents.empty() ? "" : "\n\n") + lint::printable(shown.message);
        }
    }
    if (contents.empty()) {
        writer.Null();
        return;
    }
    writer.StartObject();
    writer.Key("contents");
    writer.StartObject();
    writer.Key("kind");
    writer.String("markdown");
    writer.Key("value");
    writeText(writer, contents);
    writer.EndObject();
    writer.Key("range");
    writeRange(writer, document.text.rangeOf(place.token.begin, place.token.end, document.client.unit));
    writer.EndObject();
}

}  // namespace vek::lsp
