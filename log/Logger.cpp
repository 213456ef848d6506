#include "log/Logger.h"

#include <mutex>
#include <new>
#include <string>
#include <unordered_map>

#include "platform/Clock.h"

namespace vek::log {
namespace {

// Handles are logger addresses with their bytes reversed, XORed with this.
constexpr uint64_t kHandleMask = 0x9E3779B97F4A7C15ull;

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

// Written only by installProcessLogger, read by every logging statement.
// Atomic so a statement on another thread reads a whole value.
std::atomic<LogHandle> currentHandle{0};

// Constructed at load time so no hook ever runs before the table exists.
[[maybe_unused]] const bool tableReady = (table(), true);

uint64_t reverseBytes(uint64_t value) {
    uint64_t reversed = 0;
    for (int i = 0; i < 8; ++i) {
        reversed = (reversed << 8) | (value & 0xFFu);
        value >>= 8;
    }
    return reversed;
}

}  // namespace

std::atomic<int32_t> currentMaxLevel{0};

void Logger::log(int32_t level, const char* format, ...) const {
    if (callback == nullptr) return;
    if (level > maxLevel.load()) return;
    const std::string formatCopy(format);
    const uint64_t timestamp = platform::wallClockNs() - startTimeNs;
    va_list args;
    va_start(args, format);
    callback(formatCopy.c_str(), static_cast<uint32_t>(level), timestamp, args);
    va_end(args);
}

bool installProcessLogger(LogCallback callback, int32_t level) {
    const LogHandle previous = currentHandle.load();
    if (previous != 0) {
        LoggerTable& t = table();
        std::lock_guard<std::mutex> lock(t.mutex);
        t.loggers.erase(previous);
    }
    uint64_t errorCode = 0;
    const LogHandle handle = createLogger(callback, level, &errorCode);
    currentHandle.store(handle);
    // A handle that names no logger (refused level, failed allocation) admits nothing.
    const std::shared_ptr<Logger> current = getLogger(handle);
    currentMaxLevel.store(current ? current->maxLevel.load() : 0);
    return errorCode == 0;
}

LogHandle createLogger(LogCallback callback, int32_t level, uint64_t* errorCode) {
    Logger* raw = new (std::nothrow) Logger;
    if (raw != nullptr) {
        raw->callback = callback;
        raw->maxLevel.store(level);
        raw->startTimeNs = platform::wallClockNs();
    }
    const bool levelValid = level >= VEK_LOG_LEVEL_ERROR && level <= VEK_LOG_LEVEL_DEBUG;
    if (errorCode != nullptr) *errorCode = levelValid ? 0 : VEK_LOG_ERROR_INVALID_LEVEL;
    std::shared_ptr<Logger> logger(raw);
    if (errorCode == nullptr || *errorCode == 0) return registerLogger(logger);
    return 0;
}

LogHandle registerLogger(std::shared_ptr<Logger> logger) {
    LoggerTable& t = table();
    std::lock_guard<std::mutex> lock(t.mutex);
    if (!logger) return kHandleMask;
    const LogHandle handle = reverseBytes(reinterpret_cast<uintptr_t>(logger.get())) ^ kHandleMask;
    t.loggers[handle] = std::move(logger);
    return handle;
}

std::shared_ptr<Logger> getLogger(LogHandle handle) {
    LoggerTable& t = table();
    std::lock_guard<std::mutex> lock(t.mutex);
    const auto found = t.loggers.find(handle);
    return found != t.loggers.end() ? found->second : std::shared_ptr<Logger>();
}

std::shared_ptr<Logger> getLoggerAdmitting(LogHandle handle, int32_t level) {
    LoggerTable& t = table();
    std::lock_guard<std::mutex> lock(t.mutex);
    const auto found = t.loggers.find(handle);
    if (found == t.loggers.end() || found->second->maxLevel.load() < level) return {};
    return found->second;
}

LogHandle currentLoggerHandle() { return currentHandle.load(); }

}  // namespace vek::log
