#include "Records.h"

#include <cstring>
#include <ostream>

#include <gtest/gtest.h>

namespace vek::test {
namespace {

using gpu::GpuOptionEntry;
using tools::kalder::ConfigList;
using tools::kalder::ConfigRecord;
using tools::kalder::GraphConfigList;

bool isTextOption(bool backendList, uint32_t option) {
    return backendList ? option == static_cast<uint32_t>(gpu::GpuBackendOption::PerformanceCacheDir)
                       : option == static_cast<uint32_t>(gpu::GpuContextOption::KernelRepoPath);
}
bool isEnumOption(bool backendList, uint32_t option) {
    return !backendList && option == static_cast<uint32_t>(gpu::GpuContextOption::PerfHint);
}

Option readEntry(const GpuOptionEntry& entry, bool backendList) {
    uint8_t raw[16];
    std::memcpy(raw, &entry, sizeof raw);
    EXPECT_EQ(raw[4] | raw[5] | raw[6] | raw[7], 0) << "padding must be zero";
    if (isTextOption(backendList, entry.option)) {
        return {entry.option, "text:" + std::string(entry.value.text != nullptr ? entry.value.text : "(null)")};
    }
    if (isEnumOption(backendList, entry.option)) {
        EXPECT_EQ(raw[12] | raw[13] | raw[14] | raw[15], 0) << "unused enum bytes must be zero";
        return {entry.option, "enum:" + std::to_string(entry.value.enumValue)};
    }
    for (int i = 9; i < 16; ++i) EXPECT_EQ(raw[i], 0) << "unused flag byte " << i;
    return {entry.option, "flag:" + std::to_string(entry.value.flag)};
}

std::vector<Option> readOptionList(bool ok, ConfigList list, uint32_t count, bool backendList) {
    EXPECT_TRUE(ok);
    std::vector<Option> options;
    if (count == 0) {
        EXPECT_EQ(list, nullptr) << "an empty list is handed out as null";
        return options;
    }
    EXPECT_GE(count, 2u) << "N entries give N + 1";
    EXPECT_EQ(list[count - 1], nullptr) << "the list ends with a null";
    for (uint32_t i = 0; i + 1 < count; ++i) {
        const ConfigRecord* record = list[i];
        EXPECT_EQ(record->kind, 0u);
        options.push_back(readEntry(*static_cast<const GpuOptionEntry*>(record->data), backendList));
    }
    return options;
}

}  // namespace

Settings readSettings(tools::kalder::IBackend& backend) {
    Settings settings{};
    ConfigList list = nullptr;
    uint32_t count = 0;
    bool ok = backend.getBackendConfigs(&list, &count);
    settings.backend = readOptionList(ok, list, count, true);
    list = nullptr;
    count = 0;
    ok = backend.getContextConfigs(&list, &count);
    settings.context = readOptionList(ok, list, count, false);

    GraphConfigList graphs = nullptr;
    uint32_t graphCount = 0;
    EXPECT_TRUE(backend.getGraphConfigs(&graphs, &graphCount));
    const ConfigRecord* const* shared = nullptr;
    for (uint32_t i = 0; i < graphCount; ++i) {
        settings.graphs.push_back(graphs[i]->graphName);
        if (i == 0) shared = graphs[i]->configs;
        EXPECT_EQ(graphs[i]->configs, shared) << "all graphs share one record list";
    }
    if (shared != nullptr) {
        EXPECT_EQ(shared[0]->kind, 0u);
        EXPECT_EQ(shared[1], nullptr);
        std::memcpy(&settings.graphOptions, shared[0]->data, sizeof settings.graphOptions);
    }
    return settings;
}

std::string describe(const gpu::GpuGraphOptions& options) {
    return "p" + std::to_string(options.precisionMode) + " m" + std::to_string(options.disableMemoryOptimizations) +
           " n" + std::to_string(options.disableNodeOptimizations) + " q" +
           std::to_string(options.disableQueueRecording);
}

std::ostream& operator<<(std::ostream& out, const Option& option) {
    return out << "(" << option.option << ", " << option.value << ")";
}

}  // namespace vek::test
