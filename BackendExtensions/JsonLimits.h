// SPDX-FileCopyrightText: 2026 The VekGpuKalderExtensions Authors
// SPDX-License-Identifier: Apache-2.0
// Limits a configuration text must keep before the parser may see it.
#pragma once

#include <cstddef>

namespace vek::tools::kalder {

struct JsonLimits {
    unsigned maxDepth;           // arrays and objects inside each other
    unsigned maxNumberLength;    // characters of one number literal
    unsigned maxExponentDigits;  // significant digits of an exponent
};

// What a text breaks, and where (the offset of the bracket, number, escape
// or byte that breaks it).
enum class JsonLimit {
    None,            // nothing: the parser may see the text
    Depth,           // arrays and objects nested deeper than maxDepth
    NumberLength,    // a number literal longer than maxNumberLength
    ExponentDigits,  // an exponent of more than maxExponentDigits digits
    LoneSurrogate,   // a string holding a low surrogate escape ("\udc00") without a high one before it
    NulByte,         // a NUL byte
};
struct JsonLimitBreak {
    JsonLimit limit;
    size_t offset;
};

// The first limit `text` breaks. The parser recurses once per nesting level
// and its number reader overflows on exponents near the int range, so such
// text is refused before it is parsed. A lone low surrogate is decoded by
// some parser versions into invalid UTF-8 and refused by others: refused
// here, the verdict on a file does not depend on the version built in. A NUL
// byte would end the parser's input early, so the file is not parsed as it is.
// The scan follows the text lexically (strings and their escapes, numbers,
// brackets); up to the first syntax error this is exactly what the parser
// reads, and beyond it the parser reads nothing.
JsonLimitBreak findJsonLimitBreak(const char* text, size_t length, const JsonLimits& limits);

}  // namespace vek::tools::kalder
