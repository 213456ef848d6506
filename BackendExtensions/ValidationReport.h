// The validator's error object, written the same on every RapidJSON version.
#pragma once

#include <rapidjson/document.h>
#include <rapidjson/pointer.h>
#include <rapidjson/stringbuffer.h>
#include <rapidjson/writer.h>

namespace vek::tools::kalder {

// What the validator reports about the first violation it met.
struct SchemaViolation {
    const char* keyword;               // the failed keyword: "type", "enum", ...
    const rapidjson::Pointer& schemaAt;    // the schema that holds it
    const rapidjson::Pointer& documentAt;  // the value that broke it
    const char* actualType;                // that value's type, as "type" reports it
};

// Writes the error object for `violation` as compact JSON:
//   {"<keyword>":{<details>,"errorCode":N,"instanceRef":"#...","schemaRef":"#..."}}
// Details are read from the schema and the document: "expected" (and the
// violation's "actual") for a type, "missing" for required keys, and for dependencies one
// "required" report per present key whose dependencies are missing, in the
// order of the schema's properties.
void writeSchemaViolation(rapidjson::Writer<rapidjson::StringBuffer>& writer, const SchemaViolation& violation,
                          const rapidjson::Value& schema, const rapidjson::Value& document);

}  // namespace vek::tools::kalder
