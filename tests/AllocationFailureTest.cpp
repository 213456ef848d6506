// Out of memory at any allocation. A host's whole sequence of hooks runs once
// for every allocation it makes, failing that one allocation (k = 1, 2, ...
// until the sequence ends before reaching k), each in a child process. Every
// run must end without a crash, with each hook either answering false after
// an error message or answering true with records equal to those of a run
// with memory to spare, and with every block allocated freed again.
//
// The test program replaces malloc, calloc, realloc and free (glibc's own
// entry points do the work), so it is built for Linux without sanitizers.
// VEK_TRACE set in the environment prints where each failure met.
#include <gtest/gtest.h>

#include <sys/wait.h>
#include <unistd.h>

#include <cstring>
#include <string>

#include "support/Plugin.h"
#include "support/RecordCheck.h"
#include "support/TempFiles.h"

extern "C" void* __libc_malloc(size_t);
extern "C" void* __libc_realloc(void*, size_t);
extern "C" void __libc_free(void*);

namespace {

// Counting happens only while a hook runs (armed), so the harness's own
// allocations never fail and are never counted.
bool armed = false;
long allocations = 0;  // counted while armed
long failAt = -1;      // the allocation to fail, from 1
bool failed = false;   // failAt was reached
const char* runningHook = "";  // the hook running, and the one the failure met (for VEK_TRACE)
const char* failedIn = "";

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
    failed = true;
    failedIn = runningHook;
    return true;
}

}  // namespace

extern "C" void* malloc(size_t size) { return failNow() ? nullptr : counted(__libc_malloc(size)); }
extern "C" void* calloc(size_t count, size_t size) {
    if (size != 0 && count > SIZE_MAX / size) return nullptr;
    void* block = malloc(count * size);
    if (block != nullptr) std::memset(block, 0, count * size);
    return block;
}
extern "C" void* realloc(void* block, size_t size) {
    if (block == nullptr) return malloc(size);
    if (failNow()) return nullptr;
    void* moved = __libc_realloc(block, size);
    if (moved != nullptr) forget(block);
    return counted(moved);
}
extern "C" void free(void* block) {
    if (block != nullptr) forget(block);
    __libc_free(block);
}

