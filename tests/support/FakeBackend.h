// SPDX-FileCopyrightText: 2026 The VekGpuKalderExtensions Authors
// SPDX-License-Identifier: Apache-2.0
// A GPU backend library defined by a test: provider lists,
// API versions and device platforms, for binding through slot 3. The
// substitute backend library covers binding by handle.
#pragma once

#include <vector>

#include "BackendExtensions/BackendRecords.h"

namespace vek::test {

using tools::kalder::HwDeviceInfo;
using tools::kalder::ProviderRecord;

// What fakeGetApiVersion reports: all six numbers.
struct FakeApiVersion {
    uint32_t numbers[6] = {0, 0, 0, 3, 13, 0};
};

// What fakePlatformInfo answers, and how often it was asked.
struct FakePlatform {
    int64_t status = 0;
    bool noInfo = false;
    uint32_t version = 1;
    std::vector<HwDeviceInfo> devices;
    int queries = 0;
};

// Test-wide state, reset by resetFakeBackend().
FakeApiVersion& fakeApiVersion();
FakePlatform& fakePlatform();
void resetFakeBackend();

// A provider record with the fake functions; `platform` or `version` false
// leaves deviceGetPlatformInfo or getApiVersion null.
ProviderRecord fakeProvider(uint32_t backendId, bool platform = true, bool version = true);

// The list fakeGetProviders hands out.
void setFakeProviders(std::vector<ProviderRecord> providers);
int64_t fakeGetProviders(const ProviderRecord* const** list, uint32_t* count);

// A device with recognisable unread bytes.
HwDeviceInfo fakeDevice(uint32_t id, uint32_t version = 1);

}  // namespace vek::test
