// Schema validation as a user sees it: the exact location and error report
// of every case in tests/cases/reports.json.
#include <gtest/gtest.h>

#include "support/Cases.h"
#include "support/LintVerdict.h"
#include "support/LogCapture.h"
#include "support/Plugin.h"
#include "support/TempFiles.h"

namespace vek::test {
namespace {

TEST(SchemaReport, ExactReports) {
    const tools::kalder::ConfigDocument cases = readCases("reports.json");
    for (const auto& c : cases.GetArray()) {
        const std::string content = compact(c["config"]), location = c["location"].GetString();
        const std::string path = writeTempFile(content);
        BackendPtr backend = makeBackend();
        captureLogsOf(*backend);
        EXPECT_FALSE(backend->loadConfigFile(path)) << content;
        EXPECT_TRUE(lintFindsError(path)) << "the runner's check disagrees on " << content;
        EXPECT_EQ(capturedLines(),
                  (std::vector<LogLine>{
                      errorLine("Input file does not adhere to schema, error in key: %s",
                                "Input file does not adhere to schema, error in key: " + location),
                      errorLine("Schema error:\n%s", "Schema error:\n" + location + compact(c["report"])),
                      errorLine("Config does not match schema"),
                  }))
            << content;
    }
}

}  // namespace
}  // namespace vek::test
