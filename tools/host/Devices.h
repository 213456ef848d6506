// What a GPU backend library says about itself, asked as the plug-in asks:
// its GPU provider, backend API version and the platform's hardware devices.
#pragma once

#include <string>
#include <vector>

#include "BackendExtensions/BackendRecords.h"
#include "platform/DynamicLibrary.h"

namespace vek::host {

struct BackendDevices {
    std::string problem;  // why the list is incomplete; empty when it is whole
    bool hasVersion = false;
    uint32_t apiMajor = 0, apiMinor = 0;
    bool hasPlatform = false;
    uint32_t platformVersion = 0;
    std::vector<tools::kalder::HwDeviceInfo> devices;
};

BackendDevices queryDevices(platform::LibraryHandle library);

// "Backend API 3.13" and one line per device.
std::string formatDevices(const std::string& path, const BackendDevices& devices);

// "1, 2", or "none".
std::string deviceIds(const BackendDevices& devices);

}  // namespace vek::host
