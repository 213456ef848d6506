// SPDX-FileCopyrightText: 2026 The VekGpuKalderExtensions Authors
// SPDX-License-Identifier: Apache-2.0
#include "DocumentText.h"

#include <cstring>

#include "Text.h"

namespace vek::lsp {
namespace {

size_t lineStart(std::string_view text, uint32_t line) {
    size_t at = 0;
    for (uint32_t i = 0; i < line; ++i) {
        const void* found = std::memchr(text.data() + at, '\n', text.size() - at);
        if (found == nullptr) return text.size();
        at = static_cast<size_t>(static_cast<const char*>(found) - text.data()) + 1;
    }
    return at;
}

// UTF-16 code units of the character at `at`: two beyond U+FFFF, one
// otherwise (a byte that is no UTF-8 counts one, as the check counts it).
size_t unitsAt(std::string_view text, size_t at, size_t& bytes) {
    bytes = lint::utf8Length(text.substr(at));
    if (bytes == 0) bytes = 1;
    return bytes == 4 ? 2 : 1;
}

}  // namespace

size_t offsetOf(std::string_view text, TextPosition position, Encoding encoding) {
    size_t at = lineStart(text, position.line);
    const void* newline = std::memchr(text.data() + at, '\n', text.size() - at);
    const size_t end = newline == nullptr ? text.size() : static_cast<size_t>(static_cast<const char*>(newline) - text.data());
    if (encoding == Encoding::Utf8) return at + position.character < end ? at + position.character : end;
    size_t units = 0;
    while (at < end && units < position.character) {
        size_t bytes = 0;
        units += unitsAt(text, at, bytes);
        at += bytes;
    }
    return at < end ? at : end;
}

TextPosition positionOf(std::string_view text, size_t offset, Encoding encoding) {
    if (offset > text.size()) offset = text.size();
    TextPosition position;
    size_t start = 0;
    for (size_t at = 0; at < offset;) {
        const void* found = std::memchr(text.data() + at, '\n', offset - at);
        if (found == nullptr) break;
        at = static_cast<size_t>(static_cast<const char*>(found) - text.data()) + 1;
        start = at;
        ++position.line;
    }
    if (encoding == Encoding::Utf8) {
        position.character = static_cast<uint32_t>(offset - start);
        return position;
    }
    for (size_t at = start; at < offset;) {
        size_t bytes = 0;
        position.character += static_cast<uint32_t>(unitsAt(text, at, bytes));
        at += bytes;
    }
    return position;
}

bool replaceRange(std::string& text, TextPosition start, TextPosition end, std::string_view replacement, Encoding encoding) {
    const size_t from = offsetOf(text, start, encoding);
    const size_t to = offsetOf(text, end, encoding);
    if (to < from) return false;
    text.replace(from, to - from, replacement);
    return true;
}

void writeRange(RpcWriter& writer, std::string_view text, size_t begin, size_t end, Encoding encoding) {
    writer.StartObject();
    for (const auto& [name, offset] : {std::pair<const char*, size_t>{"start", begin}, {"end", end}}) {
        const TextPosition position = positionOf(text, offset, encoding);
        writer.Key(name);
        writer.StartObject();
        writer.Key("line");
        writer.Uint(position.line);
        writer.Key("character");
        writer.Uint(position.character);
        writer.EndObject();
    }
    writer.EndObject();
}

}  // namespace vek::lsp
