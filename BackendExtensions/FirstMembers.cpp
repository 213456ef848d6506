#include "BackendExtensions/FirstMembers.h"

#include <cstring>

namespace vek::tools::kalder {
namespace {

// Objects up to this size are searched from their start: a few comparisons
// cost less than an index, and a configuration's own objects are this small.
constexpr rapidjson::SizeType kSearchedMembers = 16;

uint64_t mix(uint64_t x) {
    x ^= x >> 30;
    x *= 0xBF58476D1CE4E5B9u;
    x ^= x >> 27;
    x *= 0x94D049BB133111EBu;
    return x ^ (x >> 31);
}

// Keyed by a seed that differs from run to run, so no file can be written
// whose names all fall on one slot.
uint64_t hashName(const char* text, size_t length, uint64_t seed) {
    uint64_t hash = mix(seed ^ length);
    size_t i = 0;
    for (; i + 8 <= length; i += 8) {
        uint64_t word;
        std::memcpy(&word, text + i, 8);
        hash = mix(hash ^ word);
    }
    uint64_t tail = 0;
    std::memcpy(&tail, text + i, length - i);
    return mix(hash ^ tail);
}

bool sameName(const ConfigValue& name, const char* text, rapidjson::SizeType length) {
    return name.GetStringLength() == length && std::memcmp(name.GetString(), text, length) == 0;
}

}  // namespace

const FirstMembers::Member* FirstMembers::find(const ConfigValue& object, const char* name,
                                               rapidjson::SizeType length) {
    const rapidjson::SizeType count = object.MemberCount();
    if (count == 0) return nullptr;
    const Member* members = &*object.MemberBegin();
    if (count <= kSearchedMembers) {
        for (rapidjson::SizeType i = 0; i < count; ++i) {
            if (sameName(members[i].name, name, length)) return &members[i];
        }
        return nullptr;
    }
    const Index& index = indexOf(object);
    const size_t mask = index.slots.size() - 1;
    for (size_t slot = hashName(name, length, index.seed) & mask;; slot = (slot + 1) & mask) {
        const uint32_t entry = index.slots[slot];
        if (entry == 0) return nullptr;
        if (sameName(members[entry - 1].name, name, length)) return &members[entry - 1];
    }
}

const FirstMembers::Index& FirstMembers::indexOf(const ConfigValue& object) {
    const auto found = indexes_.find(&object);
    if (found != indexes_.end()) return found->second;

    // At most half full, so a search meets an empty slot soon. Built aside
    // and entered whole: running out of memory leaves no half-built index.
    const rapidjson::SizeType count = object.MemberCount();
    size_t size = 2 * kSearchedMembers;
    while (size < 2 * static_cast<size_t>(count)) size *= 2;
    Index index;
    index.slots.assign(size, 0);
    index.seed = mix(reinterpret_cast<uintptr_t>(index.slots.data()) ^ reinterpret_cast<uintptr_t>(&object));
    const size_t mask = size - 1;
    const Member* members = &*object.MemberBegin();
    for (rapidjson::SizeType i = 0; i < count; ++i) {
        const ConfigValue& name = members[i].name;
        size_t slot = hashName(name.GetString(), name.GetStringLength(), index.seed) & mask;
        // A repeated name keeps its first member.
        while (index.slots[slot] != 0 && !sameName(members[index.slots[slot] - 1].name, name.GetString(), name.GetStringLength())) {
            slot = (slot + 1) & mask;
        }
        if (index.slots[slot] == 0) index.slots[slot] = i + 1;
    }
    return indexes_.emplace(&object, std::move(index)).first->second;
}

}  // namespace vek::tools::kalder
