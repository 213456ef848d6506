// SPDX-FileCopyrightText: 2026 The VekGpuKalderExtensions Authors
// SPDX-License-Identifier: Apache-2.0
#include "LogSink.h"

#include <cstdio>

#include "log/LogTypes.h"

namespace vek::host {
namespace {

std::vector<LogMessage> messages;
int32_t printing = 0;
bool keepingEverything = true;

}  // namespace

const char* levelName(uint32_t level) {
    static const char* const kNames[] = {"?", "ERROR", "WARN", "INFO", "VERBOSE", "DEBUG"};
    return level <= 5 ? kNames[level] : "?";
}

void printLogMessage(const char* formatText, uint32_t level, uint64_t timestamp, va_list args) {
    std::string message = log::formatLogMessage(formatText, args);
    if (static_cast<int32_t>(level) <= printing) {
        std::fprintf(stderr, "[%11.6f s] %-5s %s\n", static_cast<double>(timestamp) / 1e9, levelName(level),
                     message.c_str());
    }
    if (keepingEverything || level == VEK_LOG_LEVEL_ERROR) messages.push_back(LogMessage{level, std::move(message)});
}

void setLogPrinting(int32_t level) { printing = level; }
void setLogKeeping(bool everything) { keepingEverything = everything; }

const std::vector<LogMessage>& loggedMessages() { return messages; }
void forgetLoggedMessages() { messages.clear(); }

}  // namespace vek::host
