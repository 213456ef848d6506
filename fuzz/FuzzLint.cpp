// Arbitrary bytes through the runner's configuration check and through the
// plug-in: no crash, and the check finds an error exactly when the plug-in
// refuses the file.
#include <cstdio>
#include <cstdlib>
#include <string>

#include "BackendExtensions/GPUBackendExtensions/GPUBackend.h"
#include "support/LintVerdict.h"
#include "support/TempFiles.h"

extern "C" int LLVMFuzzerInitialize(int*, char***) { return 0; }

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const std::string path = vek::test::tempPath("lint.json");
    const std::string text(reinterpret_cast<const char*>(data), size);
    vek::test::writeFile(path, text);
    vek::gpu::GPUBackend backend;
    const bool loaded = backend.loadConfigFile(path);
    if (vek::test::lintFindsErrorInText(text) == loaded) {
        std::fprintf(stderr, "the check %s an error, the plug-in %s the file\n", loaded ? "finds" : "finds no",
                     loaded ? "takes" : "refuses");
        std::abort();
    }
    return 0;
}
