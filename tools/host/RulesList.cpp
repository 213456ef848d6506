// SPDX-FileCopyrightText: 2026 The VekGpuKalderExtensions Authors
// SPDX-License-Identifier: Apache-2.0
#include "RulesList.h"

#include "BackendExtensions/ConfigJson.h"  // first: it sets how RapidJSON allocates
#include <rapidjson/stringbuffer.h>
#include <rapidjson/writer.h>

#include "Rules.h"

namespace vek::host {
namespace {

std::string padded(const std::string& text, size_t width) {
    return text.size() >= width ? text + " " : text + std::string(width - text.size(), ' ');
}

std::string rulesJson() {
    rapidjson::StringBuffer buffer;
    rapidjson::Writer<rapidjson::StringBuffer> writer(buffer);
    writer.StartArray();
    for (const lint::Rule& rule : lint::allRules()) {
        writer.StartObject();
        writer.Key("id");
        writer.String(rule.id);
        writer.Key("severity");
        writer.String(lint::severityName(rule.severity));
        writer.Key("description");
        writer.String(rule.description);
        writer.Key("help");
        writer.String(rule.help);
        writer.EndObject();
    }
    writer.EndArray();
    return std::string(buffer.GetString(), buffer.GetSize()) + "\n";
}

}  // namespace

std::string formatRules(RulesFormat format) {
    if (format == RulesFormat::Json) return rulesJson();
    std::string out = format == RulesFormat::Markdown ? "| id | severity | what it finds | what to do |\n|---|---|---|---|\n" : "";
    for (const lint::Rule& rule : lint::allRules()) {
        const std::string severity = lint::severityName(rule.severity);
        if (format == RulesFormat::Markdown) {
            out += "| `" + std::string(rule.id) + "` | " + severity + " | " + rule.description + " | " + rule.help + " |\n";
        } else {
            out += padded(rule.id, 20) + padded(severity, 9) + rule.description + "\n" + std::string(29, ' ') + rule.help + "\n";
        }
    }
    return out;
}

}  // namespace vek::host
