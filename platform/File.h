// SPDX-FileCopyrightText: 2026 The VekGpuKalderExtensions Authors
// SPDX-License-Identifier: Apache-2.0
// Opening a file for reading without locking other openers out.
#pragma once

#include <cstdio>
#include <string>

namespace vek::platform {

// Opens `path` read-only in text mode and shares it with every other opener
// (Windows: _fsopen with _SH_DENYNO). A directory is refused at open, as it is
// on Windows. Null on failure.
std::FILE* openFileForReading(const std::string& path);

}  // namespace vek::platform
