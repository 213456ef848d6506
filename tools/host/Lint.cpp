// SPDX-FileCopyrightText: 2026 The VekGpuKalderExtensions Authors
// SPDX-License-Identifier: Apache-2.0
#include "Lint.h"

#include <algorithm>
#include <cstdio>
#include <filesystem>

#include "BackendExtensions/ConfigJson.h"  // first: it sets how RapidJSON allocates
#include <rapidjson/stringbuffer.h>
#include <rapidjson/writer.h>

#include "LintParse.h"

namespace vek::host {
namespace {

// The length of the UTF-8 sequence at `text`, or 0 when it is none.
size_t utf8Length(std::string_view text) {
    const auto byte = [&](size_t i) { return static_cast<unsigned char>(text[i]); };
    const unsigned char lead = byte(0);
    const size_t length = lead < 0x80 ? 1 : (lead >> 5) == 0x6 ? 2 : (lead >> 4) == 0xE ? 3 : (lead >> 3) == 0x1E ? 4 : 0;
    if (length == 0 || length > text.size()) return 0;
    for (size_t i = 1; i < length; ++i) {
        if ((byte(i) & 0xC0) != 0x80) return 0;
    }
    return length;
}

// Columns of one line, counted as far as asked, in one pass however many
// diagnostics the line holds.
class ColumnCounter {
public:
    ColumnCounter(std::string_view text, ColumnUnit unit) : text_(text), unit_(unit) {}

