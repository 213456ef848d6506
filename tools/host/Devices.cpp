#include "Devices.h"

namespace vek::host {

using namespace tools::kalder;

BackendDevices queryDevices(platform::LibraryHandle library) {
    BackendDevices result;
    auto getProviders = reinterpret_cast<GetProvidersFn>(platform::findSymbol(library, "VekInterface_getProviders"));
    if (getProviders == nullptr) {
        result.problem = "it does not export VekInterface_getProviders";
        return result;
    }
    const ProviderRecord* const* providers = nullptr;
    uint32_t count = 0;
    getProviders(&providers, &count);
    const ProviderRecord* gpu = nullptr;
    for (uint32_t i = 0; providers != nullptr && i < count && gpu == nullptr; ++i) {
        if (providers[i] != nullptr && providers[i]->backendId == VEK_GPU_BACKEND_ID) gpu = providers[i];
    }
    if (gpu == nullptr) {
        result.problem = "it lists no GPU provider";
        return result;
    }
    if (gpu->getApiVersion != nullptr) {
        ApiVersionRecord version{};
        gpu->getApiVersion(&version);
        result.hasVersion = true;
        result.apiMajor = version.backendApiMajor;
        result.apiMinor = version.backendApiMinor;
    }
    const PlatformInfo* info = nullptr;
    if (gpu->deviceGetPlatformInfo == nullptr) {
        result.problem = "its GPU provider has no platform query";
    } else if (gpu->deviceGetPlatformInfo(nullptr, &info) != 0 || info == nullptr) {
        result.problem = "its platform query failed";
    } else {
        result.hasPlatform = true;
        result.platformVersion = info->version;
        if (info->hwDevices != nullptr) result.devices.assign(info->hwDevices, info->hwDevices + info->hwDeviceCount);
    }
    return result;
}

std::string formatDevices(const std::string& path, const BackendDevices& devices) {
    std::string out = "GPU backend library: " + path + "\n";
    out += devices.hasVersion ? "Backend API " + std::to_string(devices.apiMajor) + "." + std::to_string(devices.apiMinor) +
                                    (devices.apiMajor == 3 && devices.apiMinor >= 13 ? "" : " (the plug-in needs 3.13 or a later 3.x)") + "\n"
                              : "Backend API: not reported\n";
    if (devices.hasPlatform) {
        out += "Platform version " + std::to_string(devices.platformVersion) + ", " +
               std::to_string(devices.devices.size()) + " hardware device(s):\n";
        for (const HwDeviceInfo& device : devices.devices) {
            out += "  hardware id " + std::to_string(device.hwDeviceId) + ", device version " +
                   std::to_string(device.version) + "\n";
        }
        out += "Set \"device_id\" to a hardware id to select that device; 0 (the default) leaves the choice to the "
               "library, whose device records do not say which one it takes.\n";
    }
    if (!devices.problem.empty()) out += "No device list: " + devices.problem + ".\n";
    return out;
}

std::string deviceIds(const BackendDevices& devices) {
    std::string out;
    for (const HwDeviceInfo& device : devices.devices) out += (out.empty() ? "" : ", ") + std::to_string(device.hwDeviceId);
    return out.empty() ? "none" : out;
}

}  // namespace vek::host
