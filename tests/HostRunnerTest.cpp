// The command-line host runner, run as a user runs it, and its check of a
// configuration file.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <map>

#include <rapidjson/document.h>

#include "BackendExtensions/GPUBackendExtensions/ConfigSchema.h"
#include "Lint.h"
#include "support/Cases.h"
#include "support/Command.h"
#include "support/TempFiles.h"

namespace vek::test {
namespace {

const std::string kRunner = VEK_RUNNER_PATH;
const std::string kExamples = VEK_EXAMPLES_DIR;

bool contains(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

TEST(HostRunner, RunsEveryExample) {
    for (const auto& example : std::filesystem::directory_iterator(kExamples)) {
        if (example.path().extension() != ".json") continue;
        const CommandResult result = runCommand(kRunner + " run " + example.path().string());
        EXPECT_EQ(result.exitCode, 0) << example.path() << "\n" << result.output;
        EXPECT_FALSE(contains(result.output, "ERROR")) << example.path() << "\n" << result.output;
    }
    const CommandResult bundled = runCommand(kRunner + " run --log-level=ERROR");
    EXPECT_EQ(bundled.exitCode, 0) << bundled.output;
    for (const char* line : {"  PerfHint                    HIGH\n", "  KernelRepoPath              \"/tmp/vek-kernels\"\n",
                             "Device: hardware device 1\n"}) {
        EXPECT_TRUE(contains(bundled.output, line)) << line << "\n" << bundled.output;
    }
    EXPECT_FALSE(contains(bundled.output, "INFO")) << "--log-level=ERROR hides info messages";
}

TEST(HostRunner, JsonForScripts) {
    rapidjson::Document document;
    CommandResult result = runCommand(kRunner + " run --json --log-level error " + kExamples + "/fp16-two-graphs.json");
    ASSERT_FALSE(document.Parse(result.output.c_str()).HasParseError()) << result.output;
    EXPECT_STREQ(document["graphs"][1]["precisionMode"].GetString(), "FP16");

    const std::string refused = writeTempFile(R"({"perf_hint": "max"})");
    result = runCommand(kRunner + " run --json " + refused, false);
    EXPECT_EQ(result.exitCode, 1);
    ASSERT_FALSE(document.Parse(result.output.c_str()).HasParseError()) << result.output;
    EXPECT_STREQ(document["error"].GetString(), "loadConfigFile returned false");
    EXPECT_STREQ(document["messages"][2].GetString(), "Config does not match schema");

    result = runCommand(kRunner + " check --json " + refused, false);
    ASSERT_FALSE(document.Parse(result.output.c_str()).HasParseError()) << result.output;
    EXPECT_STREQ(document["diagnostics"][0]["key"].GetString(), "/perf_hint");
    EXPECT_STREQ(document["diagnostics"][0]["allowed"][2].GetString(), "\"low\"");

    // "key" is the exact JSON Pointer: "~1" for "/", "/" for the empty name, the whole name past a NUL.
    result = runCommand(kRunner + " check --json " + writeTempFile(R"({"a/b": 1, "": 2, "z\u0000y": 3, "t~": [4]})"), false);
    ASSERT_FALSE(document.Parse(result.output.c_str()).HasParseError()) << result.output;
    std::vector<std::string> keys;
    for (const auto& d : document["diagnostics"].GetArray()) keys.emplace_back(d["key"].GetString(), d["key"].GetStringLength());
    EXPECT_EQ(keys, (std::vector<std::string>{"/a~1b", "/", std::string("/z\0y", 4), "/t~0"})) << result.output;
}

// One file per usual mistake in tests/lint, and the exact lines the check
// gives for each in tests/lint/expected.txt.
TEST(HostRunner, CheckSaysWhereEachMistakeIs) {
    tools::kalder::ConfigDocument schema;
    schema.Parse(gpu::configSchema);
    std::ifstream expectedFile(std::string(VEK_LINT_CASES) + "/expected.txt");
    std::map<std::string, std::string> expected;
    for (std::string line; std::getline(expectedFile, line);) {
        if (line[0] != '#') expected[line.substr(0, line.find(':'))] += line + "\n";
    }
    for (const auto& file : std::filesystem::directory_iterator(VEK_LINT_CASES)) {
        const std::string name = file.path().filename().string();
        if (file.path().extension() != ".json") continue;
        EXPECT_EQ(host::formatDiagnostics(name, host::lintConfigFile(file.path().string(), schema)), expected[name]);
        expected.erase(name);
    }
    EXPECT_TRUE(expected.empty()) << "a file is missing for " << expected.begin()->first;

    // Every mistake of a file in one run, from the command line.
    const std::string several = std::string(VEK_LINT_CASES) + "/several-mistakes.json";
    const CommandResult result = runCommand(kRunner + " check " + several, false);
    EXPECT_EQ(result.exitCode, 1);
    EXPECT_EQ(result.output.rfind(several + ":2:24: error: ", 0), 0u) << result.output;
    EXPECT_EQ(std::count(result.output.begin(), result.output.end(), '\n'), 5) << result.output;
    EXPECT_EQ(runCommand(kRunner + " check " + kExamples + "/tuning.json").output, "") << "silent on a good file";
    // Columns count characters as editors do, or bytes when asked.
    const std::string wide = std::string(VEK_LINT_CASES) + "/column-after-non-ascii.json";
    EXPECT_TRUE(contains(runCommand(kRunner + " check --column-unit=byte " + wide, false).output, wide + ":1:42: error: "));
}

TEST(HostRunner, DevicesAndKeys) {
    setEnv("VEK_SUBSTITUTE_DEVICES", "5,7:2");
    CommandResult result = runCommand(kRunner + " devices");
    unsetEnv("VEK_SUBSTITUTE_DEVICES");
    EXPECT_EQ(result.exitCode, 0) << result.output;
    EXPECT_TRUE(contains(result.output, "Backend API 3.13\nPlatform version 1, 2 hardware device(s):\n"
                                        "  hardware id 5, device version 1\n  hardware id 7, device version 2\n"))
        << result.output;
    result = runCommand(kRunner + " run " + writeTempFile(R"({"graph_names": ["g"], "device_id": 99})"));
    EXPECT_EQ(result.exitCode, 1);
    EXPECT_TRUE(contains(result.output, "device_id 99 matches no hardware device of")) << result.output;
    EXPECT_TRUE(contains(result.output, "; it has 1, 2 (see vekhost devices)")) << result.output;

    result = runCommand(kRunner + " keys");
    EXPECT_EQ(result.exitCode, 0);
    EXPECT_TRUE(contains(result.output, "device_id (integer from -2147483648 to 2147483647; default 0; needs \"graph_names\")\n"
                                        "    Selects the hardware device by its id\n"))
        << result.output;
}

// Bad usage and libraries that cannot be loaded (tests/cases/runner.json).
TEST(HostRunner, ClearErrors) {
    const std::string directory = makeTempDirectory();
    const std::map<std::string, std::string> places = {{"{missing}", directory + "/nothing.so"},
                                                       {"{directory}", directory},
                                                       {"{plugin}", VEK_PLUGIN_PATH},
                                                       {"{substitute}", VEK_SUBSTITUTE_BACKEND_PATH}};
    const tools::kalder::ConfigDocument cases = readCases("runner.json");
    for (const auto& c : cases.GetArray()) {
        std::string arguments = c["args"].GetString();
        for (const auto& [name, place] : places) {
            if (const size_t at = arguments.find(name); at != std::string::npos) arguments.replace(at, name.size(), place);
        }
        const CommandResult result = runCommand(kRunner + " " + arguments);
        EXPECT_EQ(result.exitCode, c["exit"].GetInt()) << arguments << "\n" << result.output;
        EXPECT_TRUE(contains(result.output, c["says"].GetString())) << arguments << "\n" << result.output;
    }
}

}  // namespace
}  // namespace vek::test
