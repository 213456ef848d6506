// SPDX-FileCopyrightText: 2026 The VekGpuKalderExtensions Authors
// SPDX-License-Identifier: Apache-2.0
// Reading the configuration file: what counts as a file, as JSON, and the
// limits that keep any file from harming the host.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

#include "support/Cases.h"
#include "support/LogCapture.h"
#include "support/Plugin.h"
#include "support/TempFiles.h"

namespace vek::test {
namespace {

std::vector<LogLine> notJson(const std::string& path) {
    return {errorLine("Input file %s is not valid JSON, check format", "Input file " + path + " is not valid JSON, check format"),
            errorLine("Failed parsing config")};
}

// The cases are files of the fuzz seed corpus: json-ok-*.json are JSON the
// plug-in reads, json-bad-*.json are not (strict JSON, the nesting, number
// and exponent limits, NUL bytes, lone surrogates).
TEST(ConfigFile, StrictJsonOnly) {
    int cases = 0;
    for (const auto& file : std::filesystem::directory_iterator(VEK_CONFIG_CORPUS)) {
        const std::string name = file.path().filename().string(), path = file.path().string();
        if (name.rfind("json-", 0) != 0) continue;
        ++cases;
        BackendPtr backend = makeBackend();
        captureLogsOf(*backend);
        const bool loaded = backend->loadConfigFile(path);
        EXPECT_EQ(lintFindsError(path), !loaded) << "the runner's check disagrees on " << name;
        const std::vector<LogLine> lines = capturedLines();
        if (name.rfind("json-bad-", 0) == 0) {
            EXPECT_EQ(lines, notJson(path)) << name;
        } else {
            EXPECT_EQ(std::count(lines.begin(), lines.end(), notJson(path)[0]), 0) << name;
        }
    }
    EXPECT_GT(cases, 30);
}

TEST(ConfigFile, PathsThatNameNoFile) {
    const std::string directory = makeTempDirectory();
    BackendPtr backend = makeBackend();
    captureLogsOf(*backend);
    EXPECT_TRUE(backend->loadConfigFile(""));  // no configuration at all
    EXPECT_TRUE(capturedLines().empty());
    for (const std::string& path : {directory + "/absent.json", directory}) {
        clearCapturedLines();
        EXPECT_FALSE(backend->loadConfigFile(path));
        EXPECT_EQ(capturedLines(), (std::vector<LogLine>{errorLine("Cannot open file %s", "Cannot open file " + path),
                                                          errorLine("Failed parsing config")}));
    }
}

// Refused before the parser, which would recurse a million times, sees it.
TEST(ConfigFile, MillionDeepNesting) {
    std::string objects;
    for (int i = 0; i < 1000000; ++i) objects += "{\"a\":";
    BackendPtr backend = makeBackend();
    for (const std::string& content : {std::string(1000000, '[') + std::string(1000000, ']'),
                                       objects + "1" + std::string(1000000, '}')}) {
        captureLogsOf(*backend);
        const std::string path = writeTempFile(content);
        EXPECT_FALSE(backend->loadConfigFile(path));
        EXPECT_EQ(capturedLines(), notJson(path));
    }
}

}  // namespace
}  // namespace vek::test
