// The command-line host runner, run as a user runs it.
#include <gtest/gtest.h>

#include <rapidjson/document.h>

#include "support/Command.h"
#include "support/TempFiles.h"

namespace vek::test {
namespace {

const std::string kRunner = VEK_RUNNER_PATH;
const std::string kExamples = VEK_EXAMPLES_DIR;

bool contains(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

TEST(HostRunner, RunsEveryExample) {
    for (const char* example : {"example.json", "tuning.json", "fp16-two-graphs.json", "kernel-repo.json",
                                "device-selection.json"}) {
        const CommandResult result = runCommand(kRunner + " run " + kExamples + "/" + example);
        EXPECT_EQ(result.exitCode, 0) << example << "\n" << result.output;
        EXPECT_TRUE(contains(result.output, "Backend options (")) << example;
        EXPECT_FALSE(contains(result.output, "ERROR")) << example << "\n" << result.output;
    }
}

TEST(HostRunner, BundledExampleByDefault) {
    const CommandResult result = runCommand(kRunner + " run --log-level error");
    EXPECT_EQ(result.exitCode, 0) << result.output;
    for (const char* line : {"  TuningMode                  true\n", "  PerfHint                    HIGH\n",
                             "  detector: precision FP16, memory optimizations on, node optimizations off, "
                             "queue recording on\n",
                             "Device: hardware device 1\n"}) {
        EXPECT_TRUE(contains(result.output, line)) << line << "\n" << result.output;
    }
    EXPECT_FALSE(contains(result.output, "INFO")) << "--log-level error hides info messages";
}

TEST(HostRunner, JsonOutputForScripts) {
    const CommandResult result = runCommand(kRunner + " run --json --log-level error " + kExamples + "/fp16-two-graphs.json");
    ASSERT_EQ(result.exitCode, 0) << result.output;
    rapidjson::Document document;
    document.Parse(result.output.c_str());
    ASSERT_FALSE(document.HasParseError()) << result.output;
    ASSERT_EQ(document["graphs"].Size(), 2u);
    EXPECT_STREQ(document["graphs"][1]["name"].GetString(), "decoder");
    EXPECT_STREQ(document["graphs"][1]["precisionMode"].GetString(), "FP16");
    EXPECT_TRUE(document["graphs"][1]["disableNodeOptimizations"].GetBool());
    EXPECT_TRUE(document["device"].IsNull());
}

TEST(HostRunner, CheckExplainsRefusedFiles) {
    const struct {
        const char* content;
        const char* pluginMessage;
        const char* explanation;
    } cases[] = {
        {R"({"device_id": "0"})", "Config does not match schema",
         "vekhost: device_id is \"0\" (a string), but it must be an integer."},
        {R"({"graph_names": ["g"], "device_id": 1})", nullptr, nullptr},
        {R"({"device_id": 1})", "Schema error:\n#{\"dependencies\"",
         "vekhost: device_id needs graph_names, which the file does not set."},
        {R"({"perf_hint": "max"})", "error in key: #/perf_hint",
         "vekhost: perf_hint is \"max\" (a string), but it must be one of \"high\", \"normal\" or \"low\"."},
        {"[1]", "Config does not match schema", "vekhost: The file holds an array, but it must hold an object."},
        {R"({"graph_names": ["a", 3]})", "#/graph_names/1",
         "vekhost: graph_names/1 is 3 (an integer), but it must be a string."},
        {R"({"tunning_mode": true})", "Unsupported key: tunning_mode",
         "vekhost: \"tunning_mode\" is no configuration key; did you mean \"tuning_mode\"?"},
        {R"({"surplus": 1})", "Unsupported key: surplus", "vekhost: \"surplus\" is no configuration key."},
        {"{", "is not valid JSON, check format", "Failed parsing config"},
    };
    for (const auto& c : cases) {
        const CommandResult result = runCommand(kRunner + " check " + writeTempFile(c.content));
        if (c.pluginMessage == nullptr) {
            EXPECT_EQ(result.exitCode, 0) << c.content << "\n" << result.output;
            continue;
        }
        EXPECT_EQ(result.exitCode, 1) << c.content;
        const size_t plugin = result.output.find(c.pluginMessage);
        const size_t explained = result.output.find(c.explanation);
        EXPECT_NE(plugin, std::string::npos) << c.content << "\n" << result.output;
        EXPECT_NE(explained, std::string::npos) << c.content << "\n" << result.output;
        EXPECT_LE(plugin, explained) << "the plug-in's own messages come first";
    }
}

TEST(HostRunner, ClearErrors) {
    const std::string missing = makeTempDirectory() + "/nothing.so";
    const struct {
        std::string arguments;
        int exitCode;
        const char* message;
    } cases[] = {
        {"--help", 0, "Usage: vekhost"},
        {"--frobnicate run", 2, "unknown option --frobnicate"},
        {"", 2, "no command given"},
        {"check", 2, "check needs a configuration file"},
        {"--log-level 9 run", 2, "--log-level takes"},
        {"--plugin " + missing + " run", 2, "cannot load the plug-in"},
        {"--plugin " + std::string(VEK_SUBSTITUTE_BACKEND_PATH) + " run", 2,
         "is no backend extension: it does not export createBackendInterface"},
        {"--backend " + missing + " run", 1, "cannot load the GPU backend library"},
        {"--backend " + std::string(VEK_PLUGIN_PATH) + " run", 1, "vekhost: bindBackendLibrary returned false"},
        {"run " + missing, 1, "vekhost: loadConfigFile returned false"},
    };
    for (const auto& c : cases) {
        const CommandResult result = runCommand(kRunner + " " + c.arguments);
        EXPECT_EQ(result.exitCode, c.exitCode) << c.arguments << "\n" << result.output;
        EXPECT_TRUE(contains(result.output, c.message)) << c.arguments << "\n" << result.output;
    }
}

TEST(HostRunner, DeviceThatDoesNotExistFailsTheRun) {
    const CommandResult result =
        runCommand(kRunner + " run " + writeTempFile(R"({"graph_names": ["g"], "device_id": 99})"));
    EXPECT_EQ(result.exitCode, 1);
    EXPECT_TRUE(contains(result.output, "Unable to find device with matching device_id")) << result.output;
    EXPECT_TRUE(contains(result.output, "vekhost: getDeviceConfigs returned false")) << result.output;
}

}  // namespace
}  // namespace vek::test
