// SPDX-FileCopyrightText: 2026 The VekGpuKalderExtensions Authors
// SPDX-License-Identifier: Apache-2.0
// What loading a configuration costs, against the floor every load must pay:
// reading, parsing and validating the file.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>

#if defined(__GLIBC__)
#include <malloc.h>
#endif

#include "BackendExtensions/ConfigJson.h"  // first: it sets how RapidJSON allocates
#include <rapidjson/document.h>
#include <rapidjson/filereadstream.h>
#include <rapidjson/schema.h>

#include "BackendExtensions/GPUBackendExtensions/ConfigSchema.h"
#include "BackendExtensions/IBackend.h"
#include "BenchFiles.h"
#include "Floor.h"
#include "Check.h"
#include "platform/DynamicLibrary.h"

namespace vek::bench {
namespace {

// A warm host keeps its heap: glibc would hand the memory of a large file's
// load back to the system after each round (blocks above its mapping
// threshold are mapped and unmapped each time) and fault it in again in the
// next, which measures the machine's page faults rather than the work. Only
// the timings keep it so; the peak-memory probe measures with glibc's own
// settings, where freed blocks do go back.
#if defined(__GLIBC__)
const bool keepHeap = [] {
    mallopt(M_MMAP_MAX, 0);
    mallopt(M_TRIM_THRESHOLD, 1 << 30);
    return true;
}();
#endif

using tools::kalder::IBackend;

// Both measurements repeat their work in a warm process, after one untimed
// round that brings the file into the page cache and the heap to its working
// size: they compare the work done, not the first touch of fresh memory
// (HostSequence, with a new object per round, shows that cost too).
void floorBench(benchmark::State& state, const std::string& path) {
    readParseValidate(path);
    for (auto _ : state) benchmark::DoNotOptimize(readParseValidate(path));
}

void loadBench(benchmark::State& state, const std::string& path) {
    Plugin& plugin = Plugin::get();
    IBackend* backend = plugin.create();
    // A host's usual logger: warnings and errors only, so the info line per
    // setting is filtered out by level.
    backend->installLogger(&discardLog, VEK_LOG_LEVEL_WARN);
    backend->loadConfigFile(path);
    for (auto _ : state) benchmark::DoNotOptimize(backend->loadConfigFile(path));
    plugin.destroy(backend);
}

void hostSequenceBench(benchmark::State& state, const std::string& path) {
    Plugin& plugin = Plugin::get();
    for (auto _ : state) {
        IBackend* backend = plugin.create();
        backend->installLogger(&discardLog, VEK_LOG_LEVEL_WARN);
        backend->bindBackendLibrary(plugin.backendLibrary);
        backend->loadConfigFile(path);
        tools::kalder::ConfigList list = nullptr;
        uint32_t count = 0;
        backend->getBackendConfigs(&list, &count);
        backend->releaseBackendConfigs(list, count);
        backend->getContextConfigs(&list, &count);
        backend->releaseContextConfigs(list, count);
        tools::kalder::GraphConfigList graphs = nullptr;
        backend->getGraphConfigs(&graphs, &count);
        backend->releaseGraphConfigs(graphs, count);
        tools::kalder::DeviceConfigList devices = nullptr;
        backend->getDeviceConfigs(&devices, &count);
        plugin.destroy(backend);
    }
}

// The check of a file as `vekhost check` makes it: every key and value,
// every diagnostic made, message and pointer, and dropped.
void checkBench(benchmark::State& state, const std::string& path) {
    tools::kalder::ConfigDocument schema;
    schema.Parse(gpu::configSchema);
    const auto check = [&] {
        size_t shown = 0;
        lint::Check::ofFile(path, schema).forEach(lint::ColumnUnit::Char, [&](const lint::Diagnostic& d) {
            shown += d.message.size() + d.pointer.size();
        });
        return shown;
    };
    check();
    for (auto _ : state) benchmark::DoNotOptimize(check());
}

// Whether the plug-in takes the file, for the report's targets on files it accepts.
bool accepted(const std::string& path) {
    Plugin& plugin = Plugin::get();
    IBackend* backend = plugin.create();
    backend->installLogger(&discardLog, VEK_LOG_LEVEL_WARN);
    const bool loaded = backend->loadConfigFile(path);
    plugin.destroy(backend);
    return loaded;
}

void perGraphName(benchmark::State& state, size_t names) {
    state.SetItemsProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(names));
    state.counters["graph_names"] = static_cast<double>(names);
}

void perMember(benchmark::State& state, size_t members) {
    state.SetItemsProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(members));
    state.counters["members"] = static_cast<double>(members);
}

