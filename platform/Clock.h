// SPDX-FileCopyrightText: 2026 The VekGpuKalderExtensions Authors
// SPDX-License-Identifier: Apache-2.0
// The system's precise wall-clock time.
#pragma once

#include <cstdint>

namespace vek::platform {

// Nanoseconds since 1970-01-01 00:00 UTC, counted in whole 100-ns ticks (the
// resolution of the Windows system time), so every value is a multiple of 100.
uint64_t wallClockNs();

}  // namespace vek::platform
