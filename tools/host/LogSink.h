// The host runner's log callback: prints every message, formatted, with its
// level and time stamp, and keeps the diagnostics `check` explains.
#pragma once

#include <cstdarg>
#include <cstdint>
#include <string>
#include <vector>

namespace vek::host {

// Prints "[  0.000123 s] ERROR <message>" to standard error.
void printLogMessage(const char* format, uint32_t level, uint64_t timestamp, va_list args);

struct Diagnostics {
    std::vector<std::string> schemaReports;    // the text after "Schema error:\n"
    std::vector<std::string> unsupportedKeys;  // keys of "Unsupported key: %s"
};
const Diagnostics& diagnostics();

}  // namespace vek::host
