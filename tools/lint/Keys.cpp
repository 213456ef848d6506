// SPDX-FileCopyrightText: 2026 The VekGpuKalderExtensions Authors
// SPDX-License-Identifier: Apache-2.0
#include "Keys.h"

#include <cstdio>

#include "BackendExtensions/ConfigJson.h"  // first: it sets how RapidJSON allocates
#include <rapidjson/document.h>
#include <rapidjson/filereadstream.h>
#include <rapidjson/stringbuffer.h>
#include <rapidjson/writer.h>

namespace vek::lint {
namespace {

using rapidjson::Value;

std::string compact(const Value& value) {
    rapidjson::StringBuffer buffer;
    rapidjson::Writer<rapidjson::StringBuffer> writer(buffer);
    value.Accept(writer);
    return std::string(buffer.GetString(), buffer.GetSize());
}

std::string typeOf(const Value& property) {
    std::string type = property["type"].GetString();
    if (type == "array" && property.HasMember("items")) type += " of " + std::string(property["items"]["type"].GetString()) + "s";
    if (property.HasMember("minimum")) type += " from " + compact(property["minimum"]) + " to " + compact(property["maximum"]);
    return type;
}

std::string join(const std::vector<std::string>& items, const char* separator) {
    std::string out;
    for (const std::string& item : items) out += (out.empty() ? "" : separator) + item;
    return out;
}

}  // namespace

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
        key.type = typeOf(property);
        if (property.HasMember("enum")) {
            for (const Value& allowed : property["enum"].GetArray()) key.allowed.push_back(compact(allowed));
        }
        if (property.HasMember("default")) key.defaultValue = compact(property["default"]);
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
        out += key.key + " (" + (key.allowed.empty() ? key.type : join(key.allowed, ", ")) + "; default " +
               (key.defaultValue.empty() ? "none, the backend library decides" : key.defaultValue) + "; needs " +
               (needs.empty() ? "nothing" : join(needs, " and ")) + ")\n    " + key.title + "\n";
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
        writer.String(key.type.c_str());
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
