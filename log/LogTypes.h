// SPDX-FileCopyrightText: 2026 The VekGpuKalderExtensions Authors
// SPDX-License-Identifier: Apache-2.0
// What the host sees of logging: the levels and its callback. Host-includable.
#pragma once

#include <cstdarg>
#include <cstdint>
#include <cstdio>
#include <string>

// A smaller level is more severe. A message is delivered when its level is at
// most the installed maximum level.
constexpr int32_t VEK_LOG_LEVEL_ERROR = 1;
constexpr int32_t VEK_LOG_LEVEL_WARN = 2;
constexpr int32_t VEK_LOG_LEVEL_INFO = 3;
constexpr int32_t VEK_LOG_LEVEL_VERBOSE = 4;
constexpr int32_t VEK_LOG_LEVEL_DEBUG = 5;

namespace vek::log {

// The host's log function. The plug-in formats nothing: `format` is a
// printf-style text (a copy valid for the call only), `args` the argument list
// positioned after it, `timestamp` nanoseconds since the logger was installed.
using LogCallback = void (*)(const char* format, uint32_t level, uint64_t timestamp, va_list args);

// The message a callback is handed, formatted: what a host that shows or
// keeps the messages does with the format text and its arguments.
inline std::string formatLogMessage(const char* format, va_list args) {
    va_list copy;
    va_copy(copy, args);
    const int length = std::vsnprintf(nullptr, 0, format, copy);
    va_end(copy);
    if (length <= 0) return {};
    std::string message(static_cast<size_t>(length), '\0');
    std::vsnprintf(message.data(), message.size() + 1, format, args);
    return message;
}

}  // namespace vek::log
