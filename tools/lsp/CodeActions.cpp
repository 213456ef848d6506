// SPDX-FileCopyrightText: 2026 The VekGpuKalderExtensions Authors
// SPDX-License-Identifier: Apache-2.0
// Code actions from the fixes the check's diagnostics carry: the server
// finds the published diagnostic the client names and offers its fixes.
#include "Features.h"
#include "Text.h"

namespace vek::lsp {
namespace {

bool positionIs(const Value& position, const TextPosition& expected) {
    const auto is = [&](const char* name, uint32_t value) {
        const auto found = position.FindMember(name);
        return found != position.MemberEnd() && found->value.IsUint() && found->value.GetUint() == value;
    };
    return position.IsObject() && is("line", expected.line) && is("character", expected.character);
}

// The published diagnostic the client's one is: the same rule, the same range.
const Shown* published(const DocumentView& document, const Value& diagnostic) {
    const Value* range = optionalObject(diagnostic, "range");
    if (range == nullptr || !diagnostic.HasMember("code") || !diagnostic["code"].IsString()) return nullptr;
    const std::string code = diagnostic["code"].GetString();
    for (const Shown& shown : document.shown) {
        if (code == lint::ruleOf(shown.rule).id && range->HasMember("start") && range->HasMember("end") &&
            positionIs((*range)["start"], shown.range.start) && positionIs((*range)["end"], shown.range.end)) {
            return &shown;
        }
    }
    return nullptr;
}

// {"changes": {URI: [{"range", "newText"}...]}}
void writeEdit(RpcWriter& w, const DocumentView& document, const std::vector<lint::Edit>& edits) {
    w.StartObject();
    w.Key("changes");
    w.StartObject();
    w.Key(document.uri.c_str(), static_cast<rapidjson::SizeType>(document.uri.size()));
    w.StartArray();
    for (const lint::Edit& edit : edits) {
        w.StartObject();
        w.Key("range");
        writeRange(w, document.text.rangeOf(edit.begin, edit.end, document.client.unit));
        w.Key("newText");
        writeString(w, edit.text);
        w.EndObject();
    }
    w.EndArray();
    w.EndObject();
    w.EndObject();
}

void writeQuickFix(RpcWriter& w, const DocumentView& document, const lint::Fix& fix, bool preferred, const Value& diagnostic) {
    w.StartObject();
    w.Key("title");
    writeText(w, fix.title);
    w.Key("kind");
    w.String("quickfix");
    w.Key("isPreferred");
    w.Bool(preferred);
    w.Key("diagnostics");
    w.StartArray();
    diagnostic.Accept(w);
    w.EndArray();
    w.Key("edit");
    writeEdit(w, document, fix.edits);
    w.EndObject();
}

}  // namespace

void writeCodeActions(RpcWriter& writer, const DocumentView& document, const Value& diagnostics) {
    writer.StartArray();
    for (const Value& diagnostic : diagnostics.GetArray()) {
        const Shown* shown = published(document, diagnostic);
        for (size_t i = 0; shown != nullptr && i < shown->fixes.size(); ++i) {
            writeQuickFix(writer, document, shown->fixes[i], i == 0, diagnostic);
        }
    }
    writer.EndArray();
}

}  // namespace vek::lsp
