#include "BackendExtensions/ConfigValidation.h"

#include <rapidjson/schema.h>

#include "BackendExtensions/ValidationReport.h"
#include "log/Log.h"

namespace vek::tools::kalder {

bool validateConfig(const rapidjson::Document& document, const std::string& schemaText) {
    rapidjson::Document schemaJson;
    schemaJson.Parse(schemaText.c_str());
    if (schemaJson.HasParseError()) {
        VEK_LOG(VEK_LOG_LEVEL_ERROR, "Backend provided schema is not valid JSON, check format");
        return false;
    }
    const rapidjson::SchemaDocument schema(schemaJson);
    rapidjson::SchemaValidator validator(schema);
    if (document.Accept(validator)) return true;

    // The report: the failing location as a URI fragment, then (in the same
    // buffer) the error object.
    const rapidjson::Pointer documentAt = validator.GetInvalidDocumentPointer();
    const rapidjson::Pointer schemaAt = validator.GetInvalidSchemaPointer();
    rapidjson::StringBuffer report;
    documentAt.StringifyUriFragment(report);
    VEK_LOG(VEK_LOG_LEVEL_ERROR, "Input file does not adhere to schema, error in key: %s", report.GetString());
    rapidjson::Writer<rapidjson::StringBuffer> writer(report);
    writeSchemaViolation(writer, SchemaViolation{validator.GetInvalidSchemaKeyword(), schemaAt, documentAt}, schemaJson,
                         document);
    VEK_LOG(VEK_LOG_LEVEL_ERROR, "Schema error:\n%s", report.GetString());
    return false;
}

}  // namespace vek::tools::kalder
