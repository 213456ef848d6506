#include "BackendExtensions/ConfigValidation.h"

#include <rapidjson/schema.h>

#include "BackendExtensions/JsonTypeName.h"
#include "BackendExtensions/ValidationReport.h"
#include "log/Log.h"

namespace vek::tools::kalder {
namespace {

using rapidjson::SizeType;

// Hands the document to the validator and remembers the type of the last
// value it handed over. On a type violation that is the value refused, which
// a lookup by its location cannot tell from an earlier member of the same name.
class TypeRecorder {
public:
    explicit TypeRecorder(rapidjson::SchemaValidator& validator) : validator_(validator) {}

    bool Null() { return seen(rapidjson::kNullType) && validator_.Null(); }
    bool Bool(bool b) { return seen(rapidjson::kTrueType) && validator_.Bool(b); }
    bool Int(int i) { return seen(rapidjson::kNumberType) && validator_.Int(i); }
    bool Uint(unsigned u) { return seen(rapidjson::kNumberType) && validator_.Uint(u); }
    bool Int64(int64_t i) { return seen(rapidjson::kNumberType) && validator_.Int64(i); }
    bool Uint64(uint64_t u) { return seen(rapidjson::kNumberType) && validator_.Uint64(u); }
    bool Double(double d) { return seen(rapidjson::kNumberType, true) && validator_.Double(d); }
    bool String(const char* text, SizeType length, bool copy) {
        return seen(rapidjson::kStringType) && validator_.String(text, length, copy);
    }
    bool StartObject() { return seen(rapidjson::kObjectType) && validator_.StartObject(); }
    bool Key(const char* text, SizeType length, bool copy) { return validator_.Key(text, length, copy); }
    bool EndObject(SizeType members) { return validator_.EndObject(members); }
    bool StartArray() { return seen(rapidjson::kArrayType) && validator_.StartArray(); }
    bool EndArray(SizeType elements) { return validator_.EndArray(elements); }

    const char* lastTypeName() const { return jsonTypeName(type_, isDouble_); }

private:
    bool seen(rapidjson::Type type, bool isDouble = false) {
        type_ = type;
        isDouble_ = isDouble;
        return true;
    }

    rapidjson::SchemaValidator& validator_;
    rapidjson::Type type_ = rapidjson::kNullType;
    bool isDouble_ = false;
};

}  // namespace

bool validateConfig(const rapidjson::Document& document, const std::string& schemaText) {
    rapidjson::Document schemaJson;
    schemaJson.Parse(schemaText.c_str());
    if (schemaJson.HasParseError()) {
        VEK_LOG(VEK_LOG_LEVEL_ERROR, "Backend provided schema is not valid JSON, check format");
        return false;
    }
    const rapidjson::SchemaDocument schema(schemaJson);
    rapidjson::SchemaValidator validator(schema);
    TypeRecorder recorder(validator);
    if (document.Accept(recorder)) return true;

    // The report: the failing location as a URI fragment, then (in the same
    // buffer) the error object.
    const rapidjson::Pointer documentAt = validator.GetInvalidDocumentPointer();
    const rapidjson::Pointer schemaAt = validator.GetInvalidSchemaPointer();
    rapidjson::StringBuffer report;
    documentAt.StringifyUriFragment(report);
    VEK_LOG(VEK_LOG_LEVEL_ERROR, "Input file does not adhere to schema, error in key: %s", report.GetString());
    rapidjson::Writer<rapidjson::StringBuffer> writer(report);
    writeSchemaViolation(writer, SchemaViolation{validator.GetInvalidSchemaKeyword(), schemaAt, documentAt, recorder.lastTypeName()}, schemaJson,
                         document);
    VEK_LOG(VEK_LOG_LEVEL_ERROR, "Schema error:\n%s", report.GetString());
    return false;
}

}  // namespace vek::tools::kalder
