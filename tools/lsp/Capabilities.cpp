// SPDX-FileCopyrightText: 2026 The VekGpuKalderExtensions Authors
// SPDX-License-Identifier: Apache-2.0
#include "Capabilities.h"

#include <cstring>
#include <initializer_list>

namespace vek::lsp {
namespace {

// The member at the end of a path of objects, or null.
const Value* memberAt(const Value& root, std::initializer_list<const char*> path) {
    const Value* at = &root;
    for (const char* name : path) {
        if (!at->IsObject()) return nullptr;
        const auto found = at->FindMember(name);
        if (found == at->MemberEnd()) return nullptr;
        at = &found->value;
    }
    return at;
}

bool flagAt(const Value& root, std::initializer_list<const char*> path) {
    const Value* flag = memberAt(root, path);
    return flag != nullptr && flag->IsBool() && flag->GetBool();
}

bool listHolds(const Value& root, std::initializer_list<const char*> path, const char* text) {
    const Value* list = memberAt(root, path);
    if (list == nullptr || !list->IsArray()) return false;
    for (const Value& item : list->GetArray()) {
        if (item.IsString() && std::string(item.GetString()) == text) return true;
    }
    return false;
}

void writeStrings(RpcWriter& w, const char* name, std::initializer_list<const char*> texts) {
    w.Key(name);
    w.StartArray();
    for (const char* text : texts) w.String(text);
    w.EndArray();
}

}  // namespace

ClientAbilities readClientAbilities(const Value& params) {
    ClientAbilities client;
    static const Value kNone(rapidjson::kObjectType);
    const Value* offered = optionalObject(params, "capabilities");
    const Value& caps = offered != nullptr ? *offered : kNone;
    client.unit = listHolds(caps, {"general", "positionEncodings"}, "utf-8") ? ColumnUnit::Byte : ColumnUnit::Char;
    client.snippets = flagAt(caps, {"textDocument", "completion", "completionItem", "snippetSupport"});
    client.relatedInformation = flagAt(caps, {"textDocument", "publishDiagnostics", "relatedInformation"});
    client.hierarchicalSymbols = flagAt(caps, {"textDocument", "documentSymbol", "hierarchicalDocumentSymbolSupport"});
    const Value* pull = memberAt(caps, {"textDocument", "diagnostic"});
    client.pullDiagnostics = pull != nullptr && pull->IsObject();
    client.resolvesEdits = listHolds(caps, {"textDocument", "codeAction", "resolveSupport", "properties"}, "edit");
    const Value* limit = memberAt(caps, {"textDocument", "foldingRange", "rangeLimit"});
    if (limit != nullptr && limit->IsUint()) client.foldingLimit = limit->GetUint();
    return client;
}

void writeInitializeResult(RpcWriter& w, const ClientAbilities& client, const std::string& name, const std::string& version) {
    w.StartObject();
    w.Key("capabilities");
    w.StartObject();
    w.Key("positionEncoding");
    w.String(client.unit == ColumnUnit::Byte ? "utf-8" : "utf-16");
    w.Key("textDocumentSync");
    w.StartObject();
    w.Key("openClose");
    w.Bool(true);
    w.Key("change");
    w.Int(2);  // incremental; a change without a range replaces the whole text
    w.EndObject();
    forEachFeature([&](const Feature& feature) {
        w.Key(feature.capability);
        w.RawValue(feature.options, std::strlen(feature.options), rapidjson::kObjectType);
    });
    w.Key("codeActionProvider");
    w.StartObject();
    writeStrings(w, "codeActionKinds", {"quickfix", "source.fixAll.vekhost"});
    w.Key("resolveProvider");
    w.Bool(true);
    w.EndObject();
    if (client.pullDiagnostics) {
        w.Key("diagnosticProvider");
        w.StartObject();
        w.Key("identifier");
        w.String("vekhost");
        w.Key("interFileDependencies");
        w.Bool(false);
        w.Key("workspaceDiagnostics");
        w.Bool(false);
        w.EndObject();
    }
    w.EndObject();
    w.Key("serverInfo");
    w.StartObject();
    w.Key("name");
    writeString(w, name);
    w.Key("version");
    writeString(w, version);
    w.EndObject();
    w.EndObject();
}

}  // namespace vek::lsp
