// SPDX-FileCopyrightText: 2026 The VekGpuKalderExtensions Authors
// SPDX-License-Identifier: Apache-2.0
// The runner's commands, given the parsed command line.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "Diagnostic.h"
#include "Formats.h"
#include "RulesList.h"

namespace vek::host {

struct Options {
    std::vector<std::string> configs;  // "-" is standard input
    bool json = false;
    lint::Format format = lint::Format::Text;  // check's; json when json is set
    std::string baseUri;                       // SARIF locations relative to it
    RulesFormat rulesFormat = RulesFormat::Text;
    int32_t logLevel = 0;      // the logger's level (1 to 5)
    int32_t printLevel = 0;    // the most detailed level printed; 0 prints none
    lint::ColumnUnit columns = lint::ColumnUnit::Char;
    std::string plugin;
    std::string backend;
    std::string schema;
    std::string example;       // run's configuration when none is given
    std::string editorSchema;  // what keys reads
    std::vector<lint::RuleId> select;  // check: only these rules, and no plug-in; empty for all
    long long clientProcessId = 0;     // lsp: the editor, whose end ends the server; 0 for none
};

// Each returns the exit status: 0 success, 1 a hook answered false or a file
// was refused, 2 unusable input to the runner itself (a library or schema
// that cannot be loaded, no temporary file for standard input).
int runCommand(const Options& options);
int checkCommand(const Options& options);
int devicesCommand(const Options& options);
int keysCommand(const Options& options);
int rulesCommand(const Options& options);
// Serves the Language Server Protocol on standard input and output until
// the client says exit: 0 after shutdown, 1 otherwise.
int lspCommand(const Options& options);

}  // namespace vek::host
