// Real files on disk for the configuration tests, removed at process exit.
#pragma once

#include <string>

namespace vek::test {

// Writes `content` byte for byte to a new file and returns its path.
std::string writeTempFile(const std::string& content, const std::string& suffix = ".json");

// A fresh empty directory.
std::string makeTempDirectory();

}  // namespace vek::test
