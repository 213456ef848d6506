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
    for (const char* line : {"  TuningMode                  true\n", "  PerfHint                    HIGH\n",
                             "  detector: precision FP16, memory optimizations on, node optimizations off, "
                             "queue recording on\n",
                             "Device: hardware device 1\n"}) {
        EXPECT_TRUE(contains(bundled.output, line)) << line << "\n" << bundled.output;
    }
    EXPECT_FALSE(contains(bundled.output, "INFO")) << "--log-level=ERROR hides info messages";
}

TEST(HostRunner, JsonForScripts) {
    rapidjson::Document document;
    CommandResult result = runCommand(kRunner + " run --json --log-level error " + kExamples + "/fp16-two-graphs.json");
    ASSERT_FALSE(document.Parse(result.output.c_str()).HasParseError()) << result.output;
    EXPECT_STREQ(document["graphs"][1]["name"].GetString(), "decoder");
    EXPECT_STREQ(document["graphs"][1]["precisionMode"].GetString(), "FP16");
    EXPECT_TRUE(document["device"].IsNull());

    const std::string refused = writeTempFile(R"({"perf_hint": "max"})");
    result = runCommand(kRunner + " run --json " + refused, false);
    EXPECT_EQ(result.exitCode, 1);
    ASSERT_FALSE(document.Parse(result.output.c_str()).HasParseError()) << result.output;
    EXPECT_STREQ(document["error"].GetString(), "loadConfigFile returned false");
    EXPECT_STREQ(document["messages"][2].GetString(), "Config does not match schema");

    result = runCommand(kRunner + " check --json " + refused, false);
    ASSERT_FALSE(document.Parse(result.output.c_str()).HasParseError()) << result.output;
    const rapidjson::Value& diagnostic = document["diagnostics"][0];
    EXPECT_FALSE(document["valid"].GetBool());
    EXPECT_EQ(diagnostic["line"].GetUint(), 1u);
    EXPECT_EQ(diagnostic["column"].GetUint(), 15u);
    EXPECT_STREQ(diagnostic["key"].GetString(), "/perf_hint");
    EXPECT_STREQ(diagnostic["allowed"][2].GetString(), "\"low\"");
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
    EXPECT_EQ(result.output.substr(0, result.output.find(':')), several);
    EXPECT_EQ(std::count(result.output.begin(), result.output.end(), '\n'), 5) << result.output;
    EXPECT_EQ(runCommand(kRunner + " check " + kExamples + "/tuning.json").output, "") << "silent on a good file";
}

TEST(HostRunner, DevicesAndKeys) {
    setEnv("VEK_SUBSTITUTE_DEVICES", "5,7:2");
    CommandResult result = runCommand(kRunner + " devices");
    unsetEnv("VEK_SUBSTITUTE_DEVICES");
    EXPECT_EQ(result.exitCode, 0) << result.output;
    for (const char* line : {"Backend API 3.13\n", "Platform version 1, 2 hardware device(s):\n",
                             "  hardware id 5, device version 1\n", "  hardware id 7, device version 2\n"}) {
        EXPECT_TRUE(contains(result.output, line)) << line << "\n" << result.output;
    }
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

TEST(HostRunner, ClearErrors) {
    const std::string missing = makeTempDirectory() + "/nothing.so";
    const struct {
        std::string arguments;
        int exitCode;
        const char* message;
    } cases[] = {
        {"--help", 0, "Usage: vekhost"},
        {"--version", 0, "vekhost (VekGpuKalderExtensions) "},
        {"--frobnicate run", 2, "unknown option --frobnicate"},
        {"", 2, "no command given"},
        {"check", 2, "check needs a configuration file"},
        {"--log-level 9 run", 2, "--log-level takes"},
        {"--plugin " + missing + " run", 2, "cannot load the plug-in"},
        {"--plugin " + std::string(VEK_SUBSTITUTE_BACKEND_PATH) + " run", 2,
         "is no backend extension: it does not export createBackendInterface"},
        {"--backend " + missing + " run", 2, "cannot load the GPU backend library"},
        {"--backend " + missing + " devices", 2, "cannot load the GPU backend library"},
        {"--backend " + std::string(VEK_PLUGIN_PATH) + " run", 1, "vekhost: bindBackendLibrary returned false"},
        {"run " + missing, 1, "1:1: error: cannot read the file"},
        {"check " + makeTempDirectory(), 1, "1:1: error: cannot read the file"},
    };
    for (const auto& c : cases) {
        const CommandResult result = runCommand(kRunner + " " + c.arguments);
        EXPECT_EQ(result.exitCode, c.exitCode) << c.arguments << "\n" << result.output;
        EXPECT_TRUE(contains(result.output, c.message)) << c.arguments << "\n" << result.output;
    }
}

}  // namespace
}  // namespace vek::test
