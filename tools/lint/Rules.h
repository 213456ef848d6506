// SPDX-FileCopyrightText: 2026 The VekGpuKalderExtensions Authors
// SPDX-License-Identifier: Apache-2.0
// Every check the tool makes, one entry each in one table: a stable id, a
// severity, a one-line description, a help text, and the function that
// words what it finds (its message, the values allowed, its fixes and the
// other places it names). The formats, SARIF's rules, `vekhost rules` and
// the language server all read this table.
#pragma once

#include <cstddef>
#include <cstdint>

namespace vek::lint {

enum class Severity : uint8_t { Error, Warning };
const char* severityName(Severity severity);  // "error", "warning"

// The rules by name, in the table's order.
enum class RuleId : uint8_t {
    UnreadableFile,
    FileTooLarge,
    PluginRefused,
    Utf16File,
    InvalidJson,
    NestingLimit,
    NumberLimit,
    LoneSurrogate,
    NulByte,
    WrongType,
    OutOfRange,
    NotAllowed,
    MissingDependency,
    UnknownKey,
    UnreachableKey,
    RepeatedKey,
    IgnoredValue,
    TextCutAtNul,
    TextNotUtf8,
    GraphIdentifier,
};

class Wording;

struct Rule {
    RuleId rule;
    const char* id;  // "unknown-key"
    Severity severity;
    const char* description;  // one line
    const char* help;         // what to do about it
    void (*word)(Wording& wording);
};

// The table, in RuleId order.
class RuleTable {
public:
    const Rule* begin() const;
    const Rule* end() const;
    size_t size() const { return static_cast<size_t>(end() - begin()); }
};
inline RuleTable allRules() { return {}; }
const Rule& ruleOf(RuleId id);

}  // namespace vek::lint
