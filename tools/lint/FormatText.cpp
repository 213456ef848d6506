// SPDX-FileCopyrightText: 2026 The VekGpuKalderExtensions Authors
// SPDX-License-Identifier: Apache-2.0
// One line per diagnostic, as compilers write them:
// FILE:LINE:COLUMN: error: MESSAGE
#include "Formats.h"
#include "Text.h"

namespace vek::lint {
namespace {

class TextFormatter : public Formatter {
public:
    explicit TextFormatter(std::FILE* out) : out_(out) {}
    void startFile(const std::string& name, bool) override { name_ = printable(name); }
    void diagnostic(const Diagnostic& d) override {
        std::fprintf(out_, "%s:%zu:%zu: %s: %s\n", name_.c_str(), d.begin.line, d.begin.column, severityName(d.severity),
                     d.message.c_str());
    }
    void endFile() override { std::fflush(out_); }

private:
    std::FILE* out_;
    std::string name_;
};

}  // namespace

std::unique_ptr<Formatter> makeTextFormatter(std::FILE* out, const FormatOptions&) { return std::make_unique<TextFormatter>(out); }

}  // namespace vek::lint
