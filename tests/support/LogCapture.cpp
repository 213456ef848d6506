// SPDX-FileCopyrightText: 2026 The VekGpuKalderExtensions Authors
// SPDX-License-Identifier: Apache-2.0
#include "LogCapture.h"

#include <cstdio>
#include <cstdlib>
#include <mutex>
#include <ostream>

namespace vek::test {
namespace {

std::mutex linesMutex;
std::vector<LogLine> lines;

LogLine line(uint32_t level, const std::string& format, const std::string& message) {
    return LogLine{level, format, message.empty() ? format : message, 0};
}

}  // namespace

void captureLog(const char* text, uint32_t level, uint64_t timestamp, va_list args) {
    LogLine captured{level, text, log::formatLogMessage(text, args), timestamp};
    std::lock_guard<std::mutex> lock(linesMutex);
    lines.push_back(std::move(captured));
}

void formatLog(const char* text, uint32_t level, uint64_t, va_list args) {
    if (level < 1 || level > 5) std::abort();
    log::formatLogMessage(text, args);
}

std::vector<LogLine> capturedLines() {
    std::lock_guard<std::mutex> lock(linesMutex);
    return lines;
}

void clearCapturedLines() {
    std::lock_guard<std::mutex> lock(linesMutex);
    lines.clear();
}

void captureLogsOf(tools::kalder::IBackend& backend, int32_t level) {
    backend.installLogger(&captureLog, level);
    clearCapturedLines();
}

LogLine errorLine(const std::string& format, const std::string& message) { return line(1, format, message); }
LogLine warnLine(const std::string& format, const std::string& message) { return line(2, format, message); }
LogLine infoLine(const std::string& format, const std::string& message) { return line(3, format, message); }

std::ostream& operator<<(std::ostream& out, const LogLine& line) {
    return out << "{level " << line.level << ", \"" << line.format << "\", \"" << line.message << "\"}";
}

}  // namespace vek::test
