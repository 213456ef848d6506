// Limits a configuration text must keep before the parser may see it.
#pragma once

#include <cstddef>

namespace vek::tools::kalder {

struct JsonLimits {
    unsigned maxDepth;           // arrays and objects inside each other
    unsigned maxNumberLength;    // characters of one number literal
    unsigned maxExponentDigits;  // significant digits of an exponent
};

// False when `text` nests deeper, or holds a longer number or a larger
// exponent, than `limits` allow. The parser recurses once per nesting level
// and its number reader overflows on exponents near the int range, so such
// text must be refused before it is parsed. Also false for a lone low
// surrogate escape ("\udc00"), which parser versions disagree on: refused,
// the verdict on a file does not depend on the version built in. The scan follows the text
// lexically (strings and their escapes, numbers, brackets); up to the first
// syntax error this is exactly what the parser reads, and beyond it the
// parser reads nothing.
bool withinJsonLimits(const char* text, size_t length, const JsonLimits& limits);

}  // namespace vek::tools::kalder
