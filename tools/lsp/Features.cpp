// SPDX-FileCopyrightText: 2026 The VekGpuKalderExtensions Authors
// SPDX-License-Identifier: Apache-2.0
#include "Features.h"

namespace vek::lsp {
namespace {

const Feature kFeatures[] = {
    {"textDocument/hover", "hoverProvider", "true", answerHover},
    {"textDocument/completion", "completionProvider", R"({"triggerCharacters":["\""]})", answerCompletion},
    {"textDocument/documentSymbol", "documentSymbolProvider", "true", answerDocumentSymbols},
    {"textDocument/foldingRange", "foldingRangeProvider", "true", answerFoldingRanges},
    {"textDocument/selectionRange", "selectionRangeProvider", "true", answerSelectionRanges},
    {"textDocument/formatting", "documentFormattingProvider", "true", answerFormatting},
    {"textDocument/rangeFormatting", "documentRangeFormattingProvider", "true", answerRangeFormatting},
    {"textDocument/inlayHint", "inlayHintProvider", "true", answerInlayHints},
};

}  // namespace

size_t offsetAt(const DocumentView& document, const Value& position) {
    return document.text.offsetOf({uintMember(position, "line"), uintMember(position, "character")}, document.client.unit);
}

size_t offsetAt(const DocumentView& document, const Value& object, const char* name) { return offsetAt(document, objectMember(object, name)); }

const Feature* featureFor(const std::string& method) {
    for (const Feature& feature : kFeatures) {
        if (method == feature.method) return &feature;
    }
    return nullptr;
}

void forEachFeature(const std::function<void(const Feature&)>& visit) {
    for (const Feature& feature : kFeatures) visit(feature);
}

}  // namespace vek::lsp
