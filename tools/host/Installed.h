// SPDX-FileCopyrightText: 2026 The VekGpuKalderExtensions Authors
// SPDX-License-Identifier: Apache-2.0
// Where the files installed with vekhost are: the plug-in, the substitute
// backend, the schemas and the examples.
#pragma once

#include <string>

namespace vek::host {

// A file installed with vekhost: beside it (a build tree), or in the data
// or library folder of an installation; a path as the platform writes it
// ("C:\vek\share\...\example.json" on Windows), without "..".
std::string installedFile(const std::string& name);

// "libNAME.so", "NAME.dll".
std::string sharedLibraryName(const std::string& name);

}  // namespace vek::host
