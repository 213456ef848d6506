#include "Lint.h"

#include <algorithm>
#include <cstdio>
#include <filesystem>

#include <rapidjson/stringbuffer.h>
#include <rapidjson/writer.h>

#include "LintParse.h"

namespace vek::host {
namespace {

// Files beyond this are refused before they are read: offsets are kept in 32 bits.
constexpr size_t kLargestFile = size_t{1} << 31;

// Lines and columns of every diagnostic, in one pass over the text.
void place(std::string_view text, std::vector<Diagnostic>& diagnostics) {
    std::stable_sort(diagnostics.begin(), diagnostics.end(),
                     [](const Diagnostic& a, const Diagnostic& b) { return a.offset < b.offset; });
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
        diagnostic.column = offset - lineStart + 1;
    }
}

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

const char* severityName(Diagnostic::Severity severity) {
    return severity == Diagnostic::Severity::Error ? "error" : "warning";
}

}  // namespace

bool LintResult::hasError() const {
    return std::any_of(diagnostics.begin(), diagnostics.end(),
                       [](const Diagnostic& d) { return d.severity == Diagnostic::Severity::Error; });
}

LintResult lintConfigText(std::string_view text, const tools::kalder::ConfigValue& schema) {
    LintResult result;
    ParsedText parsed;
    if (parseConfigText(text, parsed, result.diagnostics)) checkConfigRules(parsed, schema, result.diagnostics);
    place(text, result.diagnostics);
    return result;
}

LintResult lintConfigFile(const std::string& path, const tools::kalder::ConfigValue& schema) {
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
        if (size > 0 && static_cast<size_t>(size) < kLargestFile) text.reserve(static_cast<size_t>(size));
        std::fseek(file, 0, SEEK_SET);
    }
    char buffer[65536];
    size_t read = 0;
    while (text.size() < kLargestFile && (read = std::fread(buffer, 1, sizeof buffer, file)) > 0) text.append(buffer, read);
    const bool failed = std::ferror(file) != 0;
    std::fclose(file);
    if (failed || text.size() >= kLargestFile) {
        unreadable.message = failed ? "cannot read the file" : "the file is too large to check";
        result.diagnostics.push_back(unreadable);
        return result;
    }
    return lintConfigText(text, schema);
}

std::string formatDiagnostics(const std::string& path, const LintResult& result) {
    std::string out;
    for (const Diagnostic& d : result.diagnostics) {
        out += printable(path) + ":" + std::to_string(d.line) + ":" + std::to_string(d.column) + ": " +
               severityName(d.severity) + ": " + d.message + "\n";
    }
    return out;
}

std::string formatDiagnosticsJson(const std::string& path, const LintResult& result, bool valid) {
    rapidjson::StringBuffer buffer;
    rapidjson::Writer<rapidjson::StringBuffer> writer(buffer);
    const std::string file = printable(path);
    writer.StartObject();
    writer.Key("file");
    writer.String(file.c_str());
    writer.Key("valid");
    writer.Bool(valid);
    writer.Key("diagnostics");
    writer.StartArray();
    for (const Diagnostic& d : result.diagnostics) {
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
        const std::string pointer = printable(d.pointer);
        writer.String(pointer.c_str());
        writer.Key("message");
        writer.String(d.message.c_str());
        writer.Key("allowed");
        writer.StartArray();
        for (const std::string& value : d.allowed) writer.String(value.c_str());
        writer.EndArray();
        writer.EndObject();
    }
    writer.EndArray();
    writer.EndObject();
    return std::string(buffer.GetString(), buffer.GetSize()) + "\n";
}

std::string printable(std::string_view text) {
    static const char kHex[] = "0123456789ABCDEF";
    std::string out;
    for (size_t i = 0; i < text.size();) {
        const size_t length = utf8Length(text.substr(i));
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
