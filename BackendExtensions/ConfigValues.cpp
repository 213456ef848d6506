#include "BackendExtensions/ConfigValues.h"

#include <rapidjson/pointer.h>

#include "log/Log.h"

namespace vek::tools::kalder {
namespace {

using rapidjson::Value;
using Keys = std::vector<std::string>;

void collectValueKeys(Keys& keys, std::string key, const Value& value);

void collectObjectKeys(Keys& keys, const std::string& prefix, const Value& object) {
    for (const auto& member : object.GetObject()) collectValueKeys(keys, prefix + member.name.GetString(), member.value);
}

void collectArrayKeys(Keys& keys, const std::string& prefix, const Value& array) {
    rapidjson::SizeType index = 0;
    for (const Value& element : array.GetArray()) collectValueKeys(keys, prefix + std::to_string(index++), element);
}

// Recursion depth is bounded by the nesting limit readConfigFile enforces.
void collectValueKeys(Keys& keys, std::string key, const Value& value) {
    switch (value.GetType()) {
        case rapidjson::kFalseType:
        case rapidjson::kTrueType:
        case rapidjson::kStringType:
        case rapidjson::kNumberType: keys.push_back(std::move(key)); break;
        case rapidjson::kObjectType: collectObjectKeys(keys, key + "/", value); break;
        case rapidjson::kArrayType: collectArrayKeys(keys, key + "/", value); break;
        case rapidjson::kNullType: break;
    }
}

}  // namespace

std::vector<std::string> collectConfigKeys(const rapidjson::Document& document) {
    Keys keys;
    if (!document.IsObject()) return keys;
    for (const auto& member : document.GetObject()) collectValueKeys(keys, member.name.GetString(), member.value);
    return keys;
}

const Value* findConfigValue(const rapidjson::Document& document, const std::string& key) {
    if (key.empty()) {
        VEK_LOG(VEK_LOG_LEVEL_ERROR, "Empty key provided.");
        return nullptr;
    }
    // c_str() cuts the pointer text at its first NUL.
    const std::string pointerText = key[0] == '/' ? key : "/" + key;
    const rapidjson::Pointer pointer(pointerText.c_str());
    // A key that is no valid pointer (a "~" not followed by 0 or 1) names nothing.
    if (!pointer.IsValid()) return nullptr;
    return pointer.Get(document);
}

std::shared_ptr<void> makeConfigValue(const Value& value) {
    if (value.IsBool()) return std::make_shared<bool>(value.GetBool());
    if (value.IsString()) return std::make_shared<std::string>(value.GetString());
    if (value.IsInt()) return std::make_shared<int>(value.GetInt());
    if (value.IsNumber()) return std::make_shared<double>(value.GetDouble());
    return {};
}

std::shared_ptr<void> getConfigValue(const rapidjson::Document& document, const std::string& key) {
    const Value* value = findConfigValue(document, key);
    if (value == nullptr) {
        VEK_LOG(VEK_LOG_LEVEL_ERROR, "Invalid key: %s", key.c_str());
        return {};
    }
    return makeConfigValue(*value);
}

}  // namespace vek::tools::kalder
