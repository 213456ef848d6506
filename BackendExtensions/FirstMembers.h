// SPDX-FileCopyrightText: 2026 The VekGpuKalderExtensions Authors
// SPDX-License-Identifier: Apache-2.0
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

    // The first member of `object` with the name of `member`, one of its
    // members: `member` itself, or an earlier one.
    const Member& firstOf(const ConfigValue& object, const Member& member);

private:
    // Open addressing: each slot holds a member's position + 1 in its low 32
    // bits (0: empty) and the top 32 bits of its name's hash above, so a search
    // touches no member whose name cannot match. `first` holds for each
    // member the position of the first of its name, so the walk over the
    // members reads it in order instead of searching.
    struct Index {
        std::vector<uint64_t> slots;
        std::vector<uint32_t> first;
        unsigned bits = 0;  // log2 of the slots
        uint64_t seed = 0;
    };
    const Index& indexOf(const ConfigValue& object);

    std::unordered_map<const ConfigValue*, Index> indexes_;
};

}  // namespace vek::tools::kalder
