// SPDX-FileCopyrightText: 2026 The VekGpuKalderExtensions Authors
// SPDX-License-Identifier: Apache-2.0
// The process-wide logger as a host sees it: installed through slot 1 and fed
// by the hooks' messages.
#include <gtest/gtest.h>

#include <atomic>
#include <thread>
#include <vector>

#include "support/LogCapture.h"
#include "support/Plugin.h"
#include "support/TempFiles.h"

namespace vek::test {
namespace {

using tools::kalder::DeviceConfigList;

TEST(Logger, DeliversUpToTheMaximumLevel) {
    BackendPtr backend = makeBackend();  // asks for a device and binds nothing: a warning
    backend->loadConfigFile(writeTempFile(R"({"graph_names": ["g"], "device_id": 3})"));
    BackendPtr fresh = makeBackend();  // asks for no device: an info message
    for (const auto& [maxLevel, delivered] : std::vector<std::pair<int32_t, std::vector<uint32_t>>>{
             {1, {1}}, {2, {1, 2}}, {3, {1, 2, 3}}, {4, {1, 2, 3}}, {5, {1, 2, 3}}}) {
        ASSERT_TRUE(backend->installLogger(&captureLog, maxLevel));
        clearCapturedLines();
        DeviceConfigList list = nullptr;
        uint32_t count = 0;
        backend->getBackendConfigs(nullptr, nullptr);  // an error
        backend->getDeviceConfigs(&list, &count);
        fresh->getDeviceConfigs(&list, &count);
        std::vector<uint32_t> levels;
        for (const LogLine& line : capturedLines()) levels.push_back(line.level);
        EXPECT_EQ(levels, delivered) << "max level " << maxLevel;
    }
}

void otherCallback(const char*, uint32_t, uint64_t, va_list) { FAIL() << "the replaced logger was called"; }

// A refused install (null callback, a level outside 1 to 5) leaves the
// current logger in place; an accepted one replaces it.
TEST(Logger, ReplacementAndRefusedInstall) {
    BackendPtr backend = makeBackend();
    ASSERT_TRUE(backend->installLogger(&otherCallback, VEK_LOG_LEVEL_DEBUG));
    captureLogsOf(*backend);
    EXPECT_FALSE(backend->installLogger(nullptr, VEK_LOG_LEVEL_INFO));
    for (int32_t level : {0, 6, -1, INT32_MIN, INT32_MAX}) EXPECT_FALSE(backend->installLogger(&otherCallback, level));
    backend->getBackendConfigs(nullptr, nullptr);
    EXPECT_EQ(capturedLines(), std::vector<LogLine>{errorLine("Invalid backend config args")});
    // Counted in whole 100 ns ticks from this logger's installation, not from 1970.
    EXPECT_LT(capturedLines()[0].timestamp, 60'000'000'000u);
    EXPECT_EQ(capturedLines()[0].timestamp % 100, 0u);
}

// A callback that calls back into the plug-in, which logs again.
std::atomic<IBackend*> reentrantBackend{nullptr};
thread_local int callbackDepth = 0;
std::atomic<uint64_t> delivered{0};

void reentrantCallback(const char*, uint32_t, uint64_t, va_list) {
    delivered.fetch_add(1);
    if (callbackDepth > 0) return;
    ++callbackDepth;
    if (IBackend* backend = reentrantBackend.load()) backend->getContextConfigs(nullptr, nullptr);
    --callbackDepth;
}

// Workers log while the logger is reinstalled under them; every callback logs
// again through another object. Under ThreadSanitizer this shows any race.
TEST(Logger, ThreadsLogWhileAnotherReinstalls) {
    BackendPtr installer = makeBackend();
    BackendPtr shared = makeBackend();
    reentrantBackend = shared.get();
    ASSERT_TRUE(installer->installLogger(&reentrantCallback, VEK_LOG_LEVEL_INFO));

    std::atomic<bool> stop{false};
    std::atomic<int> rounds[4] = {};
    std::vector<std::thread> loggers;
    for (auto& round : rounds) {
        loggers.emplace_back([&stop, &round] {
            BackendPtr own = makeBackend();
            while (!stop.load()) {
                own->getGraphConfigs(nullptr, nullptr);  // an error: every logger admits it
                round.fetch_add(1);
            }
        });
    }
    auto everyWorkerLogs = [&rounds] {
        int seen[4];
        for (int t = 0; t < 4; ++t) seen[t] = rounds[t].load();
        for (int t = 0; t < 4; ++t) {
            while (rounds[t].load() < seen[t] + 2) std::this_thread::yield();
        }
    };
    everyWorkerLogs();
    for (int i = 0; i < 2000; ++i) ASSERT_TRUE(installer->installLogger(&reentrantCallback, 1 + i % 5));
    const uint64_t before = delivered.load();
    everyWorkerLogs();  // each worker logs again, now to the last logger installed
    stop = true;
    for (std::thread& thread : loggers) thread.join();
    EXPECT_GT(delivered.load(), before);
    reentrantBackend = nullptr;
}

}  // namespace
}  // namespace vek::test
