// Arbitrary bytes as the configuration file, through the real loadConfigFile
// and then every record hook.
#include <cstdio>
#include <cstdlib>
#include <string>

#include "BackendExtensions/GPUBackendExtensions/GPUBackend.h"
#include "support/LogCapture.h"
#include "support/RecordCheck.h"
#include "support/TempFiles.h"

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    vek::gpu::GPUBackend logging;
    logging.installLogger(&vek::test::formatLog, VEK_LOG_LEVEL_DEBUG);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const std::string path = vek::test::tempPath("config.json");
    vek::test::writeFile(path, std::string(reinterpret_cast<const char*>(data), size));
    vek::gpu::GPUBackend backend;
    backend.loadConfigFile(path);
    const vek::test::Records records = vek::test::readRecords(backend);
    for (const std::string& problem : records.problems) std::fprintf(stderr, "broken: %s\n", problem.c_str());
    if (!records.problems.empty()) std::abort();
    return 0;
}
