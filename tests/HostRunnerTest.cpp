// The command-line host runner, run as a user runs it, and its check of a
// configuration file.
#include <gtest/gtest.h>

#include <filesystem>

#include <rapidjson/document.h>

#include "BackendExtensions/GPUBackendExtensions/ConfigSchema.h"
#include "Lint.h"
#include "support/Command.h"
#include "support/Env.h"
#include "support/TempFiles.h"

namespace vek::test {
namespace {

using namespace std::string_literals;

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

// One file per usual mistake, and the exact line the check gives for it.
TEST(HostRunner, CheckSaysWhereEachMistakeIs) {
    tools::kalder::ConfigDocument schema;
    schema.Parse(gpu::configSchema);
    const struct {
        std::string content;
        const char* diagnostic;
    } cases[] = {
        {"{\n  \"perf_hint\": \"low\",\n}", "3:1: error: not valid JSON: Missing a name for object member (a comma before the closing bracket)"},
        {"[1, 2,]", "1:7: error: not valid JSON: Invalid value (a comma before the closing bracket)"},
        {"{\n  // tuned\n}", "2:3: error: not valid JSON: Missing a name for object member (JSON has no comments)"},
        {"\xEF\xBB\xBF{}", "1:1: error: not valid JSON: Invalid value (the file starts with a byte-order mark; save it as UTF-8 without one)"},
        {"{'perf_hint': 'low'}", "1:2: error: not valid JSON: Missing a name for object member (strings and names take double quotes, not single ones)"},
        {"{perf_hint: 1}", "1:2: error: not valid JSON: Missing a name for object member (member names take double quotes)"},
        {R"({"graph_names": ["a")", "1:21: error: not valid JSON: Missing a comma or ']' after an array element (the file ends before the value is complete)"},
        {"{}\n{}", "2:1: error: not valid JSON: The document root must not be followed by other values (a second value follows the first; a file holds one object)"},
        {"", "1:1: error: not valid JSON: The document is empty (the file holds no JSON value)"},
        {"{\"a\": \"x\"}\0 {}"s, "1:11: error: not valid JSON: a NUL byte; the file is read as it is, and JSON text holds none"},
        {"{\"a\":" + std::string(300, '['), "1:261: error: not valid JSON: arrays and objects nested deeper than 256 levels, the plug-in's limit"},
        {"[1e-123456]", "1:2: error: not valid JSON: an exponent of more than 5 digits, the plug-in's limit"},
        {"{\n  \"graph_names\": [\"g\"],\n  \"device_id\": \"0\"\n}", "3:16: error: device_id is \"0\" (a string), but it must be an integer"},
        {R"({"perf_hint": "max"})", "1:15: error: perf_hint is \"max\" (a string), but it must be one of \"high\", \"normal\" or \"low\""},
        {R"({"tunning_mode": true})", "1:2: error: \"tunning_mode\" is no configuration key; did you mean \"tuning_mode\"?"},
        {R"({"device_id": 1})", "1:2: error: device_id needs graph_names, which the file does not set"},
        {R"({"graph_names": [], "device_id": 3000000000})", "1:34: error: device_id is 3000000000 (an integer), outside the signed 32-bit range the plug-in takes (-2147483648 to 2147483647)"},
        {R"({"perf_hint": "high", "perf_hint": "low"})", "1:23: warning: perf_hint is given again; the plug-in reads the first one, \"high\", wherever this key occurs"},
        {"[1]", "1:1: error: the file holds an array, but it must be an object"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(host::formatDiagnostics("f.json", host::lintConfigText(c.content, schema)),
                  "f.json:" + std::string(c.diagnostic) + "\n")
            << c.content;
    }
}

TEST(HostRunner, CheckFindsEveryMistakeInOneRun) {
    const std::string path = writeTempFile(R"({
  "graph_names": ["a", 3],
  "perf_hint": "max",
  "tunning_mode": true,
  "invalidate_kernel_repo": true,
  "weight_sharing": 1
})");
    const CommandResult result = runCommand(kRunner + " check " + path, false);
    EXPECT_EQ(result.exitCode, 1);
    EXPECT_EQ(result.output, path + ":2:24: error: graph_names/1 is 3 (an integer), but it must be a string\n" + path +
                                 ":3:16: error: perf_hint is \"max\" (a string), but it must be one of \"high\", \"normal\" or \"low\"\n" +
                                 path + ":4:3: error: \"tunning_mode\" is no configuration key; did you mean \"tuning_mode\"?\n" +
                                 path + ":5:3: error: invalidate_kernel_repo needs kernel_repo_path, which the file does not set\n" +
                                 path + ":6:21: error: weight_sharing is 1 (an integer), but it must be a boolean\n");
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
