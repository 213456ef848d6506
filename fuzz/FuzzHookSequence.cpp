// Random sequences of hook calls on one backend object: loads of good, bad
// and fuzzed files, record hooks and their releases in any order, binds with
// odd provider lists, device requests against odd platforms. Every record a
// host may still hold is read again after every call.
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "BackendExtensions/GPUBackendExtensions/GPUBackend.h"
#include "ByteReader.h"
#include "support/FakeBackend.h"
#include "support/LogCapture.h"
#include "support/RecordCheck.h"
#include "support/TempFiles.h"

using namespace vek::tools::kalder;
using namespace vek::test;
using vek::gpu::KeyTarget;

namespace {

// Configurations a host typically loads; the fuzzer picks among them.
const char* const kConfigs[] = {
    R"({"graph_names": ["a", "b"], "precision_mode": "fp16", "tuning_mode": true,
        "performance_cache_dir": "cache-directory-long-enough-for-the-heap", "weight_sharing": true,
        "perf_hint": "low", "kernel_repo_path": "kernel-repository-path-long-enough", "device_id": 7})",
    R"({"graph_names": ["x"], "device_id": 3, "disable_queue_recording": true, "invalidate_performance_cache": true,
        "performance_cache_dir": "c", "tuning_mode": false, "disable_kernel_profiling": true})",
    R"({"kernel_repo_path": "r", "invalidate_kernel_repo": true, "perf_hint": "high", "perf_hint": "normal"})",
    R"({"graph_names": [], "device_id": -1})",
    R"({"device_id": 1})",
    "{\"surplus\": 1}",
    "[",
    "{}",
};

void buildLibrary(vek::fuzz::ByteReader& in) {
    std::vector<ProviderRecord> providers;
    for (size_t i = in.pick(5); i > 0; --i) {
        providers.push_back(fakeProvider(in.pickFrom<uint32_t>({2, 4, 4, 7}), in.flip(), in.flip()));
    }
    setFakeProviders(providers);
    fakeApiVersion().numbers[3] = static_cast<uint32_t>(2 + in.pick(3));
    fakeApiVersion().numbers[4] = static_cast<uint32_t>(11 + in.pick(5));
    FakePlatform& platform = fakePlatform();
    platform.status = in.pickFrom<int64_t>({0, 0, 0, 1, -1});
    platform.noInfo = in.pick(8) == 0;
    platform.version = in.pick(8) == 0 ? 2 : 1;
    platform.devices.clear();
    for (size_t i = in.pick(6); i > 0; --i) {
        platform.devices.push_back(fakeDevice(in.pickFrom<uint32_t>({0, 1, 3, 7, 0xFFFFFFFFu}), in.pick(10) == 0 ? 2 : 1));
    }
}

// What the host still holds from earlier hook calls.
struct Held {
    bool backend = false, context = false, graphs = false, device = false;
    ConfigList backendList = nullptr, contextList = nullptr;
    GraphConfigList graphList = nullptr;
    DeviceConfigList deviceList = nullptr;
    uint32_t backendCount = 0, contextCount = 0, graphCount = 0, deviceCount = 0;

    void recheck() const {
        Problems problems;
        std::string options;
        if (backend) readOptionList(backendList, backendCount, KeyTarget::BackendOption, problems);
        if (context) readOptionList(contextList, contextCount, KeyTarget::ContextOption, problems);
        if (graphs) readGraphList(graphList, graphCount, options, problems);
        if (device) readDeviceList(deviceList, deviceCount, problems);
        for (const std::string& problem : problems) std::fprintf(stderr, "broken: %s\n", problem.c_str());
        if (!problems.empty()) std::abort();
    }
};

void require(bool condition, const char* what) {
    if (condition) return;
    std::fprintf(stderr, "broken: %s\n", what);
    std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    vek::gpu::GPUBackend logging;
    logging.installLogger(&formatLog, VEK_LOG_LEVEL_DEBUG);
    for (size_t i = 0; i < std::size(kConfigs); ++i) writeFile(tempPath("hooks-" + std::to_string(i)), kConfigs[i]);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    vek::fuzz::ByteReader in(data, size);
    resetFakeBackend();
    vek::gpu::GPUBackend object;
    IBackend& backend = object;
    Held held;
    for (int step = 0; step < 64 && !in.empty(); ++step) {
        held.recheck();
        switch (in.pick(13)) {
            case 0:
                backend.loadConfigFile(tempPath("hooks-" + std::to_string(in.pick(std::size(kConfigs)))));
                held.backend = held.context = held.graphs = false;  // a load invalidates these
                break;
            case 1:
                writeFile(tempPath("hooks-fuzzed"), in.text(512));
                backend.loadConfigFile(tempPath("hooks-fuzzed"));
                held.backend = held.context = held.graphs = false;
                break;
            case 2:
                require(backend.loadConfigFile(""), "an empty path loads nothing");
                break;
            case 3:
                require(!backend.getBackendConfigs(nullptr, &held.backendCount), "slot 8 refuses null");
                held.backend = backend.getBackendConfigs(&held.backendList, &held.backendCount);
                break;
            case 4:
                held.context = backend.getContextConfigs(&held.contextList, &held.contextCount);
                break;
            case 5:
                held.graphs = backend.getGraphConfigs(&held.graphList, &held.graphCount);
                break;
            case 6:
                backend.releaseBackendConfigs(held.backendList, held.backendCount);
                held.backend = false;
                break;
            case 7:
                backend.releaseContextConfigs(held.contextList, held.contextCount);
                held.context = false;
                break;
            case 8:
                backend.releaseGraphConfigs(held.graphList, held.graphCount);
                held.graphs = false;
                break;
            case 9: {
                DeviceConfigList list = nullptr;
                uint32_t count = 0xFFFF;
                if (backend.getDeviceConfigs(&list, &count) && count != 0xFFFF) {
                    held.device = true;
                    held.deviceList = list;
                    held.deviceCount = count;
                }
                break;
            }
            case 10:
                buildLibrary(in);
                backend.bindProviderFunction(&fakeGetProviders);
                break;
            case 11:
                require(!backend.bindBackendLibrary(nullptr) && !backend.bindProviderFunction(nullptr),
                        "null binds are refused");
                break;
            case 12:
                backend.installLogger(in.flip() ? &formatLog : nullptr, static_cast<int32_t>(in.pick(9)) - 1);
                break;
        }
    }
    held.recheck();
    return 0;
}
