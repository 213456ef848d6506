// SPDX-FileCopyrightText: 2026 The VekGpuKalderExtensions Authors
// SPDX-License-Identifier: Apache-2.0
#include "FakeBackend.h"

#include <cstring>

namespace vek::test {
namespace {

FakeApiVersion apiVersion;
FakePlatform platformAnswer;
tools::kalder::PlatformInfo platformRecord{};
std::vector<ProviderRecord> providerRecords;
std::vector<const ProviderRecord*> providerPointers;

int64_t fakeGetApiVersion(tools::kalder::ApiVersionRecord* version) {
    std::memcpy(version, apiVersion.numbers, sizeof apiVersion.numbers);
    return -1;  // not examined
}

int64_t fakePlatformInfo(const void*, const tools::kalder::PlatformInfo** info) {
    ++platformAnswer.queries;
    if (platformAnswer.noInfo) return platformAnswer.status;
    platformRecord = tools::kalder::PlatformInfo{};
    platformRecord.version = platformAnswer.version;
    platformRecord.hwDeviceCount = static_cast<uint32_t>(platformAnswer.devices.size());
    platformRecord.hwDevices = platformAnswer.devices.data();
    *info = &platformRecord;
    return platformAnswer.status;
}

}  // namespace

FakeApiVersion& fakeApiVersion() { return apiVersion; }
FakePlatform& fakePlatform() { return platformAnswer; }

void resetFakeBackend() {
    apiVersion = FakeApiVersion{};
    platformAnswer = FakePlatform{};
    providerRecords.clear();
    providerPointers.clear();
}

ProviderRecord fakeProvider(uint32_t backendId, bool platform, bool version) {
    ProviderRecord provider{};
    std::memset(&provider, 0xA5, sizeof provider);  // unread bytes, copied whole
    provider.backendId = backendId;
    provider.getApiVersion = version ? &fakeGetApiVersion : nullptr;
    provider.deviceGetPlatformInfo = platform ? &fakePlatformInfo : nullptr;
    return provider;
}

void setFakeProviders(std::vector<ProviderRecord> providers) {
    providerRecords = std::move(providers);
    providerPointers.clear();
    for (const ProviderRecord& record : providerRecords) providerPointers.push_back(&record);
}

int64_t fakeGetProviders(const ProviderRecord* const** list, uint32_t* count) {
    *list = providerPointers.data();
    *count = static_cast<uint32_t>(providerPointers.size());
    return 7;  // not examined
}

HwDeviceInfo fakeDevice(uint32_t id, uint32_t version) {
    HwDeviceInfo device{};
    device.version = version;
    device.reserved0 = 0xDEADBEEF;
    device.hwDeviceId = id;
    for (size_t i = 0; i < sizeof device.reserved1; ++i) device.reserved1[i] = static_cast<uint8_t>(id + i);
    return device;
}

}  // namespace vek::test
