// SPDX-FileCopyrightText: 2026 The VekGpuKalderExtensions Authors
// SPDX-License-Identifier: Apache-2.0
#include "Devices.h"

#include "BackendExtensions/ConfigJson.h"  // first: it sets how RapidJSON allocates
#include <rapidjson/stringbuffer.h>
#include <rapidjson/writer.h>

#include "BackendExtensions/GPUBackendExtensions/BackendApi.h"

namespace vek::host {

using namespace tools::kalder;

namespace {

// Why the plug-in, asked for the device's own id, would not select it: the
// search it makes, and the rule that an id of 0 asks for no device at all.
std::string unselectable(const tools::kalder::PlatformInfo& platform, uint32_t index) {
    const tools::kalder::HwDeviceInfo& device = platform.hwDevices[index];
    const gpu::DeviceSearch found = gpu::findHardwareDevice(platform, device.hwDeviceId);
    switch (found.choice) {
        case gpu::DeviceChoice::BadPlatformVersion:
            return "the platform record has version " + std::to_string(platform.version) + ", not 1";
        case gpu::DeviceChoice::BadDeviceVersion:
            return found.index == index ? "its device record has version " + std::to_string(device.version) + ", not 1"
                                        : "a device record before it has a version other than 1";
        case gpu::DeviceChoice::NoDevices:
        case gpu::DeviceChoice::NotFound:
        case gpu::DeviceChoice::Selected: break;
    }
    if (device.hwDeviceId == 0) return "device_id 0 leaves the choice to the library";
    if (found.index != index) return "an earlier device has the same id, and that one is selected";
    return "";
}

}  // namespace

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
        for (uint32_t i = 0; info->hwDevices != nullptr && i < info->hwDeviceCount; ++i) {
            result.devices.push_back(DeviceEntry{info->hwDevices[i], static_cast<int32_t>(info->hwDevices[i].hwDeviceId), unselectable(*info, i)});
        }
    }
    return result;
}

const DeviceEntry* findDevice(const BackendDevices& devices, int32_t deviceId) {
    for (const DeviceEntry& entry : devices.devices) {
        if (entry.deviceId == deviceId) return &entry;
    }
    return nullptr;
}

std::string formatDevices(const std::string& path, const BackendDevices& devices) {
    std::string out = "GPU backend library: " + path + "\n";
    const std::string needed = std::to_string(gpu::kBackendApiMajor) + "." + std::to_string(gpu::kBackendApiMinor) + " or a later " +
                               std::to_string(gpu::kBackendApiMajor) + ".x";
    out += devices.hasVersion ? "Backend API " + std::to_string(devices.apiMajor) + "." + std::to_string(devices.apiMinor) +
                                    (gpu::supportsBackendApi(devices.apiMajor, devices.apiMinor) ? "" : " (the plug-in needs " + needed + ")") + "\n"
                              : "Backend API: not reported\n";
    if (devices.hasPlatform) {
        out += "Platform version " + std::to_string(devices.platformVersion) + ", " +
               std::to_string(devices.devices.size()) + " hardware device(s):\n";
        for (const DeviceEntry& entry : devices.devices) {
            out += "  device_id " + std::to_string(entry.deviceId) + ", device version " + std::to_string(entry.record.version) +
                   (entry.unselectable.empty() ? "" : " (not selectable: " + entry.unselectable + ")") + "\n";
        }
        out += "Set \"device_id\" to one of these to select that device; 0 (the default) leaves the choice to the "
               "library, whose device records do not say which one it takes.\n";
    }
    if (!devices.problem.empty()) out += "No device list: " + devices.problem + ".\n";
    return out;
}

std::string formatDevicesJson(const std::string& path, const BackendDevices& devices) {
    rapidjson::StringBuffer buffer;
    rapidjson::Writer<rapidjson::StringBuffer> writer(buffer);
    writer.StartObject();
    writer.Key("library");
    writer.String(path.c_str());
    writer.Key("apiVersion");
    if (devices.hasVersion) {
        writer.StartObject();
        writer.Key("major");
        writer.Uint(devices.apiMajor);
        writer.Key("minor");
        writer.Uint(devices.apiMinor);
        writer.Key("supported");
        writer.Bool(gpu::supportsBackendApi(devices.apiMajor, devices.apiMinor));
        writer.EndObject();
    } else {
        writer.Null();
    }
    writer.Key("platformVersion");
    if (devices.hasPlatform) writer.Uint(devices.platformVersion);
    else writer.Null();
    writer.Key("devices");
    writer.StartArray();
    for (const DeviceEntry& entry : devices.devices) {
        writer.StartObject();
        writer.Key("deviceId");
        writer.Int(entry.deviceId);
        writer.Key("hwDeviceId");
        writer.Uint(entry.record.hwDeviceId);
        writer.Key("version");
        writer.Uint(entry.record.version);
        writer.Key("selectable");
        writer.Bool(entry.unselectable.empty());
        writer.Key("reason");
        if (entry.unselectable.empty()) writer.Null();
        else writer.String(entry.unselectable.c_str());
        writer.EndObject();
    }
    writer.EndArray();
    writer.Key("problem");
    if (devices.problem.empty()) writer.Null();
    else writer.String(devices.problem.c_str());
    writer.EndObject();
    return std::string(buffer.GetString(), buffer.GetSize()) + "\n";
}

std::string deviceIds(const BackendDevices& devices) {
    std::string out;
    for (const DeviceEntry& entry : devices.devices) out += (out.empty() ? "" : ", ") + std::to_string(entry.deviceId);
    return out.empty() ? "none" : out;
}

}  // namespace vek::host