const int registered = [] {
    const std::vector<std::string> examples = exampleFiles();
    for (const std::string& path : examples) {
        const std::string name = path.substr(path.rfind('/') + 1);
        benchmark::RegisterBenchmark(("Floor/" + name).c_str(), floorBench, path);
        benchmark::RegisterBenchmark(("LoadConfigFile/" + name).c_str(), loadBench, path);
        benchmark::RegisterBenchmark(("HostSequence/" + name).c_str(), hostSequenceBench, path);
    }
    for (size_t names : {size_t{10}, size_t{1000}, size_t{100000}, size_t{1000000}}) {
        const std::string path = scaleFile(names);
        const std::string suffix = "/names:" + std::to_string(names);
        const benchmark::TimeUnit unit = names >= 100000 ? benchmark::kMillisecond : benchmark::kMicrosecond;
        const double minTime = names >= 1000000 ? 3.0 : 0.5;  // enough rounds at the largest size
        benchmark::RegisterBenchmark(("Floor" + suffix).c_str(), [path, names](benchmark::State& state) {
            floorBench(state, path);
            perGraphName(state, names);
        })->Unit(unit)->MinTime(minTime);
        benchmark::RegisterBenchmark(("LoadConfigFile" + suffix).c_str(), [path, names](benchmark::State& state) {
            loadBench(state, path);
            perGraphName(state, names);
        })->Unit(unit)->MinTime(minTime);
        benchmark::RegisterBenchmark(("HostSequence" + suffix).c_str(), [path](benchmark::State& state) {
            hostSequenceBench(state, path);
        })->Unit(unit)->MinTime(minTime);
        if (names == 1000000) {
            benchmark::RegisterBenchmark(("Check" + suffix).c_str(), [path](benchmark::State& state) {
                checkBench(state, path);
            })->Unit(unit)->MinTime(minTime);
        }
    }
    // Many members in every shape, from usual to hostile: the load, the
    // check and the floor must stay linear in the members, whatever their
    // names, nesting, mistakes or length.
    for (MemberShape shape : kMemberShapes) {
        const bool usual = shape == MemberShape::Null || shape == MemberShape::GraphNames || shape == MemberShape::Pairs;
        // One member gives the cost of a file as such, which the costs per
        // member leave out.
        for (size_t members : {size_t{1}, size_t{1000}, size_t{10000}, size_t{100000}, size_t{1000000}}) {
            if (!usual && (members == 10000 || members == 100000)) continue;
            const std::string path = memberFile(shape, members);
            const std::string suffix = std::string("/") + shapeName(shape) + "/members:" + std::to_string(members);
            const benchmark::TimeUnit unit = members >= 100000 ? benchmark::kMillisecond : benchmark::kMicrosecond;
            const double minTime = members >= 1000000 ? 2.0 : 0.5;  // enough rounds at the largest size
            const double takes = accepted(path) ? 1.0 : 0.0;
            for (const auto& [what, bench] : {std::pair{"MemberLoad", &loadBench}, std::pair{"MemberCheck", &checkBench},
                                              std::pair{"MemberFloor", &floorBench}}) {
                benchmark::RegisterBenchmark((what + suffix).c_str(), [path, members, takes, bench = bench](benchmark::State& state) {
                    bench(state, path);
                    perMember(state, members);
                    state.counters["accepted"] = takes;
                })->Unit(unit)->MinTime(minTime);
            }
        }
    }
    return 0;
}();

}  // namespace
}  // namespace vek::bench
