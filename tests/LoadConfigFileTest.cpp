// From a configuration file to settings, as the host receives them through
// the record hooks: every key's entries and messages, and every failure.
#include <gtest/gtest.h>

#include "support/LogCapture.h"
#include "support/Plugin.h"
#include "support/Records.h"
#include "support/TempFiles.h"

namespace vek::test {
namespace {

struct LoadCase {
    const char* content;
    bool result;
    std::vector<LogLine> lines;
    std::vector<Option> backend;
    std::vector<Option> context;
    std::vector<std::string> graphs;
    const char* graphOptions = "p3 m0 n0 q0";
};

LogLine graphLine(const std::string& name) { return infoLine("Graph name: %s", "Graph name: " + name); }
LogLine unsupported(const std::string& key) { return errorLine("Unsupported key: %s", "Unsupported key: " + key); }
LogLine invalidKey(const std::string& key) { return errorLine("Invalid key: %s", "Invalid key: " + key); }
Option flag(uint32_t option, int value) { return {option, "flag:" + std::to_string(value)}; }
Option text(uint32_t option, const std::string& value) { return {option, "text:" + value}; }
Option hint(int value) { return {0, "enum:" + std::to_string(value)}; }

void check(const LoadCase& c) {
    BackendPtr backend = makeBackend();
    captureLogsOf(*backend);
    EXPECT_EQ(backend->loadConfigFile(writeTempFile(c.content)), c.result) << c.content;
    EXPECT_EQ(capturedLines(), c.lines) << c.content;
    const Settings settings = readSettings(*backend);
    EXPECT_EQ(settings.backend, c.backend) << c.content;
    EXPECT_EQ(settings.context, c.context) << c.content;
    EXPECT_EQ(settings.graphs, c.graphs) << c.content;
    EXPECT_EQ(describe(settings.graphOptions), c.graphOptions) << c.content;
}

TEST(LoadConfigFile, GraphNames) {
    const LoadCase cases[] = {
        {R"({"graph_names": ["net 1", "2nd", ""]})", true,
         {graphLine("net_1"), graphLine("_2nd"), graphLine("_")}, {}, {}, {"net_1", "_2nd", "_"}},
        {R"({"graph_names": ["my-graph.final", "9layers", "-x", "Graph_1", "\u00e9"]})", true,
         {graphLine("my_graph_final"), graphLine("_9layers"), graphLine("_x"), graphLine("Graph_1"), graphLine("__")},
         {}, {}, {"my_graph_final", "_9layers", "_x", "Graph_1", "__"}},
        {R"({"graph_names": ["a", "a", "a-b", "a b"]})", true,
         {graphLine("a"), graphLine("a"), graphLine("a_b"), graphLine("a_b")}, {}, {}, {"a", "a", "a_b", "a_b"}},
        {R"({"graph_names": ["ab\u0000cd"]})", true, {graphLine("ab")}, {}, {}, {"ab"}},
        {R"({"my_graph_names": "x"})", true, {graphLine("x")}, {}, {}, {"x"}},
        {R"({"my_graph_names": 5})", false, {unsupported("my_graph_names")}, {}, {}, {}},
        {R"({"extra": {"graph_names": true}})", false, {unsupported("extra/graph_names")}, {}, {}, {}},
        // Applied, but no graph receives it.
        {R"({"graph_names": [], "precision_mode": "fp16"})", true, {infoLine("Setting FP16 precision mode")}, {}, {},
         {}},
    };
    for (const LoadCase& c : cases) check(c);
}

TEST(LoadConfigFile, GraphOptions) {
    const LoadCase cases[] = {
        {R"({"graph_names": ["g"], "precision_mode": "fp32"})", true,
         {graphLine("g"), infoLine("Setting FP32 precision mode")}, {}, {}, {"g"}, "p0 m0 n0 q0"},
        {R"({"graph_names": ["g"], "precision_mode": "hybrid"})", true,
         {graphLine("g"), infoLine("Setting hybrid precision mode")}, {}, {}, {"g"}, "p2 m0 n0 q0"},
        {R"({"precision_mode": "user_provided", "graph_names": ["g"]})", true,
         {infoLine("Setting user provided precision mode"), graphLine("g")}, {}, {}, {"g"}, "p3 m0 n0 q0"},
        {R"({"graph_names": ["g"], "precision_mode": "fp16", "disable_queue_recording": true})", true,
         {graphLine("g"), infoLine("Setting FP16 precision mode"), infoLine("Disabling Queue Recording")}, {}, {},
         {"g"}, "p1 m0 n0 q1"},
        {R"({"graph_names": ["g"], "disable_memory_optimizations": true, "disable_node_optimizations": true})", true,
         {graphLine("g"), infoLine("Disabling memory optimizations"), infoLine("Disabling node optimizations")}, {},
         {}, {"g"}, "p3 m1 n1 q0"},
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
    };
    for (const LoadCase& c : cases) check(c);
}

TEST(LoadConfigFile, BackendOptions) {
    const LoadCase cases[] = {
        {R"({"graph_names": ["g"], "tuning_mode": true, "performance_cache_dir": "cache", "disable_kernel_profiling": false})",
         true,
         {graphLine("g"), infoLine("Enabling tuning mode"),
          infoLine("Performance cache directory: %s", "Performance cache directory: cache"),
          infoLine("Kernel profiling is enabled")},
         {flag(0, 1), text(1, "cache"), flag(4, 0)}, {}, {"g"}},
        {R"({"graph_names": ["g"], "tuning_mode": false, "performance_cache_dir": "c",
             "invalidate_performance_cache": true, "weight_sharing": true, "disable_kernel_profiling": true})",
         true,
         {graphLine("g"), infoLine("Disabling tuning mode"),
          infoLine("Performance cache directory: %s", "Performance cache directory: c"),
          infoLine("Invalidating the performance cache"), infoLine("Weight sharing is enabled"),
          infoLine("Kernel profiling is disabled")},
         {flag(0, 0), text(1, "c"), flag(2, 1), flag(3, 1), flag(4, 1)}, {}, {"g"}},
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
    };
    for (const LoadCase& c : cases) check(c);
}

