#include "BackendExtensions/ValidationReport.h"

#include <cstring>
#include <string>
#include <vector>

namespace vek::tools::kalder {
namespace {

using rapidjson::Pointer;
using rapidjson::Value;
using Writer = rapidjson::Writer<rapidjson::StringBuffer>;

// Error codes of the validation report, by keyword.
struct KeywordCode {
    const char* keyword;
    int code;
};
constexpr KeywordCode kKeywordCodes[] = {
    {"multipleOf", 1},     {"maximum", 2},          {"exclusiveMaximum", 3},      {"minimum", 4},
    {"exclusiveMinimum", 5}, {"maxLength", 6},      {"minLength", 7},             {"pattern", 8},
    {"maxItems", 9},       {"minItems", 10},        {"uniqueItems", 11},          {"additionalItems", 12},
    {"maxProperties", 13}, {"minProperties", 14},   {"required", 15},             {"additionalProperties", 16},
    {"patternProperties", 17}, {"dependencies", 18}, {"enum", 19},                {"type", 20},
    {"oneOf", 21},         {"allOf", 23},           {"anyOf", 24},                {"not", 25},
};

int errorCodeOf(const char* keyword) {
    for (const KeywordCode& entry : kKeywordCodes) {
        if (std::strcmp(entry.keyword, keyword) == 0) return entry.code;
    }
    return 0;
}

std::string uriFragment(const Pointer& pointer) {
    rapidjson::StringBuffer buffer;
    pointer.StringifyUriFragment(buffer);
    return std::string(buffer.GetString(), buffer.GetSize());
}

void writeString(Writer& writer, const std::string& text) {
    writer.String(text.c_str(), static_cast<rapidjson::SizeType>(text.size()));
}

void writeRefs(Writer& writer, int code, const std::string& instanceRef, const std::string& schemaRef) {
    writer.Key("errorCode");
    writer.Int(code);
    writer.Key("instanceRef");
    writeString(writer, instanceRef);
    writer.Key("schemaRef");
    writeString(writer, schemaRef);
}

// The member `name` of `object`, or null when `object` is no object or has none.
const Value* memberOf(const Value& object, const Value& name) {
    if (!object.IsObject() || !name.IsString()) return nullptr;
    const auto found = object.FindMember(name);
    return found != object.MemberEnd() ? &found->value : nullptr;
}
const Value* memberOf(const Value& object, const char* name) { return memberOf(object, Value(rapidjson::StringRef(name))); }

bool hasMember(const Value& object, const Value& name) { return memberOf(object, name) != nullptr; }

// The allowed types in the validator's order; "number" covers "integer".
void writeExpectedTypes(Writer& writer, const Value* type) {
    static const char* const kOrder[] = {"null", "boolean", "object", "array", "string", "number", "integer"};
    auto allows = [type](const char* name) {
        if (type == nullptr) return false;
        if (type->IsString()) return std::strcmp(type->GetString(), name) == 0;
        if (!type->IsArray()) return false;
        for (const Value& entry : type->GetArray()) {
            if (entry.IsString() && std::strcmp(entry.GetString(), name) == 0) return true;
        }
        return false;
    };
    writer.StartArray();
    for (const char* name : kOrder) {
        if (std::strcmp(name, "integer") == 0 && allows("number")) continue;
        if (allows(name)) writer.String(name);
    }
    writer.EndArray();
}

// "missing": the names of `required` that `instance` does not have.
void writeMissing(Writer& writer, const Value& required, const Value& instance) {
    writer.Key("missing");
    writer.StartArray();
    if (required.IsArray()) {
        for (const Value& name : required.GetArray()) {
            if (name.IsString() && !hasMember(instance, name)) writer.String(name.GetString(), name.GetStringLength());
        }
    }
    writer.EndArray();
}

bool missesAny(const Value& required, const Value& instance) {
    if (!required.IsArray()) return false;
    for (const Value& name : required.GetArray()) {
        if (name.IsString() && !hasMember(instance, name)) return true;
    }
    return false;
}

// The keys with a dependency list: those among the properties first, in the
// order of the properties, then the others in their own order.
std::vector<const Value*> dependencyKeysInOrder(const Value* properties, const Value& dependencies) {
    std::vector<const Value*> keys;
    if (properties != nullptr && properties->IsObject()) {
        for (const auto& property : properties->GetObject()) {
            if (hasMember(dependencies, property.name)) keys.push_back(&property.name);
        }
    }
    for (const auto& dependency : dependencies.GetObject()) {
        if (properties == nullptr || !hasMember(*properties, dependency.name)) keys.push_back(&dependency.name);
    }
    return keys;
}

void writeDependencyErrors(Writer& writer, const Value& schemaObject, const Pointer& schemaAt,
                           const Value& instance, const std::string& instanceRef) {
    writer.Key("errors");
    writer.StartObject();
    const Value* dependencies = memberOf(schemaObject, "dependencies");
    if (dependencies != nullptr && dependencies->IsObject()) {
        for (const Value* key : dependencyKeysInOrder(memberOf(schemaObject, "properties"), *dependencies)) {
            const Value& required = *memberOf(*dependencies, *key);
            if (!hasMember(instance, *key) || !missesAny(required, instance)) continue;
            static const char kDependencies[] = "dependencies";
            const Pointer requiredAt = schemaAt.Append(kDependencies, sizeof kDependencies - 1)
                                           .Append(key->GetString(), key->GetStringLength());
            writer.Key(key->GetString(), key->GetStringLength());
            writer.StartObject();
            writer.Key("required");
            writer.StartObject();
            writeMissing(writer, required, instance);
            writeRefs(writer, errorCodeOf("required"), instanceRef, uriFragment(requiredAt));
            writer.EndObject();
            writer.EndObject();
        }
    }
    writer.EndObject();
}

}  // namespace

void writeSchemaViolation(Writer& writer, const SchemaViolation& violation, const Value& schema,
                          const Value& document) {
    static const Value kNull;
    const Value* schemaObject = violation.schemaAt.Get(schema);
    const Value* instance = violation.documentAt.Get(document);
    if (schemaObject == nullptr) schemaObject = &kNull;
    if (instance == nullptr) instance = &kNull;
    const std::string instanceRef = uriFragment(violation.documentAt);
    const std::string keyword = violation.keyword != nullptr ? violation.keyword : "";

    writer.StartObject();
    writeString(writer, keyword);
    writer.StartObject();
    if (keyword == "type") {
        writer.Key("expected");
        writeExpectedTypes(writer, memberOf(*schemaObject, "type"));
        writer.Key("actual");
        writer.String(violation.actualType);
    } else if (keyword == "required") {
        const Value* required = memberOf(*schemaObject, "required");
        writeMissing(writer, required != nullptr ? *required : kNull, *instance);
    } else if (keyword == "dependencies") {
        writeDependencyErrors(writer, *schemaObject, violation.schemaAt, *instance, instanceRef);
    }
    writeRefs(writer, errorCodeOf(keyword.c_str()), instanceRef, uriFragment(violation.schemaAt));
    writer.EndObject();
    writer.EndObject();
}

}  // namespace vek::tools::kalder
