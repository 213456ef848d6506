// SPDX-FileCopyrightText: 2026 The VekGpuKalderExtensions Authors
// SPDX-License-Identifier: Apache-2.0
#include "Cases.h"

#include "BackendExtensions/GPUBackendExtensions/ConfigSchema.h"
#include "Check.h"
#include "Text.h"

#include <fstream>
#include <algorithm>
#include <iterator>
#include <string>
#include <vector>
#include <stdexcept>

namespace vek::test {

tools::kalder::ConfigDocument readCases(const std::string& name) {
    std::ifstream in(std::string(VEK_TEST_CASES) + "/" + name, std::ios::binary);
    const std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    tools::kalder::ConfigDocument cases;
    if (cases.Parse(text.c_str(), text.size()).HasParseError() || !cases.IsArray()) {
        throw std::runtime_error("cannot read the cases in " + name);
    }
    return cases;
}

std::vector<std::string> strings(const tools::kalder::ConfigValue& c, const char* name) {
    std::vector<std::string> out;
    if (c.HasMember(name)) {
        for (const auto& item : c[name].GetArray()) out.emplace_back(item.GetString(), item.GetStringLength());
    }
    return out;
}

std::vector<LogLine> expectedLog(const tools::kalder::ConfigValue& c) {
    std::vector<LogLine> log;
    for (const std::string& text : strings(c, "log")) {
        const size_t bar = text.find(" | ");
        const std::string format = text.substr(2, bar == std::string::npos ? std::string::npos : bar - 2);
        const std::string message = bar == std::string::npos ? "" : text.substr(bar + 3);
        log.push_back(text[0] == 'E' ? errorLine(format, message) : text[0] == 'W' ? warnLine(format, message) : infoLine(format, message));
    }
    return log;
}

const tools::kalder::ConfigDocument& pluginSchema() {
    static const tools::kalder::ConfigDocument parsed = [] {
        tools::kalder::ConfigDocument document;
        document.Parse(gpu::configSchema, gpu::configSchemaSize);
        return document;
    }();
    return parsed;
}

namespace {

bool isDigit(char c) { return c >= '0' && c <= '9'; }
bool isLetter(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }

// The end of the number starting at `i`, by JSON's grammar: where a parser
// stops reading it, the next token starts.
size_t numberEnd(std::string_view text, size_t i) {
    const auto at = [&](size_t j) { return j < text.size() ? text[j] : '\0'; };
    if (at(i) == '-') ++i;
    if (at(i) == '0') ++i;
    else while (isDigit(at(i))) ++i;
    if (at(i) == '.') {
        ++i;
        while (isDigit(at(i))) ++i;
    }
    if (at(i) == 'e' || at(i) == 'E') {
        ++i;
        if (at(i) == '+' || at(i) == '-') ++i;
        while (isDigit(at(i))) ++i;
    }
    return i;
}

// Where tokens start, read lexically: the opening quote of a string and the
// escapes and raw control bytes inside it, the first byte of a number (as
// JSON's grammar reads it) or of a word, any other byte (punctuation, a stray
// byte), and the start and end of the file.
std::vector<bool> tokenStarts(std::string_view text) {
    std::vector<bool> starts(text.size() + 1, false);
    bool inString = false;
    for (size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (inString) {
            if (c == '\\') {
                starts[i] = true;
                ++i;
            } else if (c == '"') {
                inString = false;
            } else {
                starts[i] = static_cast<unsigned char>(c) < 0x20;
            }
        } else if (c == '"') {
            starts[i] = inString = true;
        } else if (c == '-' || isDigit(c)) {
            starts[i] = true;
            i = std::max(i + 1, numberEnd(text, i)) - 1;
        } else if (isLetter(c)) {
            // A literal ends where its word does ("nullll" is null, then "ll").
            starts[i] = true;
            size_t end = i + 1;
            for (const std::string_view literal : {"true", "false", "null"}) {
                if (text.substr(i, literal.size()) == literal) end = i + literal.size();
            }
            if (end == i + 1) {
                while (end < text.size() && isLetter(text[end])) ++end;
            }
            i = end - 1;
        } else {
            starts[i] = !lint::isJsonSpace(c);
        }
    }
    starts[0] = starts[text.size()] = true;  // the file as a whole, and where it ends
    return starts;
}

// The offset of a line and byte column.
size_t offsetOf(std::string_view text, size_t line, size_t column) {
    size_t offset = 0;
    for (size_t l = 1; l < line; ++l) offset = text.find('\n', offset) + 1;
    return offset + column - 1;
}

}  // namespace

bool lintFindsErrorInText(std::string_view text) {
    const lint::Check check(std::string(text), pluginSchema());
    const std::vector<bool> starts = tokenStarts(text);
    size_t lastOffset = 0;
    check.forEach(lint::ColumnUnit::Byte, [&](const lint::Diagnostic& d) {
        const auto where = [&] { return std::to_string(d.begin.line) + ":" + std::to_string(d.begin.column) + ": " + d.message; };
        const size_t offset = offsetOf(text, d.begin.line, d.begin.column);
        if (offset != d.begin.offset || offset > text.size() || !starts[offset]) throw std::logic_error("placed between tokens at " + where());
        if (d.end.offset < offset || d.end.offset > text.size() || offsetOf(text, d.end.line, d.end.column) != d.end.offset) {
            throw std::logic_error("a range that is not the token's at " + where());
        }
        if (offset < lastOffset) throw std::logic_error("told out of the file's order at " + where());
        lastOffset = offset;
    });
    return check.hasError();
}

bool lintFindsError(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    const std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    return in ? lintFindsErrorInText(text) : lint::Check::ofFile(path, pluginSchema()).hasError();
}

}  // namespace vek::test
