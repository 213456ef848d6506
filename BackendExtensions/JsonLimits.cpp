// SPDX-FileCopyrightText: 2026 The VekGpuKalderExtensions Authors
// SPDX-License-Identifier: Apache-2.0
#include "BackendExtensions/JsonLimits.h"

#include <cstdint>
#include <cstring>

namespace vek::tools::kalder {
namespace {

// What a byte outside a string means to the scan; most bytes mean nothing.
enum ByteClass : uint8_t { Other, Quote, Open, Close, NumberStart };

struct ByteClasses {
    ByteClass of[256] = {};
    constexpr ByteClasses() {
        of[static_cast<uint8_t>('"')] = Quote;
        of[static_cast<uint8_t>('[')] = Open;
        of[static_cast<uint8_t>('{')] = Open;
        of[static_cast<uint8_t>(']')] = Close;
        of[static_cast<uint8_t>('}')] = Close;
        of[static_cast<uint8_t>('-')] = NumberStart;
        for (char c = '0'; c <= '9'; ++c) of[static_cast<uint8_t>(c)] = NumberStart;
    }
};
constexpr ByteClasses kClasses;

bool isDigit(char c) { return c >= '0' && c <= '9'; }
bool isNumberPart(char c) { return isDigit(c) || c == '.' || c == '+' || c == '-' || c == 'e' || c == 'E'; }

int hexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

// The code unit of the four hex digits at `text`, or -1.
long hexUnit(const char* text, size_t available) {
    if (available < 4) return -1;
    long unit = 0;
    for (size_t i = 0; i < 4; ++i) {
        const int digit = hexDigit(text[i]);
        if (digit < 0) return -1;
        unit = unit * 16 + digit;
    }
    return unit;
}

constexpr size_t kNone = SIZE_MAX;

// Index just past the string that opens at `i` (its quote), or `length`.
// `loneSurrogate` receives the offset of a low surrogate escape that does not
// follow a high one (the string ends there), or stays kNone.
size_t skipString(const char* text, size_t i, size_t length, size_t& loneSurrogate) {
    const char* start = text + i + 1;
    const char* end = text + length;
    const void* quote = std::memchr(start, '"', static_cast<size_t>(end - start));
    // No escape before the closing quote: the common case, found by memchr.
    if (quote != nullptr && std::memchr(start, '\\', static_cast<size_t>(static_cast<const char*>(quote) - start)) == nullptr) {
        return static_cast<size_t>(static_cast<const char*>(quote) - text) + 1;
    }
    bool afterHighSurrogate = false;
    for (++i; i < length && text[i] != '"'; ++i) {
        if (text[i] != '\\') {
            afterHighSurrogate = false;
        } else if (i + 1 < length && text[i + 1] == 'u') {
            const long unit = hexUnit(text + i + 2, length - (i + 2));
            if (unit >= 0xDC00 && unit <= 0xDFFF && !afterHighSurrogate) {
                loneSurrogate = i;
                return i;
            }
            afterHighSurrogate = unit >= 0xD800 && unit <= 0xDBFF;
            i += unit >= 0 ? 5 : 1;
        } else {
            afterHighSurrogate = false;
            ++i;
        }
    }
    return i + 1;
}

}  // namespace

JsonLimitBreak findJsonLimitBreak(const char* text, size_t length, const JsonLimits& limits) {
    // A NUL byte ends what the parser reads; the text before it is scanned.
    const void* nul = std::memchr(text, '\0', length);
    const size_t end = nul != nullptr ? static_cast<size_t>(static_cast<const char*>(nul) - text) : length;
    unsigned depth = 0;
    size_t i = 0;
    while (i < end) {
        switch (kClasses.of[static_cast<uint8_t>(text[i])]) {
            case Other: ++i; break;
            case Quote: {
                size_t loneSurrogate = kNone;
                i = skipString(text, i, end, loneSurrogate);
                if (loneSurrogate != kNone) return {JsonLimit::LoneSurrogate, loneSurrogate};
                break;
            }
            case Open:
                if (++depth > limits.maxDepth) return {JsonLimit::Depth, i};
                ++i;
                break;
            case Close:
                if (depth > 0) --depth;
                ++i;
                break;
            case NumberStart: {
                const size_t start = i;
                unsigned exponentDigits = 0;
                bool inExponent = false;
                for (; i < end && isNumberPart(text[i]); ++i) {
                    const char d = text[i];
                    if (d == 'e' || d == 'E') {
                        inExponent = true;
                    } else if (inExponent && isDigit(d) && (d != '0' || exponentDigits > 0)) {
                        // Leading zeros of an exponent do not count.
                        if (++exponentDigits > limits.maxExponentDigits) return {JsonLimit::ExponentDigits, start};
                    }
                    if (i - start + 1 > limits.maxNumberLength) return {JsonLimit::NumberLength, start};
                }
                break;
            }
        }
    }
    return {nul != nullptr ? JsonLimit::NulByte : JsonLimit::None, end};
}

}  // namespace vek::tools::kalder