TEST(LoadConfigFile, ContextOptions) {
    const LoadCase cases[] = {
        {R"({"perf_hint": "low", "kernel_repo_path": "repo", "invalidate_kernel_repo": true})", true,
         {infoLine("Setting performance hint to LOW"), infoLine("Kernel cache path: %s", "Kernel cache path: repo"),
          infoLine("Invalidating kernel repo")},
         {}, {hint(2), text(2, "repo"), flag(3, 1)}, {}},
        {R"({"invalidate_kernel_repo": false, "kernel_repo_path": "r", "perf_hint": "high"})", true,
         {infoLine("Don't Invalidate kernel repo"), infoLine("Kernel cache path: %s", "Kernel cache path: r"),
          infoLine("Setting performance hint to HIGH")},
         {}, {flag(3, 0), text(2, "r"), hint(0)}, {}},
        {R"({"perf_hint": "normal", "perf_hint": "low"})", true,
         {infoLine("Setting performance hint to NORMAL"), infoLine("Setting performance hint to NORMAL")}, {},
         {hint(1), hint(1)}, {}},
    };
    for (const LoadCase& c : cases) check(c);
}

TEST(LoadConfigFile, KeysOutsideTheFormat) {
    const LoadCase cases[] = {
        {"{}", true, {}, {}, {}, {}},
        {R"({"extra": null})", true, {}, {}, {}, {}},
        {R"({"extra": {}})", true, {}, {}, {}, {}},
        {R"({"extra": []})", true, {}, {}, {}, {}},
        {R"({"surplus": 1})", false, {unsupported("surplus")}, {}, {}, {}},
        // Keys before the unsupported one stay applied.
        {R"({"perf_hint": "high", "surplus": 1, "kernel_repo_path": "r"})", false,
         {infoLine("Setting performance hint to HIGH"), unsupported("surplus")}, {}, {hint(0)}, {}},
        {R"({"extra": {"list": [0, {"flag": true}]}})", false, {unsupported("extra/list/0")}, {}, {}, {}},
        // A member name holding "/" is read back as two tokens and found nowhere.
        {R"({"a/b": 1})", false, {invalidKey("a/b"), unsupported("a/b")}, {}, {}, {}},
        // "~" not followed by 0 or 1 makes no valid lookup path.
        {R"({"a~b": 1})", false, {invalidKey("a~b"), unsupported("a~b")}, {}, {}, {}},
        {R"({"a~1b": 1})", false, {invalidKey("a~1b"), unsupported("a~1b")}, {}, {}, {}},
    };
    for (const LoadCase& c : cases) check(c);
}

TEST(LoadConfigFile, DeviceIdLimits) {
    const LoadCase cases[] = {
        {R"({"graph_names": ["g"], "device_id": 0})", true, {graphLine("g")}, {}, {}, {"g"}},
        {R"({"graph_names": ["g"], "device_id": 2})", true, {graphLine("g")}, {}, {}, {"g"}},
        {R"({"graph_names": ["g"], "device_id": -2147483648})", true, {graphLine("g")}, {}, {}, {"g"}},
        {R"({"graph_names": ["g"], "device_id": 2147483648})", false,
         {graphLine("g"), errorLine("Invalid value type")}, {}, {}, {"g"}},
        {R"({"graph_names": ["g"], "device_id": 3000000000})", false,
         {graphLine("g"), errorLine("Invalid value type")}, {}, {}, {"g"}},
    };
    for (const LoadCase& c : cases) check(c);
}

TEST(LoadConfigFile, SecondLoadStartsFromFreshSettings) {
    BackendPtr backend = makeBackend();
    captureLogsOf(*backend);
    ASSERT_TRUE(backend->loadConfigFile(writeTempFile(
        R"({"graph_names": ["a"], "tuning_mode": true, "performance_cache_dir": "first-cache-directory-of-some-length",
            "kernel_repo_path": "repo", "precision_mode": "fp16"})")));
    ASSERT_TRUE(backend->loadConfigFile(
        writeTempFile(R"({"graph_names": ["b"], "tuning_mode": false, "performance_cache_dir": "second"})")));
    Settings settings = readSettings(*backend);
    EXPECT_EQ(settings.backend, (std::vector<Option>{flag(0, 0), text(1, "second")}));
    EXPECT_TRUE(settings.context.empty());
    EXPECT_EQ(settings.graphs, std::vector<std::string>{"b"});
    EXPECT_EQ(describe(settings.graphOptions), "p3 m0 n0 q0");

    // A load that fails before the keys changes nothing.
    EXPECT_FALSE(backend->loadConfigFile(writeTempFile("{")));
    EXPECT_FALSE(backend->loadConfigFile(writeTempFile(R"({"device_id": 1})")));
    EXPECT_EQ(readSettings(*backend).backend, settings.backend);
    EXPECT_EQ(readSettings(*backend).graphs, settings.graphs);
}

}  // namespace
}  // namespace vek::test
