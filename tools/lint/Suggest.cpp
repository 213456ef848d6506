// SPDX-FileCopyrightText: 2026 The VekGpuKalderExtensions Authors
// SPDX-License-Identifier: Apache-2.0
#include "Suggest.h"

#include <algorithm>

namespace vek::lint {

KeySuggester::KeySuggester(const std::vector<std::string>& knownKeys) {
    keys_.reserve(knownKeys.size());
    for (const std::string& known : knownKeys) {
        if (known.empty() || known.size() > 64) continue;
        Key key{known, {}};
        for (size_t i = 0; i < known.size(); ++i) key.positions[static_cast<unsigned char>(known[i])] |= uint64_t{1} << i;
        keys_.push_back(key);
    }
}

// The edit distance between the key and `name`, by the bit-parallel
// algorithm (Myers, in Hyyrö's form for whole strings): one step per byte of
// the name, whatever the key's length.
size_t KeySuggester::distance(const Key& key, const std::string& name) {
    const size_t m = key.name.size();
    const uint64_t mask = m == 64 ? ~uint64_t{0} : (uint64_t{1} << m) - 1;
    const uint64_t last = uint64_t{1} << (m - 1);
    uint64_t vp = mask, vn = 0;
    size_t score = m;
    for (const char c : name) {
        const uint64_t eq = key.positions[static_cast<unsigned char>(c)];
        const uint64_t xv = eq | vn;
        const uint64_t xh = ((((eq & vp) + vp) & mask) ^ vp) | eq;
        uint64_t hp = vn | ~(xh | vp);
        uint64_t hn = vp & xh;
        if (hp & last) ++score;
        else if (hn & last) --score;
        hp = ((hp << 1) | 1) & mask;
        hn = (hn << 1) & mask;
        vp = (hn | ~(xv | hp)) & mask;
        vn = hp & xv;
    }
    return score;
}

std::string KeySuggester::closest(const std::string& name) const {
    const Key* best = nullptr;
    size_t bestDistance = std::max<size_t>(2, name.size() / 3) + 1;
    for (const Key& key : keys_) {
        // The distance is at least the difference of the lengths.
        const size_t longer = std::max(key.name.size(), name.size()), shorter = std::min(key.name.size(), name.size());
        if (longer - shorter >= bestDistance) continue;
        const size_t d = distance(key, name);
        if (d < bestDistance) {
            bestDistance = d;
            best = &key;
        }
    }
    return best != nullptr ? best->name : std::string();
}

}  // namespace vek::lint
