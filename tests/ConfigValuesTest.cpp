// The configuration module's key listing and typed lookup, called directly.
#include <gtest/gtest.h>

#include "BackendExtensions/ConfigValues.h"
#include "log/Logger.h"
#include "support/LogCapture.h"

namespace vek::test {
namespace {

using tools::kalder::collectConfigKeys;
using tools::kalder::findConfigValue;
using tools::kalder::getConfigValue;

rapidjson::Document parse(const std::string& text) {
    rapidjson::Document document;
    document.Parse(text.c_str(), text.size());
    EXPECT_FALSE(document.HasParseError()) << text;
    return document;
}

class ConfigValues : public ::testing::Test {
protected:
    // The module logs through this process's own logger table.
    void SetUp() override {
        ASSERT_TRUE(log::installProcessLogger(&captureLog, VEK_LOG_LEVEL_DEBUG));
        clearCapturedLines();
    }
};

TEST_F(ConfigValues, KeysInDocumentOrder) {
    const struct {
        const char* json;
        std::vector<std::string> keys;
    } cases[] = {
        {R"({"graph_names": ["a", "b"], "device_id": 1})", {"graph_names/0", "graph_names/1", "device_id"}},
        {R"({"a": null, "b": {}, "c": []})", {}},
        {R"({"x": {"y": [true, {"z": 2.5}]}})", {"x/y/0", "x/y/1/z"}},
        {R"({"d": 1, "d": 2})", {"d", "d"}},
        {R"({"a/b": 1, "t~": "s"})", {"a/b", "t~"}},
        {R"({"n": [[[1]], [], [null, false]]})", {"n/0/0/0", "n/2/1"}},
    };
    for (const auto& c : cases) EXPECT_EQ(collectConfigKeys(parse(c.json)), c.keys) << c.json;
    EXPECT_TRUE(capturedLines().empty());
}

template <typename T>
void expectValue(const rapidjson::Document& document, const std::string& key, const T& expected) {
    const std::shared_ptr<void> value = getConfigValue(document, key);
    ASSERT_TRUE(value) << key;
    EXPECT_EQ(*std::static_pointer_cast<T>(value), expected) << key;
}

// The walk may skip the lookup only where the lookup finds the walked value.
TEST_F(ConfigValues, DirectKeysFindTheWalkedValue) {
    const char* const documents[] = {
        R"({"graph_names": ["a", "b"], "device_id": 1})",
        R"({"d": 1, "d": 2, "x": {"d": [3, 4], "d": 5}})",
        R"({"a/b": 1, "a": {"b": 2}, "t~1": 3, "t/": 4, "": {"a": 5}, "a": 6})",
        R"({"z\u0000y": 1, "z": 2, "n": [[1, [2]], {"": 3}]})",
    };
    for (const char* json : documents) {
        const rapidjson::Document document = parse(json);
        size_t visited = 0, direct = 0;
        tools::kalder::forEachConfigKey(document, [&](const std::string& key, const rapidjson::Value& value, bool isDirect) {
            ++visited;
            if (isDirect) {
                ++direct;
                EXPECT_EQ(findConfigValue(document, key), &value) << json << " key " << key;
            }
            return true;
        });
        EXPECT_EQ(visited, collectConfigKeys(document).size()) << json;
        EXPECT_GT(direct, 0u) << json;
    }
}

TEST_F(ConfigValues, TypedValues) {
    const rapidjson::Document document = parse(
        R"({"t": true, "f": false, "i": 7, "d0": 7.0, "e": 7e0, "big": 2147483648, "min": -2147483648,
            "s": "text", "z": "ab\u0000cd", "x": {"y": [true, {"z": 2.5}]}, "n": null, "d": 1, "d": 2})");
    expectValue(document, "t", true);
    expectValue(document, "f", false);
    expectValue(document, "i", 7);
    expectValue(document, "d0", 7.0);
    expectValue(document, "e", 7.0);
    expectValue(document, "big", 2147483648.0);
    expectValue(document, "min", static_cast<int>(INT32_MIN));
    expectValue(document, "s", std::string("text"));
    expectValue(document, "z", std::string("ab"));
    expectValue(document, "x/y/0", true);
    expectValue(document, "x/y/1/z", 2.5);
    expectValue(document, "/x/y/1/z", 2.5);
    expectValue(document, "d", 1);  // the first of two members with that name
    EXPECT_TRUE(capturedLines().empty());

    // Containers and null give no value, and are no error.
    for (const char* key : {"x", "x/y", "n"}) EXPECT_FALSE(getConfigValue(document, key)) << key;
    EXPECT_TRUE(capturedLines().empty());
}

TEST_F(ConfigValues, KeysThatNameNothing) {
    const rapidjson::Document document = parse(R"({"a": [1, 2], "a/b": 1, "o": {"01": 1}})");
    for (const char* key : {"a/5", "a/01", "a/-1", "a/x", "a/b", "nothing", "a/0/deeper", "t~2"}) {
        clearCapturedLines();
        EXPECT_FALSE(getConfigValue(document, key)) << key;
        EXPECT_EQ(capturedLines(), std::vector<LogLine>{errorLine("Invalid key: %s", std::string("Invalid key: ") + key)});
    }
    expectValue(document, "o/01", 1);  // in an object "01" is just a name

    clearCapturedLines();
    EXPECT_EQ(findConfigValue(document, ""), nullptr);
    EXPECT_FALSE(getConfigValue(document, ""));
    EXPECT_EQ(capturedLines(), (std::vector<LogLine>{errorLine("Empty key provided."), errorLine("Empty key provided."),
                                                      errorLine("Invalid key: %s", "Invalid key: ")}));
}

}  // namespace
}  // namespace vek::test
