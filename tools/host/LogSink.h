// The host runner's log callback: prints every message, formatted, with its
// level and time stamp, and keeps the error messages for `run --json`.
#pragma once

#include <cstdarg>
#include <cstdint>
#include <string>
#include <vector>

namespace vek::host {

// Prints "[  0.000123 s] ERROR <message>" to standard error, unless quiet.
void printLogMessage(const char* format, uint32_t level, uint64_t timestamp, va_list args);

// With quiet set, messages are kept but not printed (for output that must be JSON only).
void setLogQuiet(bool quiet);

// The error messages delivered so far, formatted.
const std::vector<std::string>& loggedErrors();

}  // namespace vek::host
