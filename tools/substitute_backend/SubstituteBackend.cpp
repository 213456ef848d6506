// SPDX-FileCopyrightText: 2026 The VekGpuKalderExtensions Authors
// SPDX-License-Identifier: Apache-2.0
// A substitute GPU backend library. It exports "VekInterface_getProviders"
// with two providers, a CPU one first and the GPU one (backendId 4) second,
// and describes a device platform chosen through environment variables, read
// at every call so a test or a user can change them between calls:
//
//   VEK_SUBSTITUTE_API_VERSION  "major.minor" reported by getApiVersion (3.13)
//   VEK_SUBSTITUTE_DEVICES      comma-separated device ids (-2147483648 to
//                               4294967295; a negative id is its 32-bit two's
//                               complement), each optionally ":version"
//                               (default version 1): "5,7:2,9"; empty for no
//                               device (default "1,2")
//   VEK_SUBSTITUTE_PLATFORM     "ok" (default), "fail" (status 1), "null"
//                               (status 0, no info), "version2" (platform
//                               record version 2) or "absent" (the GPU
//                               provider has no deviceGetPlatformInfo)
//
// A value it cannot read is refused: one line on standard error names the
// variable and the value, and the library lists no provider, so nothing
// downstream passes by accident. Like a real backend library it serves
// several host threads at once: the records of each settings value are built
// once and stay where they are until the library is unloaded.
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <memory>
#include <mutex>
#include <set>
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

// A whole decimal number within [low, high], or false.
bool readNumber(const std::string& text, long long low, long long high, long long& out) {
    if (text.empty() || text.size() > 11) return false;
    char* end = nullptr;
    errno = 0;
    out = std::strtoll(text.c_str(), &end, 10);
    return errno == 0 && end == text.c_str() + text.size() && out >= low && out <= high &&
           (text[0] == '-' || (text[0] >= '0' && text[0] <= '9'));
}

struct Settings {
    uint32_t apiMajor = 0, apiMinor = 0;
    std::vector<HwDeviceInfo> devices;
    std::string platform;
    std::string key;  // the three values as read, naming these settings
};

HwDeviceInfo makeDevice(uint32_t id, uint32_t version) {
    HwDeviceInfo device{};
    device.version = version;
    device.hwDeviceId = id;
    // Recognisable bytes, so a host can tell the copy it receives is whole.
    for (size_t i = 0; i < sizeof device.reserved1; ++i) device.reserved1[i] = static_cast<uint8_t>(id * 16 + i);
    return device;
}

std::mutex refusedLock;

// Says once per value that `name` cannot be read; false.
bool refuse(const char* name, const std::string& value) {
    static std::set<std::string> told;
    const std::lock_guard<std::mutex> guard(refusedLock);
    if (told.insert(std::string(name) + "=" + value).second) {
        std::fprintf(stderr, "substitute backend: %s=\"%s\" cannot be read; no provider is listed\n", name, value.c_str());
    }
    return false;
}

