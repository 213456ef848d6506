// SPDX-FileCopyrightText: 2026 The VekGpuKalderExtensions Authors
// SPDX-License-Identifier: Apache-2.0
// The known key nearest to a misspelt one.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace vek::lint {

class KeySuggester {
public:
    // Keys of up to 64 bytes, each one machine word of positions (the
    // plug-in's are under 30); a longer one is never suggested.
    explicit KeySuggester(const std::vector<std::string>& knownKeys);

    // The known key closest to `name` by edit distance (the first of the
    // closest), or empty when none is within a third of its length (at
    // least two edits).
    std::string closest(const std::string& name) const;

private:
    struct Key {
        std::string name;
        // For each byte, the positions in the name where it stands.
        std::array<uint64_t, 256> positions;
    };
    static size_t distance(const Key& key, const std::string& name);

    std::vector<Key> keys_;
};

}  // namespace vek::lint
