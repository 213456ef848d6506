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

lint::Diagnostic refusal() {
    std::string why;
    for (const LogMessage& message : loggedMessages()) {
        if (message.level == VEK_LOG_LEVEL_ERROR && why.empty()) why = ": " + lint::printable(message.text, 200);
    }
    lint::Diagnostic diagnostic;
    diagnostic.rule = lint::RuleId::PluginRefused;
    diagnostic.message = "the plug-in refused the file" + why;
    return diagnostic;
}

void eachDiagnostic(bool loaded, const lint::Check& check, lint::ColumnUnit unit, const lint::DiagnosticVisitor& visit) {
    if (!loaded && !check.hasError()) visit(refusal());
    check.forEach(unit, visit);
}

}  // namespace vek::host
