// The first member of a name in an object, found in constant time however
// large the object: what RapidJSON's FindMember answers (the first member
// whose name has the same length and bytes), without searching the object
// from its start for every name asked.
#pragma once

#include <cstdint>
#include <memory>
#include <unordered_map>
#include <vector>

#include "BackendExtensions/ConfigJson.h"

namespace vek::tools::kalder {

class FirstMembers {
public:
    using Member = ConfigValue::Member;

    FirstMembers() = default;
    FirstMembers(const FirstMembers&) = delete;
    FirstMembers& operator=(const FirstMembers&) = delete;

    // The first member of `object` named `name` (of `length` bytes, NULs
    // included), or null. An object of a few members is searched from its
    // start; a larger one through an index built on first use and kept for
    // later questions, so the objects must outlive this.
    const Member* find(const ConfigValue& object, const char* name, rapidjson::SizeType length);
    const Member* find(const ConfigValue& object, const ConfigValue& name) {
        return find(object, name.GetString(), name.GetStringLength());
    }

private:
    // Open addressing: each slot holds a member's position + 1, or 0.
    struct Index {
        std::vector<uint32_t> slots;
        uint64_t seed = 0;
    };
    const Index& indexOf(const ConfigValue& object);

    std::unordered_map<const ConfigValue*, Index> indexes_;
};

}  // namespace vek::tools::kalder
