#include "Keys.h"

#include <cstdio>

#include <rapidjson/document.h>
#include <rapidjson/filereadstream.h>
#include <rapidjson/stringbuffer.h>
#include <rapidjson/writer.h>

namespace vek::host {
namespace {

using rapidjson::Value;

std::string compact(const Value& value) {
    rapidjson::StringBuffer buffer;
    rapidjson::Writer<rapidjson::StringBuffer> writer(buffer);
    value.Accept(writer);
    return std::string(buffer.GetString(), buffer.GetSize());
}

std::string join(const Value& list, const char* separator) {
    std::string out;
    for (const Value& item : list.GetArray()) out += (out.empty() ? "" : separator) + compact(item);
    return out;
}

std::string typeOf(const Value& property) {
    if (property.HasMember("enum")) return join(property["enum"], ", ");
    std::string type = property["type"].GetString();
    if (type == "array" && property.HasMember("items")) type += " of " + std::string(property["items"]["type"].GetString()) + "s";
    if (property.HasMember("minimum")) type += " from " + compact(property["minimum"]) + " to " + compact(property["maximum"]);
    return type;
}

}  // namespace

std::string describeKeys(const std::string& editorSchemaPath) {
    std::FILE* file = std::fopen(editorSchemaPath.c_str(), "rb");
    if (file == nullptr) return {};
    char buffer[4096];
    rapidjson::FileReadStream stream(file, buffer, sizeof buffer);
    rapidjson::Document schema;
    schema.ParseStream(stream);
    std::fclose(file);
    if (schema.HasParseError() || !schema.IsObject() || !schema.HasMember("properties")) return {};
    const Value* dependencies = schema.HasMember("dependencies") ? &schema["dependencies"] : nullptr;
    std::string out;
    for (const auto& key : schema["properties"].GetObject()) {
        const Value& property = key.value;
        const auto needs = dependencies != nullptr ? dependencies->FindMember(key.name) : Value::ConstMemberIterator();
        out += std::string(key.name.GetString()) + " (" + typeOf(property) + "; default " +
               (property.HasMember("default") ? compact(property["default"]) : "none, the backend library decides") +
               "; needs " + (dependencies != nullptr && needs != dependencies->MemberEnd() ? join(needs->value, " and ") : "nothing") +
               ")\n    " + property["title"].GetString() + "\n";
    }
    return out;
}

}  // namespace vek::host
