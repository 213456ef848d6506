#include "LogCapture.h"

#include <cstdio>
#include <mutex>
#include <ostream>

namespace vek::test {
namespace {

std::mutex linesMutex;
std::vector<LogLine> lines;

LogLine makeLine(uint32_t level, const std::string& format, const std::string& message) {
    return LogLine{level, format, message.empty() ? format : message, 0};
}

}  // namespace

void captureLog(const char* format, uint32_t level, uint64_t timestamp, va_list args) {
    va_list copy;
    va_copy(copy, args);
    const int length = std::vsnprintf(nullptr, 0, format, copy);
    va_end(copy);
    std::string message(length > 0 ? static_cast<size_t>(length) : 0, '\0');
    std::vsnprintf(message.data(), message.size() + 1, format, args);
    std::lock_guard<std::mutex> lock(linesMutex);
    lines.push_back(LogLine{level, format, message, timestamp});
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

LogLine errorLine(const std::string& format, const std::string& message) {
    return makeLine(VEK_LOG_LEVEL_ERROR, format, message);
}
LogLine warnLine(const std::string& format, const std::string& message) {
    return makeLine(VEK_LOG_LEVEL_WARN, format, message);
}
LogLine infoLine(const std::string& format, const std::string& message) {
    return makeLine(VEK_LOG_LEVEL_INFO, format, message);
}

std::ostream& operator<<(std::ostream& out, const LogLine& line) {
    return out << "{level " << line.level << ", format \"" << line.format << "\", message \"" << line.message << "\"}";
}

}  // namespace vek::test
