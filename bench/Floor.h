// SPDX-FileCopyrightText: 2026 The VekGpuKalderExtensions Authors
// SPDX-License-Identifier: Apache-2.0
// The floor of loading a configuration: read the file, parse it, compile the
// schema and validate. Every load must do at least this.
#pragma once

#include <string>

namespace vek::bench {

bool readParseValidate(const std::string& path);

}  // namespace vek::bench
