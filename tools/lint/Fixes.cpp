// SPDX-FileCopyrightText: 2026 The VekGpuKalderExtensions Authors
// SPDX-License-Identifier: Apache-2.0
#include "Fixes.h"

#include <cmath>
#include <cstdint>

#include "BackendExtensions/GPUBackendExtensions/ConfigKeyVerdict.h"
#include "Text.h"

namespace vek::lint {
namespace {

using Value = tools::kalder::ConfigValue;

size_t skipSpace(std::string_view text, size_t at) {
    while (at < text.size() && isJsonSpace(text[at])) ++at;
    return at;
}

// A text without the spaces around it, in lower case (ASCII only).
std::string folded(std::string_view text) {
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) text.remove_prefix(1);
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t')) text.remove_suffix(1);
    std::string out(text);
    for (char& c : out) {
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    }
    return out;
}

// A decimal integer in the signed 32-bit range, written plainly.
bool plainInteger(std::string_view text, int64_t& number) {
    const bool negative = !text.empty() && text.front() == '-';
    if (negative || (!text.empty() && text.front() == '+')) text.remove_prefix(1);
    if (text.empty() || text.size() > 10) return false;
    number = 0;
    for (const char c : text) {
        if (c < '0' || c > '9') return false;
        number = number * 10 + (c - '0');
    }
    if (negative) number = -number;
    return number >= INT32_MIN && number <= INT32_MAX;
}

std::string quoted(const char* text) { return std::string("\"") + text + "\""; }

}  // namespace

Edit removeMember(std::string_view text, size_t keyBegin, size_t valueEnd) {
    if (valueEnd == std::string_view::npos) {
        size_t at = skipSpace(text, tokenEnd(text, keyBegin));
        if (at < text.size() && text[at] == ':') at = skipSpace(text, at + 1);
        valueEnd = tokenEnd(text, at);
    }
    const size_t after = skipSpace(text, valueEnd);
    // Up to the next member's name: its indentation stays as this one's was.
    if (after < text.size() && text[after] == ',') return Edit{keyBegin, skipSpace(text, after + 1), ""};
    // The last member: from the comma before it.
    size_t before = keyBegin;
    while (before > 0 && isJsonSpace(text[before - 1])) --before;
    if (before > 0 && text[before - 1] == ',') return Edit{before - 1, valueEnd, ""};
    return Edit{keyBegin, valueEnd, ""};
}

std::vector<Edit> insertMembers(std::string_view text, size_t rootBegin, const std::vector<std::string>& members) {
    const size_t first = skipSpace(text, rootBegin + 1);
    const std::string_view gap = text.substr(rootBegin + 1, first - rootBegin - 1);
    const bool empty = first < text.size() && text[first] == '}';
    // Where the members stand one to a line, so does each new one.
    const std::string separator = gap.find('\n') != std::string_view::npos ? std::string(gap) : " ";
    std::vector<Edit> edits;
    for (size_t i = 0; i < members.size(); ++i) {
        const bool last = i + 1 == members.size();
        edits.push_back(Edit{first, first, members[i] + (empty && last ? "" : "," + separator)});
    }
    return edits;
}

bool jsonSpelling(std::string_view text, size_t at, Fix& fix) {
    if (at >= text.size()) return false;
    size_t end = at + 1;
    if (text[at] == '\'') {
        while (end < text.size() && text[end] != '\'' && text[end] != '\n') {
            end += text[end] == '\\' && end + 1 < text.size() && text[end + 1] != '\n' ? 2 : 1;
        }
        if (end >= text.size() || text[end] != '\'') return false;
        std::string written = "\"";
        for (size_t i = at + 1; i < end; ++i) {
            if (text[i] == '\\' && text[i + 1] == '\'') continue;  // \' needs no escape in JSON
            if (text[i] == '"') written += '\\';
            written += text[i];
            if (text[i] == '\\') written += text[++i];
        }
        fix = Fix{"Use double quotes", {Edit{at, end + 1, written + "\""}}};
        return true;
    }
    while (end < text.size() && !endsWord(text[end]) && text[end] != '"') ++end;
    static const std::pair<std::string_view, const char*> kWords[] = {{"True", "true"}, {"False", "false"}, {"None", "null"}};
    for (const auto& [python, json] : kWords) {
        if (text.substr(at, end - at) == python) {
            fix = Fix{std::string("Write ") + json, {Edit{at, end, json}}};
            return true;
        }
    }
    return false;
}

bool takesValue(const gpu::ConfigKey& key, const Value& value) {
    if (key.type == gpu::KeyType::TextList) {
        if (!value.IsArray()) return false;
        for (const Value& element : value.GetArray()) {
            if (!element.IsString()) return false;
        }
        return true;
    }
    return !value.IsArray() && !value.IsObject() && gpu::judgeKeyValue(&key, &value) == gpu::KeyVerdict::Taken;
}

std::string meantValue(const gpu::ConfigKey& key, const Value& value) {
    const std::string text = value.IsString() ? folded(std::string_view(value.GetString(), value.GetStringLength())) : "";
    switch (key.type) {
        case gpu::KeyType::Flag:
            if (text == "true" || text == "false") return text;
            if (value.IsInt() && (value.GetInt() == 0 || value.GetInt() == 1)) return value.GetInt() == 1 ? "true" : "false";
            return "";
        case gpu::KeyType::Integer: {
            int64_t number = 0;
            if (value.IsString() && plainInteger(text, number)) return std::to_string(number);
            if (value.IsDouble()) {
                const double d = value.GetDouble();
                if (std::floor(d) == d && d >= INT32_MIN && d <= INT32_MAX) return std::to_string(static_cast<int64_t>(d));
            }
            return "";
        }
        case gpu::KeyType::Text:
            for (size_t i = 0; i < key.enumCount && value.IsString(); ++i) {
                if (text == key.enumTexts[i].text) return quoted(key.enumTexts[i].text);
            }
            return "";
        case gpu::KeyType::TextList: break;
    }
    return "";
}

std::string placeholder(const gpu::ConfigKey& key) {
    switch (key.type) {
        case gpu::KeyType::TextList: return "[]";
        case gpu::KeyType::Flag: return "true";
        case gpu::KeyType::Integer: return "0";
        case gpu::KeyType::Text: break;
    }
    return key.enumCount > 0 ? quoted(key.enumTexts[0].text) : "\"\"";
}

}  // namespace vek::lint
