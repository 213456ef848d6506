// Schema validation as a user sees it: which files pass, and the exact
// location and error report for those that do not.
#include <gtest/gtest.h>

#include "support/LintVerdict.h"
#include "support/LogCapture.h"
#include "support/Plugin.h"
#include "support/TempFiles.h"

namespace vek::test {
namespace {

struct ReportCase {
    const char* content;
    const char* location;
    const char* report;  // the error object after the location
};

TEST(SchemaReport, ExactReports) {
    const ReportCase cases[] = {
        {R"({"device_id": "0"})", "#/device_id",
         R"({"type":{"expected":["integer"],"actual":"string","errorCode":20,"instanceRef":"#/device_id","schemaRef":"#/properties/device_id"}})"},
        {R"({"device_id": 1})", "#",
         R"({"dependencies":{"errors":{"device_id":{"required":{"missing":["graph_names"],"errorCode":15,"instanceRef":"#","schemaRef":"#/dependencies/device_id"}}},"errorCode":18,"instanceRef":"#","schemaRef":"#"}})"},
        {R"({"perf_hint": "max"})", "#/perf_hint",
         R"({"enum":{"errorCode":19,"instanceRef":"#/perf_hint","schemaRef":"#/properties/perf_hint"}})"},
        {"[1]", "#",
         R"({"type":{"expected":["object"],"actual":"array","errorCode":20,"instanceRef":"#","schemaRef":"#"}})"},
        {R"({"graph_names": ["g"], "device_id": 1.0})", "#/device_id",
         R"({"type":{"expected":["integer"],"actual":"number","errorCode":20,"instanceRef":"#/device_id","schemaRef":"#/properties/device_id"}})"},
        {R"({"graph_names": ["a", 3]})", "#/graph_names/1",
         R"({"type":{"expected":["string"],"actual":"integer","errorCode":20,"instanceRef":"#/graph_names/1","schemaRef":"#/properties/graph_names/items"}})"},
        // Every key with missing dependencies, in the order of the properties.
        {R"({"device_id": 1, "tuning_mode": true, "invalidate_kernel_repo": false, "perf_hint": "low"})", "#",
         R"({"dependencies":{"errors":{)"
         R"("invalidate_kernel_repo":{"required":{"missing":["kernel_repo_path"],"errorCode":15,"instanceRef":"#","schemaRef":"#/dependencies/invalidate_kernel_repo"}},)"
         R"("tuning_mode":{"required":{"missing":["graph_names"],"errorCode":15,"instanceRef":"#","schemaRef":"#/dependencies/tuning_mode"}},)"
         R"("device_id":{"required":{"missing":["graph_names"],"errorCode":15,"instanceRef":"#","schemaRef":"#/dependencies/device_id"}}},)"
         R"("errorCode":18,"instanceRef":"#","schemaRef":"#"}})"},
        // A wrong type is met before the end of the object, where dependencies are checked.
        {R"({"device_id": "x"})", "#/device_id",
         R"({"type":{"expected":["integer"],"actual":"string","errorCode":20,"instanceRef":"#/device_id","schemaRef":"#/properties/device_id"}})"},
        {R"({"tuning_mode": false})", "#",
         R"({"dependencies":{"errors":{"tuning_mode":{"required":{"missing":["graph_names"],"errorCode":15,"instanceRef":"#","schemaRef":"#/dependencies/tuning_mode"}}},"errorCode":18,"instanceRef":"#","schemaRef":"#"}})"},
        {R"({"graph_names": ["g"], "precision_mode": "fp16 "})", "#/precision_mode",
         R"({"enum":{"errorCode":19,"instanceRef":"#/precision_mode","schemaRef":"#/properties/precision_mode"}})"},
        {R"({"graph_names": ["g"], "weight_sharing": 1})", "#/weight_sharing",
         R"({"type":{"expected":["boolean"],"actual":"integer","errorCode":20,"instanceRef":"#/weight_sharing","schemaRef":"#/properties/weight_sharing"}})"},
        // The value refused, not the first member of its name.
        {R"({"device_id": 1, "device_id": "x"})", "#/device_id",
         R"({"type":{"expected":["integer"],"actual":"string","errorCode":20,"instanceRef":"#/device_id","schemaRef":"#/properties/device_id"}})"},
        {R"({"graph_names": ["a"], "graph_names": ["a", 1]})", "#/graph_names/1",
         R"({"type":{"expected":["string"],"actual":"integer","errorCode":20,"instanceRef":"#/graph_names/1","schemaRef":"#/properties/graph_names/items"}})"},
        {R"({"device_id": true})", "#/device_id",
         R"({"type":{"expected":["integer"],"actual":"boolean","errorCode":20,"instanceRef":"#/device_id","schemaRef":"#/properties/device_id"}})"},
        {R"({"device_id": null})", "#/device_id",
         R"({"type":{"expected":["integer"],"actual":"null","errorCode":20,"instanceRef":"#/device_id","schemaRef":"#/properties/device_id"}})"},
        {R"({"graph_names": {}})", "#/graph_names",
         R"({"type":{"expected":["array"],"actual":"object","errorCode":20,"instanceRef":"#/graph_names","schemaRef":"#/properties/graph_names"}})"},
        // Only the keys whose dependencies are missing are listed.
        {R"({"graph_names": [], "tuning_mode": true, "invalidate_kernel_repo": true})", "#",
         R"({"dependencies":{"errors":{"invalidate_kernel_repo":{"required":{"missing":["kernel_repo_path"],"errorCode":15,"instanceRef":"#","schemaRef":"#/dependencies/invalidate_kernel_repo"}}},"errorCode":18,"instanceRef":"#","schemaRef":"#"}})"},
        {"\"text\"", "#",
         R"({"type":{"expected":["object"],"actual":"string","errorCode":20,"instanceRef":"#","schemaRef":"#"}})"},
    };
    for (const ReportCase& c : cases) {
        BackendPtr backend = makeBackend();
        captureLogsOf(*backend);
        const std::string path = writeTempFile(c.content);
        EXPECT_FALSE(backend->loadConfigFile(path)) << c.content;
        EXPECT_TRUE(lintFindsError(path)) << "the runner's check disagrees on " << c.content;
        const std::string location = c.location;
        EXPECT_EQ(capturedLines(),
                  (std::vector<LogLine>{
                      errorLine("Input file does not adhere to schema, error in key: %s",
                                "Input file does not adhere to schema, error in key: " + location),
                      errorLine("Schema error:\n%s", "Schema error:\n" + location + c.report),
                      errorLine("Config does not match schema"),
                  }))
            << c.content;
    }
}

}  // namespace
}  // namespace vek::test
