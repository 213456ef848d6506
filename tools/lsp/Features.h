// SPDX-FileCopyrightText: 2026 The VekGpuKalderExtensions Authors
// SPDX-License-Identifier: Apache-2.0
// What the server answers about a document: hover, completion, code
// actions, its structure, formatting and inlay hints.
#pragma once

#include <functional>
#include <memory>
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
    bool hierarchicalSymbols = false;    // the outline may nest
    bool pullDiagnostics = false;        // the client asks for diagnostics (textDocument/diagnostic) and is sent none
    bool resolvesEdits = false;          // a code action's edit may be made when the client resolves it
    size_t foldingLimit = 5000;          // the most folding ranges it takes
};

struct DocumentView {
    const DocumentText& text;
    const std::string& uri;
    const ClientAbilities& client;
    const std::vector<lint::KeyDescription>& keys;
    const std::vector<Shown>& shown;
};

// The offset a request names: of its position member `name` ("position",
// "start"), or of a position itself.
size_t offsetAt(const DocumentView& document, const Value& object, const char* name);
size_t offsetAt(const DocumentView& document, const Value& position);

// What a request about a document answers, given the document and the
// request's params: the value of the response's "result".
using Answer = void (*)(RpcWriter& writer, const DocumentView& document, const Value& params);

// Each request a document answers on its own, and the capability that
// offers it: adding a feature is its answer and a row here (Features.cpp).
struct Feature {
    const char* method;      // "textDocument/hover"
    const char* capability;  // the member of the server's capabilities that offers it
    const char* options;     // that member's value, as JSON
    Answer answer;
};
const Feature* featureFor(const std::string& method);
void forEachFeature(const std::function<void(const Feature&)>& visit);

// A key's type or allowed values, default, needs and what it does, on its
// name; what the plug-in makes of a value, on the value.
void answerHover(RpcWriter& writer, const DocumentView& document, const Value& params);
// Wherever a member of the top object can start, the keys it does not hold
// yet; wherever a value can start, the allowed values, or true and false.
void answerCompletion(RpcWriter& writer, const DocumentView& document, const Value& params);
// The keys and values, nested as the file is (or a flat list with each
// symbol's container); the ranges that fold; for each position, the ranges
// a selection grows through, innermost first.
void answerDocumentSymbols(RpcWriter& writer, const DocumentView& document, const Value& params);
void answerFoldingRanges(RpcWriter& writer, const DocumentView& document, const Value& params);
void answerSelectionRanges(RpcWriter& writer, const DocumentView& document, const Value& params);
// Edits that lay out the whole text or a range, changing only the space
// between tokens; none for a text that is not JSON.
void answerFormatting(RpcWriter& writer, const DocumentView& document, const Value& params);
void answerRangeFormatting(RpcWriter& writer, const DocumentView& document, const Value& params);
// After each graph name in the range whose identifier differs from it, the identifier.
void answerInlayHints(RpcWriter& writer, const DocumentView& document, const Value& params);

// The edits that lay out the bytes from `from` to `to` (every member and
// element on a line of its own), changing only the space between tokens;
// none for a text that is not JSON. `options` are the protocol's
// FormattingOptions.
std::vector<lint::Edit> formattingEdits(const std::string& text, size_t from, size_t to, const Value& options);

// The preferred fix of each problem of a text, in the text's order.
using FixesOf = std::function<std::vector<lint::Fix>(const std::shared_ptr<const std::string>& text)>;

// What a code action request asks for: the diagnostics it names, the kinds
// it takes ("only"), whether a person asked (not the editor on its own).
struct ActionRequest {
    const Value& diagnostics;
    std::vector<std::string> only;  // empty: every kind
    bool invoked;
};
// The fixes of the published diagnostics the client names, as quick fixes,
// and every fix of the file as one action (source.fixAll.vekhost).
void writeCodeActions(RpcWriter& writer, const DocumentView& document, const ActionRequest& request, const FixesOf& fixesOf);
// The fix-all action with its edit, for codeAction/resolve.
void writeFixAll(RpcWriter& writer, const DocumentView& document, const FixesOf& fixesOf);

}  // namespace vek::lsp
