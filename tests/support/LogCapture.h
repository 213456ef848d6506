// A host log callback that records every message it receives.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "BackendExtensions/IBackend.h"

namespace vek::test {

struct LogLine {
    uint32_t level;
    std::string format;     // the format text as received
    std::string message;    // formatted with the arguments
    uint64_t timestamp;

    bool operator==(const LogLine& other) const {
        return level == other.level && format == other.format && message == other.message;
    }
};

// Formats like the host would and records the line.
void captureLog(const char* format, uint32_t level, uint64_t timestamp, va_list args);

// Lines recorded since the last clear.
std::vector<LogLine> capturedLines();
void clearCapturedLines();

// Installs captureLog at `level` on `backend` and clears the record.
void captureLogsOf(tools::kalder::IBackend& backend, int32_t level = VEK_LOG_LEVEL_DEBUG);

// Shorthands for expected lines (timestamp not compared).
LogLine errorLine(const std::string& format, const std::string& message = "");
LogLine warnLine(const std::string& format, const std::string& message = "");
LogLine infoLine(const std::string& format, const std::string& message = "");

std::ostream& operator<<(std::ostream& out, const LogLine& line);

}  // namespace vek::test
