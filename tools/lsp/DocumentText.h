// SPDX-FileCopyrightText: 2026 The VekGpuKalderExtensions Authors
// SPDX-License-Identifier: Apache-2.0
// An open document's text, with the index of its lines, and the protocol's
// positions in it: a line from 0 (lines end at "\n", as the check counts
// them) and a character from 0 in the negotiated unit, UTF-16 code units or
// bytes.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "Columns.h"
#include "Diagnostic.h"
#include "Rpc.h"

namespace vek::lsp {

using lint::ColumnUnit;

struct TextPosition {
    uint32_t line = 0;
    uint32_t character = 0;
};

struct TextRange {
    TextPosition start, end;
};

class DocumentText {
public:
    explicit DocumentText(std::string text = {}) : text_(std::make_shared<std::string>(std::move(text))) {}

    const std::string& text() const { return *text_; }
    // The text, shared with a check that reads it while the document stays
    // as it is; an edit meanwhile works on a copy.
    std::shared_ptr<const std::string> share() const { return text_; }
    void replace(std::string text);
    // The text between two positions replaced; false (nothing changed) when
    // the range ends before it starts.
    bool edit(TextPosition start, TextPosition end, std::string_view replacement, ColumnUnit unit);

    // The byte offset of a position; a character past its line's end means
    // the line's end, a line past the last means the text's end.
    size_t offsetOf(TextPosition position, ColumnUnit unit) const;
    TextPosition positionOf(size_t offset, ColumnUnit unit) const;
    TextRange rangeOf(size_t begin, size_t end, ColumnUnit unit) const;

private:
    // Where each line starts, made when first asked after a change.
    const std::vector<size_t>& lines() const;
    size_t lineEnd(size_t line) const;

    // The text the edits change, copied first when a check still reads it.
    std::string& writable();

    std::shared_ptr<std::string> text_;
    mutable std::vector<size_t> lines_;
};

// A check's diagnostic's range, as the protocol counts: lines and characters from 0.
TextRange rangeOf(const lint::Diagnostic& diagnostic);

// {"line", "character"}, and {"start": {...}, "end": {...}}
void writePosition(RpcWriter& writer, const TextPosition& position);
void writeRange(RpcWriter& writer, const TextRange& range);

}  // namespace vek::lsp
