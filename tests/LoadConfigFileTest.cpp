// SPDX-FileCopyrightText: 2026 The VekGpuKalderExtensions Authors
// SPDX-License-Identifier: Apache-2.0
// From a configuration file to settings, as the host receives them through
// the record hooks: every key's entries and messages, every failure, and the
// schema's report on a file it refuses.
#include <gtest/gtest.h>

#include <cstring>

#include "support/Cases.h"
#include "support/LogCapture.h"
#include "support/Plugin.h"
#include "support/RecordCheck.h"
#include "support/TempFiles.h"

namespace vek::test {
namespace {

std::vector<std::string> options(const std::vector<Option>& list) {
    std::vector<std::string> out;
    for (const Option& option : list) out.push_back(std::to_string(option.option) + " " + option.value);
    return out;
}

// Loads `content` and holds the messages and records against the case.
void check(const std::string& name, const std::string& content, bool loads, const std::vector<LogLine>& log,
           const tools::kalder::ConfigValue& c) {
    BackendPtr backend = makeBackend();
    captureLogsOf(*backend);
    const std::string path = writeTempFile(content);
    EXPECT_EQ(backend->loadConfigFile(path), loads) << name;
    EXPECT_EQ(lintFindsError(path), !loads) << "the runner's check disagrees on " << name;
    EXPECT_EQ(capturedLines(), log) << name;
    const Records records = readRecords(*backend);
    EXPECT_EQ(records.problems, Problems{}) << name;
    EXPECT_EQ(options(records.backend), strings(c, "backend")) << name;
    EXPECT_EQ(options(records.context), strings(c, "context")) << name;
    EXPECT_EQ(records.graphs, strings(c, "graphs")) << name;
    if (!records.graphs.empty()) {
        EXPECT_EQ(records.graphOptions, c.HasMember("block") ? c["block"].GetString() : "p3 m0 n0 q0") << name;
    }
}

// Every case of tests/cases/keys.json: a key's entries and messages, and
// every way a key is refused.
TEST(LoadConfigFile, EveryKey) {
    const tools::kalder::ConfigDocument cases = readCases("keys.json");
    for (const auto& c : cases.GetArray()) {
        check(c["name"].GetString(), jsonText(c["config"]), c["loads"].GetBool(), expectedLog(c), c);
    }
}

// One object of thousands of members, names repeated among them, ending in a
// name the lookup cannot read: the messages and graphs are those of the first
// member of each name, as in an object of a few members, up to that name.
TEST(LoadConfigFile, LargeObjectTakesTheFirstMemberOfEachName) {
    std::string text = "{";
    tools::kalder::ConfigDocument expected(rapidjson::kObjectType);
    tools::kalder::ConfigValue graphs(rapidjson::kArrayType);
    std::vector<LogLine> log;
    for (int i = 0; i < 4000; ++i) {
        const std::string first = "g" + std::to_string(i % 1500);
        text += "\"x_graph_names_" + std::to_string(i % 1500) + "\": \"g" + std::to_string(i) + "\", ";
        graphs.PushBack(tools::kalder::ConfigValue(first.c_str(), expected.GetAllocator()), expected.GetAllocator());
        log.push_back(infoLine("Graph name: %s", "Graph name: " + first));
    }
    text += R"("graph_names~": "h"})";
    for (const char* format : {"Invalid key: %s", "Unsupported key: %s"}) {
        log.push_back(errorLine(format, std::string(format, std::strlen(format) - 2) + "graph_names~"));
    }
    expected.AddMember("graphs", graphs, expected.GetAllocator());
    check("4,000 members", text, false, log, expected);
}

TEST(LoadConfigFile, ThreeHundredGraphNames) {
    tools::kalder::ConfigDocument expected(rapidjson::kObjectType);
    tools::kalder::ConfigValue graphs(rapidjson::kArrayType);
    std::vector<LogLine> log;
    for (int i = 0; i < 300; ++i) {
        const std::string name = "g" + std::to_string(i);
        graphs.PushBack(tools::kalder::ConfigValue(name.c_str(), expected.GetAllocator()), expected.GetAllocator());
        log.push_back(infoLine("Graph name: %s", "Graph name: " + name));
    }
    expected.AddMember("graphs", graphs, expected.GetAllocator());
    check("300 graph names", R"({"graph_names": )" + jsonText(expected["graphs"]) + "}", true, log, expected);
}

TEST(LoadConfigFile, SecondLoadStartsFromFreshSettings) {
    BackendPtr backend = makeBackend();
    ASSERT_TRUE(backend->loadConfigFile(writeTempFile(
        R"({"graph_names": ["a"], "tuning_mode": true, "performance_cache_dir": "first-cache-directory-of-some-length",
            "kernel_repo_path": "repo", "precision_mode": "fp16"})")));
    ASSERT_TRUE(backend->loadConfigFile(
        writeTempFile(R"({"graph_names": ["b"], "tuning_mode": false, "performance_cache_dir": "second"})")));
    // A load that fails before the keys changes nothing.
    EXPECT_FALSE(backend->loadConfigFile(writeTempFile("{")));
    EXPECT_FALSE(backend->loadConfigFile(writeTempFile(R"({"device_id": 1})")));
    const Records records = readRecords(*backend);
    EXPECT_EQ(options(records.backend), (std::vector<std::string>{"0 flag:0", "1 text:second"}));
    EXPECT_TRUE(records.context.empty());
    EXPECT_EQ(records.graphs, std::vector<std::string>{"b"});
    EXPECT_EQ(records.graphOptions, "p3 m0 n0 q0");
}

// The exact location and schema report of every case in
// tests/cases/reports.json.
TEST(SchemaReport, ExactReports) {
    const tools::kalder::ConfigDocument cases = readCases("reports.json");
    for (const auto& c : cases.GetArray()) {
        const std::string content = jsonText(c["config"]), location = c["location"].GetString();
        const std::string path = writeTempFile(content);
        BackendPtr backend = makeBackend();
        captureLogsOf(*backend);
        EXPECT_FALSE(backend->loadConfigFile(path)) << content;
        EXPECT_TRUE(lintFindsError(path)) << "the runner's check disagrees on " << content;
        EXPECT_EQ(capturedLines(),
                  (std::vector<LogLine>{
                      errorLine("Input file does not adhere to schema, error in key: %s",
                                "Input file does not adhere to schema, error in key: " + location),
                      errorLine("Schema error:\n%s", "Schema error:\n" + location + jsonText(c["report"])),
                      errorLine("Config does not match schema"),
                  }))
            << content;
    }
}

}  // namespace
}  // namespace vek::test
