#include "BackendExtensions/ConfigValues.h"

#include <rapidjson/pointer.h>

#include "log/Log.h"

namespace vek::tools::kalder {
namespace {

using Value = ConfigValue;

// One walk over the document, reusing one key buffer for every key.
class KeyWalk {
public:
    KeyWalk(const ConfigKeyVisitor& visit, FirstMembers& members) : visit_(visit), members_(members) {}

    bool object(const Value& object, bool direct, bool root) {
        for (const auto& member : object.GetObject()) {
            const size_t length = key_.size();
            const char* name = member.name.GetString();
            key_.append(name);  // up to the name's first NUL
            const bool memberDirect =
                direct && isLookupSafe(member.name, root) && members_.find(object, member.name) == &member;
            const bool go = value(member.value, memberDirect);
            key_.resize(length);
            if (!go) return false;
        }
        return true;
    }

private:
    // A name the lookup reads back as itself.
    static bool isLookupSafe(const Value& name, bool root) {
        const char* text = name.GetString();
        const rapidjson::SizeType length = name.GetStringLength();
        if (root && length == 0) return false;  // the key would start with "/"
        for (rapidjson::SizeType i = 0; i < length; ++i) {
            if (text[i] == '/' || text[i] == '~' || text[i] == '\0') return false;
        }
        return true;
    }

    // Recursion depth is bounded by the nesting limit readConfigFile enforces.
    bool value(const Value& value, bool direct) {
        switch (value.GetType()) {
            case rapidjson::kFalseType:
            case rapidjson::kTrueType:
            case rapidjson::kStringType:
            case rapidjson::kNumberType: return visit_(key_, value, direct);
            case rapidjson::kObjectType:
                key_ += '/';
                return object(value, direct, false);
            case rapidjson::kArrayType: {
                key_ += '/';
                const size_t length = key_.size();
                rapidjson::SizeType index = 0;
                for (const Value& element : value.GetArray()) {
                    appendDecimal(index++);
                    const bool go = this->value(element, direct);
                    key_.resize(length);
                    if (!go) return false;
                }
                return true;
            }
            case rapidjson::kNullType: return true;
        }
        return true;
    }

    void appendDecimal(rapidjson::SizeType value) {
        char digits[16];
        size_t count = 0;
        do {
            digits[count++] = static_cast<char>('0' + value % 10);
            value /= 10;
        } while (value != 0);
        while (count > 0) key_ += digits[--count];
    }

    const ConfigKeyVisitor& visit_;
    FirstMembers& members_;
    std::string key_;
};

}  // namespace

bool collectConfigKeys(const ConfigDocument& document, const ConfigKeyVisitor& visit, FirstMembers& members) {
    if (!document.IsObject()) return true;
    return KeyWalk(visit, members).object(document, true, true);
}

const Value* findConfigValue(const ConfigDocument& document, const std::string& key, FirstMembers& members) {
    if (key.empty()) {
        VEK_LOG(VEK_LOG_LEVEL_ERROR, "Empty key provided.");
        return nullptr;
    }
    // c_str() cuts the pointer text at its first NUL.
    const std::string pointerText = key[0] == '/' ? key : "/" + key;
    ThrowingAllocator allocator;  // the pointer's, so a failed allocation leaves nothing behind
    const rapidjson::GenericPointer<Value, ThrowingAllocator> pointer(pointerText.c_str(), &allocator);
    // A key that is no valid pointer (a "~" not followed by 0 or 1) names nothing.
    if (!pointer.IsValid()) return nullptr;
    // Resolved as the pointer resolves itself, with the members found through the index.
    const Value* at = &document;
    for (size_t i = 0; i < pointer.GetTokenCount(); ++i) {
        const auto& token = pointer.GetTokens()[i];
        if (at->IsObject()) {
            const FirstMembers::Member* member = members.find(*at, token.name, token.length);
            if (member == nullptr) return nullptr;
            at = &member->value;
        } else if (at->IsArray()) {
            if (token.index == rapidjson::kPointerInvalidIndex || token.index >= at->Size()) return nullptr;
            at = &(*at)[token.index];
        } else {
            return nullptr;
        }
    }
    return at;
}

const Value* getConfigValue(const ConfigDocument& document, const std::string& key, FirstMembers& members) {
    const Value* value = findConfigValue(document, key, members);
    if (value == nullptr) VEK_LOG(VEK_LOG_LEVEL_ERROR, "Invalid key: %s", key.c_str());
    return value;
}

bool collectConfigKeys(const ConfigDocument& document, const ConfigKeyVisitor& visit) {
    FirstMembers members;
    return collectConfigKeys(document, visit, members);
}

const Value* findConfigValue(const ConfigDocument& document, const std::string& key) {
    FirstMembers members;
    return findConfigValue(document, key, members);
}

const Value* getConfigValue(const ConfigDocument& document, const std::string& key) {
    FirstMembers members;
    return getConfigValue(document, key, members);
}

}  // namespace vek::tools::kalder
