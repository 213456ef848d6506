// SPDX-FileCopyrightText: 2026 The VekGpuKalderExtensions Authors
// SPDX-License-Identifier: Apache-2.0
// The host runner's log callback: keeps every message the plug-in delivers,
// formatted, and prints those at or above a chosen level to standard error
// with their level and time stamp.
#pragma once

#include <cstdarg>
#include <cstdint>
#include <string>
#include <vector>

namespace vek::host {

struct LogMessage {
    uint32_t level;
    std::string text;
};

// Prints "[  0.000123 s] ERROR <message>" to standard error when the
// message's level is at most the printing level, and keeps the message.
void printLogMessage(const char* format, uint32_t level, uint64_t timestamp, va_list args);

// The most detailed level printed; 0 prints nothing (messages are still kept).
void setLogPrinting(int32_t level);
// Whether every message is kept (for a JSON result), or only errors (which
// say why a file was refused): a load that logs a line per graph name of a
// large file keeps no copy of them.
void setLogKeeping(bool everything);

// The messages delivered so far, since the last forgetLoggedMessages.
const std::vector<LogMessage>& loggedMessages();
void forgetLoggedMessages();

// "ERROR", "WARN", "INFO", "VERBOSE", "DEBUG".
const char* levelName(uint32_t level);

}  // namespace vek::host
