// SPDX-FileCopyrightText: 2026 The VekGpuKalderExtensions Authors
// SPDX-License-Identifier: Apache-2.0
#include "Installed.h"

#include <filesystem>
#include <system_error>

#include "platform/DynamicLibrary.h"
#include "platform/Process.h"

namespace vek::host {

std::string installedFile(const std::string& name) {
    namespace fs = std::filesystem;
    const fs::path directory = fs::path(platform::executableDirectory());
    const fs::path relative = fs::path(name);
    fs::path found = directory / relative;
    for (const fs::path& candidate : {directory / relative, directory / ".." / "share" / "VekGpuKalderExtensions" / relative,
                                      directory / ".." / "lib" / relative}) {
        std::error_code error;
        if (fs::is_regular_file(candidate, error)) {
            found = candidate;
            break;
        }
    }
    return found.lexically_normal().make_preferred().string();
}

std::string sharedLibraryName(const std::string& name) { return platform::sharedLibraryFileName(name); }

}  // namespace vek::host
