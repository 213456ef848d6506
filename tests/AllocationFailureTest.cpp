// SPDX-FileCopyrightText: 2026 The VekGpuKalderExtensions Authors
// SPDX-License-Identifier: Apache-2.0
// Out of memory at any allocation. A host's whole sequence of hooks runs once
// for every allocation it makes, failing that one allocation (k = 1, 2, ...
// until the sequence ends before reaching k), each in a child process. Every
// run must end without a crash, with each hook either answering false after
// an error message or answering true with records equal to those of a run
// with memory to spare, and with every block allocated freed again.
//
// The test program replaces malloc, calloc, realloc and free on Linux: glibc's
// own entry points do the work, or, under a sanitizer, the sanitizer's, so
// that it still sees every block.
#include <gtest/gtest.h>

#include <sys/wait.h>
#include <unistd.h>

#include <cstring>
#include <new>
#include <string>

#include "support/Plugin.h"
#include "support/RecordCheck.h"
#include "support/TempFiles.h"

// The build says when a sanitizer is beneath (this file itself is built
// without one, so the compiler's own macros do not tell).
#ifdef VEK_SANITIZER_HEAP
#define VEK_HEAP(name) __interceptor_##name
#endif
#ifdef VEK_HEAP
constexpr bool kSanitized = true;
#else
constexpr bool kSanitized = false;
#define VEK_HEAP(name) __libc_##name
#endif
extern "C" void* VEK_HEAP(malloc)(size_t);
extern "C" void* VEK_HEAP(realloc)(void*, size_t);
extern "C" void VEK_HEAP(free)(void*);

namespace {

// Counting happens only while a hook runs (armed), so the harness's own
// allocations never fail and are never counted.
bool armed = false;
long allocations = 0;  // counted while armed
long failAt = -1;      // the allocation to fail, from 1
bool failed = false;   // failAt was reached

// The blocks allocated while armed and not yet freed, in static memory so
// keeping them needs no allocation.
void* live[1 << 16];
size_t liveCount = 0;

void forget(void* block) {
    for (size_t i = 0; i < liveCount; ++i) {
        if (live[i] == block) {
            live[i] = live[--liveCount];
            return;
        }
    }
}

void* counted(void* block) {
    if (armed && block != nullptr && liveCount < std::size(live)) live[liveCount++] = block;
    return block;
}

bool failNow() {
    if (!armed || ++allocations != failAt) return false;
    return failed = true;
}

}  // namespace

// Visible to the plug-in, whatever visibility the build gives the program's
// own symbols (clang applies -fvisibility=hidden to these definitions too).
#define VEK_REPLACES [[gnu::visibility("default")]]
extern "C" VEK_REPLACES void* malloc(size_t size) { return failNow() ? nullptr : counted(VEK_HEAP(malloc)(size)); }
extern "C" VEK_REPLACES void* calloc(size_t count, size_t size) {
    if (size != 0 && count > SIZE_MAX / size) return nullptr;
    void* block = malloc(count * size);
    if (block != nullptr) std::memset(block, 0, count * size);
    return block;
}
extern "C" VEK_REPLACES void* realloc(void* block, size_t size) {
    if (block == nullptr) return malloc(size);
    if (failNow()) return nullptr;
    void* moved = VEK_HEAP(realloc)(block, size);
    if (moved != nullptr) forget(block);
    return counted(moved);
}
extern "C" VEK_REPLACES void free(void* block) {
    if (block != nullptr) forget(block);
    VEK_HEAP(free)(block);
}
// libstdc++'s operator new calls malloc; a sanitizer's does not, so new and
// delete are replaced too.
VEK_REPLACES void* operator new(size_t size) {
    if (void* block = malloc(size == 0 ? 1 : size)) return block;
    throw std::bad_alloc();
}
VEK_REPLACES void* operator new[](size_t size) { return operator new(size); }
VEK_REPLACES void* operator new(size_t size, const std::nothrow_t&) noexcept { return malloc(size == 0 ? 1 : size); }
VEK_REPLACES void* operator new[](size_t size, const std::nothrow_t&) noexcept { return malloc(size == 0 ? 1 : size); }
VEK_REPLACES void operator delete(void* block) noexcept { free(block); }
VEK_REPLACES void operator delete[](void* block) noexcept { free(block); }
VEK_REPLACES void operator delete(void* block, size_t) noexcept { free(block); }
VEK_REPLACES void operator delete[](void* block, size_t) noexcept { free(block); }

