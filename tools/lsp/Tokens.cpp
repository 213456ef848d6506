// SPDX-FileCopyrightText: 2026 The VekGpuKalderExtensions Authors
// SPDX-License-Identifier: Apache-2.0
#include "Tokens.h"

#include "BackendExtensions/ConfigJson.h"  // first: it sets how RapidJSON allocates
#include <rapidjson/document.h>

#include "Text.h"

namespace vek::lsp {
namespace {

using lint::endsWord;
using lint::isJsonSpace;

struct Frame {
    bool object = false;
    bool expectName = true;  // objects: a name comes next (else a value, after the colon)
};

}  // namespace

bool nextToken(std::string_view text, size_t& at, Token& token) {
    while (at < text.size() && isJsonSpace(text[at])) ++at;
    if (at >= text.size()) return false;
    token.begin = at;
    const char c = text[at];
    if (c == '{' || c == '[') token.kind = Token::Kind::Open;
    else if (c == '}' || c == ']') token.kind = Token::Kind::Close;
    else if (c == ':') token.kind = Token::Kind::Colon;
    else if (c == ',') token.kind = Token::Kind::Comma;
    else if (c == '"' || c == '\'') token.kind = Token::Kind::String;
    else token.kind = Token::Kind::Word;
    if (token.kind == Token::Kind::String) {
        ++at;
        while (at < text.size() && text[at] != c && text[at] != '\n') at += text[at] == '\\' && at + 1 < text.size() && text[at + 1] != '\n' ? 2 : 1;
        if (at < text.size() && text[at] == c) ++at;
    } else if (token.kind == Token::Kind::Word) {
        // A quote starts a string even where a comma is missing before it.
        while (at < text.size() && !endsWord(text[at]) && text[at] != '"' && text[at] != '\'') ++at;
    } else {
        ++at;
    }
    token.end = at;
    return true;
}

Place placeOf(std::string_view text, size_t offset, bool touching) {
    Place place;
    bool placed = false;
    std::vector<Frame> stack;
    std::string member;  // the top-level member being read
    size_t at = 0;
    Token token;
    // Where the offset lies between tokens: the slot the text expects there.
    const auto slot = [&]() {
        if (stack.empty()) return;
        if (stack.size() == 1 && stack[0].object) {
            place.kind = stack[0].expectName ? Place::Kind::MemberName : Place::Kind::Value;
        } else if (stack.size() > 1 && stack[0].object && !stack[0].expectName) {
            place.kind = Place::Kind::Value;
            place.nested = true;
        }
        if (place.kind == Place::Kind::Value) place.key = member;
    };
    while (nextToken(text, at, token)) {
        if (!placed) {
            const bool covers = touching ? token.begin < offset && offset <= token.end : token.begin <= offset && offset < token.end;
            if (covers || token.begin >= offset) {
                // On the token, or in the space before it.
                place.onToken = covers;
                if (covers) place.token = token;
                slot();
                placed = true;
            }
        }
        switch (token.kind) {
        case Token::Kind::Open:
            if (stack.size() == 1 && stack[0].object && stack[0].expectName) stack[0].expectName = false;  // a value with no name
            stack.push_back({text[token.begin] == '{', true});
            break;
        case Token::Kind::Close:
            if (!stack.empty()) stack.pop_back();
            break;
        case Token::Kind::Colon:
            if (!stack.empty() && stack.back().object) stack.back().expectName = false;
            break;
        case Token::Kind::Comma:
            if (!stack.empty() && stack.back().object) stack.back().expectName = true;
            break;
        case Token::Kind::String:
        case Token::Kind::Word:
            if (stack.size() == 1 && stack[0].object && stack[0].expectName) {
                member = stringValue(text.substr(token.begin, token.end - token.begin));
                place.names.push_back(member);
            }
            break;
        }
    }
    if (!placed) slot();
    // A name under the cursor is the one being typed, not one already there.
    if (place.kind == Place::Kind::MemberName && place.onToken) {
        const std::string typed = stringValue(text.substr(place.token.begin, place.token.end - place.token.begin));
        for (auto it = place.names.begin(); it != place.names.end(); ++it) {
            if (*it == typed) {
                place.names.erase(it);
                break;
            }
        }
    }
    return place;
}

std::string stringValue(std::string_view token) {
    if (token.size() >= 2 && token.front() == '"' && token.back() == '"') {
        rapidjson::Document parsed;
        parsed.Parse(token.data(), token.size());
        if (!parsed.HasParseError() && parsed.IsString()) return std::string(parsed.GetString(), parsed.GetStringLength());
    }
    if (!token.empty() && (token.front() == '"' || token.front() == '\'')) token.remove_prefix(1);
    if (!token.empty() && (token.back() == '"' || token.back() == '\'')) token.remove_suffix(1);
    return std::string(token);
}

}  // namespace vek::lsp
