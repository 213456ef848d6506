// SPDX-FileCopyrightText: 2026 The VekGpuKalderExtensions Authors
// SPDX-License-Identifier: Apache-2.0
// The document's structure for the editor: its outline (keys and values,
// nested as the file is), the ranges that fold, and the ranges a selection
// grows through.
#include "Features.h"
#include "Outline.h"
#include "Text.h"
#include "Tokens.h"

namespace vek::lsp {
namespace {

// Symbols nest no deeper than the plug-in reads, and come by the thousand
// at most, as an editor's JSON support gives them.
constexpr uint32_t kDeepestSymbol = 256;
constexpr size_t kMostSymbols = 5000;

enum SymbolKind { kModule = 2, kVariable = 13, kString = 15, kNumber = 16, kBoolean = 17, kArray = 18, kNull = 21 };

int symbolKind(const OutlineNode& node, std::string_view token) {
    switch (node.kind) {
        case OutlineNode::Kind::Object: return kModule;
        case OutlineNode::Kind::Array: return kArray;
        case OutlineNode::Kind::String: return kString;
        case OutlineNode::Kind::Other: break;
    }
    if (token == "true" || token == "false") return kBoolean;
    if (token == "null") return kNull;
    return !token.empty() && (token[0] == '-' || (token[0] >= '0' && token[0] <= '9')) ? kNumber : kVariable;
}

class Symbols {
public:
    Symbols(RpcWriter& w, const DocumentView& document, bool hierarchical)
        : w_(w), document_(document), text_(document.text.text()), nodes_(outlineOf(text_)), hierarchical_(hierarchical) {}

    void write() {
        w_.StartArray();
        // The top value's members (or elements) are the outline's first level.
        if (!nodes_.empty()) children(0, "");
        w_.EndArray();
    }

private:
    std::string name(uint32_t index, uint32_t ordinal) const {
        const OutlineNode& node = nodes_[index];
        if (!node.named()) return std::to_string(ordinal);
        const std::string name = stringValue(std::string_view(text_).substr(node.nameBegin, node.nameEnd - node.nameBegin));
        return name.empty() ? "\"\"" : lint::printable(name, lint::kShownChars);
    }

    void children(uint32_t parent, const std::string& container) {
        uint32_t ordinal = 0;
        for (uint32_t child = nodes_[parent].firstChild; child != kNoNode && written_ < kMostSymbols; child = nodes_[child].nextSibling) {
            symbol(child, name(child, ordinal++), container);
        }
    }

    void symbol(uint32_t index, const std::string& name, const std::string& container) {
        const OutlineNode& node = nodes_[index];
        ++written_;
        const std::string_view token = std::string_view(text_).substr(node.begin, node.end - node.begin);
        const size_t begin = node.named() ? node.nameBegin : node.begin;
        const ColumnUnit unit = document_.client.unit;
        w_.StartObject();
        w_.Key("name");
        writeText(w_, name);
        w_.Key("kind");
        w_.Int(symbolKind(node, token));
        if (!node.container()) {
            w_.Key("detail");
            writeText(w_, lint::printable(token, lint::kShownChars));
        }
        if (!hierarchical_) {
            w_.Key("location");
            w_.StartObject();
            w_.Key("uri");
            writeString(w_, document_.uri);
            w_.Key("range");
            writeRange(w_, document_.text.rangeOf(begin, node.end, unit));
            w_.EndObject();
            if (!container.empty()) {
                w_.Key("containerName");
                writeText(w_, container);
            }
            w_.EndObject();
            if (node.container() && node.depth < kDeepestSymbol) children(index, name);
            return;
        }
        w_.Key("range");
        writeRange(w_, document_.text.rangeOf(begin, node.end, unit));
        w_.Key("selectionRange");
        writeRange(w_, document_.text.rangeOf(begin, node.named() ? node.nameEnd : node.end, unit));
        if (node.container() && node.depth < kDeepestSymbol) {
            w_.Key("children");
            w_.StartArray();
            children(index, name);
            w_.EndArray();
        }
        w_.EndObject();
    }

    RpcWriter& w_;
    const DocumentView& document_;
    const std::string& text_;
    const std::vector<OutlineNode> nodes_;
    bool hierarchical_;
    size_t written_ = 0;
};

}  // namespace

void answerDocumentSymbols(RpcWriter& writer, const DocumentView& document, const Value&) {
    Symbols(writer, document, document.client.hierarchicalSymbols).write();
}

void answerFoldingRanges(RpcWriter& writer, const DocumentView& document, const Value&) {
    const size_t limit = document.client.foldingLimit;
    const std::vector<OutlineNode> nodes = outlineOf(document.text.text());
    writer.StartArray();
    size_t written = 0;
    for (const OutlineNode& node : nodes) {
        if (!node.container() || written == limit) continue;
        const uint32_t start = document.text.positionOf(node.begin, document.client.unit).line;
        // The closing bracket's line stays in sight.
        uint32_t end = document.text.positionOf(node.end, document.client.unit).line;
        const char last = node.end > node.begin ? document.text.text()[node.end - 1] : ' ';
        if ((last == '}' || last == ']') && end > start) --end;
        if (end <= start) continue;
        writer.StartObject();
        writer.Key("startLine");
        writer.Uint(start);
        writer.Key("endLine");
        writer.Uint(end);
        writer.EndObject();
        ++written;
    }
    writer.EndArray();
}

void answerSelectionRanges(RpcWriter& writer, const DocumentView& document, const Value& params) {
    if (!params.HasMember("positions") || !params["positions"].IsArray()) throw BadParams{"positions must be an array"};
    std::vector<size_t> offsets;
    for (const Value& position : params["positions"].GetArray()) offsets.push_back(offsetAt(document, position));
    const std::string& text = document.text.text();
    const std::vector<OutlineNode> nodes = outlineOf(text);
    const ColumnUnit unit = document.client.unit;
    writer.StartArray();
    for (const size_t offset : offsets) {
        // From the whole text inwards: each value (with its name) that holds the offset.
        std::vector<std::pair<size_t, size_t>> ranges{{0, text.size()}};
        const auto add = [&](size_t begin, size_t end) {
            if (begin <= offset && offset <= end && std::make_pair(begin, end) != ranges.back()) ranges.emplace_back(begin, end);
        };
        for (uint32_t index = nodes.empty() ? kNoNode : 0; index != kNoNode;) {
            const OutlineNode& node = nodes[index];
            const size_t begin = node.named() ? node.nameBegin : node.begin;
            if (offset < begin || offset > node.end) {
                index = node.nextSibling;
                continue;
            }
            add(begin, node.end);
            if (node.named() && offset <= node.nameEnd) add(node.nameBegin, node.nameEnd);
            else add(node.begin, node.end);
            index = node.firstChild;
        }
        // Innermost first, each with its parent.
        for (size_t i = ranges.size(); i-- > 0;) {
            writer.StartObject();
            writer.Key("range");
            writeRange(writer, document.text.rangeOf(ranges[i].first, ranges[i].second, unit));
            if (i > 0) writer.Key("parent");
        }
        for (size_t i = 0; i < ranges.size(); ++i) writer.EndObject();
    }
    writer.EndArray();
}

}  // namespace vek::lsp