bool readSettings(Settings& settings) {
    const std::string version = env("VEK_SUBSTITUTE_API_VERSION", "3.13");
    const std::string devices = env("VEK_SUBSTITUTE_DEVICES", "1,2");
    settings.platform = env("VEK_SUBSTITUTE_PLATFORM", "ok");
    settings.key = version + '\n' + devices + '\n' + settings.platform;

    const size_t dot = version.find('.');
    long long major = 0, minor = 0;
    if (dot == std::string::npos || !readNumber(version.substr(0, dot), 0, UINT32_MAX, major) ||
        !readNumber(version.substr(dot + 1), 0, UINT32_MAX, minor) || version[0] == '-' || version[dot + 1] == '-') {
        return refuse("VEK_SUBSTITUTE_API_VERSION", version);
    }
    settings.apiMajor = static_cast<uint32_t>(major);
    settings.apiMinor = static_cast<uint32_t>(minor);

    for (size_t start = 0; start < devices.size();) {
        size_t end = devices.find(',', start);
        if (end == std::string::npos) end = devices.size();
        const std::string entry = devices.substr(start, end - start);
        const size_t colon = entry.find(':');
        long long id = 0, deviceVersion = 1;
        if (!readNumber(entry.substr(0, colon), INT32_MIN, UINT32_MAX, id) ||
            (colon != std::string::npos && !readNumber(entry.substr(colon + 1), 0, UINT32_MAX, deviceVersion))) {
            return refuse("VEK_SUBSTITUTE_DEVICES", devices);
        }
        settings.devices.push_back(makeDevice(static_cast<uint32_t>(id), static_cast<uint32_t>(deviceVersion)));
        start = end + 1;
        if (start == devices.size()) return refuse("VEK_SUBSTITUTE_DEVICES", devices);  // a trailing comma
    }

    static const char* const kPlatforms[] = {"ok", "fail", "null", "version2", "absent"};
    for (const char* platform : kPlatforms) {
        if (settings.platform == platform) return true;
    }
    return refuse("VEK_SUBSTITUTE_PLATFORM", settings.platform);
}

int64_t getApiVersion(ApiVersionRecord* version);
int64_t deviceGetPlatformInfo(const void*, const PlatformInfo** info);

// Everything the library hands out for one settings value.
struct Records {
    std::vector<HwDeviceInfo> devices;
    PlatformInfo platform{};
    ProviderRecord providers[2]{};
    const ProviderRecord* list[2]{};
};

std::mutex recordsLock;

// The records of the current settings, built on first use; null when the
// settings cannot be read.
const Records* currentRecords() {
    Settings settings;
    if (!readSettings(settings)) return nullptr;
    static std::map<std::string, std::unique_ptr<Records>> built;
    const std::lock_guard<std::mutex> guard(recordsLock);
    std::unique_ptr<Records>& records = built[settings.key];
    if (records == nullptr) {
        auto made = std::make_unique<Records>();
        made->devices = settings.devices;
        made->platform.version = settings.platform == "version2" ? 2 : 1;
        made->platform.hwDeviceCount = static_cast<uint32_t>(made->devices.size());
        made->platform.hwDevices = made->devices.empty() ? nullptr : made->devices.data();
        made->providers[0].backendId = 2;
        made->providers[0].getApiVersion = &getApiVersion;
        made->providers[1].backendId = VEK_GPU_BACKEND_ID;
        made->providers[1].getApiVersion = &getApiVersion;
        made->providers[1].deviceGetPlatformInfo = settings.platform == "absent" ? nullptr : &deviceGetPlatformInfo;
        made->list[0] = &made->providers[0];
        made->list[1] = &made->providers[1];
        records = std::move(made);
    }
    return records.get();
}

int64_t getApiVersion(ApiVersionRecord* version) {
    Settings settings;
    if (!readSettings(settings)) return 1;
    std::memset(version, 0, sizeof *version);
    version->reserved0[0] = 1;  // the library's own version numbers, not read by the plug-in
    version->backendApiMajor = settings.apiMajor;
    version->backendApiMinor = settings.apiMinor;
    return 0;
}

int64_t deviceGetPlatformInfo(const void*, const PlatformInfo** info) {
    const Records* records = currentRecords();
    if (records == nullptr) return 1;
    const std::string mode = env("VEK_SUBSTITUTE_PLATFORM", "ok");
    if (mode == "fail") return 1;
    if (mode == "null") return 0;
    *info = &records->platform;
    return 0;
}

}  // namespace

extern "C" VEK_EXPORT int64_t VekInterface_getProviders(const ProviderRecord* const** list, uint32_t* count) {
    const Records* records = currentRecords();
    *list = records != nullptr ? records->list : nullptr;
    *count = records != nullptr ? 2 : 0;
    return 0;
}
