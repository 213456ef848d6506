// SPDX-FileCopyrightText: 2026 The VekGpuKalderExtensions Authors
// SPDX-License-Identifier: Apache-2.0
// Runs a command line and collects what it prints.
#pragma once

#include <string>

namespace vek::test {

struct CommandResult {
    int exitCode = -1;
    std::string output;  // standard output, and standard error unless left out
};

CommandResult runCommand(const std::string& commandLine, bool withErrors = true);

// Sets or removes an environment variable for the commands run after, and
// for libraries such as the substitute backend that read it.
void setEnv(const std::string& name, const std::string& value);
void unsetEnv(const std::string& name);

}  // namespace vek::test
