// Runs a command line and collects what it prints.
#pragma once

#include <string>

namespace vek::test {

struct CommandResult {
    int exitCode = -1;
    std::string output;  // standard output, and standard error unless left out
};

CommandResult runCommand(const std::string& commandLine, bool withErrors = true);

}  // namespace vek::test
