// SPDX-FileCopyrightText: 2026 The VekGpuKalderExtensions Authors
// SPDX-License-Identifier: Apache-2.0
#include "Outline.h"

#include <algorithm>

#include "Text.h"
#include "Tokens.h"

namespace vek::lsp {
namespace {

// Where an object is between its tokens.
enum class Expect { Name, Colon, Value, Comma };

struct Open {
    uint32_t node;
    bool object;
    Expect expect;
    size_t nameBegin, nameEnd;  // the name read for the value to come
    uint32_t lastChild;
};

class Builder {
public:
    explicit Builder(std::string_view text) : text_(text) {}

    std::vector<OutlineNode> build() {
        size_t at = 0;
        Token token;
        while (nextToken(text_, at, token)) take(token);
        while (!stack_.empty()) close(text_.size(), false);
        return std::move(nodes_);
    }

private:
    void take(const Token& token) {
        Open* open = stack_.empty() ? nullptr : &stack_.back();
        const bool inObject = open != nullptr && open->object;
        switch (token.kind) {
            case Token::Kind::Open: {
                const bool object = text_[token.begin] == '{';
                const uint32_t node = add(object ? OutlineNode::Kind::Object : OutlineNode::Kind::Array, token);
                stack_.push_back(Open{node, object, Expect::Name, 0, 0, kNoNode});
                break;
            }
            case Token::Kind::Close: closeAt(token); break;
            case Token::Kind::Colon:
                if (inObject) open->expect = Expect::Value;
                break;
            case Token::Kind::Comma:
                if (inObject) {
                    open->expect = Expect::Name;
                    open->nameBegin = open->nameEnd = 0;
                }
                break;
            case Token::Kind::String:
            case Token::Kind::Word:
                // A name where one goes, or after a value a comma should have ended.
                if (inObject && (open->expect == Expect::Name || open->expect == Expect::Comma)) {
                    open->nameBegin = token.begin;
                    open->nameEnd = token.end;
                    open->expect = Expect::Colon;
                } else {
                    add(token.kind == Token::Kind::String ? OutlineNode::Kind::String : OutlineNode::Kind::Other, token);
                }
                break;
        }
    }

    uint32_t add(OutlineNode::Kind kind, const Token& token) {
        const auto index = static_cast<uint32_t>(nodes_.size());
        OutlineNode node;
        node.kind = kind;
        node.begin = token.begin;
        node.end = token.end;
        if (!stack_.empty()) {
            Open& open = stack_.back();
            node.parent = open.node;
            node.depth = static_cast<uint32_t>(stack_.size());
            if (open.object) {
                node.nameBegin = open.nameBegin;
                node.nameEnd = open.nameEnd;
                open.nameBegin = open.nameEnd = 0;
                open.expect = Expect::Comma;
            }
            if (open.lastChild == kNoNode) nodes_[open.node].firstChild = index;
            else nodes_[open.lastChild].nextSibling = index;
            open.lastChild = index;
        } else {
            if (lastTop_ != kNoNode) nodes_[lastTop_].nextSibling = index;
            lastTop_ = index;
        }
        nodes_.push_back(node);
        return index;
    }

    // The innermost container of the bracket's kind ends here, and any
    // container left open inside it just before.
    void closeAt(const Token& token) {
        const bool object = text_[token.begin] == '}';
        size_t match = stack_.size();
        while (match > 0 && stack_[match - 1].object != object) --match;
        if (match == 0) return;  // a bracket that closes nothing
        while (stack_.size() > match) close(token.begin, false);
        close(token.end, true);
    }

    void close(size_t end, bool closed) {
        nodes_[stack_.back().node].end = closed ? end : std::max(nodes_[stack_.back().node].end, lastEnd(end));
        stack_.pop_back();
    }

    // Where the text before `end` last holds anything but space.
    size_t lastEnd(size_t end) const {
        while (end > 0 && lint::isJsonSpace(text_[end - 1])) --end;
        return end;
    }

    std::string_view text_;
    std::vector<OutlineNode> nodes_;
    std::vector<Open> stack_;
    uint32_t lastTop_ = kNoNode;
};

}  // namespace

std::vector<OutlineNode> outlineOf(std::string_view text) { return Builder(text).build(); }

}  // namespace vek::lsp
