// SPDX-FileCopyrightText: 2026 The VekGpuKalderExtensions Authors
// SPDX-License-Identifier: Apache-2.0
// One floor round or one loadConfigFile, counted by callgrind in
// instructions, which unlike seconds do not change with what else the
// machine is doing:
//   valgrind --tool=callgrind --collect-atstart=no vek_count_once floor|load FILE
// A first, uncounted round warms the heap the way the timed benchmarks do.
#include <cstdio>
#include <cstring>
#include <string>

#include <valgrind/callgrind.h>

#include "BackendExtensions/IBackend.h"
#include "BenchFiles.h"
#include "Floor.h"
#include "platform/DynamicLibrary.h"

int main(int argc, char** argv) {
    if (argc != 3 || (std::strcmp(argv[1], "floor") != 0 && std::strcmp(argv[1], "load") != 0)) {
        std::fprintf(stderr, "usage: vek_count_once floor|load FILE\n");
        return 2;
    }
    using namespace vek;
    const std::string path = argv[2];
    if (std::strcmp(argv[1], "floor") == 0) {
        bench::readParseValidate(path);
        CALLGRIND_TOGGLE_COLLECT;
        const bool valid = bench::readParseValidate(path);
        CALLGRIND_TOGGLE_COLLECT;
        return valid ? 0 : 1;
    }
    bench::Plugin& plugin = bench::Plugin::get();
    tools::kalder::IBackend* backend = plugin.create();
    backend->installLogger(&bench::discardLog, VEK_LOG_LEVEL_WARN);
    backend->loadConfigFile(path);
    CALLGRIND_TOGGLE_COLLECT;
    const bool loaded = backend->loadConfigFile(path);
    CALLGRIND_TOGGLE_COLLECT;
    plugin.destroy(backend);
    return loaded ? 0 : 1;
}
