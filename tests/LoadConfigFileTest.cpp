// From a configuration file to settings, as the host receives them through
// the record hooks: every key's entries and messages, and every failure.
#include <gtest/gtest.h>

#include "support/LintVerdict.h"
#include "support/LogCapture.h"
#include "support/Plugin.h"
#include "support/RecordCheck.h"
#include "support/TempFiles.h"

namespace vek::test {
namespace {

struct LoadCase {
    std::string content;
    bool result;
    std::vector<LogLine> lines;
    std::vector<Option> backend = {};
    std::vector<Option> context = {};
    std::vector<std::string> graphs = {};
    std::string graphOptions = "p3 m0 n0 q0";  // read only when there are graphs
};

LogLine graphLine(const std::string& name) { return infoLine("Graph name: %s", "Graph name: " + name); }
LogLine unsupported(const std::string& key) { return errorLine("Unsupported key: %s", "Unsupported key: " + key); }
LogLine invalidKey(const std::string& key) { return errorLine("Invalid key: %s", "Invalid key: " + key); }
Option flag(uint32_t option, int value) { return {option, "flag:" + std::to_string(value)}; }
Option text(uint32_t option, const std::string& value) { return {option, "text:" + value}; }
Option hint(int value) { return {0, "enum:" + std::to_string(value)}; }

void check(const std::vector<LoadCase>& cases) {
    for (const LoadCase& c : cases) {
        BackendPtr backend = makeBackend();
        captureLogsOf(*backend);
        const std::string path = writeTempFile(c.content);
        EXPECT_EQ(backend->loadConfigFile(path), c.result) << c.content;
        EXPECT_EQ(lintFindsError(path), !c.result) << "the runner's check disagrees on " << c.content;
        EXPECT_EQ(capturedLines(), c.lines) << c.content;
        const Records records = readRecords(*backend);
        EXPECT_EQ(records.problems, Problems{}) << c.content;
        EXPECT_EQ(records.backend, c.backend) << c.content;
        EXPECT_EQ(records.context, c.context) << c.content;
        EXPECT_EQ(records.graphs, c.graphs) << c.content;
        if (!c.graphs.empty()) {
            EXPECT_EQ(records.graphOptions, c.graphOptions) << c.content;
        }
    }
}

TEST(LoadConfigFile, GraphNames) {
    std::string many = R"({"graph_names": [)";
    std::vector<LogLine> manyLines;
    std::vector<std::string> manyNames;
    for (int i = 0; i < 300; ++i) {
        many += (i > 0 ? ",\"g" : "\"g") + std::to_string(i) + "\"";
        manyNames.push_back("g" + std::to_string(i));
        manyLines.push_back(graphLine(manyNames.back()));
    }
    check({
        {R"({"graph_names": ["net 1", "2nd", "", "my-graph.final", "-x", "azAZ09_", "{z}", "\u00e9"]})", true,
         {graphLine("net_1"), graphLine("_2nd"), graphLine("_"), graphLine("my_graph_final"), graphLine("_x"),
          graphLine("azAZ09_"), graphLine("_z_"), graphLine("__")},
         {}, {}, {"net_1", "_2nd", "_", "my_graph_final", "_x", "azAZ09_", "_z_", "__"}},
        {R"({"graph_names": ["a", "a", "a-b", "ab\u0000cd"]})", true,
         {graphLine("a"), graphLine("a"), graphLine("a_b"), graphLine("ab")}, {}, {}, {"a", "a", "a_b", "ab"}},
        {many + "]}", true, manyLines, {}, {}, manyNames},
        {R"({"my_graph_names": "x"})", true, {graphLine("x")}, {}, {}, {"x"}},
        {R"({"my_graph_names": 5})", false, {unsupported("my_graph_names")}},
        {R"({"extra": {"graph_names": true}})", false, {unsupported("extra/graph_names")}},
        // Applied, but no graph receives it.
        {R"({"graph_names": [], "precision_mode": "fp16", "device_id": 1})", true,
         {infoLine("Setting FP16 precision mode")}},
    });
}

TEST(LoadConfigFile, GraphOptions) {
    check({
        {R"({"graph_names": ["g"], "precision_mode": "fp32", "disable_queue_recording": true})", true,
         {graphLine("g"), infoLine("Setting FP32 precision mode"), infoLine("Disabling Queue Recording")}, {}, {},
         {"g"}, "p0 m0 n0 q1"},
        {R"({"graph_names": ["g"], "precision_mode": "hybrid", "disable_memory_optimizations": true})", true,
         {graphLine("g"), infoLine("Setting hybrid precision mode"), infoLine("Disabling memory optimizations")}, {},
         {}, {"g"}, "p2 m1 n0 q0"},
        {R"({"precision_mode": "user_provided", "graph_names": ["g"], "disable_node_optimizations": true})", true,
         {infoLine("Setting user provided precision mode"), graphLine("g"), infoLine("Disabling node optimizations")},
         {}, {}, {"g"}, "p3 m0 n1 q0"},
        {R"({"graph_names": ["g"], "disable_memory_optimizations": false, "disable_node_optimizations": false,
             "disable_queue_recording": false})",
         true,
         {graphLine("g"), infoLine("Enabling memory optimizations"), infoLine("Enabling node optimizations"),
          infoLine("Enabling Queue Recording")},
         {}, {}, {"g"}},
        // A repeated key is looked up twice and finds its first value both times.
        {R"({"graph_names": ["g"], "precision_mode": "fp16", "precision_mode": "fp32"})", true,
         {graphLine("g"), infoLine("Setting FP16 precision mode"), infoLine("Setting FP16 precision mode")}, {}, {},
         {"g"}, "p1 m0 n0 q0"},
    });
}

