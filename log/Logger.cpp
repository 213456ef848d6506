// SPDX-FileCopyrightText: 2026 The VekGpuKalderExtensions Authors
// SPDX-License-Identifier: Apache-2.0
#include "log/Logger.h"

#include <cstring>
#include <mutex>
#include <new>
#include <unordered_map>

#include "platform/Clock.h"

namespace vek::log {
namespace {

// What createLogger reports for a level outside 1..5.
constexpr uint64_t kInvalidLevelError = 11003;

// A handle is a key into the table, never an address to follow: a statement
// holding a stale one (it raced with a reinstall) can only miss in the table,
// it can never reach a freed logger. The address's bytes are reversed and
// masked so the value is never taken for, or used as, the logger's address.
constexpr uint64_t kHandleMask = 0x9E3779B97F4A7C15ull;

uint64_t reverseBytes(uint64_t value) {
    uint64_t reversed = 0;
    for (int i = 0; i < 8; ++i) {
        reversed = (reversed << 8) | (value & 0xFFu);
        value >>= 8;
    }
    return reversed;
}

// Every logger of the process, under one mutex. The mutex is held only to
// enter, find or remove a logger, never while a callback runs.
struct LoggerTable {
    std::mutex mutex;
    std::unordered_map<LogHandle, std::shared_ptr<Logger>> loggers;
};

LoggerTable& table() {
    static LoggerTable instance;
    return instance;
}

// Constructed at load time so no hook ever runs before the table exists.
[[maybe_unused]] const bool tableReady = (table(), true);

// The current logger and its maximum level (0 while none is current). Written
// only by installProcessLogger; atomic so a statement on another thread reads
// whole values.
std::atomic<LogHandle> currentLoggerHandle{0};
std::atomic<int32_t> currentMaxLevel{0};

// Enters a logger in the table and returns its handle. An empty pointer is
// not entered; its handle is the mask, which names nothing.
LogHandle registerLogger(std::shared_ptr<Logger> logger) {
    LoggerTable& t = table();
    std::lock_guard<std::mutex> lock(t.mutex);
    if (!logger) return kHandleMask;
    const LogHandle handle = reverseBytes(reinterpret_cast<uintptr_t>(logger.get())) ^ kHandleMask;
    t.loggers[handle] = std::move(logger);
    return handle;
}

// Makes a logger and registers it unless the level is refused. A logger that
// cannot be allocated is registered as nothing.
LogHandle createLogger(LogCallback callback, int32_t level, uint64_t* errorCode) {
    Logger* raw = new (std::nothrow) Logger;
    if (raw != nullptr) {
        raw->callback = callback;
        raw->maxLevel.store(level);
        raw->startTimeNs = platform::wallClockNs();
    }
    const bool levelValid = level >= VEK_LOG_LEVEL_ERROR && level <= VEK_LOG_LEVEL_DEBUG;
    if (errorCode != nullptr) *errorCode = levelValid ? 0 : kInvalidLevelError;
    std::shared_ptr<Logger> logger(raw);
    if (errorCode == nullptr || *errorCode == 0) return registerLogger(logger);
    return 0;
}

}  // namespace

void Logger::log(int32_t level, const char* format, ...) const {
    if (callback == nullptr) return;
    const size_t size = std::strlen(format) + 1;
    const std::unique_ptr<char[]> formatCopy(new (std::nothrow) char[size]);
    if (!formatCopy) return;
    std::memcpy(formatCopy.get(), format, size);
    const uint64_t timestamp = platform::wallClockNs() - startTimeNs;
    va_list args;
    va_start(args, format);
    callback(formatCopy.get(), static_cast<uint32_t>(level), timestamp, args);
    va_end(args);
}

bool installProcessLogger(LogCallback callback, int32_t level) {
    // No statement is admitted while the loggers change hands (see admittingLogger).
    currentMaxLevel.store(0);
    const LogHandle previous = currentLoggerHandle.load();
    if (previous != 0) {
        LoggerTable& t = table();
        std::lock_guard<std::mutex> lock(t.mutex);
        t.loggers.erase(previous);
    }
    uint64_t errorCode = 0;
    const LogHandle handle = createLogger(callback, level, &errorCode);
    currentLoggerHandle.store(handle);
    if (const std::shared_ptr<Logger> current = getLogger(handle)) currentMaxLevel.store(current->maxLevel.load());
    return errorCode == 0;
}

std::shared_ptr<Logger> getLogger(LogHandle handle) {
    LoggerTable& t = table();
    std::lock_guard<std::mutex> lock(t.mutex);
    const auto found = t.loggers.find(handle);
    return found != t.loggers.end() ? found->second : std::shared_ptr<Logger>();
}

LogHandle admittingLogger(int32_t level) {
    // The handle first, then the level: installProcessLogger clears the level
    // before it replaces the handle and sets it after, so the level read here
    // is that of the logger the handle names, or 0, or that logger has
    // already left the table and getLogger finds nothing.
    const LogHandle handle = currentLoggerHandle.load();
    return level <= currentMaxLevel.load() ? handle : 0;
}

}  // namespace vek::log
