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

// A file of `members` members (or elements, or ten-byte pieces of one long
// name or value), each of one shape, written once; returns its path. The
// first three are what a large configuration looks like; the others what a
// hostile or broken one may: the check must stay linear on all of them.
enum class MemberShape {
    Null,          // "k0000001": null, ... (no key to apply)
    GraphNames,    // "graph_names_1": "g1", ... (a graph each)
    Pairs,         // every name twice (every second one looked up by name)
    DeepNull,      // null members in an object nested 250 levels deep
    UnknownKeys,   // "unknown_key_1": 1, ...
    RepeatedKeys,  // "device_id": 1, again and again
    WrongTypes,    // "graph_names": [0, 1, ...]
    Warnings,      // "graph_names": ["n 0", "n 1", ...], each a warning
    LongName,      // one member whose name is the whole line
    LongValue,     // one text value that is the whole line
};
constexpr MemberShape kMemberShapes[] = {MemberShape::Null,        MemberShape::GraphNames,   MemberShape::Pairs,
                                         MemberShape::DeepNull,    MemberShape::UnknownKeys,  MemberShape::RepeatedKeys,
                                         MemberShape::WrongTypes,  MemberShape::Warnings,     MemberShape::LongName,
                                         MemberShape::LongValue};
const char* shapeName(MemberShape shape);  // "null", "graph_names", "pairs", "deep_null", ...
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
