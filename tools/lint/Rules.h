// SPDX-FileCopyrightText: 2026 The VekGpuKalderExtensions Authors
// SPDX-License-Identifier: Apache-2.0
// Every check the tool makes: a stable id, a severity, a one-line
// description and a help text. The formats, the rules list of SARIF and
// `vekhost rules` are all made from this table.
#pragma once

#include <cstddef>
#include <cstdint>

namespace vek::lint {

enum class Severity : uint8_t { Error, Warning };
const char* severityName(Severity severity);  // "error", "warning"

// In the table's order.
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

struct Rule {
    RuleId rule;
    const char* id;  // "unknown-key"
    Severity severity;
    const char* description;  // one line
    const char* help;         // what to do about it
};

constexpr size_t kRuleCount = static_cast<size_t>(RuleId::GraphIdentifier) + 1;
const Rule& ruleOf(RuleId id);
// The whole table, kRuleCount rules in RuleId order.
const Rule* allRules();

}  // namespace vek::lint