namespace vek::test {
namespace {

using namespace tools::kalder;

// Error messages seen while a hook ran, counted without allocating.
int errorsLogged = 0;
void countErrors(const char*, uint32_t level, uint64_t, va_list) { errorsLogged += level == VEK_LOG_LEVEL_ERROR; }

struct Outcome {
    bool consistent = true;  // every hook that met the failure said why, and worked when called again
    bool answeredFalse = false;
    std::string records;
};

// One hook call, armed. The call that meets the failed allocation may answer
// false, after an error message when `tells`; called again, with memory to
// spare, it must work.
template <typename Call>
bool hook(Outcome& outcome, const char* name, bool tells, Call call) {
    const bool failedBefore = failed;
    const int errorsBefore = errorsLogged;
    runningHook = name;
    armed = true;
    bool answer = call();
    armed = false;
    if (!answer && failed && !failedBefore) {
        outcome.answeredFalse = true;
        if (tells && errorsLogged == errorsBefore) outcome.consistent = false;
        armed = true;
        answer = call();
        armed = false;
    }
    if (!answer) outcome.consistent = false;
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
    if (!hook(outcome, "createBackendInterface", false, [&] { return (backend = Plugin::instance().create()) != nullptr; })) {
        return outcome;
    }
    hook(outcome, "installLogger", false, [&] { return backend->installLogger(&countErrors, VEK_LOG_LEVEL_INFO); });
    hook(outcome, "bindBackendLibrary", true, [&] { return backend->bindBackendLibrary(backendLibrary); });
    std::string paths[2] = {config, config};  // the host's own copies, made before the calls
    int path = 0;
    hook(outcome, "loadConfigFile", true, [&] { return backend->loadConfigFile(std::move(paths[path++])); });
    ConfigList list = nullptr;
    uint32_t count = 0;
    if (hook(outcome, "getBackendConfigs", true, [&] { return backend->getBackendConfigs(&list, &count); })) {
        readOptions(outcome, list, count, gpu::KeyTarget::BackendOption);
        hook(outcome, "releaseBackendConfigs", true, [&] { return backend->releaseBackendConfigs(list, count); });
    }
    if (hook(outcome, "getContextConfigs", true, [&] { return backend->getContextConfigs(&list, &count); })) {
        readOptions(outcome, list, count, gpu::KeyTarget::ContextOption);
        hook(outcome, "releaseContextConfigs", true, [&] { return backend->releaseContextConfigs(list, count); });
    }
    GraphConfigList graphs = nullptr;
    if (hook(outcome, "getGraphConfigs", true, [&] { return backend->getGraphConfigs(&graphs, &count); })) {
        Problems problems;
        std::string block;
        for (const std::string& name : readGraphList(graphs, count, block, problems)) outcome.records += name + ";";
        outcome.records += block;
        outcome.consistent = outcome.consistent && problems.empty();
        hook(outcome, "releaseGraphConfigs", true, [&] { return backend->releaseGraphConfigs(graphs, count); });
    }
    DeviceConfigList devices = nullptr;
    count = 0;
    if (hook(outcome, "getDeviceConfigs", true, [&] { return backend->getDeviceConfigs(&devices, &count); }) && count > 0) {
        Problems problems;
        outcome.records += ";device " + std::to_string(readDeviceList(devices, count, problems).hwDeviceId);
    }
    hook(outcome, "destroyBackendInterface", false, [&] {
        Plugin::instance().destroy(backend);
        return true;
    });
    return outcome;
}

struct Tally {
    int points = 0, crashes = 0, falseAnswers = 0, trueAnswers = 0, inconsistent = 0, leaks = 0;
};

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
        if (std::getenv("VEK_TRACE") != nullptr) std::fprintf(stderr, "k=%ld in %s: %zu blocks left\n", k, failedIn, liveCount);
        const int answered = outcome.answeredFalse ? AnsweredFalse : 0;
        if (!failed) _exit(NotReached);
        if (!outcome.consistent || outcome.records != reference) _exit(Inconsistent | answered);
        _exit((liveCount > 0 ? Leaked : Passed) | answered);
    }
    int status = 0;
    waitpid(child, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : Crashed;
}

// Fails allocation 1, 1 + stride, ... of the sequence until it ends first.
Tally failEveryAllocation(const std::string& config, platform::LibraryHandle backendLibrary, long stride) {
    const std::string reference = hostSequence(config, backendLibrary).records;  // also makes one-time allocations
    liveCount = 0;  // what the children count starts empty
    Tally tally;
    for (long k = 1;; k += stride) {
        const int verdict = runFailing(k, config, backendLibrary, reference);
        if (verdict == NotReached) break;
        ++tally.points;
        tally.crashes += verdict == Crashed;
        tally.inconsistent += (verdict & 7) == Inconsistent;
        tally.leaks += (verdict & 7) == Leaked;
        if (verdict != Crashed) ++((verdict & AnsweredFalse) != 0 ? tally.falseAnswers : tally.trueAnswers);
    }
    return tally;
}

void expectSurvived(const std::string& name, const Tally& t) {
    std::printf("%s: %d allocation points: %d crash, %d answer false, %d answer true; %d inconsistent, %d leak\n",
                name.c_str(), t.points, t.crashes, t.falseAnswers, t.trueAnswers, t.inconsistent, t.leaks);
    EXPECT_GT(t.points, 0) << name;
    EXPECT_EQ(t.crashes, 0) << name;
    EXPECT_EQ(t.inconsistent, 0) << name;
    EXPECT_EQ(t.leaks, 0) << name;
}

TEST(AllocationFailures, EveryAllocationOfTheBundledExamples) {
    platform::LibraryHandle backendLibrary = loadTestLibrary(VEK_SUBSTITUTE_BACKEND_PATH);
    for (const char* example :
         {"example.json", "tuning.json", "fp16-two-graphs.json", "kernel-repo.json", "device-selection.json"}) {
        expectSurvived(example, failEveryAllocation(std::string(VEK_EXAMPLES_DIR) + "/" + example, backendLibrary, 1));
    }
}

TEST(AllocationFailures, ASampleOfALargeFile) {
    std::string large = R"({"graph_names": [)";
    for (int i = 0; i < 5000; ++i) large += (i > 0 ? ",\"graph-" : "\"graph-") + std::to_string(i) + "\"";
    large += R"(], "tuning_mode": true, "performance_cache_dir": "cache", "perf_hint": "low", "device_id": 2})";
    platform::LibraryHandle backendLibrary = loadTestLibrary(VEK_SUBSTITUTE_BACKEND_PATH);
    expectSurvived("5,000 graph names, every 7th allocation", failEveryAllocation(writeTempFile(large), backendLibrary, 7));
}

}  // namespace
}  // namespace vek::test
