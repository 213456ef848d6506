// The process-wide logger: one table of loggers, one current handle.
#pragma once

#include <atomic>
#include <cstdint>
#include <memory>

#include "log/LogTypes.h"
#include "platform/Compiler.h"

namespace vek::log {

// Holds the host's callback and its maximum level. Always owned through a
// std::shared_ptr, so a delivery racing with a reinstall keeps it alive.
class Logger {
public:
    LogCallback callback = nullptr;
    std::atomic<int32_t> maxLevel{0};
    uint64_t startTimeNs = 0;

    // Hands the format text, its arguments and the time since creation to the
    // callback when `level` is at most maxLevel.
    void log(int32_t level, const char* format, ...) const;
};

// Names a registered logger; 0 names none.
using LogHandle = uint64_t;

// Error code of createLogger for a level outside 1..5.
constexpr uint64_t VEK_LOG_ERROR_INVALID_LEVEL = 11003;

// Drops the current logger and makes a new one current. False when the level
// was refused (the old logger is gone all the same).
bool installProcessLogger(LogCallback callback, int32_t level);

// Makes a logger and registers it unless the level is refused; `errorCode`
// receives 0 or VEK_LOG_ERROR_INVALID_LEVEL.
LogHandle createLogger(LogCallback callback, int32_t level, uint64_t* errorCode = nullptr);

// Enters a logger in the table and returns its handle.
LogHandle registerLogger(std::shared_ptr<Logger> logger);

// The logger a handle names, or an empty pointer.
std::shared_ptr<Logger> getLogger(LogHandle handle);

// As getLogger, but empty also when the logger's maximum level does not
// admit `level`: a message filtered out costs no reference count step.
std::shared_ptr<Logger> getLoggerAdmitting(LogHandle handle, int32_t level);

// The handle of the logger every logging statement uses.
LogHandle currentLoggerHandle();

// The maximum level of the current logger, 0 when there is none. Set by
// installProcessLogger next to the handle, so a statement whose level no
// logger admits ends here, without the table's mutex.
extern std::atomic<int32_t> currentMaxLevel;

}  // namespace vek::log
