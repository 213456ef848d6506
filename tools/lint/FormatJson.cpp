// SPDX-FileCopyrightText: 2026 The VekGpuKalderExtensions Authors
// SPDX-License-Identifier: Apache-2.0
// One JSON document per file and line: {"file", "valid", "diagnostics": [...]}
// and whatever the runner adds.
#include "Formats.h"
#include "Text.h"

namespace vek::lint {
namespace {

void writeText(JsonWriter& writer, const std::string& text) {
    writer.String(text.c_str(), static_cast<rapidjson::SizeType>(text.size()));
}

class JsonFormatter : public Formatter {
public:
    JsonFormatter(std::FILE* out, std::function<void(JsonWriter&)> endOfFile) : output_(out), endOfFile_(std::move(endOfFile)) {}
    void startFile(const std::string& name, bool valid) override {
        name_ = name;
        JsonWriter& writer = output_.writer();
        writer.StartObject();
        writer.Key("file");
        writeText(writer, utf8Text(name));
        writer.Key("valid");
        writer.Bool(valid);
        writer.Key("diagnostics");
        writer.StartArray();
    }
    void diagnostic(const Diagnostic& d) override { writeDiagnosticJson(output_.writer(), name_, d); }
    void endFile() override {
        JsonWriter& writer = output_.writer();
        writer.EndArray();
        if (endOfFile_) endOfFile_(writer);
        writer.EndObject();
        output_.endLine();
    }

private:
    JsonOutput output_;
    std::function<void(JsonWriter&)> endOfFile_;
    std::string name_;
};

}  // namespace

void writeDiagnosticJson(JsonWriter& writer, const std::string& file, const Diagnostic& d) {
    writer.StartObject();
    writer.Key("file");
    writeText(writer, utf8Text(file));
    writer.Key("id");
    writer.String(ruleOf(d.rule).id);
    writer.Key("line");
    writer.Uint64(d.begin.line);
    writer.Key("column");
    writer.Uint64(d.begin.column);
    writer.Key("endLine");
    writer.Uint64(d.end.line);
    writer.Key("endColumn");
    writer.Uint64(d.end.column);
    writer.Key("severity");
    writer.String(severityName(d.severity));
    writer.Key("key");
    writeText(writer, utf8Text(d.pointer));
    writer.Key("message");
    writeText(writer, utf8Text(d.message));
    writer.Key("allowed");
    writer.StartArray();
    for (const std::string& value : d.allowed) writeText(writer, utf8Text(value));
    writer.EndArray();
    writer.EndObject();
}

std::unique_ptr<Formatter> makeJsonFormatter(std::FILE* out, const FormatOptions& options) {
    return std::make_unique<JsonFormatter>(out, options.endOfFile);
}

}  // namespace vek::lint
