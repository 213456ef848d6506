// Random sequences of hook calls on one backend object: loads of good, bad
// and fuzzed files, record hooks and their releases in any order, binds with
// odd provider lists, device requests against odd platforms. Every record a
// host may still hold is read again after every call.
#include <cstdio>
#include <cstdlib>
#include <string>

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
    R"({"graph_names": [], "device_id": -1})", R"({"device_id": 1})", "{\"surplus\": 1}", "[", "{}",
};

void bindToAFakeLibrary(IBackend& backend, vek::fuzz::ByteReader& in) {
    std::vector<ProviderRecord> providers;
    for (size_t i = in.pick(5); i > 0; --i) providers.push_back(fakeProvider(in.pickFrom<uint32_t>({2, 4, 4, 7}), in.flip(), in.flip()));
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
    backend.bindProviderFunction(&fakeGetProviders);
}

void require(bool condition, const std::string& what) {
    if (condition) return;
    std::fprintf(stderr, "broken: %s\n", what.c_str());
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
    // What the host still holds: a list is held from its hook to its release
    // or to the next load, a device list until the next device request.
    ConfigList options[2] = {};
    uint32_t counts[2] = {}, graphCount = 0, deviceCount = 0;
    GraphConfigList graphs = nullptr;
    DeviceConfigList devices = nullptr;
    bool held[4] = {};
    for (int step = 0; step < 64 && !in.empty(); ++step) {
        const size_t choice = in.pick(10), list = in.pick(2);
        if (choice == 0 || choice == 1) {
            const std::string path = tempPath(choice == 0 ? "hooks-" + std::to_string(in.pick(std::size(kConfigs))) : "hooks-fuzzed");
            if (choice == 1) writeFile(path, in.text(512));
            backend.loadConfigFile(path);
            held[0] = held[1] = held[2] = false;
        } else if (choice == 2) {
            require(!backend.getBackendConfigs(nullptr, &counts[0]) && backend.loadConfigFile(""), "null cells, empty path");
        } else if (choice == 3) {
            held[list] = list == 0 ? backend.getBackendConfigs(&options[0], &counts[0])
                                   : backend.getContextConfigs(&options[1], &counts[1]);
        } else if (choice == 4) {
            held[2] = backend.getGraphConfigs(&graphs, &graphCount);
        } else if (choice == 5) {
            if (list == 0) backend.releaseBackendConfigs(options[0], counts[0]);
            else backend.releaseContextConfigs(options[1], counts[1]);
            held[list] = false;
        } else if (choice == 6) {
            backend.releaseGraphConfigs(graphs, graphCount);
            held[2] = false;
        } else if (choice == 7) {
            DeviceConfigList list = nullptr;
            uint32_t count = 0xFFFF;
            if (backend.getDeviceConfigs(&list, &count) && count != 0xFFFF) {
                devices = list;
                deviceCount = count;
                held[3] = true;
            }
        } else if (choice == 8) {
            bindToAFakeLibrary(backend, in);
        } else {
            backend.installLogger(in.flip() ? &formatLog : nullptr, static_cast<int32_t>(in.pick(9)) - 1);
        }
        Problems problems;
        std::string block;
        if (held[0]) readOptionList(options[0], counts[0], KeyTarget::BackendOption, problems);
        if (held[1]) readOptionList(options[1], counts[1], KeyTarget::ContextOption, problems);
        if (held[2]) readGraphList(graphs, graphCount, block, problems);
        if (held[3]) readDeviceList(devices, deviceCount, problems);
        for (const std::string& problem : problems) require(false, problem);
    }
    return 0;
}
