// SPDX-FileCopyrightText: 2026 The VekGpuKalderExtensions Authors
// SPDX-License-Identifier: Apache-2.0
// One SARIF 2.1.0 log for the whole call: one run, the rules of the table,
// and a result for each diagnostic of every file, written as they come.
#include <filesystem>

#include "Formats.h"
#include "Text.h"

namespace vek::lint {
namespace {

// A relative reference as RFC 3986 wants it: "/" between the path's
// segments, every byte but the unreserved ones percent-encoded.
std::string uriPath(const std::string& path) {
    std::string out;
    for (const char c : path) {
        const auto byte = static_cast<unsigned char>(c);
        const bool plain = (byte >= 'a' && byte <= 'z') || (byte >= 'A' && byte <= 'Z') || (byte >= '0' && byte <= '9') ||
                           c == '-' || c == '.' || c == '_' || c == '~' || c == '/';
        if (plain) out += c;
        else appendHexByte(out, byte, "%");
    }
    return out;
}

// Where the file is: relative to the current folder when it lies below it,
// else its absolute path as a file: URI.
std::string artifactUri(const std::string& name) {
    namespace fs = std::filesystem;
    std::error_code error;
    const fs::path path(name);
    const fs::path absolute = fs::absolute(path, error).lexically_normal();
    const fs::path relative = absolute.lexically_relative(fs::current_path(error));
    const std::string text = relative.empty() ? "" : relative.generic_string();
    if (!text.empty() && text.rfind("..", 0) != 0) return uriPath(text);
    std::string absoluteText = absolute.generic_string();
    if (absoluteText.empty() || absoluteText[0] != '/') absoluteText = "/" + absoluteText;  // a drive letter
    return "file://" + uriPath(absoluteText);
}

class SarifFormatter : public Formatter {
public:
    SarifFormatter(std::FILE* out, const FormatOptions& options) : output_(out), relativeTo_(!options.baseUri.empty()) {
        JsonWriter& w = output_.writer();
        w.StartObject();
        w.Key("version");
        w.String("2.1.0");
        w.Key("$schema");
        w.String("https://json.schemastore.org/sarif-2.1.0.json");
        w.Key("runs");
        w.StartArray();
        w.StartObject();
        w.Key("tool");
        w.StartObject();
        w.Key("driver");
        w.StartObject();
        w.Key("name");
        w.String("vekhost");
        w.Key("version");
        w.String(options.toolVersion.c_str());
        w.Key("informationUri");
        w.String(options.informationUri.c_str());
        w.Key("rules");
        w.StartArray();
        for (const Rule& rule : allRules()) writeRule(w, rule);
        w.EndArray();
        w.EndObject();
        w.EndObject();
        if (relativeTo_) {
            w.Key("originalUriBaseIds");
            w.StartObject();
            w.Key("BASE");
            w.StartObject();
            w.Key("uri");
            const std::string base = options.baseUri.back() == '/' ? options.baseUri : options.baseUri + "/";
            w.String(utf8Text(base).c_str());
            w.EndObject();
            w.EndObject();
        }
        w.Key("columnKind");
        w.String("utf16CodeUnits");
        w.Key("results");
        w.StartArray();
    }

    void startFile(const std::string& name, bool) override { uri_ = artifactUri(name); }
    void diagnostic(const Diagnostic& d) override {
        JsonWriter& w = output_.writer();
        w.StartObject();
        w.Key("ruleId");
        w.String(ruleOf(d.rule).id);
        w.Key("ruleIndex");
        w.Uint(static_cast<unsigned>(d.rule));
        w.Key("level");
        w.String(severityName(d.severity));
        w.Key("message");
        w.StartObject();
        w.Key("text");
        const std::string message = utf8Text(d.message);
        w.String(message.c_str(), static_cast<rapidjson::SizeType>(message.size()));
        w.EndObject();
        w.Key("locations");
        w.StartArray();
        w.StartObject();
        w.Key("physicalLocation");
        w.StartObject();
        w.Key("artifactLocation");
        w.StartObject();
        w.Key("uri");
        w.String(uri_.c_str());
        if (relativeTo_ && uri_.rfind("file:", 0) != 0) {
            w.Key("uriBaseId");
            w.String("BASE");
        }
        w.EndObject();
        w.Key("region");
        w.StartObject();
        w.Key("startLine");
        w.Uint64(d.begin.line);
        w.Key("startColumn");
        w.Uint64(d.begin.column);
        w.Key("endLine");
        w.Uint64(d.end.line);
        w.Key("endColumn");
        w.Uint64(d.end.column);
        w.Key("byteOffset");
        w.Uint64(d.begin.offset);
        w.Key("byteLength");
        w.Uint64(d.end.offset - d.begin.offset);
        w.EndObject();
        w.EndObject();
        w.EndObject();
        w.EndArray();
        w.EndObject();
    }
    void endFile() override {}
    void finish() override {
        JsonWriter& w = output_.writer();
        w.EndArray();
        w.EndObject();
        w.EndArray();
        w.EndObject();
        output_.endLine();
    }

private:
    static void writeRule(JsonWriter& w, const Rule& rule) {
        w.StartObject();
        w.Key("id");
        w.String(rule.id);
        w.Key("shortDescription");
        w.StartObject();
        w.Key("text");
        w.String(rule.description);
        w.EndObject();
        w.Key("help");
        w.StartObject();
        w.Key("text");
        w.String(rule.help);
        w.EndObject();
        w.Key("defaultConfiguration");
        w.StartObject();
        w.Key("level");
        w.String(severityName(rule.severity));
        w.EndObject();
        w.EndObject();
    }

    JsonOutput output_;
    bool relativeTo_;
    std::string uri_;
};

}  // namespace

std::unique_ptr<Formatter> makeSarifFormatter(std::FILE* out, const FormatOptions& options) {
    return std::make_unique<SarifFormatter>(out, options);
}

}  // namespace vek::lint
