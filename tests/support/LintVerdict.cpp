#include "LintVerdict.h"

#include <rapidjson/document.h>

#include "BackendExtensions/GPUBackendExtensions/ConfigSchema.h"
#include "Lint.h"

namespace vek::test {
namespace {

const rapidjson::Document& schema() {
    static const rapidjson::Document parsed = [] {
        rapidjson::Document document;
        document.Parse(gpu::configSchema, gpu::configSchemaSize);
        return document;
    }();
    return parsed;
}

}  // namespace

bool lintFindsError(const std::string& path) { return host::lintConfigFile(path, schema()).hasError(); }

bool lintFindsErrorInText(std::string_view text) { return host::lintConfigText(text, schema()).hasError(); }

}  // namespace vek::test
