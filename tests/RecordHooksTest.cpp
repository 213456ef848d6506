// SPDX-FileCopyrightText: 2026 The VekGpuKalderExtensions Authors
// SPDX-License-Identifier: Apache-2.0
// The backend, context and graph records as a host receives them: counts,
// terminators and lifetimes.
#include <gtest/gtest.h>

#include "support/LogCapture.h"
#include "support/Plugin.h"
#include "support/RecordCheck.h"
#include "support/TempFiles.h"

namespace vek::test {
namespace {

using tools::kalder::ConfigList;
using tools::kalder::GraphConfigList;

BackendPtr loaded(const char* config) {
    BackendPtr backend = makeBackend();
    EXPECT_TRUE(backend->loadConfigFile(writeTempFile(config))) << config;
    return backend;
}

TEST(RecordHooks, NullCellsAreRefusedAndLeaveTheHostsCellsAlone) {
    BackendPtr backend = loaded(R"({"graph_names": ["g"], "tuning_mode": true, "perf_hint": "low"})");
    captureLogsOf(*backend);
    ConfigList list = nullptr;
    GraphConfigList graphs = nullptr;
    uint32_t count = 5;
    const bool answers[] = {backend->getBackendConfigs(&list, nullptr), backend->getBackendConfigs(nullptr, &count),
                            backend->getContextConfigs(&list, nullptr), backend->getContextConfigs(nullptr, &count),
                            backend->getGraphConfigs(&graphs, nullptr), backend->getGraphConfigs(nullptr, &count)};
    for (bool answer : answers) EXPECT_FALSE(answer);
    EXPECT_TRUE(list == nullptr && graphs == nullptr && count == 5u);
    std::vector<LogLine> expected;
    for (const char* which : {"backend", "backend", "context", "context", "graph", "graph"}) {
        expected.push_back(errorLine(std::string("Invalid ") + which + " config args"));
    }
    EXPECT_EQ(capturedLines(), expected);
}

TEST(RecordHooks, RepeatedCallsAndReleasesRebuildInPlace) {
    BackendPtr backend = loaded(R"({"graph_names": ["g", "h"], "tuning_mode": true, "weight_sharing": false,
                                    "kernel_repo_path": "r"})");
    const Records before = readRecords(*backend);
    ConfigList first = nullptr, second = nullptr, context = nullptr;
    uint32_t count = 0, contextCount = 0;
    ASSERT_TRUE(backend->getBackendConfigs(&first, &count));
    ASSERT_TRUE(backend->getBackendConfigs(&second, &count));
    EXPECT_EQ(count, 3u) << "never N + 2 on a second call";
    EXPECT_EQ(first, second);

    // Other hooks leave what slot 8 handed out intact.
    GraphConfigList graphs = nullptr;
    uint32_t graphCount = 0;
    ASSERT_TRUE(backend->getGraphConfigs(&graphs, &graphCount));
    ASSERT_TRUE(backend->getContextConfigs(&context, &contextCount));
    Problems problems;
    EXPECT_TRUE(readOptionList(second, count, gpu::KeyTarget::BackendOption, problems) == before.backend);
    EXPECT_TRUE(readOptionList(context, contextCount, gpu::KeyTarget::ContextOption, problems) == before.context);
    EXPECT_EQ(problems, Problems{});

    EXPECT_TRUE(backend->releaseBackendConfigs(second, count));
    EXPECT_TRUE(backend->releaseContextConfigs(context, contextCount));
    EXPECT_TRUE(backend->releaseGraphConfigs(graphs, graphCount));
    const Records after = readRecords(*backend);
    EXPECT_TRUE(after.backend == before.backend && after.context == before.context && after.graphs == before.graphs);
    EXPECT_EQ(after.problems, Problems{});
}

}  // namespace
}  // namespace vek::test
