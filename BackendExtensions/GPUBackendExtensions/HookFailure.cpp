// SPDX-FileCopyrightText: 2026 The VekGpuKalderExtensions Authors
// SPDX-License-Identifier: Apache-2.0
#include <exception>

#include "BackendExtensions/GPUBackendExtensions/GPUBackend.h"
#include "log/Log.h"

namespace vek::gpu {

bool hookFailed(const char* hook) noexcept {
    try {
        try {
            throw;
        } catch (const std::exception& error) {
            VEK_LOG(VEK_LOG_LEVEL_ERROR, "Unexpected failure in %s: %s", hook, error.what());
        } catch (...) {
            VEK_LOG(VEK_LOG_LEVEL_ERROR, "Unexpected failure in %s: %s", hook, "unknown exception");
        }
    } catch (...) {
        // Logging itself ran out of memory: the false result still tells.
    }
    return false;
}

}  // namespace vek::gpu
