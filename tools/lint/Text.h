// SPDX-FileCopyrightText: 2026 The VekGpuKalderExtensions Authors
// SPDX-License-Identifier: Apache-2.0
// Text as the check shows it: printable, cut, as the file writes it.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace vek::lint {

// JSON's white space.
constexpr bool isJsonSpace(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r'; }
// Where a word (a number, a literal, or anything else unquoted) ends: white
// space or JSON's punctuation.
constexpr bool endsWord(char c) {
    return isJsonSpace(c) || c == ',' || c == ':' || c == '[' || c == ']' || c == '{' || c == '}';
}

// The byte as two upper-case hexadecimal digits after `prefix` ("\\x", "%").
void appendHexByte(std::string& out, unsigned char byte, const char* prefix);

// "a, b or c": the items between `separator`s, the last after `last`.
std::string joinList(const std::vector<std::string>& items, std::string_view separator, std::string_view last);

// Values and names are shown as the file writes them, cut to this many
// characters ("..." ending the cut ones).
constexpr size_t kShownChars = 60;

// The length of the UTF-8 sequence at the start of `text`, or 0 when it is none.
size_t utf8Length(std::string_view text);
bool isUtf8(std::string_view text);

// `text` with control characters and bytes that are no UTF-8 written as
// \xHH, cut to `maxChars` characters (an escape counts one) with "...".
std::string printable(std::string_view text, size_t maxChars = std::string_view::npos);
void appendPrintable(std::string& out, std::string_view text, size_t maxChars = std::string_view::npos);

// `text` for a JSON string: control characters and NUL stay (a JSON writer
// escapes them), a byte that is no UTF-8 becomes the text \xHH.
std::string utf8Text(std::string_view text);

// The end of the token at `start`: a string to its closing quote, an array
// or object to its closing bracket, anything else to the next space or
// punctuation; looked for no further than `limit` bytes.
size_t tokenEnd(std::string_view text, size_t start, size_t limit = std::string_view::npos);

// The token (a value or a member name) that starts at `offset` of `text`, as
// the file writes it, printable and cut to kShownChars characters.
std::string sourceText(std::string_view text, size_t offset);
void appendSourceText(std::string& out, std::string_view text, size_t offset);

}  // namespace vek::lint
