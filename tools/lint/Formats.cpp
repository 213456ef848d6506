// SPDX-FileCopyrightText: 2026 The VekGpuKalderExtensions Authors
// SPDX-License-Identifier: Apache-2.0
#include "Formats.h"


namespace vek::lint {

// Each format's formatter, in the file named after it.
std::unique_ptr<Formatter> makeTextFormatter(std::FILE* out, const FormatOptions& options);
std::unique_ptr<Formatter> makeJsonFormatter(std::FILE* out, const FormatOptions& options);
std::unique_ptr<Formatter> makeSarifFormatter(std::FILE* out, const FormatOptions& options);
std::unique_ptr<Formatter> makeGithubFormatter(std::FILE* out, const FormatOptions& options);

namespace {

const struct {
    const char* name;
    Format format;
    std::unique_ptr<Formatter> (*make)(std::FILE* out, const FormatOptions& options);
} kFormats[] = {
    {"text", Format::Text, makeTextFormatter},
    {"json", Format::Json, makeJsonFormatter},
    {"sarif", Format::Sarif, makeSarifFormatter},
    {"github", Format::Github, makeGithubFormatter},
};

}  // namespace

std::vector<std::string> formatNames() {
    std::vector<std::string> names;
    for (const auto& entry : kFormats) names.emplace_back(entry.name);
    return names;
}

bool formatNamed(const std::string& name, Format& format) {
    for (const auto& entry : kFormats) {
        if (name == entry.name) {
            format = entry.format;
            return true;
        }
    }
    return false;
}

std::unique_ptr<Formatter> makeFormatter(Format format, std::FILE* out, FormatOptions options) {
    for (const auto& entry : kFormats) {
        if (entry.format == format) return entry.make(out, options);
    }
    return makeTextFormatter(out, options);
}

}  // namespace vek::lint
