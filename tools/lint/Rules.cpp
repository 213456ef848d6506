// SPDX-FileCopyrightText: 2026 The VekGpuKalderExtensions Authors
// SPDX-License-Identifier: Apache-2.0
#include "Rules.h"

namespace vek::lint {

const char* severityName(Severity severity) { return severity == Severity::Error ? "error" : "warning"; }

namespace {

constexpr Rule kRules[] = {
    {RuleId::UnreadableFile, "unreadable-file", Severity::Error, "The file cannot be read.",
     "Check the path and the file's permissions."},
    {RuleId::FileTooLarge, "file-too-large", Severity::Warning, "The file is over 2 GiB, too large to check.",
     "The plug-in's verdict alone decides; split the configuration or trim it."},
    {RuleId::PluginRefused, "plugin-refused", Severity::Error,
     "The plug-in refused a file the check finds nothing wrong with.",
     "The plug-in's verdict stands: its last error message says why."},
    {RuleId::Utf16File, "utf16-file", Severity::Error, "The file is saved as UTF-16.",
     "Save it as UTF-8 without a byte-order mark."},
    {RuleId::InvalidJson, "invalid-json", Severity::Error, "The file is not valid JSON.",
     "Mend the syntax at the place shown: quotes, commas, brackets, and JSON's spelling of true, false and null."},
    {RuleId::NestingLimit, "nesting-limit", Severity::Error, "Arrays and objects nest deeper than the plug-in reads.",
     "Nest at most 256 levels."},
    {RuleId::NumberLimit, "number-limit", Severity::Error, "A number longer, or with a longer exponent, than the plug-in reads.",
     "Write the number with fewer digits."},
    {RuleId::LoneSurrogate, "lone-surrogate", Severity::Error, "A string holds a low surrogate escape without a high one before it.",
     "Write the character itself, or escape it as a pair of surrogates."},
    {RuleId::NulByte, "nul-byte", Severity::Error, "The file holds a NUL byte.",
     "Remove it; in a string, write \\u0000 if a NUL is meant."},
    {RuleId::WrongType, "wrong-type", Severity::Error, "A key's value is of a type the plug-in does not take.",
     "Give the value the type the key takes (vekhost keys lists them)."},
    {RuleId::OutOfRange, "out-of-range", Severity::Error, "An integer outside the signed 32-bit range the plug-in takes.",
     "Give a value from -2147483648 to 2147483647."},
    {RuleId::NotAllowed, "not-allowed", Severity::Error, "A text the key's list of allowed values does not hold.",
     "Use one of the values listed (vekhost keys lists them)."},
    {RuleId::MissingDependency, "missing-dependency", Severity::Error, "A key needs another key the file does not set.",
     "Set the keys it needs, or remove it."},
    {RuleId::UnknownKey, "unknown-key", Severity::Error, "A member names no configuration key; the plug-in refuses the file.",
     "Correct the spelling (a suggestion is given when one is near) or remove the member."},
    {RuleId::UnreachableKey, "unreachable-key", Severity::Error, "The plug-in looks a key up by name and finds no value there.",
     "Avoid \"/\", \"~\" and NUL in member names, and give each member one name."},
    {RuleId::RepeatedKey, "repeated-key", Severity::Warning, "A key is given again; the plug-in reads the first one.",
     "Remove the repeated member, or the first one if the later value is meant."},
    {RuleId::IgnoredValue, "ignored-value", Severity::Warning, "A null or empty value, which gives the plug-in no key.",
     "Remove the member, or give it a value."},
    {RuleId::TextCutAtNul, "text-cut-at-nul", Severity::Warning, "A text holds \\u0000; the plug-in keeps only the text before it.",
     "Remove the \\u0000 and what follows it, if the plug-in should see all of it."},
    {RuleId::TextNotUtf8, "text-not-utf8", Severity::Warning, "A text holds bytes that are not UTF-8.",
     "Save the file as UTF-8."},
    {RuleId::GraphIdentifier, "graph-identifier", Severity::Warning,
     "A graph name becomes another identifier, or the same one as an earlier name.",
     "Name graphs with letters, digits and underscores, starting with a letter or underscore, each name once."},
};

constexpr bool inIdOrder() {
    for (size_t i = 0; i < kRuleCount; ++i) {
        if (static_cast<size_t>(kRules[i].rule) != i) return false;
    }
    return true;
}
static_assert(sizeof kRules / sizeof kRules[0] == kRuleCount && inIdOrder(), "one rule for each id, in the ids' order");

}  // namespace

const Rule& ruleOf(RuleId id) { return kRules[static_cast<size_t>(id)]; }
const Rule* allRules() { return kRules; }

}  // namespace vek::lint
