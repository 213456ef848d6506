// SPDX-FileCopyrightText: 2026 The VekGpuKalderExtensions Authors
// SPDX-License-Identifier: Apache-2.0
// Arbitrary bytes as the configuration file: through the real loadConfigFile
// and every record hook, whose records must keep every rule a host relies
// on, and through the runner's check, which must find an error exactly when
// the plug-in refuses the file.
#include <cstdio>
#include <cstdlib>
#include <string>

#include "BackendExtensions/GPUBackendExtensions/GPUBackend.h"
#include "support/Cases.h"
#include "support/LogCapture.h"
#include "support/RecordCheck.h"
#include "support/TempFiles.h"

using namespace vek::test;

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    vek::gpu::GPUBackend logging;
    logging.installLogger(&formatLog, VEK_LOG_LEVEL_DEBUG);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const std::string path = tempPath("config.json");
    const std::string text(reinterpret_cast<const char*>(data), size);
    writeFile(path, text);
    vek::gpu::GPUBackend backend;
    const bool loaded = backend.loadConfigFile(path);
    Records records = readRecords(backend);
    if (lintFindsErrorInText(text) == loaded) {
        records.problems.push_back(std::string("the runner's check ") + (loaded ? "finds an error in" : "finds nothing in") +
                                   " a file the plug-in " + (loaded ? "takes" : "refuses"));
    }
    for (const std::string& problem : records.problems) std::fprintf(stderr, "broken: %s\n", problem.c_str());
    if (!records.problems.empty()) std::abort();
    return 0;
}
