// SPDX-FileCopyrightText: 2026 The VekGpuKalderExtensions Authors
// SPDX-License-Identifier: Apache-2.0
// The tokens of a configuration as it is being typed: JSON's, read on past
// any mistake, so the server finds where the cursor is in any text.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace vek::lsp {

struct Token {
    enum class Kind { Open, Close, Colon, Comma, String, Word };
    Kind kind = Kind::Word;
    size_t begin = 0, end = 0;  // bytes; a string from its quote to past its closing one (or its line's end)
};

// The token at or after `at`, with `at` moved past it; false at the end.
// A string runs to its closing quote, or to its line's end when it has
// none; a word (number, literal, anything else) to the next space,
// punctuation or quote. Single quotes make a string too.
bool nextToken(std::string_view text, size_t& at, Token& token);

// Where an offset lies in the top-level object, the only one with keys.
struct Place {
    enum class Kind {
        Elsewhere,   // outside the top-level object, or in a nested container's names
        MemberName,  // on a member name of the top-level object, or where one would go
        Value,       // on or inside the value of a top-level member, or where it would go
    };
    Kind kind = Kind::Elsewhere;
    std::string key;  // Value: the member's name
    bool onToken = false;
    Token token;          // the token the offset is on, where onToken
    bool nested = false;  // Value: inside an array or object that is the member's value
    std::vector<std::string> names;  // every member name of the top-level object but the one typed
    // What a member or value put there must bring to stay valid JSON: a
    // comma after the value before it (at beforeEnd), and one before the
    // member that follows it.
    bool commaBefore = false, commaAfter = false;
    size_t beforeEnd = 0;
};

// `touching`: an offset just past a token counts as on it (a cursor that
// has typed it); otherwise only its bytes do (a hover).
Place placeOf(std::string_view text, size_t offset, bool touching);

// A member name or string token's text: the JSON string decoded where it
// is one, what lies between the quotes otherwise.
std::string stringValue(std::string_view token);

}  // namespace vek::lsp
