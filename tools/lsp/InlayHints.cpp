// SPDX-FileCopyrightText: 2026 The VekGpuKalderExtensions Authors
// SPDX-License-Identifier: Apache-2.0
// After each graph name whose identifier differs from it, the identifier
// the plug-in makes of it.
#include "BackendExtensions/GPUBackendExtensions/GpuConfigKeys.h"
#include "BackendExtensions/Identifier.h"
#include "Features.h"
#include "Outline.h"
#include "Text.h"
#include "Tokens.h"

namespace vek::lsp {
namespace {

// A graph name, as the plug-in keeps it (up to its first NUL), where the
// identifier it becomes is not the name itself.
bool differs(const std::string& name, std::string& identifier) {
    const std::string kept = name.substr(0, name.find('\0'));
    identifier = tools::kalder::toIdentifier(kept);
    return identifier != kept;
}

void writeHint(RpcWriter& w, const DocumentView& document, size_t at, const std::string& identifier) {
    w.StartObject();
    w.Key("position");
    writePosition(w, document.text.positionOf(at, document.client.unit));
    w.Key("label");
    writeText(w, "\xE2\x86\x92 " + lint::printable(identifier, lint::kShownChars));
    w.Key("tooltip");
    w.String("The identifier the plug-in makes of this graph name");
    w.Key("paddingLeft");
    w.Bool(true);
    w.EndObject();
}

}  // namespace

void answerInlayHints(RpcWriter& writer, const DocumentView& document, const Value& params) {
    const Value& range = objectMember(params, "range");
    const size_t from = offsetAt(document, range, "start"), to = offsetAt(document, range, "end");
    const std::string& text = document.text.text();
    const std::vector<OutlineNode> nodes = outlineOf(text);
    writer.StartArray();
    const auto hint = [&](const OutlineNode& value) {
        std::string identifier;
        if (value.kind == OutlineNode::Kind::String && value.end >= from && value.end <= to &&
            differs(stringValue(std::string_view(text).substr(value.begin, value.end - value.begin)), identifier)) {
            writeHint(writer, document, value.end, identifier);
        }
    };
    // The members of the top object whose key names graphs: their text, or the texts of their array.
    for (uint32_t m = !nodes.empty() && nodes[0].kind == OutlineNode::Kind::Object ? nodes[0].firstChild : kNoNode; m != kNoNode;
         m = nodes[m].nextSibling) {
        const OutlineNode& member = nodes[m];
        // The key as the plug-in names it: up to the name's first NUL.
        const std::string key = stringValue(std::string_view(text).substr(member.nameBegin, member.nameEnd - member.nameBegin));
        const gpu::ConfigKey* entry = member.named() ? gpu::findConfigKey(key.substr(0, key.find('\0'))) : nullptr;
        if (entry == nullptr || entry->type != gpu::KeyType::TextList) continue;
        hint(member);
        if (member.kind != OutlineNode::Kind::Array) continue;
        for (uint32_t e = member.firstChild; e != kNoNode; e = nodes[e].nextSibling) hint(nodes[e]);
    }
    writer.EndArray();
}

}  // namespace vek::lsp
