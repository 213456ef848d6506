// SPDX-FileCopyrightText: 2026 The VekGpuKalderExtensions Authors
// SPDX-License-Identifier: Apache-2.0
// What the server answers about a document: hover, completion and code
// actions. Each writes the value of the response's "result".
#pragma once

#include <string>
#include <vector>

#include "Diagnostic.h"
#include "DocumentText.h"
#include "Keys.h"
#include "Rpc.h"

namespace vek::lsp {

// A diagnostic last published for a document: for a hover on its place,
// and the fixes a code action offers for it.
struct Shown {
    size_t begin = 0, end = 0;  // bytes
    TextRange range;            // as published
    lint::RuleId rule = lint::RuleId::InvalidJson;
    std::string message;
    std::vector<lint::Fix> fixes;
};

// What the client said it can do, in initialize.
struct ClientAbilities {
    ColumnUnit unit = ColumnUnit::Char;  // UTF-16 code units, or bytes when it offers utf-8
    bool snippets = false;               // completion items may be snippets
    bool relatedInformation = false;     // diagnostics may name other places
};

struct DocumentView {
    const DocumentText& text;
    const std::string& uri;
    const ClientAbilities& client;
    const std::vector<lint::KeyDescription>& keys;
    const std::vector<Shown>& shown;
};

// A key's type or allowed values, default, needs and what it does, on its
// name; what the plug-in makes of a value, on the value.
void writeHover(RpcWriter& writer, const DocumentView& document, size_t offset);
// At a member name: the keys the object does not have yet. At a value:
// the allowed values, or true and false.
void writeCompletion(RpcWriter& writer, const DocumentView& document, size_t offset);
// The fixes of the published diagnostics the client names, as quick fixes.
void writeCodeActions(RpcWriter& writer, const DocumentView& document, const Value& diagnostics);

}  // namespace vek::lsp