    // The column of `offset`, never before the offset asked last on its line.
    size_t columnOf(size_t offset, size_t lineStart) {
        if (unit_ == ColumnUnit::Byte) return offset - lineStart + 1;
        if (lineStart != lineStart_) {
            lineStart_ = lineStart;
            at_ = lineStart;
            column_ = 1;
        }
        while (at_ < offset) {
            const size_t length = utf8Length(text_.substr(at_, 4));
            column_ += length == 4 ? 2 : 1;  // beyond U+FFFF: two UTF-16 code units
            at_ += length == 0 ? 1 : length;
        }
        return column_;
    }

private:
    std::string_view text_;
    ColumnUnit unit_;
    size_t lineStart_ = SIZE_MAX, at_ = 0, column_ = 1;
};

// Lines and columns of every diagnostic, in one pass over the text.
void place(std::string_view text, std::vector<Diagnostic>& diagnostics, ColumnUnit unit) {
    // Each part of the check tells its diagnostics in file order: the runs
    // they make are merged, in linear time for each of the few passes.
    const auto byOffset = [](const Diagnostic& a, const Diagnostic& b) { return a.offset < b.offset; };
    std::vector<size_t> runs{0};
    for (size_t i = 1; i < diagnostics.size(); ++i) {
        if (diagnostics[i].offset < diagnostics[i - 1].offset) runs.push_back(i);
    }
    runs.push_back(diagnostics.size());
    while (runs.size() > 2) {
        std::vector<size_t> merged{0};
        for (size_t r = 0; r + 2 < runs.size(); r += 2) {
            std::inplace_merge(diagnostics.begin() + runs[r], diagnostics.begin() + runs[r + 1], diagnostics.begin() + runs[r + 2], byOffset);
            merged.push_back(runs[r + 2]);
        }
        if (runs.size() % 2 == 0) merged.push_back(runs.back());
        runs.swap(merged);
    }
    ColumnCounter columns(text, unit);
    size_t line = 1, lineStart = 0, scanned = 0;
    for (Diagnostic& diagnostic : diagnostics) {
        const size_t offset = std::min(diagnostic.offset, text.size());
        for (; scanned < offset; ++scanned) {
            if (text[scanned] == '\n') {
                ++line;
                lineStart = scanned + 1;
            }
        }
        diagnostic.line = line;
        diagnostic.column = columns.columnOf(offset, lineStart);
    }
}

bool isSpace(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r'; }
bool endsWord(char c) { return isSpace(c) || c == ',' || c == ':' || c == ']' || c == '}' || c == '[' || c == '{'; }

// The end of the token at `start`, looked for no further than `limit` bytes:
// a string to its closing quote, an array or object to its closing bracket,
// anything else to the next space or punctuation.
size_t tokenEnd(std::string_view text, size_t start, size_t limit) {
    const size_t stop = std::min(text.size(), start + limit);
    const char first = text[start];
    if (first != '"' && first != '[' && first != '{') {
        size_t i = start + 1;
        while (i < stop && !endsWord(text[i])) ++i;
        return i;
    }
    unsigned depth = 0;
    bool inString = false, escaped = false;
    for (size_t i = start; i < stop; ++i) {
        const char c = text[i];
        if (inString) {
            if (escaped) {
                escaped = false;
            } else if (c == '\\') {
                escaped = true;
            } else if (c == '"') {
                inString = false;
                if (depth == 0) return i + 1;
            }
        } else if (c == '"') {
            inString = true;
        } else if (c == '[' || c == '{') {
            ++depth;
        } else if ((c == ']' || c == '}') && --depth == 0) {
            return i + 1;
        }
    }
    return stop;
}

// `text` for a JSON string: control characters and NUL stay (the writer
// escapes them), a byte that is no UTF-8 becomes the text \xHH.
std::string utf8Text(std::string_view text) {
    static const char kHex[] = "0123456789ABCDEF";
    std::string out;
    for (size_t i = 0; i < text.size();) {
        const size_t length = utf8Length(text.substr(i, 4));
        if (length == 0) {
            const auto byte = static_cast<unsigned char>(text[i++]);
            out += std::string("\\x") + kHex[byte >> 4] + kHex[byte & 0xF];
        } else {
            out.append(text.substr(i, length));
            i += length;
        }
    }
    return out;
}

const char* severityName(Diagnostic::Severity severity) {
    return severity == Diagnostic::Severity::Error ? "error" : "warning";
}

}  // namespace

bool LintResult::hasError() const {
    return std::any_of(diagnostics.begin(), diagnostics.end(),
                       [](const Diagnostic& d) { return d.severity == Diagnostic::Severity::Error; });
}

LintResult lintConfigText(std::string_view text, const tools::kalder::ConfigValue& schema, ColumnUnit unit) {
    LintResult result;
    ParsedText parsed;
    parsed.text = text;
    if (parseConfigText(text, parsed, result.diagnostics)) checkConfigRules(parsed, schema, result.diagnostics);
    place(text, result.diagnostics, unit);
    return result;
}

LintResult lintConfigFile(const std::string& path, const tools::kalder::ConfigValue& schema, ColumnUnit unit) {
    LintResult result;
    Diagnostic unreadable;
    std::error_code error;
    std::FILE* file = std::filesystem::is_directory(path, error) ? nullptr : std::fopen(path.c_str(), "rb");
    if (file == nullptr) {
        unreadable.message = "cannot read the file";
        result.diagnostics.push_back(unreadable);
        return result;
    }
    // Sized once to the file, so a large file is not copied over as it grows.
    std::string text;
    if (std::fseek(file, 0, SEEK_END) == 0) {
        const long size = std::ftell(file);
        if (size > 0 && static_cast<size_t>(size) <= kLargestCheckedFile) text.reserve(static_cast<size_t>(size));
        std::fseek(file, 0, SEEK_SET);
    }
    char buffer[65536];
    size_t read = 0;
    while (text.size() <= kLargestCheckedFile && (read = std::fread(buffer, 1, sizeof buffer, file)) > 0) {
        text.append(buffer, read);
    }
    const bool failed = std::ferror(file) != 0;
    std::fclose(file);
    if (failed) {
        unreadable.message = "cannot read the file";
        result.diagnostics.push_back(unreadable);
    } else if (text.size() > kLargestCheckedFile) {
        unreadable.severity = Diagnostic::Severity::Warning;
        unreadable.message = "the file is too large to check (over 2 GiB); the plug-in's verdict alone decides";
        result.diagnostics.push_back(unreadable);
    } else {
        result = lintConfigText(text, schema, unit);
    }
    return result;
}

std::string formatDiagnostics(const std::string& path, const LintResult& result) {
    std::string out;
    for (const Diagnostic& d : result.diagnostics) {
        out += printable(path) + ":" + std::to_string(d.line) + ":" + std::to_string(d.column) + ": " +
               severityName(d.severity) + ": " + d.message + "\n";
    }
    return out;
}

void writeDiagnosticsJson(rapidjson::Writer<rapidjson::StringBuffer>& writer, const std::string& path,
                          const std::vector<Diagnostic>& diagnostics) {
    const std::string file = printable(path);
    writer.StartArray();
    for (const Diagnostic& d : diagnostics) {
        writer.StartObject();
        writer.Key("file");
        writer.String(file.c_str());
        writer.Key("line");
        writer.Uint64(d.line);
        writer.Key("column");
        writer.Uint64(d.column);
        writer.Key("severity");
        writer.String(severityName(d.severity));
        writer.Key("key");
        const std::string pointer = utf8Text(d.pointer);
        writer.String(pointer.c_str(), static_cast<rapidjson::SizeType>(pointer.size()));
        writer.Key("message");
        writer.String(d.message.c_str());
        writer.Key("allowed");
        writer.StartArray();
        for (const std::string& value : d.allowed) writer.String(value.c_str());
        writer.EndArray();
        writer.EndObject();
    }
    writer.EndArray();
}

std::string printable(std::string_view text, size_t maxChars) {
    static const char kHex[] = "0123456789ABCDEF";
    const size_t keep = maxChars == std::string_view::npos ? maxChars : maxChars - 3;
    std::string out;
    size_t chars = 0, keptBytes = 0;
    for (size_t i = 0; i < text.size(); ++chars) {
        if (chars == keep) keptBytes = out.size();
        if (chars == maxChars) {
            out.resize(keptBytes);
            return out + "...";
        }
        const size_t length = utf8Length(text.substr(i, 4));
        const auto byte = static_cast<unsigned char>(text[i]);
        if (length == 0 || byte < 0x20 || byte == 0x7F) {
            out += std::string("\\x") + kHex[byte >> 4] + kHex[byte & 0xF];
            ++i;
        } else {
            out.append(text.substr(i, length));
            i += length;
        }
    }
    return out;
}

std::string sourceText(std::string_view text, size_t offset) {
    if (offset >= text.size()) return "";
    // Four bytes a character at most, and one more to tell a cut.
    const size_t end = tokenEnd(text, offset, 4 * kShownChars + 1);
    return printable(text.substr(offset, end - offset), kShownChars);
}

bool isUtf8(std::string_view text) {
    for (size_t i = 0; i < text.size();) {
        const size_t length = utf8Length(text.substr(i, 4));
        if (length == 0) return false;
        i += length;
    }
    return true;
}

std::string closestKey(const std::string& key, const std::vector<std::string>& knownKeys) {
    std::string best;
    size_t bestDistance = std::max<size_t>(2, key.size() / 3) + 1;
    for (const std::string& known : knownKeys) {
        // Edit distance, one row at a time.
        std::vector<size_t> row(known.size() + 1);
        for (size_t j = 0; j <= known.size(); ++j) row[j] = j;
        for (size_t i = 1; i <= key.size(); ++i) {
            size_t diagonal = row[0];
            row[0] = i;
            for (size_t j = 1; j <= known.size(); ++j) {
                const size_t above = row[j];
                row[j] = std::min({row[j] + 1, row[j - 1] + 1, diagonal + (key[i - 1] == known[j - 1] ? 0 : 1)});
                diagonal = above;
            }
        }
        if (row[known.size()] < bestDistance) {
            bestDistance = row[known.size()];
            best = known;
        }
    }
    return best;
}

}  // namespace vek::host
