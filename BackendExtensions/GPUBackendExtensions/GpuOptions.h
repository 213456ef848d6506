// SPDX-FileCopyrightText: 2026 The VekGpuKalderExtensions Authors
// SPDX-License-Identifier: Apache-2.0
// The GPU-specific data that the configuration records point at: option
// entries and the graph option block, with their numbers. The host passes
// them to the GPU backend library unchanged. Host-includable.
#pragma once

#include <cstddef>
#include <cstdint>

namespace vek::gpu {

// Options of the backend's entries.
enum class GpuBackendOption : uint32_t {
    TuningMode = 0,                  // flag
    PerformanceCacheDir = 1,         // text
    InvalidatePerformanceCache = 2,  // flag
    WeightSharing = 3,               // flag
    DisableKernelProfiling = 4,      // flag
};

// Options of a context's entries. No key produces option 1.
enum class GpuContextOption : uint32_t {
    PerfHint = 0,              // GpuPerfHint
    KernelRepoPath = 2,        // text
    InvalidateKernelRepo = 3,  // flag
};

enum class GpuPerfHint : uint32_t { High = 0, Normal = 1, Low = 2 };

enum class GpuPrecisionMode : uint32_t { Fp32 = 0, Fp16 = 1, Hybrid = 2, UserProvided = 3 };

// One option: its number and a flag, an enumeration value or a text pointer.
// Zero-filled before it is written, so unused value bytes are 0.
struct GpuOptionEntry {
    uint32_t option;
    uint32_t padding;
    union Value {
        uint8_t flag;
        uint32_t enumValue;
        const char* text;
    } value;
};
static_assert(sizeof(GpuOptionEntry) == 16);
static_assert(offsetof(GpuOptionEntry, value) == 8);
static_assert(alignof(GpuOptionEntry) == 8);

// The graph-level options, one block shared by every graph.
struct GpuGraphOptions {
    uint32_t precisionMode = static_cast<uint32_t>(GpuPrecisionMode::UserProvided);
    uint8_t disableMemoryOptimizations = 0;
    uint8_t disableNodeOptimizations = 0;
    uint8_t disableQueueRecording = 0;
    uint8_t padding = 0;
};
static_assert(sizeof(GpuGraphOptions) == 8);
static_assert(offsetof(GpuGraphOptions, disableMemoryOptimizations) == 4);
static_assert(offsetof(GpuGraphOptions, disableNodeOptimizations) == 5);
static_assert(offsetof(GpuGraphOptions, disableQueueRecording) == 6);
static_assert(alignof(GpuGraphOptions) == 4);

}  // namespace vek::gpu
