// SPDX-FileCopyrightText: 2026 The VekGpuKalderExtensions Authors
// SPDX-License-Identifier: Apache-2.0
// GitHub Actions workflow commands, one per diagnostic, which the workflow's
// page shows as annotations on the file:
// ::error file=F,line=L,col=C,endLine=L2,endColumn=C2,title=ID::MESSAGE
#include "Formats.h"
#include "Text.h"

namespace vek::lint {
namespace {

// GitHub's escaping: in the message "%", CR and LF; in a property also ":" and ",".
std::string escaped(const std::string& text, bool property) {
    std::string out;
    for (const char c : text) {
        switch (c) {
            case '%': out += "%25"; break;
            case '\r': out += "%0D"; break;
            case '\n': out += "%0A"; break;
            case ':': out += property ? "%3A" : ":"; break;
            case ',': out += property ? "%2C" : ","; break;
            default: out += c;
        }
    }
    return out;
}

class GithubFormatter : public Formatter {
public:
    explicit GithubFormatter(std::FILE* out) : out_(out) {}
    void startFile(const std::string& name, bool) override { file_ = escaped(printable(name), true); }
    void diagnostic(const Diagnostic& d) override {
        std::fprintf(out_, "::%s file=%s,line=%zu,col=%zu,endLine=%zu,endColumn=%zu,title=%s::%s\n", severityName(d.severity),
                     file_.c_str(), d.begin.line, d.begin.column, d.end.line, d.end.column,
                     escaped(ruleOf(d.rule).id, true).c_str(), escaped(d.message, false).c_str());
    }
    void endFile() override { std::fflush(out_); }

private:
    std::FILE* out_;
    std::string file_;
};

}  // namespace

std::unique_ptr<Formatter> makeGithubFormatter(std::FILE* out, const FormatOptions&) { return std::make_unique<GithubFormatter>(out); }

}  // namespace vek::lint
