// SPDX-FileCopyrightText: 2026 The VekGpuKalderExtensions Authors
// SPDX-License-Identifier: Apache-2.0
#include "BackendExtensions/ConfigValues.h"

#include <rapidjson/pointer.h>

#include "log/Log.h"

namespace vek::tools::kalder {
namespace {

using Value = ConfigValue;

// One walk over the document, reusing one key buffer for every key, and
// following beside it what the lookup of the key so far would reach.
class KeyWalk {
public:
    KeyWalk(const ConfigKeyVisitor& visit, FirstMembers& members) : visit_(visit), members_(members) {}

    bool object(const Value& object, KnownLookup reached, bool root) {
        for (const auto& member : object.GetObject()) {
            const size_t length = key_.size();
            key_.append(member.name.GetString());  // up to the name's first NUL
            // Null and empty values give no key, so where the lookup would
            // lead for them is never asked.
            const KnownLookup child = givesKeys(member.value) ? memberLookup(object, member, reached, root)
                                                              : KnownLookup{false, nullptr};
            const bool go = value(member.value, child);
            key_.resize(length);
            if (!go) return false;
        }
        return true;
    }

private:
    static bool givesKeys(const Value& value) {
        return !value.IsNull() && !(value.IsObject() && value.ObjectEmpty()) && !(value.IsArray() && value.Empty());
    }

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

    // Where the lookup goes from `reached` (the value the key of `object`
    // leads to) with the name of `member`: the first member of that name.
    KnownLookup memberLookup(const Value& object, const FirstMembers::Member& member, KnownLookup reached, bool root) {
        if (!reached.known || !isLookupSafe(member.name, root)) return {false, nullptr};
        if (reached.value == nullptr || (!reached.value->IsObject() && !reached.value->IsArray())) return {true, nullptr};
        // In an array the name would be read as an index: left to the lookup.
        if (reached.value->IsArray()) return {false, nullptr};
        if (reached.value == &object) return {true, &members_.firstOf(object, member).value};
        const FirstMembers::Member* found = members_.find(*reached.value, member.name);
        return {true, found != nullptr ? &found->value : nullptr};
    }

    static KnownLookup elementLookup(rapidjson::SizeType index, KnownLookup reached) {
        if (!reached.known) return reached;
        if (reached.value == nullptr || (!reached.value->IsObject() && !reached.value->IsArray())) return {true, nullptr};
        // In an object the index would be read as a name: left to the lookup.
        if (reached.value->IsObject()) return {false, nullptr};
        return {true, index < reached.value->Size() ? &(*reached.value)[index] : nullptr};
    }

    // Recursion depth is bounded by the nesting limit readConfigFile enforces.
    bool value(const Value& value, KnownLookup lookup) {
        switch (value.GetType()) {
            case rapidjson::kFalseType:
            case rapidjson::kTrueType:
            case rapidjson::kStringType:
            case rapidjson::kNumberType: return visit_(key_, value, lookup);
            case rapidjson::kObjectType:
                key_ += '/';
                return object(value, lookup, false);
            case rapidjson::kArrayType: {
                key_ += '/';
                const size_t length = key_.size();
                rapidjson::SizeType index = 0;
                for (const Value& element : value.GetArray()) {
                    appendDecimal(index);
                    const bool go = this->value(element, elementLookup(index++, lookup));
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
    return KeyWalk(visit, members).object(document, KnownLookup{true, &document}, true);
}

const Value* findConfigValue(const ConfigDocument& document, const std::string& key, FirstMembers& members,
                             KnownLookup lookup) {
    if (lookup.known) return lookup.value;
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

const Value* getConfigValue(const ConfigDocument& document, const std::string& key, FirstMembers& members,
                            KnownLookup lookup) {
    const Value* value = findConfigValue(document, key, members, lookup);
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
