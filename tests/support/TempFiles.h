// SPDX-FileCopyrightText: 2026 The VekGpuKalderExtensions Authors
// SPDX-License-Identifier: Apache-2.0
// Real files on disk for the configuration tests and the fuzz target, in one
// directory of this process that is removed at exit.
#pragma once

#include <string>

namespace vek::test {

// The path of `name` in this process's directory.
std::string tempPath(const std::string& name);

// Writes `content` byte for byte to `path`.
void writeFile(const std::string& path, const std::string& content);

// Writes `content` to a new file and returns its path.
std::string writeTempFile(const std::string& content);

// A fresh empty directory.
std::string makeTempDirectory();

}  // namespace vek::test
