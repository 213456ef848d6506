// SPDX-FileCopyrightText: 2026 The VekGpuKalderExtensions Authors
// SPDX-License-Identifier: Apache-2.0
// Slot 29: select the device the configuration names, or leave the default.
#include "BackendExtensions/GPUBackendExtensions/BackendApi.h"
#include "BackendExtensions/GPUBackendExtensions/GPUBackend.h"
#include "log/Log.h"

namespace vek::gpu {

bool GPUBackend::getDeviceConfigs(DeviceConfigList* list, uint32_t* count) try {
    if (list == nullptr || count == nullptr) {
        VEK_LOG(VEK_LOG_LEVEL_ERROR, "Invalid device config args");
        return false;
    }
    if (settings.deviceId == 0) {
        VEK_LOG(VEK_LOG_LEVEL_INFO, "Using default PRIMARY_GPU device");
        return true;
    }
    // Unbound, boundProvider is all zeros, so this also covers "never bound".
    if (boundProvider.deviceGetPlatformInfo == nullptr) {
        VEK_LOG(VEK_LOG_LEVEL_WARN, "deviceGetPlatformInfo undefined, defaulting to PRIMARY_GPU");
        return true;
    }
    const PlatformInfo* platform = nullptr;
    if (boundProvider.deviceGetPlatformInfo(nullptr, &platform) != 0 || platform == nullptr) {
        VEK_LOG(VEK_LOG_LEVEL_WARN, "Failed to get platform info, defaulting to PRIMARY_GPU");
        return true;
    }
    const DeviceSearch found = findHardwareDevice(*platform, static_cast<uint32_t>(settings.deviceId));
    switch (found.choice) {
        case DeviceChoice::BadPlatformVersion:
            VEK_LOG(VEK_LOG_LEVEL_WARN, "Invalid platform info version, defaulting to PRIMARY_GPU");
            return true;
        case DeviceChoice::NoDevices:
            VEK_LOG(VEK_LOG_LEVEL_WARN, "Invalid number of platform hardware devices, defaulting to PRIMARY_GPU");
            return true;
        case DeviceChoice::BadDeviceVersion:
            VEK_LOG(VEK_LOG_LEVEL_WARN, "Invalid hardware info version, defaulting to PRIMARY_GPU");
            return true;
        case DeviceChoice::NotFound:
            VEK_LOG(VEK_LOG_LEVEL_ERROR, "Unable to find device with matching device_id");
            return false;
        case DeviceChoice::Selected: break;
    }
    const HwDeviceInfo* selected = &platform->hwDevices[found.index];

    // A platform of exactly the selected device, owned by this object.
    selectedDevices.clear();
    selectedDevices.push_back(*selected);
    devicePlatformInfo = PlatformInfo{};
    devicePlatformInfo.version = 1;
    devicePlatformInfo.hwDeviceCount = 1;
    devicePlatformInfo.hwDevices = selectedDevices.data();
    deviceConfigRecord = DeviceConfigRecord{};
    deviceConfigRecord.kind = 1;
    deviceConfigRecord.data = &devicePlatformInfo;
    deviceConfigPointers.clear();
    deviceConfigPointers.push_back(&deviceConfigRecord);
    deviceConfigPointers.push_back(nullptr);
    *list = deviceConfigPointers.data();
    *count = static_cast<uint32_t>(deviceConfigPointers.size());
    return true;
} catch (...) {
    return hookFailed("getDeviceConfigs");
}

}  // namespace vek::gpu
