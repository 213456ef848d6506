// SPDX-FileCopyrightText: 2026 The VekGpuKalderExtensions Authors
// SPDX-License-Identifier: Apache-2.0
#include "BenchFiles.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "platform/Process.h"


namespace vek::bench {

std::string scaleFile(size_t graphNames) {
    const std::filesystem::path path =
        std::filesystem::temp_directory_path() / ("vek-bench-" + std::to_string(graphNames) + "-names.json");
    if (std::filesystem::exists(path)) return path.string();
    std::ofstream out(path.string() + ".tmp", std::ios::binary);
    out << "{\n  \"graph_names\": [\n";
    char name[64];
    for (size_t i = 0; i < graphNames; ++i) {
        std::snprintf(name, sizeof name, "    \"model_graph_%07zu\"%s\n", i, i + 1 < graphNames ? "," : "");
        out << name;
    }
    out << "  ],\n"
           "  \"precision_mode\": \"fp16\",\n"
           "  \"disable_node_optimizations\": true,\n"
           "  \"tuning_mode\": true,\n"
           "  \"performance_cache_dir\": \"/var/cache/vek/tuning\",\n"
           "  \"perf_hint\": \"high\",\n"
           "  \"kernel_repo_path\": \"/opt/vek/kernels\",\n"
           "  \"device_id\": 1\n"
           "}\n";
    out.close();
    std::filesystem::rename(path.string() + ".tmp", path);
    return path.string();
}

const char* shapeName(MemberShape shape) {
    static const char* const kNames[] = {"null",       "graph_names",   "pairs",       "deep_null", "unknown_keys",
                                         "repeated_keys", "wrong_types", "warnings",    "long_name", "long_value"};
    return kNames[static_cast<size_t>(shape)];
}

std::string memberFile(MemberShape shape, size_t members) {
    const std::filesystem::path path = std::filesystem::temp_directory_path() /
                                       ("vek-bench-" + std::string(shapeName(shape)) + "-" + std::to_string(members) + ".json");
    if (std::filesystem::exists(path)) return path.string();
    std::ofstream out(path.string() + ".tmp", std::ios::binary);
    constexpr size_t kDepth = 250;
    const bool array = shape == MemberShape::WrongTypes || shape == MemberShape::Warnings;
    if (shape == MemberShape::DeepNull) {
        for (size_t level = 1; level < kDepth; ++level) out << "{\"a\":";
    }
    out << (array ? "{\"graph_names\": [\n" : "{\n");
    if (shape == MemberShape::RepeatedKeys) out << "  \"graph_names\": [\"g\"],\n";
    if (shape == MemberShape::LongName || shape == MemberShape::LongValue) {
        out << (shape == MemberShape::LongName ? "\"" : "\"kernel_repo_path\": \"");
        const std::string piece = "0123456789";
        for (size_t i = 0; i < members; ++i) out << piece;
        out << (shape == MemberShape::LongName ? "\": 1\n" : "\"\n");
    }
    char member[64];
    for (size_t i = 0; i < members && shape != MemberShape::LongName && shape != MemberShape::LongValue; ++i) {
        const char* separator = i + 1 < members ? ",\n" : "\n";
        switch (shape) {
            case MemberShape::Null:
            case MemberShape::DeepNull: std::snprintf(member, sizeof member, "  \"k%07zu\": null%s", i, separator); break;
            case MemberShape::GraphNames:
                std::snprintf(member, sizeof member, "  \"graph_names_%zu\": \"g%zu\"%s", i, i, separator);
                break;
            case MemberShape::Pairs:
                std::snprintf(member, sizeof member, "  \"graph_names_%zu\": \"g%zu\"%s", i / 2, i / 2, separator);
                break;
            case MemberShape::UnknownKeys: std::snprintf(member, sizeof member, "  \"unknown_key_%07zu\": 1%s", i, separator); break;
            case MemberShape::RepeatedKeys: std::snprintf(member, sizeof member, "  \"device_id\": %zu%s", i % 7, separator); break;
            case MemberShape::WrongTypes: std::snprintf(member, sizeof member, "  %zu%s", 1000000 + i, separator); break;
            case MemberShape::Warnings: std::snprintf(member, sizeof member, "  \"n %07zu\"%s", i, separator); break;
            case MemberShape::LongName:
            case MemberShape::LongValue: break;
        }
        out << member;
    }
    out << (array ? "]}\n" : "}\n");
    if (shape == MemberShape::DeepNull) {
        for (size_t level = 1; level < kDepth; ++level) out << "}";
    }
    out.close();
    std::filesystem::rename(path.string() + ".tmp", path);
    return path.string();
}

std::vector<std::string> exampleFiles() {
    std::vector<std::string> files;
    for (const char* name : {"example.json", "tuning.json", "fp16-two-graphs.json", "kernel-repo.json",
                             "device-selection.json"}) {
        files.push_back(besideBenchmarks(std::string("examples/") + name));
    }
    return files;
}

std::string besideBenchmarks(const std::string& fileName) { return platform::executableDirectory() + "/" + fileName; }

Plugin& Plugin::get() {
    static Plugin plugin = [] {
        Plugin p{};
        p.handle = platform::loadLibrary(besideBenchmarks(platform::sharedLibraryFileName("VekGpuKalderExtensions")));
        p.backendLibrary =
            platform::loadLibrary(besideBenchmarks(platform::sharedLibraryFileName("VekSubstituteBackend")));
        if (p.handle == nullptr || p.backendLibrary == nullptr) std::abort();
        p.create = reinterpret_cast<CreateBackendInterfaceFn>(platform::findSymbol(p.handle, "createBackendInterface"));
        p.destroy =
            reinterpret_cast<DestroyBackendInterfaceFn>(platform::findSymbol(p.handle, "destroyBackendInterface"));
        return p;
    }();
    return plugin;
}

void discardLog(const char*, uint32_t, uint64_t, va_list) {}

}  // namespace vek::bench
