// SPDX-FileCopyrightText: 2026 The VekGpuKalderExtensions Authors
// SPDX-License-Identifier: Apache-2.0
// Host log callbacks: one that records every message it receives, one that
// only formats it (so a format text its arguments do not match shows).
#pragma once

#include <cstdint>
#include <iosfwd>
#include <string>
#include <vector>

#include "BackendExtensions/IBackend.h"

namespace vek::test {

struct LogLine {
    uint32_t level;
    std::string format;   // the format text as received
    std::string message;  // formatted with the arguments
    uint64_t timestamp;

    bool operator==(const LogLine& other) const {
        return level == other.level && format == other.format && message == other.message;
    }
};

void captureLog(const char* format, uint32_t level, uint64_t timestamp, va_list args);
void formatLog(const char* format, uint32_t level, uint64_t timestamp, va_list args);

// Lines recorded since the last clear.
std::vector<LogLine> capturedLines();
void clearCapturedLines();

// Installs captureLog at `level` on `backend` and clears the record.
void captureLogsOf(tools::kalder::IBackend& backend, int32_t level = VEK_LOG_LEVEL_DEBUG);

// Expected lines; the message defaults to the format (no arguments).
LogLine errorLine(const std::string& format, const std::string& message = "");
LogLine warnLine(const std::string& format, const std::string& message = "");
LogLine infoLine(const std::string& format, const std::string& message = "");

std::ostream& operator<<(std::ostream& out, const LogLine& line);

}  // namespace vek::test
