#include "LogSink.h"

#include <cstdio>

namespace vek::host {
namespace {

std::vector<std::string> errors;
bool quietLog = false;

const char* levelName(uint32_t level) {
    static const char* const kNames[] = {"?", "ERROR", "WARN", "INFO", "VERBOSE", "DEBUG"};
    return level <= 5 ? kNames[level] : "?";
}

std::string format(const char* text, va_list args) {
    va_list copy;
    va_copy(copy, args);
    const int length = std::vsnprintf(nullptr, 0, text, copy);
    va_end(copy);
    if (length <= 0) return {};
    std::string message(static_cast<size_t>(length), '\0');
    std::vsnprintf(message.data(), message.size() + 1, text, args);
    return message;
}

}  // namespace

void printLogMessage(const char* formatText, uint32_t level, uint64_t timestamp, va_list args) {
    const std::string message = format(formatText, args);
    if (!quietLog) {
        std::fprintf(stderr, "[%11.6f s] %-5s %s\n", static_cast<double>(timestamp) / 1e9, levelName(level),
                     message.c_str());
    }
    if (level == 1) errors.push_back(message);
}

void setLogQuiet(bool quiet) { quietLog = quiet; }

const std::vector<std::string>& loggedErrors() { return errors; }

}  // namespace vek::host
