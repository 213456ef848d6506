// SPDX-FileCopyrightText: 2026 The VekGpuKalderExtensions Authors
// SPDX-License-Identifier: Apache-2.0
#include "Verdict.h"

#include <fstream>
#include <iterator>

#include "LogSink.h"
#include "Text.h"
#include "log/LogTypes.h"

namespace vek::host {

bool readSchema(const std::string& path, tools::kalder::ConfigDocument& schema) {
    std::ifstream in(path, std::ios::binary);
    const std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    schema.Parse(text.c_str(), text.size());
    return in && !schema.HasParseError() && schema.IsObject();
}

std::string refusedBecause() {
    for (const LogMessage& message : loggedMessages()) {
        if (message.level == VEK_LOG_LEVEL_ERROR) return "the plug-in refused the file: " + lint::printable(message.text, 200);
    }
    return "the plug-in refused the file";
}

lint::Diagnostic refusal(std::string why) {
    lint::Diagnostic diagnostic;
    diagnostic.rule = lint::RuleId::PluginRefused;
    diagnostic.severity = lint::ruleOf(diagnostic.rule).severity;
    diagnostic.message = std::move(why);
    return diagnostic;
}

void eachDiagnostic(bool loaded, const lint::Check& check, lint::ColumnUnit unit, const lint::DiagnosticVisitor& visit) {
    if (!loaded && !check.hasError()) visit(refusal(refusedBecause()));
    check.forEach(unit, visit);
}

size_t firstDiagnostics(bool loaded, const lint::Check& check, lint::ColumnUnit unit, size_t count, const lint::DiagnosticVisitor& visit) {
    const bool refused = !loaded && !check.hasError();
    if (refused && count > 0) visit(refusal(refusedBecause()));
    return (refused ? 1 : 0) + check.forFirst(unit, count - (refused && count > 0 ? 1 : 0), visit);
}

}  // namespace vek::host
