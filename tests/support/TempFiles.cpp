// SPDX-FileCopyrightText: 2026 The VekGpuKalderExtensions Authors
// SPDX-License-Identifier: Apache-2.0
#include "TempFiles.h"

#include <atomic>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>
#include <stdexcept>

namespace vek::test {
namespace {

namespace fs = std::filesystem;

// With VEK_TEST_FILES_DIR set, the files stay there for other checks to read
// (scripts/editor-schema.sh validates them with another validator).
struct TempRoot {
    fs::path path;
    bool keep = std::getenv("VEK_TEST_FILES_DIR") != nullptr;
    TempRoot() {
        std::random_device random;
        path = (keep ? fs::path(std::getenv("VEK_TEST_FILES_DIR")) : fs::temp_directory_path()) /
               ("vek-tests-" + std::to_string(random()) + std::to_string(random()));
        fs::create_directories(path);
    }
    ~TempRoot() {
        std::error_code ignored;
        if (!keep) fs::remove_all(path, ignored);
    }
};

std::atomic<int> files{0};

}  // namespace

std::string tempPath(const std::string& name) {
    static TempRoot root;
    return (root.path / name).string();
}

void writeFile(const std::string& path, const std::string& content) {
    std::ofstream out(path, std::ios::binary);
    out.write(content.data(), static_cast<std::streamsize>(content.size()));
    if (!out) throw std::runtime_error("cannot write " + path);
}

std::string writeTempFile(const std::string& content) {
    const std::string path = tempPath("f" + std::to_string(files++) + ".json");
    writeFile(path, content);
    return path;
}

std::string makeTempDirectory() {
    const std::string path = tempPath("d" + std::to_string(files++));
    fs::create_directories(path);
    return path;
}

}  // namespace vek::test
