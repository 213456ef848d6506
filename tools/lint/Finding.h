// SPDX-FileCopyrightText: 2026 The VekGpuKalderExtensions Authors
// SPDX-License-Identifier: Apache-2.0
// What a rule finds, kept small: about which value, and what decides its
// words. The words themselves are made only when the finding is shown, so a
// file of a million mistakes costs the check a few bytes each, not their
// messages.
#pragma once

#include <cstdint>

#include "Rules.h"

namespace vek::lint {

constexpr uint32_t kNone = UINT32_MAX;

// Which of its rule's wordings a finding takes, where a rule has more than one.
enum class Form : uint8_t {
    Plain,
    BySchema,   // the schema's rule (its "type" or "enum") is the finding's detail
    ByKey,      // the key table's rule; the detail is the value the key's lookup found (kNone: the spot's own)
    GraphName,  // a key naming graph_names, which must hold a string
};

// The offending token is the member's name (atKey) or the whole value.
struct Finding {
    uint32_t spot;   // the value it is about (its place in document order), or kNone
    uint32_t other;  // another value's spot, or an index into the check's list of details; as the rule says
    RuleId rule;
    Form form;
    bool atKey;
};
static_assert(sizeof(Finding) <= 12, "a finding stays small: a file may hold millions");

}  // namespace vek::lint
