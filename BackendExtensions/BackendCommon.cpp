// SPDX-FileCopyrightText: 2026 The VekGpuKalderExtensions Authors
// SPDX-License-Identifier: Apache-2.0
#include "BackendExtensions/BackendCommon.h"

#include "BackendExtensions/Identifier.h"
#include "log/Logger.h"

namespace vek::tools::kalder {

bool BackendCommon::installLogger(LogCallback callback, int32_t maxLevel) {
    if (callback == nullptr) return false;
    if (maxLevel < VEK_LOG_LEVEL_ERROR || maxLevel > VEK_LOG_LEVEL_DEBUG) return false;
    try {
        return log::installProcessLogger(callback, maxLevel);
    } catch (...) {
        return false;  // out of memory; never let it cross into the host
    }
}

std::string BackendCommon::makeIdentifier(std::string name) { return toIdentifier(std::move(name)); }

}  // namespace vek::tools::kalder
