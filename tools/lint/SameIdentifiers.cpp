// SPDX-FileCopyrightText: 2026 The VekGpuKalderExtensions Authors
// SPDX-License-Identifier: Apache-2.0
#include "SameIdentifiers.h"

#include <algorithm>
#include <string>
#include <string_view>

#include "BackendExtensions/Identifier.h"

namespace vek::lint {
namespace {

using Value = tools::kalder::ConfigValue;

// The identifier's bytes, as makeIdentifier makes them from a graph name's
// text up to its first NUL.
template <typename Visit>
void identifierOf(const Value& name, Visit visit) {
    const auto* text = reinterpret_cast<const unsigned char*>(name.GetString());
    if (!tools::kalder::isAsciiAlpha(text[0]) && text[0] != '_') visit('_');
    for (; *text != 0; ++text) visit(tools::kalder::kIdentifierBytes.keep[*text] ? *text : '_');
}

bool sameIdentifier(const Value& a, const Value& b) {
    std::string first, second;
    identifierOf(a, [&](unsigned char c) { first += static_cast<char>(c); });
    identifierOf(b, [&](unsigned char c) { second += static_cast<char>(c); });
    return first == second;
}

}  // namespace

std::vector<uint32_t> earlierSameIdentifiers(const std::vector<const Value*>& names) {
    const size_t count = names.size();
    std::vector<uint32_t> hashes(count), order(count), sorted(count);
    for (size_t i = 0; i < count; ++i) {
        uint64_t hash = 0xCBF29CE484222325u;  // FNV-1a
        identifierOf(*names[i], [&](unsigned char c) { hash = (hash ^ c) * 0x100000001B3u; });
        hashes[i] = static_cast<uint32_t>(hash ^ (hash >> 32));
        order[i] = static_cast<uint32_t>(i);
    }
    for (unsigned shift = 0; shift < 32; shift += 11) {
        std::vector<uint32_t> starts(2049, 0);
        for (uint32_t i : order) ++starts[((hashes[i] >> shift) & 2047) + 1];
        for (size_t d = 1; d < starts.size(); ++d) starts[d] += starts[d - 1];
        for (uint32_t i : order) sorted[starts[(hashes[i] >> shift) & 2047]++] = i;
        order.swap(sorted);
    }
    std::vector<uint32_t> earlier = std::move(sorted);  // the sort is done with it
    earlier.assign(count, kNone);
    for (size_t run = 0; run < count;) {
        size_t end = run + 1;
        while (end < count && hashes[order[end]] == hashes[order[run]]) ++end;
        // Within a run the names stand in document order (the sort is stable).
        for (size_t i = run + 1; i < end; ++i) {
            for (size_t j = run; j < i; ++j) {
                if (earlier[order[j]] == kNone && sameIdentifier(*names[order[j]], *names[order[i]])) {
                    earlier[order[i]] = order[j];
                    break;
                }
            }
        }
        run = end;
    }
    return earlier;
}

bool identifierDiffers(const Value& name) {
    const std::string_view kept(name.GetString());  // up to the first NUL, as the plug-in takes it
    return kept.empty() || (!tools::kalder::isAsciiAlpha(static_cast<unsigned char>(kept[0])) && kept[0] != '_') ||
           !std::all_of(kept.begin(), kept.end(), [](unsigned char c) { return tools::kalder::kIdentifierBytes.keep[c]; });
}

}  // namespace vek::lint