namespace vek::test {
namespace {

using namespace tools::kalder;

// Error messages seen while a hook ran, counted without allocating.
int errorsLogged = 0;
void countErrors(const char*, uint32_t level, uint64_t, va_list) { errorsLogged += level == VEK_LOG_LEVEL_ERROR; }

struct Outcome {
    bool consistent = true;  // every hook that met the failure said why
    bool answeredFalse = false;
    std::string records;     // each hook's final answer and the records read
};

// One hook call, armed. The call that meets the failed allocation may answer
// false, after an error message when `tells`; called again, with memory to
// spare, it must answer as with memory to spare (the answers are part of the
// records held against the reference run).
template <typename Call>
bool hook(Outcome& outcome, bool tells, Call call) {
    const bool failedBefore = failed;
    const int errorsBefore = errorsLogged;
    auto armedCall = [&] {
        armed = true;
        const bool answer = call();
        armed = false;
        return answer;
    };
    bool answer = armedCall();
    if (!answer && failed && !failedBefore) {
        outcome.answeredFalse = true;
        if (tells && errorsLogged == errorsBefore) outcome.consistent = false;
        answer = armedCall();
    }
    outcome.records += answer ? "+" : "-";
    return answer;
}

void readOptions(Outcome& outcome, ConfigList list, uint32_t count, gpu::KeyTarget kind) {
    Problems problems;
    for (const Option& option : readOptionList(list, count, kind, problems)) outcome.records += option.value + ";";
    outcome.consistent = outcome.consistent && problems.empty();
}

// The host's whole sequence on a fresh object; the records it reads, as text.
Outcome hostSequence(const std::string& config, platform::LibraryHandle backendLibrary) {
    Outcome outcome;
    IBackend* backend = nullptr;
    if (!hook(outcome, false, [&] { return (backend = Plugin::instance().create()) != nullptr; })) return outcome;
    hook(outcome, false, [&] { return backend->installLogger(&countErrors, VEK_LOG_LEVEL_INFO); });
    hook(outcome, true, [&] { return backend->bindBackendLibrary(backendLibrary); });
    std::string paths[2] = {config, config};  // the host's own copies, made before the calls
    int path = 0;
    hook(outcome, true, [&] { return backend->loadConfigFile(std::move(paths[path++])); });
    ConfigList list = nullptr;
    uint32_t count = 0;
    if (hook(outcome, true, [&] { return backend->getBackendConfigs(&list, &count); })) {
        readOptions(outcome, list, count, gpu::KeyTarget::BackendOption);
        hook(outcome, true, [&] { return backend->releaseBackendConfigs(list, count); });
    }
    if (hook(outcome, true, [&] { return backend->getContextConfigs(&list, &count); })) {
        readOptions(outcome, list, count, gpu::KeyTarget::ContextOption);
        hook(outcome, true, [&] { return backend->releaseContextConfigs(list, count); });
    }
    GraphConfigList graphs = nullptr;
    if (hook(outcome, true, [&] { return backend->getGraphConfigs(&graphs, &count); })) {
        Problems problems;
        std::string block;
        for (const std::string& name : readGraphList(graphs, count, block, problems)) outcome.records += name + ";";
        outcome.records += block;
        outcome.consistent = outcome.consistent && problems.empty();
        hook(outcome, true, [&] { return backend->releaseGraphConfigs(graphs, count); });
    }
    DeviceConfigList devices = nullptr;
    count = 0;
    if (hook(outcome, true, [&] { return backend->getDeviceConfigs(&devices, &count); }) && count > 0) {
        Problems problems;
        outcome.records += ";device " + std::to_string(readDeviceList(devices, count, problems).hwDeviceId);
    }
    hook(outcome, false, [&] {
        Plugin::instance().destroy(backend);
        return true;
    });
    return outcome;
}

// What became of the sequence failing allocation k, in a child process.
enum Verdict { Passed = 0, Inconsistent = 1, Leaked = 2, NotReached = 3, Crashed = 4, AnsweredFalse = 8 };

int runFailing(long k, const std::string& config, platform::LibraryHandle backendLibrary, const std::string& reference) {
    std::fflush(nullptr);  // nothing buffered is written twice
    const pid_t child = fork();
    if (child == 0) {
        failAt = k;
        allocations = 0;
        const Outcome outcome = hostSequence(config, backendLibrary);
        // The logger installed in the run stays current; replacing it (with
        // memory to spare) frees it, so what is left is what leaked.
        Plugin::instance().create()->installLogger(&countErrors, VEK_LOG_LEVEL_INFO);
        const int answered = outcome.answeredFalse ? AnsweredFalse : 0;
        if (!failed) _exit(NotReached);
        if (!outcome.consistent || outcome.records != reference) _exit(Inconsistent | answered);
        _exit((liveCount > 0 ? Leaked : Passed) | answered);
    }
    int status = 0;
    waitpid(child, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : Crashed;
}

// Fails allocation 1, 1 + stride, ... of the sequence until it ends first;
// every run must pass.
void failEveryAllocation(const std::string& name, const std::string& config, long stride) {
    platform::LibraryHandle backendLibrary = loadTestLibrary(VEK_SUBSTITUTE_BACKEND_PATH);
    const std::string reference = hostSequence(config, backendLibrary).records;  // also makes one-time allocations
    liveCount = 0;  // what the children count starts empty
    int points = 0, falseAnswers = 0;
    for (long k = 1;; k += stride, ++points) {
        const int verdict = runFailing(k, config, backendLibrary, reference);
        if (verdict == NotReached) break;
        falseAnswers += (verdict & AnsweredFalse) != 0;
        const int what = verdict & ~AnsweredFalse;
        EXPECT_EQ(what, Passed) << name << ", allocation " << k << ": "
                                << (what == Crashed ? "crashed" : what == Leaked ? "leaked" : "inconsistent");
    }
    std::printf("%s: %d allocation points failed, %d hooks answered false\n", name.c_str(), points, falseAnswers);
    EXPECT_GT(points, 0) << name;
}

// Every allocation of the bundled examples, of files that take the plug-in
// through every kind of key and through its refusals, and of an indexed
// object, and a sample of a large file. RapidJSON 1.1.0 and its current
// sources allocate differently (the current ones also inside the schema
// code, while validating): CI runs this test built against each.
TEST(AllocationFailures, EveryAllocationPoint) {
    for (const char* example : {"example.json", "tuning.json", "fp16-two-graphs.json", "kernel-repo.json", "device-selection.json"}) {
        failEveryAllocation(example, std::string(VEK_EXAMPLES_DIR) + "/" + example, 1);
    }
    // Every key kind (list, enum, booleans, texts, integer), a repeated key
    // and an unknown key the plug-in ignores.
    failEveryAllocation("every key kind", writeTempFile(R"({"graph_names": ["a", "b"], "precision_mode": "fp16",
        "disable_memory_optimizations": true, "disable_node_optimizations": false, "disable_queue_recording": true,
        "tuning_mode": true, "performance_cache_dir": "c", "invalidate_performance_cache": true, "weight_sharing": false,
        "disable_kernel_profiling": true, "perf_hint": "low", "kernel_repo_path": "k", "invalidate_kernel_repo": true,
        "device_id": 2, "perf_hint": "high", "extra": null})"), 1);
    // The refusals: an unknown key, a missing dependency, a wrong type deep
    // in a list. Each builds the schema error report.
    failEveryAllocation("an unknown key", writeTempFile(R"({"graph_names": "g", "tunning_mode": true})"), 1);
    failEveryAllocation("a missing dependency", writeTempFile(R"({"graph_names": [], "invalidate_kernel_repo": true})"), 1);
    failEveryAllocation("a wrong type", writeTempFile(R"({"graph_names": ["a", 2], "perf_hint": "max"})"), 1);
    std::string large = R"({"graph_names": [)";
    for (int i = 0; i < 5000; ++i) large += (i > 0 ? ",\"graph-" : "\"graph-") + std::to_string(i) + "\"";
    large += R"(], "tuning_mode": true, "performance_cache_dir": "cache", "perf_hint": "low", "device_id": 2})";
    // Under a sanitizer every child costs far more; the other files still
    // fail every allocation there.
    failEveryAllocation("5,000 graph names, a sample", writeTempFile(large), kSanitized ? 31 : 7);
    // An object large enough for the first-member index, names repeated.
    std::string members = R"({"graph_names": ["g"])";
    for (int i = 0; i < 40; ++i) members += ",\"x_graph_names_" + std::to_string(i % 25) + "\": \"n" + std::to_string(i) + "\"";
    failEveryAllocation("an indexed object of 41 members", writeTempFile(members + "}"), 1);
}

}  // namespace
}  // namespace vek::test
