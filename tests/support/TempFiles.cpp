#include "TempFiles.h"

#include <atomic>
#include <filesystem>
#include <fstream>
#include <random>
#include <stdexcept>

namespace vek::test {
namespace {

namespace fs = std::filesystem;

struct TempRoot {
    fs::path path;
    TempRoot() {
        std::random_device random;
        path = fs::temp_directory_path() / ("vek-tests-" + std::to_string(random()) + std::to_string(random()));
        fs::create_directories(path);
    }
    ~TempRoot() {
        std::error_code ignored;
        fs::remove_all(path, ignored);
    }
};

fs::path nextPath(const std::string& suffix) {
    static TempRoot root;
    static std::atomic<int> counter{0};
    return root.path / ("f" + std::to_string(counter++) + suffix);
}

}  // namespace

std::string writeTempFile(const std::string& content, const std::string& suffix) {
    const fs::path path = nextPath(suffix);
    std::ofstream out(path, std::ios::binary);
    out.write(content.data(), static_cast<std::streamsize>(content.size()));
    if (!out) throw std::runtime_error("cannot write " + path.string());
    return path.string();
}

std::string makeTempDirectory() {
    const fs::path path = nextPath("");
    fs::create_directories(path);
    return path.string();
}

}  // namespace vek::test
