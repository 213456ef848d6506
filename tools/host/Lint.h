// SPDX-FileCopyrightText: 2026 The VekGpuKalderExtensions Authors
// SPDX-License-Identifier: Apache-2.0
// Checks a configuration file as the plug-in reads it and says where every
// problem is, in the form compilers use: FILE:LINE:COLUMN: error: MESSAGE.
// The plug-in stops at the first problem and says little; this finds them
// all. It uses the plug-in's own limits scan, key walk, key lookup, key table
// and verdict on a key's value, so it finds an error exactly when the
// plug-in refuses the file.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "BackendExtensions/ConfigJson.h"  // first: it sets how RapidJSON allocates
#include <rapidjson/stringbuffer.h>
#include <rapidjson/writer.h>


namespace vek::host {

// Values and names are shown as the file writes them, cut to this many
// characters ("..." ending the cut ones).
constexpr size_t kShownChars = 60;

// How columns count: characters as editors count them (UTF-16 code units:
// one per character, two beyond U+FFFF; a tab is one, a byte that is no
// UTF-8 is one), or bytes (GCC's -fdiagnostics-column-unit=byte).
enum class ColumnUnit { Char, Byte };

struct Diagnostic {
    enum class Severity { Error, Warning };
    Severity severity = Severity::Error;
    size_t offset = 0;     // of the first byte of the offending token, key or value in the file
    size_t line = 1;       // from 1
    size_t column = 1;     // from 1, in the unit asked for
    std::string pointer;   // RFC 6901 JSON Pointer of the key or value; empty for the file as a whole
    std::string message;
    std::vector<std::string> allowed;  // the values allowed, where there is a list
};

struct LintResult {
    std::vector<Diagnostic> diagnostics;  // in the order of their place in the file
    bool hasError() const;
};

// `schema` is the plug-in's schema document (configSchema.json).
LintResult lintConfigText(std::string_view text, const tools::kalder::ConfigValue& schema,
                          ColumnUnit unit = ColumnUnit::Char);
// As lintConfigText on the file's bytes; a file that cannot be read is one
// error, a file too large to check (kLargestCheckedFile) one warning.
constexpr size_t kLargestCheckedFile = (size_t{1} << 31) - 1;
LintResult lintConfigFile(const std::string& path, const tools::kalder::ConfigValue& schema,
                          ColumnUnit unit = ColumnUnit::Char);

// One line per diagnostic: "FILE:LINE:COLUMN: error: MESSAGE".
std::string formatDiagnostics(const std::string& path, const LintResult& result);
// The diagnostics as a JSON array of {"file", "line", "column", "severity",
// "key", "message", "allowed"}, written where the writer stands.
void writeDiagnosticsJson(rapidjson::Writer<rapidjson::StringBuffer>& writer, const std::string& path,
                          const std::vector<Diagnostic>& diagnostics);

// `text` with control characters and bytes that are no UTF-8 written as
// \xHH, cut to `maxChars` characters (an escape counts one) with "...".
std::string printable(std::string_view text, size_t maxChars = std::string_view::npos);

// The token (a value or a member name) that starts at `offset` of `text`, as
// the file writes it, printable and cut to kShownChars characters.
std::string sourceText(std::string_view text, size_t offset);

bool isUtf8(std::string_view text);

// The known key closest to `key` by edit distance, or empty when none is near.
std::string closestKey(const std::string& key, const std::vector<std::string>& knownKeys);

}  // namespace vek::host
