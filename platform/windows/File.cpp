// SPDX-FileCopyrightText: 2026 The VekGpuKalderExtensions Authors
// SPDX-License-Identifier: Apache-2.0
#include "platform/File.h"

#include <share.h>
#include <stdio.h>

namespace vek::platform {

std::FILE* openFileForReading(const std::string& path) { return _fsopen(path.c_str(), "r", _SH_DENYNO); }

}  // namespace vek::platform
