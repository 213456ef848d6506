// SPDX-FileCopyrightText: 2026 The VekGpuKalderExtensions Authors
// SPDX-License-Identifier: Apache-2.0
// The process-wide logger: the host's callback and maximum level, kept in one
// table under one mutex, and the current logger every statement delivers to.
#pragma once

#include <atomic>
#include <cstdint>
#include <memory>

#include "log/LogTypes.h"

namespace vek::log {

// Holds the host's callback and its maximum level. Always owned through a
// std::shared_ptr, so a delivery racing with a reinstall keeps it alive.
class Logger {
public:
    LogCallback callback = nullptr;
    std::atomic<int32_t> maxLevel{0};
    uint64_t startTimeNs = 0;

    // Hands a copy of the format text, its arguments and the time since
    // creation to the callback. The level was checked by the statement
    // (admittingLogger). A format text that cannot be copied, for want of
    // memory, drops the message.
    void log(int32_t level, const char* format, ...) const;
};

// Names a registered logger; 0 names none.
using LogHandle = uint64_t;

// Drops the current logger and makes a new one current. False when the level
// is outside 1..5 (the old logger is gone all the same). Throws
// std::bad_alloc when the table cannot take the new logger.
bool installProcessLogger(LogCallback callback, int32_t level);

// The logger a handle names, or an empty pointer.
std::shared_ptr<Logger> getLogger(LogHandle handle);

// The handle of the current logger when its maximum level admits `level`,
// else 0. The one level check of a logging statement: a message no logger
// admits ends here, at two atomic loads, without the table's mutex.
LogHandle admittingLogger(int32_t level);

}  // namespace vek::log
