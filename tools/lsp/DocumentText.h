// SPDX-FileCopyrightText: 2026 The VekGpuKalderExtensions Authors
// SPDX-License-Identifier: Apache-2.0
// An open document's text and the protocol's positions in it: a line from
// 0 (lines end at "\n", as the check counts them) and a character from 0 in
// the negotiated unit, UTF-16 code units or bytes.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "Rpc.h"

namespace vek::lsp {

enum class Encoding { Utf16, Utf8 };

struct TextPosition {
    uint32_t line = 0;
    uint32_t character = 0;
};

// The byte offset of a position; a character past its line's end means the
// line's end, a line past the last means the text's end.
size_t offsetOf(std::string_view text, TextPosition position, Encoding encoding);
// The position of a byte offset.
TextPosition positionOf(std::string_view text, size_t offset, Encoding encoding);

// The text between two positions replaced; false (nothing changed) when
// the range ends before it starts.
bool replaceRange(std::string& text, TextPosition start, TextPosition end, std::string_view replacement, Encoding encoding);

// {"start": {"line", "character"}, "end": {...}} of the bytes from begin to end.
void writeRange(RpcWriter& writer, std::string_view text, size_t begin, size_t end, Encoding encoding);

}  // namespace vek::lsp
