#include "LogSink.h"

#include <cstdio>
#include <cstring>

namespace vek::host {
namespace {

Diagnostics collected;

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

void keep(const char* formatText, const std::string& message) {
    static const char kSchemaError[] = "Schema error:\n";
    static const char kUnsupported[] = "Unsupported key: ";
    if (std::strcmp(formatText, "Schema error:\n%s") == 0) {
        collected.schemaReports.push_back(message.substr(sizeof kSchemaError - 1));
    } else if (std::strcmp(formatText, "Unsupported key: %s") == 0) {
        collected.unsupportedKeys.push_back(message.substr(sizeof kUnsupported - 1));
    }
}

}  // namespace

void printLogMessage(const char* formatText, uint32_t level, uint64_t timestamp, va_list args) {
    const std::string message = format(formatText, args);
    std::fprintf(stderr, "[%11.6f s] %-5s %s\n", static_cast<double>(timestamp) / 1e9, levelName(level),
                 message.c_str());
    keep(formatText, message);
}

const Diagnostics& diagnostics() { return collected; }

}  // namespace vek::host
