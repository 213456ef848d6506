// Random sequences of hook calls on one backend object: loads of good, bad
// and fuzzed files, record hooks and their releases in any order, binds with
// odd provider lists, device requests against odd platforms. Records handed
// out are re-read for as long as a host may keep using them.
#include <fuzzer/FuzzedDataProvider.h>

#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "BackendExtensions/GPUBackendExtensions/GPUBackend.h"
#include "Invariants.h"

using namespace vek::fuzz;
using vek::tools::kalder::ApiVersionRecord;
using vek::tools::kalder::HwDeviceInfo;
using vek::tools::kalder::PlatformInfo;
using vek::tools::kalder::ProviderRecord;

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

// The platform and version the fake backend library reports.
struct FakeLibrary {
    ApiVersionRecord version{};
    int64_t status = 0;
    bool noInfo = false;
    PlatformInfo platform{};
    std::vector<HwDeviceInfo> devices;
    std::vector<ProviderRecord> providers;
    std::vector<const ProviderRecord*> pointers;
};
FakeLibrary library;

int64_t fakeApiVersion(ApiVersionRecord* version) {
    *version = library.version;
    return 0;
}
int64_t fakePlatformInfo(const void*, const PlatformInfo** info) {
    if (!library.noInfo) {
        library.platform.hwDevices = library.devices.data();
        *info = &library.platform;
    }
    return library.status;
}
int64_t fakeGetProviders(const ProviderRecord* const** list, uint32_t* count) {
    *list = library.pointers.data();
    *count = static_cast<uint32_t>(library.pointers.size());
    return 0;
}

void buildLibrary(FuzzedDataProvider& in) {
    library.providers.clear();
    const size_t providers = in.ConsumeIntegralInRange<size_t>(0, 4);
    for (size_t i = 0; i < providers; ++i) {
        ProviderRecord record{};
        record.backendId = in.PickValueInArray<uint32_t>({2, 4, 4, 7});
        record.getApiVersion = in.ConsumeBool() ? &fakeApiVersion : nullptr;
        record.deviceGetPlatformInfo = in.ConsumeBool() ? &fakePlatformInfo : nullptr;
        library.providers.push_back(record);
    }
    library.pointers.clear();
    for (const ProviderRecord& record : library.providers) library.pointers.push_back(&record);
    library.version.backendApiMajor = in.ConsumeIntegralInRange<uint32_t>(2, 4);
    library.version.backendApiMinor = in.ConsumeIntegralInRange<uint32_t>(11, 15);
    library.status = in.ConsumeBool() ? 0 : in.ConsumeIntegral<int64_t>();
    library.noInfo = in.ConsumeIntegralInRange<int>(0, 7) == 0;
    library.platform.version = in.ConsumeIntegralInRange<uint32_t>(0, 7) == 0 ? 2 : 1;
    library.devices.clear();
    const size_t devices = in.ConsumeIntegralInRange<size_t>(0, 5);
    for (size_t i = 0; i < devices; ++i) {
        HwDeviceInfo device{};
        device.version = in.ConsumeIntegralInRange<uint32_t>(0, 9) == 0 ? 2 : 1;
        device.hwDeviceId = in.PickValueInArray<uint32_t>({0, 1, 3, 7, 0xFFFFFFFFu});
        library.devices.push_back(device);
    }
    library.platform.hwDeviceCount = static_cast<uint32_t>(devices);
}

// What the host still holds from earlier hook calls, with how long it may.
struct Held {
    bool backend = false, context = false, graphs = false, device = false;
    ConfigList backendList = nullptr, contextList = nullptr;
    GraphConfigList graphList = nullptr;
    DeviceConfigList deviceList = nullptr;
    uint32_t backendCount = 0, contextCount = 0, graphCount = 0, deviceCount = 0;

    void recheck() const {
        if (backend) checkOptionList(backendList, backendCount, true);
        if (context) checkOptionList(contextList, contextCount, false);
        if (graphs) checkGraphList(graphList, graphCount);
        if (device) checkDeviceList(deviceList, deviceCount);
    }
};

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    vek::gpu::GPUBackend logging;
    logging.installLogger(&formattingLogCallback, VEK_LOG_LEVEL_DEBUG);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static std::vector<std::string> configPaths = [] {
        std::vector<std::string> paths;
        for (size_t i = 0; i < sizeof kConfigs / sizeof kConfigs[0]; ++i) {
            paths.push_back(scratchPath("hooks-" + std::to_string(i) + ".json"));
            writeScratch(paths.back(), reinterpret_cast<const uint8_t*>(kConfigs[i]), std::strlen(kConfigs[i]));
        }
        return paths;
    }();
    static const std::string fuzzedPath = scratchPath("hooks-fuzzed.json");

    FuzzedDataProvider in(data, size);
    auto object = std::make_unique<vek::gpu::GPUBackend>();
    IBackend& backend = *object;
    Held held;
    for (int step = 0; step < 64 && in.remaining_bytes() > 0; ++step) {
        held.recheck();
        switch (in.ConsumeIntegralInRange<int>(0, 13)) {
            case 0:
                backend.loadConfigFile(configPaths[in.ConsumeIntegralInRange<size_t>(0, configPaths.size() - 1)]);
                held.backend = held.context = held.graphs = false;  // a load invalidates these
                break;
            case 1: {
                const std::string content = in.ConsumeRandomLengthString(512);
                writeScratch(fuzzedPath, reinterpret_cast<const uint8_t*>(content.data()), content.size());
                backend.loadConfigFile(fuzzedPath);
                held.backend = held.context = held.graphs = false;
                break;
            }
            case 2:
                backend.loadConfigFile("");  // changes nothing
                break;
            case 3:
                if (in.ConsumeBool()) {
                    require(!backend.getBackendConfigs(nullptr, &held.backendCount), "slot 8 refuses null");
                } else {
                    held.backend = backend.getBackendConfigs(&held.backendList, &held.backendCount);
                    require(held.backend, "slot 8 succeeds");
                }
                break;
            case 4:
                backend.releaseBackendConfigs(held.backendList, held.backendCount);
                held.backend = false;
                break;
            case 5:
                held.context = backend.getContextConfigs(&held.contextList, &held.contextCount);
                require(held.context, "slot 10 succeeds");
                break;
            case 6:
                backend.releaseContextConfigs(held.contextList, held.contextCount);
                held.context = false;
                break;
            case 7:
                held.graphs = backend.getGraphConfigs(&held.graphList, &held.graphCount);
                require(held.graphs, "slot 12 succeeds");
                break;
            case 8:
                backend.releaseGraphConfigs(held.graphList, held.graphCount);
                held.graphs = false;
                break;
            case 9: {
                DeviceConfigList list = nullptr;
                uint32_t count = 0xFFFF;
                const bool selected = backend.getDeviceConfigs(&list, &count) && count != 0xFFFF;
                if (selected) {
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
                backend.installLogger(in.ConsumeBool() ? &formattingLogCallback : nullptr,
                                      in.ConsumeIntegralInRange<int32_t>(-1, 7));
                break;
            case 13:
                checkAllRecords(backend);
                held.backend = held.context = held.graphs = false;  // released by the check
                break;
        }
    }
    held.recheck();
    return 0;
}
