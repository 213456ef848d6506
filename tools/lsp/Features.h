// SPDX-FileCopyrightText: 2026 The VekGpuKalderExtensions Authors
// SPDX-License-Identifier: Apache-2.0
// What the server answers about a document: hover, completion and quick
// fixes. Each writes the value of the response's "result".
#pragma once

#include <string>
#include <vector>

#include "DocumentText.h"
#include "Keys.h"
#include "Rpc.h"

namespace vek::lsp {

// A diagnostic last published for a document, for a hover on its place.
struct Shown {
    size_t begin = 0, end = 0;  // bytes
    std::string message;
};

struct DocumentView {
    const std::string& text;
    Encoding encoding;
    const std::vector<lint::KeyDescription>& keys;
    const std::vector<Shown>& shown;
};

// A key's type or allowed values, default, needs and what it does, on its
// name; what the plug-in makes of a value, on the value.
void writeHover(RpcWriter& writer, const DocumentView& document, size_t offset);
// At a member name: the keys the object does not have yet. At a value:
// the allowed values, or true and false.
void writeCompletion(RpcWriter& writer, const DocumentView& document, size_t offset, bool snippets);
// The quick fixes for the check's diagnostics the client names.
void writeCodeActions(RpcWriter& writer, const DocumentView& document, const std::string& uri, const Value& diagnostics);

}  // namespace vek::lsp
