// SPDX-FileCopyrightText: 2026 The VekGpuKalderExtensions Authors
// SPDX-License-Identifier: Apache-2.0
// What a GPU backend library says about itself, asked as the plug-in asks:
// its GPU provider, backend API version and the platform's hardware devices,
// and which of them the plug-in can select.
#pragma once

#include <string>
#include <vector>

#include "BackendExtensions/BackendRecords.h"
#include "platform/DynamicLibrary.h"

namespace vek::host {

struct DeviceEntry {
    tools::kalder::HwDeviceInfo record;
    // The value to write for device_id: the id as the signed 32-bit number
    // the plug-in compares it with.
    int32_t deviceId;
    // Why the plug-in will not select it with that device_id; empty when it will.
    std::string unselectable;
};

struct BackendDevices {
    std::string problem;  // why the list is incomplete; empty when it is whole
    bool hasVersion = false;
    uint32_t apiMajor = 0, apiMinor = 0;
    bool hasPlatform = false;
    uint32_t platformVersion = 0;
    std::vector<DeviceEntry> devices;
};

BackendDevices queryDevices(platform::LibraryHandle library);

// The first device the library lists for `deviceId` (the one the plug-in
// compares first), or null.
const DeviceEntry* findDevice(const BackendDevices& devices, int32_t deviceId);

// "Backend API 3.13" and one line per device.
std::string formatDevices(const std::string& path, const BackendDevices& devices);
// One JSON document, on one line.
std::string formatDevicesJson(const std::string& path, const BackendDevices& devices);

// "1, 2", or "none".
std::string deviceIds(const BackendDevices& devices);

}  // namespace vek::host
