// SPDX-FileCopyrightText: 2026 The VekGpuKalderExtensions Authors
// SPDX-License-Identifier: Apache-2.0
#include "Formats.h"

#include "FormatWriters.h"

namespace vek::lint {

namespace {

const struct {
    const char* name;
    Format format;
} kFormats[] = {{"text", Format::Text}, {"json", Format::Json}, {"sarif", Format::Sarif}, {"github", Format::Github}};

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
    switch (format) {
        case Format::Json: return makeJsonFormatter(out, std::move(options.endOfFile));
        case Format::Sarif: return makeSarifFormatter(out, options);
        case Format::Github: return makeGithubFormatter(out);
        case Format::Text: break;
    }
    return makeTextFormatter(out);
}

}  // namespace vek::lint
