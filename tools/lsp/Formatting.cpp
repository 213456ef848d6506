// SPDX-FileCopyrightText: 2026 The VekGpuKalderExtensions Authors
// SPDX-License-Identifier: Apache-2.0
// Formatting that changes only the space between tokens: each member and
// element on a line of its own, indented by its depth, one space after a
// colon, empty objects and arrays as {} and []. A text that is not JSON is
// left as it is: its tokens are not certain, and nothing but space may change.
#include "BackendExtensions/ConfigJson.h"  // first: it sets how RapidJSON allocates

#include "Features.h"
#include "Tokens.h"

namespace vek::lsp {
namespace {

struct Layout {
    std::string indent;  // one level
    std::string newline;
    bool finalNewline;
};

Layout layoutOf(const std::string& text, const Value& options) {
    const auto member = [&](const char* name) {
        const auto found = options.IsObject() ? options.FindMember(name) : options.MemberEnd();
        return found != options.MemberEnd() ? &found->value : nullptr;
    };
    const Value* tabSize = member("tabSize");
    const Value* spaces = member("insertSpaces");
    const Value* finalNewline = member("insertFinalNewline");
    Layout layout;
    const unsigned size = tabSize != nullptr && tabSize->IsUint() && tabSize->GetUint() <= 16 ? tabSize->GetUint() : 2;
    layout.indent = spaces != nullptr && spaces->IsBool() && !spaces->GetBool() ? "\t" : std::string(size, ' ');
    const size_t firstNewline = text.find('\n');
    layout.newline = firstNewline != std::string::npos && firstNewline > 0 && text[firstNewline - 1] == '\r' ? "\r\n" : "\n";
    // A text that ends with a line break keeps one, and one only; another gets one where the options ask.
    layout.finalNewline = (!text.empty() && text.back() == '\n') ||
                          (finalNewline != nullptr && finalNewline->IsBool() && finalNewline->GetBool());
    return layout;
}

// The space the layout puts between two tokens, `depth` being that of what follows.
std::string spaceBetween(const Token& before, const Token& next, size_t depth, const Layout& layout) {
    const auto line = [&](size_t level) {
        std::string out = layout.newline;
        for (size_t i = 0; i < level; ++i) out += layout.indent;
        return out;
    };
    if (before.kind == Token::Kind::Open && next.kind == Token::Kind::Close) return "";
    if (next.kind == Token::Kind::Close) return line(depth);
    if (next.kind == Token::Kind::Comma || next.kind == Token::Kind::Colon) return "";
    if (before.kind == Token::Kind::Open || before.kind == Token::Kind::Comma) return line(depth);
    return " ";
}

}  // namespace

std::vector<lint::Edit> formattingEdits(const std::string& text, size_t from, size_t to, const Value& options) {
    std::vector<lint::Edit> edits;
    rapidjson::Document parsed;
    if (parsed.Parse(text.c_str(), text.size()).HasParseError()) return edits;
    const Layout layout = layoutOf(text, options);
    const auto change = [&](size_t begin, size_t end, std::string space) {
        if (begin >= from && end <= to && text.compare(begin, end - begin, space) != 0) edits.push_back(lint::Edit{begin, end, std::move(space)});
    };
    size_t at = 0, depth = 0;
    Token token, before;
    bool first = true;
    while (nextToken(text, at, token)) {
        if (token.kind == Token::Kind::Close && depth > 0) --depth;
        change(first ? 0 : before.end, token.begin, first ? "" : spaceBetween(before, token, depth, layout));
        if (token.kind == Token::Kind::Open) ++depth;
        before = token;
        first = false;
    }
    if (!first) change(before.end, text.size(), layout.finalNewline ? layout.newline : "");
    return edits;
}

namespace {

void writeEdits(RpcWriter& writer, const DocumentView& document, size_t from, size_t to, const Value& options) {
    const ColumnUnit unit = document.client.unit;
    writer.StartArray();
    for (const lint::Edit& edit : formattingEdits(document.text.text(), from, to, options)) {
        writer.StartObject();
        writer.Key("range");
        writeRange(writer, document.text.rangeOf(edit.begin, edit.end, unit));
        writer.Key("newText");
        writeString(writer, edit.text);
        writer.EndObject();
    }
    writer.EndArray();
}

}  // namespace

void answerFormatting(RpcWriter& writer, const DocumentView& document, const Value& params) {
    writeEdits(writer, document, 0, document.text.text().size(), objectMember(params, "options"));
}

void answerRangeFormatting(RpcWriter& writer, const DocumentView& document, const Value& params) {
    const Value& range = objectMember(params, "range");
    writeEdits(writer, document, offsetAt(document, range, "start"), offsetAt(document, range, "end"), objectMember(params, "options"));
}

}  // namespace vek::lsp
