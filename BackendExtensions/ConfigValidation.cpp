// SPDX-FileCopyrightText: 2026 The VekGpuKalderExtensions Authors
// SPDX-License-Identifier: Apache-2.0
#include "BackendExtensions/ConfigValidation.h"

#include <string>
#include <type_traits>
#include <vector>

#include <rapidjson/schema.h>

#include "BackendExtensions/CallArena.h"
#include "BackendExtensions/JsonTypeName.h"
#include "BackendExtensions/ValidationReport.h"
#include "log/Log.h"

namespace vek::tools::kalder {
namespace {

using rapidjson::SizeType;
constexpr size_t kSchemaPoolChunk = 8 * 1024;

using SchemaDocument = rapidjson::GenericSchemaDocument<ConfigValue, CallPool>;
using SchemaValidator =
    rapidjson::GenericSchemaValidator<SchemaDocument, rapidjson::BaseReaderHandler<rapidjson::UTF8<>, void>, CallPool>;

// The compiled schema. Later RapidJSON versions take a base URI before the
// allocator.
template <typename Document = SchemaDocument>
Document compileSchema(const ConfigValue& schema, CallPool* pool) {
    using Provider = rapidjson::IGenericRemoteSchemaDocumentProvider<Document>;
    if constexpr (std::is_constructible_v<Document, const ConfigValue&, const char*, SizeType, Provider*, CallPool*>) {
        return Document(schema, nullptr, 0, nullptr, pool);
    } else {
        return Document(schema, nullptr, pool);
    }
}

// Hands the document to the validator and keeps the place and type of the
// value it handed over last. When the validator refuses, that value is the
// one it refused (or, at the end of an object, that object): its place is
// the report's location, and its type the report's "actual" type, which a
// lookup by location cannot tell from an earlier member of the same name.
class Recorder {
public:
    explicit Recorder(SchemaValidator& validator) : validator_(validator) {}

    bool Null() { return scalar(rapidjson::kNullType, validator_.Null()); }
    bool Bool(bool b) { return scalar(rapidjson::kTrueType, validator_.Bool(b)); }
    bool Int(int i) { return scalar(rapidjson::kNumberType, validator_.Int(i)); }
    bool Uint(unsigned u) { return scalar(rapidjson::kNumberType, validator_.Uint(u)); }
    bool Int64(int64_t i) { return scalar(rapidjson::kNumberType, validator_.Int64(i)); }
    bool Uint64(uint64_t u) { return scalar(rapidjson::kNumberType, validator_.Uint64(u)); }
    bool Double(double d) { return scalar(rapidjson::kNumberType, validator_.Double(d), true); }
    bool String(const char* text, SizeType length, bool copy) {
        return scalar(rapidjson::kStringType, validator_.String(text, length, copy));
    }
    bool StartObject() { return open(rapidjson::kObjectType, validator_.StartObject()); }
    bool Key(const char* text, SizeType length, bool copy) {
        levels_.back().key = text;
        levels_.back().keyLength = length;
        return validator_.Key(text, length, copy);
    }
    bool EndObject(SizeType members) {
        levels_.pop_back();
        return settle(validator_.EndObject(members));
    }
    bool StartArray() { return open(rapidjson::kArrayType, validator_.StartArray()); }
    bool EndArray(SizeType elements) {
        levels_.pop_back();
        return settle(validator_.EndArray(elements));
    }

    const char* typeName() const { return jsonTypeName(type_, isDouble_); }

    // The place of the value handed over last, as tokens.
    std::vector<std::string> place() const {
        std::vector<std::string> tokens;
        for (const Level& level : levels_) {
            tokens.push_back(level.array ? std::to_string(level.index) : std::string(level.key, level.keyLength));
        }
        return tokens;
    }

private:
    // An open array or object, and the element or member in it now.
    struct Level {
        bool array;
        SizeType index;
        const char* key;
        SizeType keyLength;
    };

    bool scalar(rapidjson::Type type, bool accepted, bool isDouble = false) {
        type_ = type;
        isDouble_ = isDouble;
        return settle(accepted);
    }
    bool open(rapidjson::Type type, bool accepted) {
        type_ = type;
        isDouble_ = false;
        if (accepted) levels_.push_back(Level{type == rapidjson::kArrayType, 0, "", 0});
        return accepted;
    }
    bool settle(bool accepted) {
        if (accepted && !levels_.empty() && levels_.back().array) ++levels_.back().index;
        return accepted;
    }

    SchemaValidator& validator_;
    std::vector<Level> levels_;
    rapidjson::Type type_ = rapidjson::kNullType;
    bool isDouble_ = false;
};

}  // namespace

bool validateConfig(const ConfigDocument& document, const std::string& schemaText) {
    // The schema's objects live in a pool and an arena of this call, which
    // free them all, also when running out of memory leaves some half built.
    // Small chunks: the schema is small, and a load should not touch memory
    // it needs not.
    JsonPool pool(kSchemaPoolChunk);
    CallArena arena(kSchemaPoolChunk);
    const CallPool::Scope scope(arena);
    CallPool callPool;
    ConfigDocument schemaJson(&pool);
    schemaJson.Parse(schemaText.c_str());
    if (schemaJson.HasParseError()) {
        VEK_LOG(VEK_LOG_LEVEL_ERROR, "Backend provided schema is not valid JSON, check format");
        return false;
    }
    const SchemaDocument schema = compileSchema(schemaJson, &callPool);
    SchemaValidator validator(schema, &callPool);
    Recorder recorder(validator);
    if (document.Accept(recorder)) return true;

    // The report: the failing location as a URI fragment, then (in the same
    // buffer) the error object.
    const SchemaViolation violation{validator.GetInvalidSchemaKeyword(), recorder.place(), recorder.typeName()};
    JsonBuffer report;
    writeUriFragment(report, violation.documentAt);
    VEK_LOG(VEK_LOG_LEVEL_ERROR, "Input file does not adhere to schema, error in key: %s", report.GetString());
    JsonWriter writer(report);
    writeSchemaViolation(writer, violation, schemaJson, document);
    VEK_LOG(VEK_LOG_LEVEL_ERROR, "Schema error:\n%s", report.GetString());
    return false;
}

}  // namespace vek::tools::kalder