TEST(LoadConfigFile, BackendOptions) {
    check({
        {R"({"graph_names": ["g"], "tuning_mode": true, "performance_cache_dir": "cache", "disable_kernel_profiling": false})",
         true,
         {graphLine("g"), infoLine("Enabling tuning mode"),
          infoLine("Performance cache directory: %s", "Performance cache directory: cache"),
          infoLine("Kernel profiling is enabled")},
         {flag(0, 1), text(1, "cache"), flag(4, 0)}, {}, {"g"}},
        {R"({"graph_names": ["g"], "weight_sharing": true, "tuning_mode": false, "performance_cache_dir": "c",
             "invalidate_performance_cache": true, "disable_kernel_profiling": true, "weight_sharing": false,
             "invalidate_performance_cache": false})",
         true,
         {graphLine("g"), infoLine("Weight sharing is enabled"), infoLine("Disabling tuning mode"),
          infoLine("Performance cache directory: %s", "Performance cache directory: c"),
          infoLine("Invalidating the performance cache"), infoLine("Kernel profiling is disabled"),
          infoLine("Weight sharing is enabled"), infoLine("Invalidating the performance cache")},
         {flag(3, 1), flag(0, 0), text(1, "c"), flag(2, 1), flag(4, 1), flag(3, 1), flag(2, 1)}, {}, {"g"}},
        {R"({"graph_names": ["g"], "weight_sharing": false, "tuning_mode": true, "performance_cache_dir": "c",
             "invalidate_performance_cache": false})",
         true,
         {graphLine("g"), infoLine("Weight sharing is disabled"), infoLine("Enabling tuning mode"),
          infoLine("Performance cache directory: %s", "Performance cache directory: c"),
          infoLine("Not invalidating the performance cache")},
         {flag(3, 0), flag(0, 1), text(1, "c"), flag(2, 0)}, {}, {"g"}},
        // Each occurrence appends an entry; both point at the one stored text.
        {R"({"graph_names": ["g"], "tuning_mode": true, "performance_cache_dir": "same",
             "performance_cache_dir": "other"})",
         true,
         {graphLine("g"), infoLine("Enabling tuning mode"),
          infoLine("Performance cache directory: %s", "Performance cache directory: same"),
          infoLine("Performance cache directory: %s", "Performance cache directory: same")},
         {flag(0, 1), text(1, "same"), text(1, "same")}, {}, {"g"}},
    });
}

