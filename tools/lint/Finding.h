// SPDX-FileCopyrightText: 2026 The VekGpuKalderExtensions Authors
// SPDX-License-Identifier: Apache-2.0
// What a rule finds, kept small: about which value, and what decides its
// text. The text itself is made only when the finding is shown, so a
// file of a million mistakes costs the check a few bytes each, not their
// messages.
#pragma once

#include <cstdint>

namespace vek::lint {

// How a finding's message is made; each belongs to one rule.
enum class Say : uint8_t {
    Fixed,              // the check's one message for the file (a syntax error, a limit, an unreadable file)
    SchemaType,         // the schema's "type": other is the detail (the schema's "type")
    SchemaEnum,         // the schema's "enum": other is the detail (the schema's "enum")
    MissingDependency,  // other is the detail (the array of names the member needs)
    RepeatedKey,        // other is the spot of the first member's value
    UnknownKey,
    UnreachableKey,
    GraphNameNotText,   // other is the detail (the value the key's lookup found), or kNone for the spot's own
    OutOfRange,         // as GraphNameNotText
    KeyType,            // as GraphNameNotText
    KeyEnum,            // as GraphNameNotText
    TextCutAtNul,
    TextNotUtf8,
    GraphIdentifier,    // other is the spot of an earlier name of the same identifier, or kNone
    IgnoredValue,
};

constexpr uint32_t kNone = UINT32_MAX;

// The offending token is the member's name (atKey) or the whole value.
struct Finding {
    uint32_t spot;   // the value it is about (its place in document order), or kNone
    uint32_t other;  // as Say tells; a detail is an index into the check's list of details
    Say say;
    bool atKey;
};
static_assert(sizeof(Finding) <= 12, "a finding stays small: a file may hold millions");

}  // namespace vek::lint
