// SPDX-FileCopyrightText: 2026 The VekGpuKalderExtensions Authors
// SPDX-License-Identifier: Apache-2.0
#include "Tokens.h"

#include "BackendExtensions/ConfigJson.h"  // first: it sets how RapidJSON allocates
#include <rapidjson/document.h>

#include "Text.h"

namespace vek::lsp {
namespace {

bool isSpace(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r'; }
bool endsWord(char c) {
    return isSpace(c) || c == '{' || c == '}' || c == '[' || c == ']' || c == ':' || c == ',' || c == '"' || c == '\'';
}

struct Frame {
    bool object = false;
    bool expectName = true;  // objects: a name comes next (else a value, after the colon)
};

}  // namespace

bool nextToken(std::string_view text, size_t& at, Token& token) {
    while (at < text.size() && isSpace(text[at])) ++at;
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
        while (at < text.size() && !endsWord(text[at])) ++at;
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

bool memberSpan(std::string_view text, size_t nameBegin, size_t& begin, size_t& end) {
    size_t at = nameBegin;
    Token token;
    if (!nextToken(text, at, token) || token.kind != Token::Kind::String) return false;
    if (!nextToken(text, at, token) || token.kind != Token::Kind::Colon) return false;
    while (at < text.size() && isSpace(text[at])) ++at;
    if (at >= text.size()) return false;
    const size_t valueEnd = lint::tokenEnd(text, at);
    at = valueEnd;
    begin = nameBegin;
    size_t after = at;
    if (nextToken(text, after, token) && token.kind == Token::Kind::Comma) {
        // Up to the next member's name: its indentation stays as this one's was.
        size_t next = after;
        while (next < text.size() && isSpace(text[next])) ++next;
        end = next;
        return true;
    }
    // The last member: from the comma before it.
    size_t before = nameBegin;
    while (before > 0 && isSpace(text[before - 1])) --before;
    if (before > 0 && text[before - 1] == ',') begin = before - 1;
    end = valueEnd;
    return true;
}

}  // namespace vek::lsp
