// SPDX-FileCopyrightText: 2026 The VekGpuKalderExtensions Authors
// SPDX-License-Identifier: Apache-2.0
// The one logging statement of the plug-in:
//   VEK_LOG(VEK_LOG_LEVEL_ERROR, "Cannot open file %s", path.c_str());
// Takes the current logger, and when its maximum level admits the message,
// hands it the level, the format text and the arguments. Does nothing when no
// logger is installed. Arguments must be what printf takes: numbers and C
// strings, never a std::string.
#pragma once

#include <type_traits>

#include "log/Logger.h"
#include "platform/Compiler.h"

namespace vek::log {

// Never called: lets the compiler check the format text against its arguments.
VEK_PRINTF_FORMAT(1, 2) inline void checkFormat(const char*, ...) {}

template <typename... Args>
void logStatement(int32_t level, const char* format, Args... args) {
    static_assert(((std::is_arithmetic_v<Args> || std::is_pointer_v<Args>)&&...),
                  "log arguments must be numbers or pointers, as printf takes them");
    const LogHandle handle = admittingLogger(level);
    if (handle == 0) return;
    if (const std::shared_ptr<Logger> logger = getLogger(handle)) logger->log(level, format, args...);
}

}  // namespace vek::log

#define VEK_LOG(level, ...)                                                  \
    do {                                                                     \
        VEK_FORMAT_CHECK_BEGIN                                               \
        if (false) ::vek::log::checkFormat(__VA_ARGS__);                     \
        VEK_FORMAT_CHECK_END                                                 \
        ::vek::log::logStatement(level, __VA_ARGS__);                        \
    } while (false)
