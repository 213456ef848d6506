// SPDX-FileCopyrightText: 2026 The VekGpuKalderExtensions Authors
// SPDX-License-Identifier: Apache-2.0
#include "Keys.h"

#include <cstdio>

#include "JsonOutput.h"  // first: it sets how RapidJSON allocates
#include <rapidjson/filereadstream.h>

#include "Text.h"

namespace vek::lint {
namespace {

using rapidjson::Value;

}  // namespace

const char* jsonTypeOf(gpu::KeyType type) {
    switch (type) {
        case gpu::KeyType::TextList: return "array";
        case gpu::KeyType::Flag: return "boolean";
        case gpu::KeyType::Integer: return "integer";
        case gpu::KeyType::Text: break;
    }
    return "string";
}

std::string typeWords(const KeyDescription& key) {
    std::string words = key.type == gpu::KeyType::TextList ? "array of strings" : jsonTypeOf(key.type);
    if (!key.minimum.empty()) words += " from " + key.minimum + " to " + key.maximum;
    return words;
}

bool readKeys(const std::string& editorSchemaPath, std::vector<KeyDescription>& keys) {
    std::FILE* file = std::fopen(editorSchemaPath.c_str(), "rb");
    if (file == nullptr) return false;
    char buffer[4096];
    rapidjson::FileReadStream stream(file, buffer, sizeof buffer);
    rapidjson::Document schema;
    schema.ParseStream(stream);
    std::fclose(file);
    if (schema.HasParseError() || !schema.IsObject() || !schema.HasMember("properties")) return false;
    const Value* dependencies = schema.HasMember("dependencies") ? &schema["dependencies"] : nullptr;
    for (const auto& entry : schema["properties"].GetObject()) {
        const Value& property = entry.value;
        KeyDescription key;
        key.key = entry.name.GetString();
        const gpu::ConfigKey* known = gpu::findConfigKey(key.key);
        if (known == nullptr || key.key != known->name) return false;
        key.type = known->type;
        if (property.HasMember("minimum") && property.HasMember("maximum")) {
            key.minimum = jsonText(property["minimum"]);
            key.maximum = jsonText(property["maximum"]);
        }
        if (property.HasMember("enum")) {
            for (const Value& allowed : property["enum"].GetArray()) key.allowed.push_back(jsonText(allowed));
        }
        if (property.HasMember("default")) key.defaultValue = jsonText(property["default"]);
        if (dependencies != nullptr && dependencies->HasMember(entry.name)) {
            for (const Value& needed : (*dependencies)[entry.name].GetArray()) key.needs.emplace_back(needed.GetString());
        }
        key.title = property["title"].GetString();
        keys.push_back(std::move(key));
    }
    return true;
}

std::string formatKeys(const std::vector<KeyDescription>& keys) {
    std::string out;
    for (const KeyDescription& key : keys) {
        std::vector<std::string> needs;
        for (const std::string& needed : key.needs) needs.push_back("\"" + needed + "\"");
        out += key.key + " (" + (key.allowed.empty() ? typeWords(key) : joinList(key.allowed, ", ", ", ")) + "; default " +
               (key.defaultValue.empty() ? "none, the backend library decides" : key.defaultValue) + "; needs " +
               (needs.empty() ? "nothing" : joinList(needs, " and ", " and ")) + ")\n    " + key.title + "\n";
    }
    return out;
}

std::string formatKeysJson(const std::vector<KeyDescription>& keys) {
    rapidjson::StringBuffer buffer;
    rapidjson::Writer<rapidjson::StringBuffer> writer(buffer);
    rapidjson::Document parsed;
    writer.StartArray();
    for (const KeyDescription& key : keys) {
        writer.StartObject();
        writer.Key("key");
        writer.String(key.key.c_str());
        writer.Key("type");
        writer.String(typeWords(key).c_str());
        writer.Key("allowed");
        writer.StartArray();
        for (const std::string& allowed : key.allowed) parsed.Parse(allowed.c_str()).Accept(writer);
        writer.EndArray();
        writer.Key("default");
        if (key.defaultValue.empty()) writer.Null();
        else parsed.Parse(key.defaultValue.c_str()).Accept(writer);
        writer.Key("needs");
        writer.StartArray();
        for (const std::string& needed : key.needs) writer.String(needed.c_str());
        writer.EndArray();
        writer.Key("title");
        writer.String(key.title.c_str());
        writer.EndObject();
    }
    writer.EndArray();
    return std::string(buffer.GetString(), buffer.GetSize()) + "\n";
}

}  // namespace vek::lint
