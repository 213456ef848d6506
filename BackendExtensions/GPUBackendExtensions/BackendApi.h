// SPDX-FileCopyrightText: 2026 The VekGpuKalderExtensions Authors
// SPDX-License-Identifier: Apache-2.0
// The backend API this plug-in was built for, and how it chooses among the
// hardware devices a GPU backend library lists: the rules the binding and
// device hooks apply, and the runner tells its users about.
#pragma once

#include <cstdint>

#include "BackendExtensions/BackendRecords.h"

namespace vek::gpu {

// The major version must match, the minor one be at least this.
constexpr uint32_t kBackendApiMajor = 3;
constexpr uint32_t kBackendApiMinor = 13;

constexpr bool supportsBackendApi(uint32_t major, uint32_t minor) {
    return major == kBackendApiMajor && minor >= kBackendApiMinor;
}

// What the search for a hardware device by its id finds.
enum class DeviceChoice {
    Selected,            // the device at `index`, the first with the id
    BadPlatformVersion,  // the platform record is of a version other than 1
    NoDevices,           // the platform lists none
    BadDeviceVersion,    // the device record at `index`, met before any with the id, is of a version other than 1
    NotFound,            // no device has the id
};

struct DeviceSearch {
    DeviceChoice choice;
    uint32_t index;
};

// The devices in the library's order, up to the first of the id or the
// first record of another version.
inline DeviceSearch findHardwareDevice(const tools::kalder::PlatformInfo& platform, uint32_t hwDeviceId) {
    if (platform.version != 1) return {DeviceChoice::BadPlatformVersion, 0};
    if (platform.hwDeviceCount == 0) return {DeviceChoice::NoDevices, 0};
    for (uint32_t i = 0; i < platform.hwDeviceCount; ++i) {
        const tools::kalder::HwDeviceInfo& device = platform.hwDevices[i];
        if (device.version != 1) return {DeviceChoice::BadDeviceVersion, i};
        if (device.hwDeviceId == hwDeviceId) return {DeviceChoice::Selected, i};
    }
    return {DeviceChoice::NotFound, 0};
}

}  // namespace vek::gpu
