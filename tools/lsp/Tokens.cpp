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

// Where a container is between its tokens: an object expects a name, the
// colon after it, its value, or the comma after that; an array values.
enum class Expect { Name, Colon, Value, Comma };

struct Frame {
    bool object = false;
    Expect expect = Expect::Name;
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

namespace {

// Reads the tokens in order, following where the top-level object is, and
// notes the place of one offset on the way.
class PlaceFinder {
public:
    PlaceFinder(std::string_view text, size_t offset, bool touching) : text_(text), offset_(offset), touching_(touching) {}

    Place find() {
        size_t at = 0;
        Token token, before;
        bool any = false;
        while (nextToken(text_, at, token)) {
            if (!placed_) {
                // A cursor just past a word or string has typed it; past punctuation it stands after it.
                const bool typed = token.kind == Token::Kind::String || token.kind == Token::Kind::Word;
                const bool covers = touching_ ? typed && token.begin < offset_ && offset_ <= token.end
                                              : token.begin <= offset_ && offset_ < token.end;
                if (covers || token.begin >= offset_) {
                    // On the token, or in the space before it.
                    place_.onToken = covers;
                    if (covers) place_.token = token;
                    slot(any, before);
                    placed_ = true;
                    if (!covers) after(token);
                }
            } else if (!afterSeen_) {
                after(token);
            }
            take(token);
            before = token;
            any = true;
        }
        if (!placed_) slot(any, before);
        forgetTyped();
        return std::move(place_);
    }

private:
    // The slot the text expects where the offset lies.
    void slot(bool any, const Token& before) {
        if (stack_.empty()) return;
        const Expect root = stack_[0].expect;
        if (stack_.size() == 1 && stack_[0].object && (root == Expect::Name || root == Expect::Comma)) {
            place_.kind = Place::Kind::MemberName;
            place_.commaBefore = root == Expect::Comma;
        } else if (stack_[0].object && root == Expect::Value) {
            place_.kind = Place::Kind::Value;
            place_.nested = stack_.size() > 1;
            place_.key = member_;
        }
        place_.beforeEnd = any ? before.end : 0;
    }

    // The token after the place: a member's start there needs a comma before it.
    void after(const Token& token) {
        afterSeen_ = true;
        place_.commaAfter = stack_.size() == 1 && (token.kind == Token::Kind::String || token.kind == Token::Kind::Word);
    }

    void take(const Token& token) {
        Frame* frame = stack_.empty() ? nullptr : &stack_.back();
        const bool object = frame != nullptr && frame->object;
        switch (token.kind) {
            case Token::Kind::Open: stack_.push_back({text_[token.begin] == '{', Expect::Name}); break;
            case Token::Kind::Close:
                if (!stack_.empty()) stack_.pop_back();
                // The container was a value: a comma comes next.
                if (!stack_.empty() && stack_.back().object) stack_.back().expect = Expect::Comma;
                break;
            case Token::Kind::Colon:
                if (object) frame->expect = Expect::Value;
                break;
            case Token::Kind::Comma:
                if (object) frame->expect = Expect::Name;
                break;
            case Token::Kind::String:
            case Token::Kind::Word:
                if (!object) break;
                if (frame->expect == Expect::Name || frame->expect == Expect::Comma) {
                    frame->expect = Expect::Colon;
                    if (stack_.size() == 1) {
                        member_ = stringValue(text_.substr(token.begin, token.end - token.begin));
                        place_.names.push_back(member_);
                    }
                } else {
                    frame->expect = Expect::Comma;
                }
                break;
        }
    }

    // A name under the cursor is the one being typed, not one already there.
    void forgetTyped() {
        if (place_.kind != Place::Kind::MemberName || !place_.onToken) return;
        const std::string typed = stringValue(text_.substr(place_.token.begin, place_.token.end - place_.token.begin));
        for (auto it = place_.names.begin(); it != place_.names.end(); ++it) {
            if (*it == typed) {
                place_.names.erase(it);
                return;
            }
        }
    }

    std::string_view text_;
    size_t offset_;
    bool touching_;
    Place place_;
    bool placed_ = false, afterSeen_ = false;
    std::vector<Frame> stack_;
    std::string member_;  // the top-level member being read
};

}  // namespace

Place placeOf(std::string_view text, size_t offset, bool touching) { return PlaceFinder(text, offset, touching).find(); }

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
