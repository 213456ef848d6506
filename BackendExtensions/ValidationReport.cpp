// SPDX-FileCopyrightText: 2026 The VekGpuKalderExtensions Authors
// SPDX-License-Identifier: Apache-2.0
#include "BackendExtensions/ValidationReport.h"

#include "BackendExtensions/HexDigits.h"

#include <cstring>
#include <string>
#include <vector>

namespace vek::tools::kalder {
namespace {

using Value = ConfigValue;
using Writer = JsonWriter;
using Tokens = std::vector<std::string>;

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

std::string uriFragment(const Tokens& tokens) {
    JsonBuffer buffer;
    writeUriFragment(buffer, tokens);
    return std::string(buffer.GetString(), buffer.GetSize());
}

// The value at `tokens`: in an object the first member of that name, in an
// array the element at that index; null when there is none.
const Value* resolve(const Value& root, const Tokens& tokens) {
    const Value* at = &root;
    for (const std::string& token : tokens) {
        if (at->IsObject()) {
            const auto found = at->FindMember(Value(rapidjson::StringRef(token.data(), static_cast<rapidjson::SizeType>(token.size()))));
            if (found == at->MemberEnd()) return nullptr;
            at = &found->value;
        } else if (at->IsArray() && !token.empty() && token.find_first_not_of("0123456789") == std::string::npos &&
                   std::stoul(token) < at->Size()) {
            at = &(*at)[static_cast<rapidjson::SizeType>(std::stoul(token))];
        } else {
            return nullptr;
        }
    }
    return at;
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

// Where the schema that judges the value at `documentAt` stands: the schema's
// "properties" and "items" followed along the document's tokens.
Tokens schemaPlace(const Value& schema, const Tokens& documentAt) {
    Tokens place;
    const Value* at = &schema;
    for (const std::string& token : documentAt) {
        const Value* properties = memberOf(*at, "properties");
        const Value* items = memberOf(*at, "items");
        const Value* property = properties != nullptr ? memberOf(*properties, token.c_str()) : nullptr;
        if (property != nullptr) {
            place.insert(place.end(), {"properties", token});
            at = property;
        } else if (items != nullptr && items->IsObject() && token.find_first_not_of("0123456789") == std::string::npos) {
            place.push_back("items");
            at = items;
        } else {
            break;
        }
    }
    return place;
}

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

void writeDependencyErrors(Writer& writer, const Value& schemaObject, const Tokens& schemaAt,
                           const Value& instance, const std::string& instanceRef) {
    writer.Key("errors");
    writer.StartObject();
    const Value* dependencies = memberOf(schemaObject, "dependencies");
    if (dependencies != nullptr && dependencies->IsObject()) {
        for (const Value* key : dependencyKeysInOrder(memberOf(schemaObject, "properties"), *dependencies)) {
            const Value& required = *memberOf(*dependencies, *key);
            if (!hasMember(instance, *key) || !missesAny(required, instance)) continue;
            Tokens requiredAt = schemaAt;
            requiredAt.insert(requiredAt.end(), {"dependencies", std::string(key->GetString(), key->GetStringLength())});
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

void writeUriFragment(JsonBuffer& out, const Tokens& tokens) {
    out.Put('#');
    for (const std::string& token : tokens) {
        out.Put('/');
        for (const char c : token) {
            const auto byte = static_cast<unsigned char>(c);
            const bool plain = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '-' ||
                               c == '.' || c == '_';
            if (c == '~' || c == '/') {
                out.Put('~');
                out.Put(c == '~' ? '0' : '1');
            } else if (plain) {
                out.Put(c);
            } else {
                out.Put('%');
                out.Put(kHexDigits[byte >> 4]);
                out.Put(kHexDigits[byte & 0xF]);
            }
        }
    }
}

void writeSchemaViolation(Writer& writer, const SchemaViolation& violation, const Value& schema,
                          const Value& document) {
    static const Value kNull;
    const Tokens schemaAt = schemaPlace(schema, violation.documentAt);
    const Value* schemaObject = resolve(schema, schemaAt);
    const Value* instance = resolve(document, violation.documentAt);
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
        writeDependencyErrors(writer, *schemaObject, schemaAt, *instance, instanceRef);
    }
    writeRefs(writer, errorCodeOf(keyword.c_str()), instanceRef, uriFragment(schemaAt));
    writer.EndObject();
    writer.EndObject();
}

}  // namespace vek::tools::kalder
