// SPDX-FileCopyrightText: 2026 The VekGpuKalderExtensions Authors
// SPDX-License-Identifier: Apache-2.0
// The configuration files every benchmark runs on: the bundled examples and
// generated files with many graph names.
#pragma once

#include <string>
#include <vector>

#include "BackendExtensions/IBackend.h"
#include "platform/DynamicLibrary.h"

namespace vek::bench {

// Writes (once) a configuration with `graphNames` graph names and the other
// keys, and returns its path.
std::string scaleFile(size_t graphNames);

// One object of `members` members, each of one shape (MemberShape), written
// once; returns its path.
enum class MemberShape { Null, GraphNames, Pairs };
const char* shapeName(MemberShape shape);  // "null", "graph_names", "pairs"
std::string memberFile(MemberShape shape, size_t members);

// The bundled examples, by path.
std::vector<std::string> exampleFiles();

// A file built beside the benchmarks.
std::string besideBenchmarks(const std::string& fileName);

// The plug-in and the substitute backend built beside the benchmarks, loaded
// once as a host loads them; aborts when they cannot be.
struct Plugin {
    platform::LibraryHandle handle;
    CreateBackendInterfaceFn create;
    DestroyBackendInterfaceFn destroy;
    platform::LibraryHandle backendLibrary;

    static Plugin& get();
};

// A log callback that does nothing.
void discardLog(const char* format, uint32_t level, uint64_t timestamp, va_list args);

}  // namespace vek::bench
