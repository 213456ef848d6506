// SPDX-FileCopyrightText: 2026 The VekGpuKalderExtensions Authors
// SPDX-License-Identifier: Apache-2.0
// What vekhost says of a configuration: the plug-in's verdict and the
// check's diagnostics, as check, run and lsp give them.
#pragma once

#include <string>

#include "Check.h"

namespace vek::host {

// The plug-in's schema, which the check reads; false when it cannot be read or parsed.
bool readSchema(const std::string& path, tools::kalder::ConfigDocument& schema);

// The line added when the plug-in refused a file the check finds nothing
// wrong with: the plug-in's verdict stands. `why` is "the plug-in refused
// the file" and its last error, or what kept the text from it.
lint::Diagnostic refusal(std::string why);
// Why the plug-in refused the file it was given: its last error message.
std::string refusedBecause();

// The check's diagnostics of a file the plug-in loaded or refused, the
// refusal first where the check finds no error that explains it.
void eachDiagnostic(bool loaded, const lint::Check& check, lint::ColumnUnit unit, const lint::DiagnosticVisitor& visit);
// The first `count` of them, with their fixes and related places; returns
// how many there are in all.
size_t firstDiagnostics(bool loaded, const lint::Check& check, lint::ColumnUnit unit, size_t count, const lint::DiagnosticVisitor& visit);

}  // namespace vek::host
