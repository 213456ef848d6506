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

#include "BackendExtensions/ConfigJson.h"

namespace vek::host {

struct Diagnostic {
    enum class Severity { Error, Warning };
    Severity severity = Severity::Error;
    size_t offset = 0;     // of the offending byte, key or value in the file
    size_t line = 1;       // from 1
    size_t column = 1;     // bytes from 1, as GCC counts them
    std::string pointer;   // JSON Pointer of the key or value; empty for the file as a whole
    std::string message;
    std::vector<std::string> allowed;  // the values allowed, where there is a list
};

struct LintResult {
    std::vector<Diagnostic> diagnostics;  // in the order of their place in the file
    bool hasError() const;
};

// `schema` is the plug-in's schema document (configSchema.json).
LintResult lintConfigText(std::string_view text, const tools::kalder::ConfigValue& schema);
// As lintConfigText on the file's bytes; a file that cannot be read is one error.
LintResult lintConfigFile(const std::string& path, const tools::kalder::ConfigValue& schema);

// One line per diagnostic: "FILE:LINE:COLUMN: error: MESSAGE".
std::string formatDiagnostics(const std::string& path, const LintResult& result);
// One JSON document: {"file", "valid", "diagnostics": [{"file", "line",
// "column", "severity", "key", "message", "allowed"}]}.
std::string formatDiagnosticsJson(const std::string& path, const LintResult& result, bool valid);

// `text` with control characters and bytes that are no UTF-8 written as \xHH.
std::string printable(std::string_view text);

// The known key closest to `key` by edit distance, or empty when none is near.
std::string closestKey(const std::string& key, const std::vector<std::string>& knownKeys);

}  // namespace vek::host
