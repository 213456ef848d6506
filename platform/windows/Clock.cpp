// SPDX-FileCopyrightText: 2026 The VekGpuKalderExtensions Authors
// SPDX-License-Identifier: Apache-2.0
#include "platform/Clock.h"

#include <windows.h>

namespace vek::platform {

uint64_t wallClockNs() {
    FILETIME now{};
    GetSystemTimePreciseAsFileTime(&now);
    const uint64_t since1601 = (static_cast<uint64_t>(now.dwHighDateTime) << 32) | now.dwLowDateTime;
    const uint64_t ticksFrom1601To1970 = 116444736000000000ull;
    return (since1601 - ticksFrom1601To1970) * 100u;
}

}  // namespace vek::platform
