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

TEST(RecordHooks, BackendRecordsByteForByte) {
    BackendPtr backend = loaded(
        R"({"graph_names": ["g"], "tuning_mode": true, "performance_cache_dir": "cache", "weight_sharing": true})");
    ConfigList list = nullptr;
    uint32_t count = 0;
    ASSERT_TRUE(backend->getBackendConfigs(&list, &count));
    ASSERT_EQ(count, 4u);
    EXPECT_EQ(list[3], nullptr);

    const auto* first = static_cast<const GpuOptionEntry*>(list[0]->data);
    std::vector<uint8_t> record = bytesOf(*list[0]);
    EXPECT_EQ(std::vector<uint8_t>(record.begin(), record.begin() + 8), std::vector<uint8_t>(8, 0)) << "kind 0, padding 0";
    std::vector<uint8_t> expectedFlag(16, 0);
    expectedFlag[8] = 1;  // option 0 (tuning mode), flag 1
    EXPECT_EQ(bytesOf(*first), expectedFlag);

    const auto* text = static_cast<const GpuOptionEntry*>(list[1]->data);
    EXPECT_EQ(text->option, 1u);
    EXPECT_STREQ(text->value.text, "cache");
    // Entries are stored side by side, records point at them in order.
    EXPECT_EQ(text, first + 1);
    EXPECT_EQ(static_cast<const GpuOptionEntry*>(list[2]->data), first + 2);
}

TEST(RecordHooks, ContextRecordPointsAtTheStoredKernelRepoPath) {
    BackendPtr backend = loaded(R"({"perf_hint": "low", "kernel_repo_path": "/var/kernels"})");
    ConfigList list = nullptr;
    uint32_t count = 0;
    ASSERT_TRUE(backend->getContextConfigs(&list, &count));
    ASSERT_EQ(count, 3u);
    std::vector<uint8_t> expectedHint(16, 0);
    expectedHint[8] = 2;  // option 0 (perf hint), value LOW
    EXPECT_EQ(bytesOf(*static_cast<const GpuOptionEntry*>(list[0]->data)), expectedHint);
    const auto* repo = static_cast<const GpuOptionEntry*>(list[1]->data);
    EXPECT_EQ(repo->option, 2u);
    EXPECT_STREQ(repo->value.text, "/var/kernels");
}

TEST(RecordHooks, GraphsShareOneRecordAndBlock) {
    BackendPtr backend = loaded(R"({"graph_names": ["a", "b"], "precision_mode": "hybrid",
                                    "disable_node_optimizations": true})");
    GraphConfigList graphs = nullptr;
    uint32_t count = 0;
    ASSERT_TRUE(backend->getGraphConfigs(&graphs, &count));
    ASSERT_EQ(count, 2u);
    EXPECT_STREQ(graphs[0]->graphName, "a");
    EXPECT_STREQ(graphs[1]->graphName, "b");
    ASSERT_EQ(graphs[0]->configs, graphs[1]->configs);
    const ConfigRecord* const* configs = graphs[0]->configs;
    EXPECT_EQ(configs[1], nullptr);
    EXPECT_EQ(configs[0]->kind, 0u);
    const std::vector<uint8_t> expectedBlock = {2, 0, 0, 0, 0, 1, 0, 0};
    const auto* block = static_cast<const GpuGraphOptions*>(configs[0]->data);
    EXPECT_EQ(std::vector<uint8_t>(reinterpret_cast<const uint8_t*>(block), reinterpret_cast<const uint8_t*>(block) + 7),
              std::vector<uint8_t>(expectedBlock.begin(), expectedBlock.begin() + 7));
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

TEST(RecordHooks, ANewConfigurationReplacesTheRecords) {
    BackendPtr backend = loaded(R"({"graph_names": ["old"], "tuning_mode": true,
                                    "performance_cache_dir": "old-cache-directory-long-enough-to-allocate"})");
    (void)readSettings(*backend);
    ASSERT_TRUE(backend->loadConfigFile(writeTempFile(R"({"graph_names": ["new", "newer"], "kernel_repo_path": "k"})")));
    const Settings settings = readSettings(*backend);
    EXPECT_TRUE(settings.backend.empty());
    EXPECT_EQ(settings.context, (std::vector<Option>{{2, "text:k"}}));
    EXPECT_EQ(settings.graphs, (std::vector<std::string>{"new", "newer"}));
}

}  // namespace
}  // namespace vek::test
