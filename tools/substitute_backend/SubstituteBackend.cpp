// A substitute GPU backend library. It exports "VekInterface_getProviders"
// with two providers, a CPU one first and the GPU one (backendId 4) second,
// and describes a device platform chosen through environment variables, read
// at every call so a test or a user can change them between calls:
//
//   VEK_SUBSTITUTE_API_VERSION  "major.minor" reported by getApiVersion (3.13)
//   VEK_SUBSTITUTE_DEVICES      comma-separated device ids, each optionally
//                               ":version" (default version 1): "5,7:2,9";
//                               empty for no device (default "1,2")
//   VEK_SUBSTITUTE_PLATFORM     "ok" (default), "fail" (status 1), "null"
//                               (status 0, no info), "version2" (platform
//                               record version 2) or "absent" (the GPU
//                               provider has no deviceGetPlatformInfo)
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "BackendExtensions/BackendRecords.h"
#include "platform/Compiler.h"

using namespace vek::tools::kalder;

namespace {

std::string env(const char* name, const char* fallback) {
    const char* value = std::getenv(name);
    return value != nullptr ? value : fallback;
}

int64_t getApiVersion(ApiVersionRecord* version) {
    unsigned major = 0, minor = 0;
    if (std::sscanf(env("VEK_SUBSTITUTE_API_VERSION", "3.13").c_str(), "%u.%u", &major, &minor) != 2) return 1;
    std::memset(version, 0, sizeof *version);
    version->reserved0[0] = 1;  // the library's own version numbers, not read by the plug-in
    version->backendApiMajor = major;
    version->backendApiMinor = minor;
    return 0;
}

// Devices of the last query; the library keeps owning them.
std::vector<HwDeviceInfo> devices;
PlatformInfo platform{};

HwDeviceInfo makeDevice(uint32_t id, uint32_t version) {
    HwDeviceInfo device{};
    device.version = version;
    device.hwDeviceId = id;
    // Recognisable bytes, so a host can tell the copy it receives is whole.
    for (size_t i = 0; i < sizeof device.reserved1; ++i) device.reserved1[i] = static_cast<uint8_t>(id * 16 + i);
    return device;
}

int64_t deviceGetPlatformInfo(const void*, const PlatformInfo** info) {
    const std::string mode = env("VEK_SUBSTITUTE_PLATFORM", "ok");
    if (mode == "fail") return 1;
    if (mode == "null") return 0;

    devices.clear();
    const std::string list = env("VEK_SUBSTITUTE_DEVICES", "1,2");
    for (size_t start = 0; start < list.size();) {
        size_t end = list.find(',', start);
        if (end == std::string::npos) end = list.size();
        unsigned id = 0, version = 1;
        if (std::sscanf(list.substr(start, end - start).c_str(), "%u:%u", &id, &version) >= 1) {
            devices.push_back(makeDevice(id, version));
        }
        start = end + 1;
    }
    platform = PlatformInfo{};
    platform.version = mode == "version2" ? 2 : 1;
    platform.hwDeviceCount = static_cast<uint32_t>(devices.size());
    platform.hwDevices = devices.empty() ? nullptr : devices.data();
    *info = &platform;
    return 0;
}

ProviderRecord cpuProvider() {
    ProviderRecord provider{};
    provider.backendId = 2;
    provider.getApiVersion = &getApiVersion;
    return provider;
}

ProviderRecord gpuProvider() {
    ProviderRecord provider{};
    provider.backendId = VEK_GPU_BACKEND_ID;
    provider.getApiVersion = &getApiVersion;
    provider.deviceGetPlatformInfo = &deviceGetPlatformInfo;
    return provider;
}

ProviderRecord providers[2] = {cpuProvider(), gpuProvider()};
const ProviderRecord* providerList[2] = {&providers[0], &providers[1]};

}  // namespace

extern "C" VEK_EXPORT int64_t VekInterface_getProviders(const ProviderRecord* const** list, uint32_t* count) {
    const bool withPlatform = env("VEK_SUBSTITUTE_PLATFORM", "ok") != "absent";
    providers[1].deviceGetPlatformInfo = withPlatform ? &deviceGetPlatformInfo : nullptr;
    *list = providerList;
    *count = 2;
    return 0;
}