TEST(LoadConfigFile, ContextOptions) {
    check({
        {R"({"perf_hint": "low", "kernel_repo_path": "repo", "invalidate_kernel_repo": true})", true,
         {infoLine("Setting performance hint to LOW"), infoLine("Kernel cache path: %s", "Kernel cache path: repo"),
          infoLine("Invalidating kernel repo")},
         {}, {hint(2), text(2, "repo"), flag(3, 1)}},
        {R"({"invalidate_kernel_repo": false, "kernel_repo_path": "r", "perf_hint": "high", "perf_hint": "normal"})",
         true,
         {infoLine("Don't Invalidate kernel repo"), infoLine("Kernel cache path: %s", "Kernel cache path: r"),
          infoLine("Setting performance hint to HIGH"), infoLine("Setting performance hint to HIGH")},
         {}, {flag(3, 0), text(2, "r"), hint(0), hint(0)}},
        {R"({"perf_hint": "normal"})", true, {infoLine("Setting performance hint to NORMAL")}, {}, {hint(1)}},
    });
}

TEST(LoadConfigFile, KeysOutsideTheFormat) {
    check({
        {"{}", true, {}},
        {R"({"extra": null, "more": {}, "list": []})", true, {}},
        // Keys before the unsupported one stay applied.
        {R"({"perf_hint": "high", "surplus": 1, "kernel_repo_path": "r"})", false,
         {infoLine("Setting performance hint to HIGH"), unsupported("surplus")}, {}, {hint(0)}},
        {R"({"extra": {"list": [0, {"flag": true}]}})", false, {unsupported("extra/list/0")}},
        // A member name holding "/" is read back as two tokens and found nowhere.
        {R"({"a/b": 1})", false, {invalidKey("a/b"), unsupported("a/b")}},
        // "~" not followed by 0 or 1 makes no valid lookup path.
        {R"({"a~b": 1})", false, {invalidKey("a~b"), unsupported("a~b")}},
        {R"({"": 1})", false, {errorLine("Empty key provided."), invalidKey(""), unsupported("")}},
        // A name is taken up to its first NUL, and is then looked up in vain.
        {R"({"precision_mode\u0000x": "fp16"})", false,
         {invalidKey("precision_mode"), errorLine("Invalid value type")}},
        {R"({"invalidate_kernel_repo\u0000": true})", false,
         {invalidKey("invalidate_kernel_repo"), errorLine("Invalid Value Type")}},
        {R"({"perf_hint\u0000": "high"})", false, {invalidKey("perf_hint"), errorLine("Invalid value type")}},
        {R"({"kernel_repo_path\u0000": "r"})", false,
         {invalidKey("kernel_repo_path"), errorLine("Invalid value type")}},
    });
}

TEST(LoadConfigFile, DeviceIdLimits) {
    for (const char* id : {"0", "2", "-2147483648", "2147483647", "2147483648", "3000000000"}) {
        const bool fits = std::stoll(id) <= INT32_MAX;
        check({{R"({"graph_names": ["g"], "device_id": )" + std::string(id) + "}", fits,
                fits ? std::vector<LogLine>{graphLine("g")}
                     : std::vector<LogLine>{graphLine("g"), errorLine("Invalid value type")},
                {}, {}, {"g"}}});
    }
}

TEST(LoadConfigFile, SecondLoadStartsFromFreshSettings) {
    BackendPtr backend = makeBackend();
    ASSERT_TRUE(backend->loadConfigFile(writeTempFile(
        R"({"graph_names": ["a"], "tuning_mode": true, "performance_cache_dir": "first-cache-directory-of-some-length",
            "kernel_repo_path": "repo", "precision_mode": "fp16"})")));
    ASSERT_TRUE(backend->loadConfigFile(
        writeTempFile(R"({"graph_names": ["b"], "tuning_mode": false, "performance_cache_dir": "second"})")));
    const Records second = readRecords(*backend);
    EXPECT_EQ(second.backend, (std::vector<Option>{flag(0, 0), text(1, "second")}));
    EXPECT_TRUE(second.context.empty());
    EXPECT_EQ(second.graphs, std::vector<std::string>{"b"});
    EXPECT_EQ(second.graphOptions, "p3 m0 n0 q0");

    // A load that fails before the keys changes nothing.
    EXPECT_FALSE(backend->loadConfigFile(writeTempFile("{")));
    EXPECT_FALSE(backend->loadConfigFile(writeTempFile(R"({"device_id": 1})")));
    const Records after = readRecords(*backend);
    EXPECT_EQ(after.backend, second.backend);
    EXPECT_EQ(after.graphs, second.graphs);
}

}  // namespace
}  // namespace vek::test
