// Arbitrary bytes as the configuration file, through the real loadConfigFile
// and then every record hook.
#include <cstddef>
#include <cstdint>
#include <memory>

#include "BackendExtensions/GPUBackendExtensions/GPUBackend.h"
#include "Invariants.h"

using namespace vek::fuzz;

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    vek::gpu::GPUBackend logging;
    logging.installLogger(&formattingLogCallback, VEK_LOG_LEVEL_DEBUG);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const std::string path = scratchPath("config.json");
    writeScratch(path, data, size);
    auto backend = std::make_unique<vek::gpu::GPUBackend>();
    IBackend& host = *backend;
    host.loadConfigFile(path);
    checkAllRecords(host);
    return 0;
}
