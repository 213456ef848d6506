// SPDX-FileCopyrightText: 2026 The VekGpuKalderExtensions Authors
// SPDX-License-Identifier: Apache-2.0
// Where the running program lives, so tools find the files installed beside it.
#pragma once

#include <string>

namespace vek::platform {

// The directory of the running executable, without a trailing separator;
// empty when it cannot be told.
std::string executableDirectory();

}  // namespace vek::platform
