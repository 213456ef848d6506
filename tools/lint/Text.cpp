// SPDX-FileCopyrightText: 2026 The VekGpuKalderExtensions Authors
// SPDX-License-Identifier: Apache-2.0
#include "Text.h"

#include "BackendExtensions/HexDigits.h"

#include <algorithm>
#include <cstring>

namespace vek::lint {

void appendHexByte(std::string& out, unsigned char byte, const char* prefix) {
    out += prefix;
    out += tools::kalder::kHexDigits[byte >> 4];
    out += tools::kalder::kHexDigits[byte & 0xF];
}

std::string joinList(const std::vector<std::string>& items, std::string_view separator, std::string_view last) {
    std::string out;
    for (size_t i = 0; i < items.size(); ++i) {
        if (i > 0) out += i + 1 == items.size() ? last : separator;
        out += items[i];
    }
    return out;
}

size_t utf8Length(std::string_view text) {
    const auto byte = [&](size_t i) { return static_cast<unsigned char>(text[i]); };
    const unsigned char lead = byte(0);
    const size_t length = lead < 0x80 ? 1 : (lead >> 5) == 0x6 ? 2 : (lead >> 4) == 0xE ? 3 : (lead >> 3) == 0x1E ? 4 : 0;
    if (length == 0 || length > text.size()) return 0;
    for (size_t i = 1; i < length; ++i) {
        if ((byte(i) & 0xC0) != 0x80) return 0;
    }
    return length;
}

namespace {

// Past the closing quote of the string whose opening quote is just before
// `at`, or `stop`: from quote to quote, a quote after an odd number of
// backslashes being part of the string.
size_t stringEnd(std::string_view text, size_t at, size_t stop) {
    while (at < stop) {
        const void* quote = std::memchr(text.data() + at, '"', stop - at);
        if (quote == nullptr) return stop;
        const size_t q = static_cast<size_t>(static_cast<const char*>(quote) - text.data());
        size_t backslashes = 0;
        while (q - backslashes > at && text[q - backslashes - 1] == '\\') ++backslashes;
        at = q + 1;
        if (backslashes % 2 == 0) return at;
    }
    return stop;
}

}  // namespace

size_t tokenEnd(std::string_view text, size_t start, size_t limit) {
    const size_t stop = limit >= text.size() - start ? text.size() : start + limit;
    const char first = text[start];
    if (first != '"' && first != '[' && first != '{') {
        size_t i = start + 1;
        while (i < stop && !endsWord(text[i])) ++i;
        return i;
    }
    if (first == '"') return stringEnd(text, start + 1, stop);
    unsigned depth = 0;
    for (size_t i = start; i < stop; ++i) {
        const char c = text[i];
        if (c == '"') {
            i = stringEnd(text, i + 1, stop) - 1;
        } else if (c == '[' || c == '{') {
            ++depth;
        } else if ((c == ']' || c == '}') && --depth == 0) {
            return i + 1;
        }
    }
    return stop;
}

std::string utf8Text(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (size_t i = 0; i < text.size();) {
        if (static_cast<unsigned char>(text[i]) < 0x80) {
            out += text[i++];
            continue;
        }
        const size_t length = utf8Length(text.substr(i, 4));
        if (length == 0) {
            appendHexByte(out, static_cast<unsigned char>(text[i++]), "\\x");
        } else {
            out.append(text.substr(i, length));
            i += length;
        }
    }
    return out;
}

std::string printable(std::string_view text, size_t maxChars) {
    std::string out;
    appendPrintable(out, text, maxChars);
    return out;
}

void appendPrintable(std::string& out, std::string_view text, size_t maxChars) {
    const size_t keep = maxChars == std::string_view::npos ? maxChars : maxChars - 3;
    size_t chars = 0, keptBytes = 0;
    for (size_t i = 0; i < text.size(); ++chars) {
        if (chars == keep) keptBytes = out.size();
        if (chars == maxChars) {
            out.resize(keptBytes);
            out += "...";
            return;
        }
        const auto byte = static_cast<unsigned char>(text[i]);
        if (byte >= 0x20 && byte < 0x7F) {  // printable ASCII, the usual case
            out += text[i++];
            continue;
        }
        const size_t length = utf8Length(text.substr(i, 4));
        if (length == 0 || byte < 0x20 || byte == 0x7F) {
            appendHexByte(out, byte, "\\x");
            ++i;
        } else {
            out.append(text.substr(i, length));
            i += length;
        }
    }
}

std::string sourceText(std::string_view text, size_t offset) {
    std::string out;
    appendSourceText(out, text, offset);
    return out;
}

void appendSourceText(std::string& out, std::string_view text, size_t offset) {
    if (offset >= text.size()) return;
    // Four bytes a character at most, and one more to tell a cut.
    const size_t end = tokenEnd(text, offset, 4 * kShownChars + 1);
    appendPrintable(out, text.substr(offset, end - offset), kShownChars);
}

bool isUtf8(std::string_view text) {
    for (size_t i = 0; i < text.size();) {
        if (static_cast<unsigned char>(text[i]) < 0x80) {
            ++i;
            continue;
        }
        const size_t length = utf8Length(text.substr(i, 4));
        if (length == 0) return false;
        i += length;
    }
    return true;
}

}  // namespace vek::lint
