// SPDX-FileCopyrightText: 2026 The VekGpuKalderExtensions Authors
// SPDX-License-Identifier: Apache-2.0
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

// A name's home slot in a table of 2^bits slots: the hash's top bits, so
// that members sorted by hash fill the table in order.
size_t home(uint64_t hash, unsigned bits) { return static_cast<size_t>(hash >> (64 - bits)); }

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
    const uint64_t hash = hashName(name, length, index.seed);
    const uint64_t tag = hash & 0xFFFFFFFF00000000u;
    const size_t mask = index.slots.size() - 1;
    for (size_t slot = home(hash, index.bits);; slot = (slot + 1) & mask) {
        const uint64_t entry = index.slots[slot];
        if (entry == 0) return nullptr;
        const Member& candidate = members[(entry & 0xFFFFFFFFu) - 1];
        if ((entry & 0xFFFFFFFF00000000u) == tag && sameName(candidate.name, name, length)) return &candidate;
    }
}

const FirstMembers::Member& FirstMembers::firstOf(const ConfigValue& object, const Member& member) {
    const Member* members = &*object.MemberBegin();
    const size_t position = static_cast<size_t>(&member - members);
    if (object.MemberCount() <= kSearchedMembers) {
        for (size_t i = 0; i < position; ++i) {
            if (sameName(members[i].name, member.name.GetString(), member.name.GetStringLength())) return members[i];
        }
        return member;
    }
    return members[indexOf(object).first[position]];
}

const FirstMembers::Index& FirstMembers::indexOf(const ConfigValue& object) {
    const auto found = indexes_.find(&object);
    if (found != indexes_.end()) return found->second;

    // At most half full, so a search meets an empty slot soon. Built aside
    // and entered whole: running out of memory leaves no half-built index.
    const rapidjson::SizeType count = object.MemberCount();
    unsigned bits = 5;
    while ((size_t{1} << bits) < 2 * static_cast<size_t>(count)) ++bits;
    Index index;
    index.slots.assign(size_t{1} << bits, 0);
    index.first.resize(count);
    for (rapidjson::SizeType i = 0; i < count; ++i) index.first[i] = i;
    index.bits = bits;
    index.seed = mix(reinterpret_cast<uintptr_t>(index.slots.data()) ^ reinterpret_cast<uintptr_t>(&object));

    // The members in the order of their home slots (a stable radix sort on
    // the hash's top bits), so filling the table walks it from start to end
    // instead of touching it at random: a table of millions of members does
    // not fit in the processor's caches.
    const Member* members = &*object.MemberBegin();
    std::vector<uint64_t> hashes(count);
    for (rapidjson::SizeType i = 0; i < count; ++i) {
        hashes[i] = hashName(members[i].name.GetString(), members[i].name.GetStringLength(), index.seed);
    }
    std::vector<uint32_t> order(count), sorted(count);
    for (rapidjson::SizeType i = 0; i < count; ++i) order[i] = i;
    constexpr unsigned kDigit = 11;
    for (unsigned shift = 0; shift < bits; shift += kDigit) {
        std::vector<uint32_t> starts((size_t{1} << kDigit) + 1, 0);
        const auto digit = [&](uint32_t i) { return (hashes[i] >> (64 - bits + shift)) & ((1u << kDigit) - 1); };
        for (uint32_t i : order) ++starts[digit(i) + 1];
        for (size_t d = 1; d < starts.size(); ++d) starts[d] += starts[d - 1];
        for (uint32_t i : order) sorted[starts[digit(i)]++] = i;
        order.swap(sorted);
    }

    const size_t mask = index.slots.size() - 1;
    for (const uint32_t i : order) {
        const ConfigValue& name = members[i].name;
        const uint64_t tag = hashes[i] & 0xFFFFFFFF00000000u;
        size_t slot = home(hashes[i], bits);
        for (; index.slots[slot] != 0; slot = (slot + 1) & mask) {
            const uint64_t entry = index.slots[slot];
            const uint32_t other = static_cast<uint32_t>(entry & 0xFFFFFFFFu) - 1;
            if ((entry & 0xFFFFFFFF00000000u) == tag && sameName(members[other].name, name.GetString(), name.GetStringLength())) {
                break;  // a repeated name: its first member came first (the sort is stable) and keeps the slot
            }
        }
        if (index.slots[slot] == 0) index.slots[slot] = tag | (i + 1);
        else index.first[i] = static_cast<uint32_t>(index.slots[slot] & 0xFFFFFFFFu) - 1;
    }
    return indexes_.emplace(&object, std::move(index)).first->second;
}

}  // namespace vek::tools::kalder
