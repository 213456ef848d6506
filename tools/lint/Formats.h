// SPDX-FileCopyrightText: 2026 The VekGpuKalderExtensions Authors
// SPDX-License-Identifier: Apache-2.0
// The ways the check's diagnostics are written: lines as compilers write
// them, JSON, a SARIF 2.1.0 log, GitHub workflow commands. Each writes as
// it is given, so the output of a long run is never held whole.
#pragma once

#include <cstdio>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "Diagnostic.h"
#include "JsonOutput.h"

namespace vek::lint {

enum class Format { Text, Json, Sarif, Github };
// "text", "json", "sarif", "github"; false for anything else.
bool formatNamed(const std::string& name, Format& format);
// Every format's name, in that order.
std::vector<std::string> formatNames();

struct FormatOptions {
    std::string toolVersion;     // the tool's version, for SARIF
    std::string informationUri;  // where the tool's documentation lives, for SARIF
    std::string baseUri;         // SARIF: file locations relative to this URI; empty: to the current folder
    // JSON: writes the runner's own members at the end of each file's document.
    std::function<void(JsonWriter&)> endOfFile;
};

class Formatter {
public:
    virtual ~Formatter() = default;
    // Each file's diagnostics come between startFile and endFile; `valid`
    // is the plug-in's verdict on the file.
    virtual void startFile(const std::string& name, bool valid) = 0;
    virtual void diagnostic(const Diagnostic& diagnostic) = 0;
    virtual void endFile() = 0;
    // After the last file.
    virtual void finish() {}
};

std::unique_ptr<Formatter> makeFormatter(Format format, std::FILE* out, FormatOptions options);

// One diagnostic as a JSON object: {"file", "id", "line", "column",
// "endLine", "endColumn", "severity", "key", "message", "allowed"}.
void writeDiagnosticJson(JsonWriter& writer, const std::string& file, const Diagnostic& diagnostic);

}  // namespace vek::lint
