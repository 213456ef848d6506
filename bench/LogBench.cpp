// SPDX-FileCopyrightText: 2026 The VekGpuKalderExtensions Authors
// SPDX-License-Identifier: Apache-2.0
// What one logging statement costs when filtered out by level and when
// delivered, beside an uncontended std::mutex lock and unlock.
#include <benchmark/benchmark.h>

#include <mutex>

#include "log/Log.h"

namespace vek::bench {
namespace {

void discardLog(const char*, uint32_t, uint64_t, va_list) {}

void MutexLockUnlock(benchmark::State& state) {
    static std::mutex mutex;
    for (auto _ : state) {
        mutex.lock();
        mutex.unlock();
        benchmark::ClobberMemory();
    }
}
BENCHMARK(MutexLockUnlock);

void LogFilteredOut(benchmark::State& state) {
    if (state.thread_index() == 0) log::installProcessLogger(&discardLog, VEK_LOG_LEVEL_ERROR);
    for (auto _ : state) VEK_LOG(VEK_LOG_LEVEL_INFO, "Graph name: %s", "model_graph_0000001");
}
BENCHMARK(LogFilteredOut)->Threads(1)->Threads(2);

void LogDelivered(benchmark::State& state) {
    if (state.thread_index() == 0) log::installProcessLogger(&discardLog, VEK_LOG_LEVEL_INFO);
    for (auto _ : state) VEK_LOG(VEK_LOG_LEVEL_INFO, "Graph name: %s", "model_graph_0000001");
}
BENCHMARK(LogDelivered)->Threads(1)->Threads(2);

}  // namespace
}  // namespace vek::bench
