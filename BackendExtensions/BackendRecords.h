// SPDX-FileCopyrightText: 2026 The VekGpuKalderExtensions Authors
// SPDX-License-Identifier: Apache-2.0
// Records that cross between the host, the plug-in and the GPU backend
// library. Layouts are fixed (little-endian, 8-byte pointers); every size and
// offset is pinned below. Host-includable.
#pragma once

#include <cstddef>
#include <cstdint>

static_assert(sizeof(void*) == 8, "the backend records assume 64-bit pointers");

namespace vek::tools::kalder {

// ---- From the GPU backend library -----------------------------------------

// Six numbers; the plug-in reads the backend API major and minor.
struct ApiVersionRecord {
    uint32_t reserved0[3];
    uint32_t backendApiMajor;
    uint32_t backendApiMinor;
    uint32_t reserved1;
};
static_assert(sizeof(ApiVersionRecord) == 24);
static_assert(offsetof(ApiVersionRecord, backendApiMajor) == 12);
static_assert(offsetof(ApiVersionRecord, backendApiMinor) == 16);

// One hardware device of the platform.
struct HwDeviceInfo {
    uint32_t version;  // 1
    uint32_t reserved0;
    uint32_t hwDeviceId;
    uint8_t reserved1[28];  // the library's own; passed on unchanged
};
static_assert(sizeof(HwDeviceInfo) == 40);
static_assert(offsetof(HwDeviceInfo, hwDeviceId) == 8);

// The platform's hardware devices.
struct PlatformInfo {
    uint32_t version;  // 1
    uint32_t padding0;
    uint32_t hwDeviceCount;
    uint32_t padding1;
    const HwDeviceInfo* hwDevices;
};
static_assert(sizeof(PlatformInfo) == 24);
static_assert(offsetof(PlatformInfo, hwDeviceCount) == 8);
static_assert(offsetof(PlatformInfo, hwDevices) == 16);

// Fills the record; the result is not examined.
using GetApiVersionFn = int64_t (*)(ApiVersionRecord* version);
// Status 0 on success, with `*info` pointing at a record the library keeps.
using DeviceGetPlatformInfoFn = int64_t (*)(const void* reserved, const PlatformInfo** info);

// A provider of the backend library. backendId 4 marks the GPU provider.
struct ProviderRecord {
    uint32_t backendId;
    uint8_t reserved0[60];
    GetApiVersionFn getApiVersion;
    uint8_t reserved1[264];
    DeviceGetPlatformInfoFn deviceGetPlatformInfo;  // may be null
    uint8_t reserved2[272];
};
static_assert(sizeof(ProviderRecord) == 616);
static_assert(offsetof(ProviderRecord, getApiVersion) == 64);
static_assert(offsetof(ProviderRecord, deviceGetPlatformInfo) == 336);

constexpr uint32_t VEK_GPU_BACKEND_ID = 4;

// The library's exported "VekInterface_getProviders": fills the list cell with
// an array of `*count` provider pointers. The result is not examined.
using GetProvidersFn = int64_t (*)(const ProviderRecord* const** providers, uint32_t* count);

// ---- From the plug-in to the host -----------------------------------------

// One backend or context option (kind 0, data -> GpuOptionEntry) or the
// graph option block (kind 0, data -> GpuGraphOptions).
struct ConfigRecord {
    uint32_t kind;
    uint32_t padding;
    const void* data;
};
static_assert(sizeof(ConfigRecord) == 16);
static_assert(offsetof(ConfigRecord, data) == 8);

// One graph: its name and the null-terminated list of records for it.
struct GraphConfigEntry {
    const char* graphName;
    const ConfigRecord* const* configs;
};
static_assert(sizeof(GraphConfigEntry) == 16);
static_assert(offsetof(GraphConfigEntry, configs) == 8);

// The selected device: kind 1, data -> a PlatformInfo of exactly that device.
struct DeviceConfigRecord {
    uint32_t kind;
    uint32_t padding;
    const void* data;
};
static_assert(sizeof(DeviceConfigRecord) == 16);
static_assert(offsetof(DeviceConfigRecord, data) == 8);

// What the record hooks write to the host's list cell.
using ConfigList = const ConfigRecord* const*;
using GraphConfigList = const GraphConfigEntry* const*;
using DeviceConfigList = const DeviceConfigRecord* const*;

}  // namespace vek::tools::kalder
