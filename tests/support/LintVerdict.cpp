#include "LintVerdict.h"

#include "BackendExtensions/GPUBackendExtensions/ConfigSchema.h"
#include "Lint.h"

namespace vek::test {
namespace {

const tools::kalder::ConfigDocument& schema() {
    static const tools::kalder::ConfigDocument parsed = [] {
        tools::kalder::ConfigDocument document;
        document.Parse(gpu::configSchema, gpu::configSchemaSize);
        return document;
    }();
    return parsed;
}

}  // namespace

bool lintFindsError(const std::string& path) { return host::lintConfigFile(path, schema()).hasError(); }

bool lintFindsErrorInText(std::string_view text) { return host::lintConfigText(text, schema()).hasError(); }

}  // namespace vek::test
