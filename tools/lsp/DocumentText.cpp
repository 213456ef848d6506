// SPDX-FileCopyrightText: 2026 The VekGpuKalderExtensions Authors
// SPDX-License-Identifier: Apache-2.0
#include "DocumentText.h"

#include <algorithm>
#include <cstring>

namespace vek::lsp {

void DocumentText::replace(std::string text) {
    text_ = std::make_shared<std::string>(std::move(text));
    lines_.clear();
}

std::string& DocumentText::writable() {
    if (text_.use_count() > 1) text_ = std::make_shared<std::string>(*text_);
    lines_.clear();
    return *text_;
}

bool DocumentText::edit(TextPosition start, TextPosition end, std::string_view replacement, ColumnUnit unit) {
    const size_t from = offsetOf(start, unit);
    const size_t to = offsetOf(end, unit);
    if (to < from) return false;
    writable().replace(from, to - from, replacement);
    return true;
}

const std::vector<size_t>& DocumentText::lines() const {
    if (!lines_.empty()) return lines_;
    lines_.push_back(0);
    for (const char* at = text().data(); (at = static_cast<const char*>(std::memchr(at, '\n', text().data() + text().size() - at))) != nullptr;) {
        ++at;
        lines_.push_back(static_cast<size_t>(at - text().data()));
    }
    return lines_;
}

size_t DocumentText::lineEnd(size_t line) const {
    const std::vector<size_t>& starts = lines();
    return line + 1 < starts.size() ? starts[line + 1] - 1 : text().size();
}

size_t DocumentText::offsetOf(TextPosition position, ColumnUnit unit) const {
    const std::vector<size_t>& starts = lines();
    if (position.line >= starts.size()) return text().size();
    return lint::offsetAfterColumns(text(), starts[position.line], lineEnd(position.line), position.character, unit);
}

TextPosition DocumentText::positionOf(size_t offset, ColumnUnit unit) const {
    offset = std::min(offset, text().size());
    const std::vector<size_t>& starts = lines();
    const size_t line = static_cast<size_t>(std::upper_bound(starts.begin(), starts.end(), offset) - starts.begin()) - 1;
    return {static_cast<uint32_t>(line), static_cast<uint32_t>(lint::columnsBetween(text(), starts[line], offset, unit))};
}

TextRange DocumentText::rangeOf(size_t begin, size_t end, ColumnUnit unit) const {
    return {positionOf(begin, unit), positionOf(end, unit)};
}

TextRange rangeOf(const lint::Diagnostic& d) {
    const auto position = [](const lint::Position& p) {
        return TextPosition{static_cast<uint32_t>(p.line - 1), static_cast<uint32_t>(p.column - 1)};
    };
    return {position(d.begin), position(d.end)};
}

void writePosition(RpcWriter& writer, const TextPosition& position) {
    writer.StartObject();
    writer.Key("line");
    writer.Uint(position.line);
    writer.Key("character");
    writer.Uint(position.character);
    writer.EndObject();
}

void writeRange(RpcWriter& writer, const TextRange& range) {
    writer.StartObject();
    writer.Key("start");
    writePosition(writer, range.start);
    writer.Key("end");
    writePosition(writer, range.end);
    writer.EndObject();
}

}  // namespace vek::lsp
