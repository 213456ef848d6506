// SPDX-FileCopyrightText: 2026 The VekGpuKalderExtensions Authors
// SPDX-License-Identifier: Apache-2.0
// The key walk and the key table, on their own.
#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <iterator>

// The plug-in's JSON types first: they set how RapidJSON allocates.
#include "BackendExtensions/ConfigValues.h"

#include <rapidjson/pointer.h>

#include "BackendExtensions/GPUBackendExtensions/ConfigSchema.h"
#include "BackendExtensions/GPUBackendExtensions/GpuConfigKeys.h"
#include "support/Cases.h"

namespace vek::test {
namespace {

// Keys come in document order (tests/cases/walk.json), and where the walk
// tells what the lookup finds, the lookup finds just that.
TEST(ConfigKeys, WalkInDocumentOrderAndStandOnlyWhereTheLookupWould) {
    const tools::kalder::ConfigDocument cases = readCases("walk.json");
    for (const auto& c : cases.GetArray()) {
        const std::string json = jsonText(c["config"]);
        tools::kalder::ConfigDocument document;
        document.Parse(json.c_str(), json.size());
        std::vector<std::string> keys;
        tools::kalder::collectConfigKeys(document, [&](const std::string& key, const tools::kalder::ConfigValue&,
                                                       tools::kalder::KnownLookup lookup) {
            keys.push_back(key);
            if (lookup.known) {
                EXPECT_EQ(tools::kalder::findConfigValue(document, key), lookup.value) << json << " " << key;
            }
            return true;
        });
        EXPECT_EQ(keys, strings(c, "keys")) << json;
    }
}

// Objects far larger than a configuration's own, holding repeated names and
// names the lookup reads otherwise ("/", "~", NUL, empty) at their start
// and end: every key leads to the value RapidJSON's own pointer finds,
// whether the walk tells it or the lookup finds it.
TEST(ConfigKeys, LargeObjectsAnswerAsRapidJsonsPointer) {
    const std::string tricky = R"("a/b": 1, "t~1": 2, "t~": 3, "": {"": 4}, "z\u0000y": 5, "z": 6)";
    std::string inner, outer;
    for (int i = 0; i < 3000; ++i) {
        inner += ",\"n" + std::to_string(i % 1000) + "\": " + std::to_string(i);
        outer += ",\"m" + std::to_string(i % 700) + "\": [" + std::to_string(i) + ", {\"x\": true}]";
    }
    const std::string text = "{" + tricky + ", \"o\": {" + tricky + inner + "," + tricky + "}" + outer + ", " + tricky +
                             R"(, "o": {"n7": "again", "a/b": 0}})";
    tools::kalder::ConfigDocument document;
    ASSERT_FALSE(document.Parse(text.c_str(), text.size()).HasParseError());
    tools::kalder::FirstMembers members;
    size_t keys = 0, direct = 0, known = 0;
    tools::kalder::collectConfigKeys(document, [&](const std::string& key, const tools::kalder::ConfigValue& value,
                                                   tools::kalder::KnownLookup lookup) {
        const rapidjson::GenericPointer<tools::kalder::ConfigValue> pointer((key[0] == '/' ? key : "/" + key).c_str());
        const tools::kalder::ConfigValue* expected = pointer.IsValid() ? pointer.Get(document) : nullptr;
        EXPECT_EQ(tools::kalder::findConfigValue(document, key, members, lookup), expected) << key;
        EXPECT_EQ(tools::kalder::findConfigValue(document, key, members), expected) << key;
        ++keys;
        known += lookup.known;
        direct += lookup.known && lookup.value == &value;
        return true;
    }, members);
    EXPECT_EQ(keys, 6 * 4u + 3000 + 2 * 3000 + 2);
    // "z"; "o//" and "o/z"; the first n of each name; both leaves of the first m of each name.
    EXPECT_EQ(direct, 1 + 2 + 1000 + 2 * 700u);
    // Also the repeated n and m, the later "z" of each block, and the later "o"'s "n7".
    EXPECT_EQ(known, direct + 2000 + 2 * 2300 + 3 + 1);
}

// The table and the schema name the same keys, in the same order, with the
// same types and the same enumerations.
TEST(ConfigKeys, TableAgreesWithTheSchema) {
    tools::kalder::ConfigDocument schema;
    schema.Parse(gpu::configSchema);
    const tools::kalder::ConfigValue& properties = schema["properties"];
    ASSERT_EQ(properties.MemberCount(), std::size(gpu::kConfigKeys));
    const char* const kTypes[] = {"array", "string", "boolean", "integer"};  // by KeyType
    size_t i = 0;
    for (const auto& property : properties.GetObject()) {
        const gpu::ConfigKey& key = gpu::kConfigKeys[i++];
        EXPECT_STREQ(property.name.GetString(), key.name);
        EXPECT_STREQ(property.value["type"].GetString(), kTypes[static_cast<int>(key.type)]) << key.name;
        std::vector<std::string> schemaTexts = strings(property.value, "enum"), tableTexts;
        for (size_t t = 0; t < key.enumCount; ++t) tableTexts.emplace_back(key.enumTexts[t].text);
        std::sort(schemaTexts.begin(), schemaTexts.end());
        std::sort(tableTexts.begin(), tableTexts.end());
        EXPECT_EQ(schemaTexts, tableTexts) << key.name;
    }
}

// The editor schema is the embedded one with titles, descriptions and
// defaults, closed to unknown keys, and device_id bounded to 32 bits.
TEST(ConfigKeys, EditorSchemaAgreesWithTheEmbeddedOne) {
    std::ifstream in(VEK_EDITOR_SCHEMA_PATH);
    const std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    rapidjson::Document editor, embedded;
    ASSERT_FALSE(editor.Parse(text.c_str()).HasParseError());
    embedded.Parse(gpu::configSchema);
    EXPECT_STREQ(editor["$schema"].GetString(), embedded["$schema:"].GetString());
    EXPECT_TRUE(editor["additionalProperties"].IsFalse());
    rapidjson::Value& deviceId = editor["properties"]["device_id"];
    EXPECT_EQ(deviceId["minimum"].GetInt64(), INT32_MIN);
    EXPECT_EQ(deviceId["maximum"].GetInt64(), INT32_MAX);
    deviceId.RemoveMember("minimum");
    deviceId.RemoveMember("maximum");
    for (auto& property : editor["properties"].GetObject()) {
        EXPECT_TRUE(property.value.HasMember("title") && property.value.HasMember("description")) << property.name.GetString();
        for (const char* annotation : {"title", "description", "default"}) property.value.RemoveMember(annotation);
    }
    EXPECT_EQ(editor["properties"], embedded["properties"]);
    EXPECT_EQ(editor["dependencies"], embedded["dependencies"]);
    EXPECT_STREQ(editor["type"].GetString(), embedded["type"].GetString());
}

}  // namespace
}  // namespace vek::test
