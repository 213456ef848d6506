// The backend, context and graph records as a host receives them: layouts,
// counts, terminators and lifetimes.
#include <gtest/gtest.h>

#include <cstring>

#include "support/LogCapture.h"
#include "support/Plugin.h"
#include "support/Records.h"
#include "support/TempFiles.h"

namespace vek::test {
namespace {

using gpu::GpuGraphOptions;
using gpu::GpuOptionEntry;
using tools::kalder::ConfigList;
using tools::kalder::ConfigRecord;
using tools::kalder::GraphConfigList;

BackendPtr loaded(const char* config) {
    BackendPtr backend = makeBackend();
    EXPECT_TRUE(backend->loadConfigFile(writeTempFile(config))) << config;
    return backend;
}

template <typename T>
std::vector<uint8_t> bytesOf(const T& value) {
    std::vector<uint8_t> bytes(sizeof value);
    std::memcpy(bytes.data(), &value, sizeof value);
    return bytes;
}

TEST(RecordHooks, FreshObjectHandsOutNothing) {
    BackendPtr backend = makeBackend();
    ConfigList list = reinterpret_cast<ConfigList>(&backend);
    uint32_t count = 9;
    EXPECT_TRUE(backend->getBackendConfigs(&list, &count));
    EXPECT_EQ(list, nullptr);
    EXPECT_EQ(count, 0u);
    list = reinterpret_cast<ConfigList>(&backend);
    count = 9;
    EXPECT_TRUE(backend->getContextConfigs(&list, &count));
    EXPECT_EQ(list, nullptr);
    EXPECT_EQ(count, 0u);
    GraphConfigList graphs = nullptr;
    count = 9;
    EXPECT_TRUE(backend->getGraphConfigs(&graphs, &count));
    EXPECT_EQ(count, 0u);
    EXPECT_TRUE(backend->releaseBackendConfigs(nullptr, 0));
    EXPECT_TRUE(backend->releaseContextConfigs(nullptr, 0));
    EXPECT_TRUE(backend->releaseGraphConfigs(nullptr, 0));
}

TEST(RecordHooks, NullCellsAreRefusedAndLeaveTheHostsCellsAlone) {
    BackendPtr backend = loaded(R"({"graph_names": ["g"], "tuning_mode": true, "perf_hint": "low"})");
    captureLogsOf(*backend);
    ConfigList list = nullptr;
    GraphConfigList graphs = nullptr;
    uint32_t count = 5;
    EXPECT_FALSE(backend->getBackendConfigs(&list, nullptr));
    EXPECT_FALSE(backend->getBackendConfigs(nullptr, &count));
    EXPECT_FALSE(backend->getContextConfigs(&list, nullptr));
    EXPECT_FALSE(backend->getContextConfigs(nullptr, &count));
    EXPECT_FALSE(backend->getGraphConfigs(&graphs, nullptr));
    EXPECT_FALSE(backend->getGraphConfigs(nullptr, &count));
    EXPECT_EQ(list, nullptr);
    EXPECT_EQ(graphs, nullptr);
    EXPECT_EQ(count, 5u);
    EXPECT_EQ(capturedLines(),
              (std::vector<LogLine>{errorLine("Invalid backend config args"), errorLine("Invalid backend config args"),
                                    errorLine("Invalid context config args"), errorLine("Invalid context config args"),
                                    errorLine("Invalid graph config args"), errorLine("Invalid graph config args")}));
}

TEST(RecordHooks, RecordsByteForByte) {
    BackendPtr backend = loaded(R"({"graph_names": ["a", "b"], "tuning_mode": true, "performance_cache_dir": "cache",
                                    "weight_sharing": true, "perf_hint": "low", "precision_mode": "hybrid",
                                    "disable_node_optimizations": true})");
    ConfigList list = nullptr;
    uint32_t count = 0;
    ASSERT_TRUE(backend->getBackendConfigs(&list, &count));
    ASSERT_EQ(count, 4u);
    EXPECT_EQ(list[3], nullptr);
    EXPECT_EQ(bytesOf(*list[0]).at(0) | bytesOf(*list[0]).at(4), 0) << "kind 0, zero padding";
    const auto* first = static_cast<const GpuOptionEntry*>(list[0]->data);
    std::vector<uint8_t> expected(16, 0);
    expected[8] = 1;  // option 0 (tuning mode), flag 1
    EXPECT_EQ(bytesOf(*first), expected);
    const auto* text = static_cast<const GpuOptionEntry*>(list[1]->data);
    EXPECT_EQ(text->option, 1u);
    EXPECT_STREQ(text->value.text, "cache");
    EXPECT_EQ(text, first + 1) << "records point at the stored entries, in order";

    ASSERT_TRUE(backend->getContextConfigs(&list, &count));
    ASSERT_EQ(count, 2u);
    expected[8] = 2;  // option 0 (perf hint), value LOW
    EXPECT_EQ(bytesOf(*static_cast<const GpuOptionEntry*>(list[0]->data)), expected);

    GraphConfigList graphs = nullptr;
    ASSERT_TRUE(backend->getGraphConfigs(&graphs, &count));
    ASSERT_EQ(count, 2u);
    EXPECT_STREQ(graphs[1]->graphName, "b");
    ASSERT_EQ(graphs[0]->configs, graphs[1]->configs);
    const ConfigRecord* const* configs = graphs[0]->configs;
    EXPECT_EQ(configs[1], nullptr);
    const std::vector<uint8_t> block = bytesOf(*static_cast<const GpuGraphOptions*>(configs[0]->data));
    EXPECT_EQ(std::vector<uint8_t>(block.begin(), block.begin() + 7), (std::vector<uint8_t>{2, 0, 0, 0, 0, 1, 0}));
}

TEST(RecordHooks, RepeatedCallsAndReleasesRebuildInPlace) {
    BackendPtr backend = loaded(R"({"graph_names": ["g"], "tuning_mode": true, "weight_sharing": false})");
    const Settings before = readSettings(*backend);
    ConfigList first = nullptr, second = nullptr;
    uint32_t count = 0;
    ASSERT_TRUE(backend->getBackendConfigs(&first, &count));
    ASSERT_TRUE(backend->getBackendConfigs(&second, &count));
    EXPECT_EQ(count, 3u) << "never N + 2 on a second call";
    EXPECT_EQ(first, second);

    // Other hooks leave what slot 8 handed out intact.
    GraphConfigList graphs = nullptr;
    uint32_t graphCount = 0;
    ASSERT_TRUE(backend->getGraphConfigs(&graphs, &graphCount));
    ASSERT_TRUE(backend->getContextConfigs(&first, &count));
    EXPECT_EQ(static_cast<const GpuOptionEntry*>(second[0]->data)->option, 0u);

    EXPECT_TRUE(backend->releaseBackendConfigs(second, 3));
    EXPECT_TRUE(backend->releaseContextConfigs(nullptr, 0));
    EXPECT_TRUE(backend->releaseGraphConfigs(graphs, graphCount));
    const Settings after = readSettings(*backend);
    EXPECT_EQ(after.backend, before.backend);
    EXPECT_EQ(after.graphs, before.graphs);
}

}  // namespace
}  // namespace vek::test
