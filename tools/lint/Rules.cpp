// SPDX-FileCopyrightText: 2026 The VekGpuKalderExtensions Authors
// SPDX-License-Identifier: Apache-2.0
// The rules, each in one entry: what it is, and how it words what it finds.
#include "Rules.h"

#include <algorithm>
#include <iterator>

#include "BackendExtensions/Identifier.h"
#include "Fixes.h"
#include "Keys.h"
#include "SchemaRule.h"
#include "Text.h"
#include "Wording.h"

namespace vek::lint {
namespace {

std::string quoted(const std::string& text) { return "\"" + text + "\""; }

// The words a reader found for a text it could not take (a syntax error,
// a limit, an unreadable file, the plug-in's refusal).
void sayFound(Wording& w) { w.say(w.found()); }

// "..., but it must be a string": the subject, and what the key takes.
void wrongType(Wording& w) {
    const gpu::ConfigKey* key = gpu::findConfigKey(w.key());
    if (w.finding().form == Form::GraphName) {
        w.subject(w.detail());
        w.say(", but a key naming graph_names must hold a string");
        return;
    }
    std::vector<std::string> expected;
    if (w.finding().form == Form::BySchema) {
        for (const std::string& type : typeNames(w.detail())) w.allow(type);
        w.subject(w.value());
    } else {
        w.allow(jsonTypeOf(key->type));
        w.subject(w.detail());
    }
    for (const std::string& type : w.allowed()) expected.push_back(withArticle(type));
    w.say(", but it must be " + joinList(expected, ", ", " or "));
    // A value the key plainly means, where the value is the finding's own.
    const bool own = w.finding().form == Form::BySchema || w.finding().other == kNone;
    const std::string meant = own && key != nullptr && w.details() ? meantValue(*key, w.value()) : "";
    if (!meant.empty()) w.fix("Write " + meant, {Edit{w.at(), tokenEnd(w.text(), w.at()), meant}});
}

void notAllowed(Wording& w) {
    const gpu::ConfigKey* key = gpu::findConfigKey(w.key());
    if (w.finding().form == Form::BySchema) {
        for (const Value& option : w.detail().GetArray()) w.allow(quoted(option.GetString()));
        w.subject(w.value());
    } else {
        for (size_t i = 0; i < key->enumCount; ++i) w.allow(quoted(key->enumTexts[i].text));
        w.subject(w.detail());
    }
    w.say(", but it must be one of " + joinList(w.allowed(), ", ", " or "));
    const bool own = w.finding().form == Form::BySchema || w.finding().other == kNone;
    const std::string meant = own && key != nullptr && w.details() ? meantValue(*key, w.value()) : "";
    if (!meant.empty()) w.fix("Write " + meant, {Edit{w.at(), tokenEnd(w.text(), w.at()), meant}});
}

// The keys `needed` and, before them, whatever they need in turn, that the file does not set.
void missingKeys(const Wording& w, const Value& needed, std::vector<const gpu::ConfigKey*>& missing) {
    const Value* dependencies = member(w.vocabulary().schema(), "dependencies");
    for (const Value& name : needed.GetArray()) {
        const gpu::ConfigKey* key = gpu::findConfigKey(name.GetString());
        if (key == nullptr || w.vocabulary().holds(*key) || std::find(missing.begin(), missing.end(), key) != missing.end()) continue;
        if (const Value* further = dependencies != nullptr ? memberByName(*dependencies, name) : nullptr) missingKeys(w, *further, missing);
        missing.push_back(key);
    }
}

void missingDependency(Wording& w) {
    std::vector<std::string> names;
    for (const Value& name : w.detail().GetArray()) {
        const auto& document = w.vocabulary().parsed().document;
        if (document.FindMember(name) == document.MemberEnd()) names.emplace_back(name.GetString());
    }
    w.shown(w.key());
    w.say(" needs " + joinList(names, ", ", " and ") + ", which the file does not set");
    if (!w.details()) return;
    std::vector<const gpu::ConfigKey*> missing;
    missingKeys(w, w.detail(), missing);
    std::vector<std::string> members, titles;
    for (const gpu::ConfigKey* key : missing) {
        members.push_back(quoted(key->name) + ": " + placeholder(*key));
        titles.push_back(members.back());
    }
    if (!members.empty()) w.fix("Add " + joinList(titles, ", ", " and "), insertMembers(w.text(), w.vocabulary().parsed().spots[0].value, members));
}

void unknownKey(Wording& w) {
    // The whole name, NULs included (the key holds it up to the first one).
    const std::string name(w.name()->GetString(), w.name()->GetStringLength());
    w.source(w.at());
    w.say(" is no configuration key");
    if (name == "$schema") {
        w.say("; the plug-in refuses it: map the editor schema to your files in the editor's own settings instead "
              "(README, \"Editor support\")");
    } else if (const std::string near = w.vocabulary().suggestion(name); !near.empty()) {
        w.say("; did you mean " + quoted(near) + "?");
        const gpu::ConfigKey* key = w.details() ? gpu::findConfigKey(near) : nullptr;
        if (key != nullptr && !w.vocabulary().holds(*key) && takesValue(*key, w.value())) {
            w.fix("Rename to " + quoted(near), {Edit{w.at(), tokenEnd(w.text(), w.at()), quoted(near)}});
        }
    }
    if (w.details()) w.fix("Remove " + printable(name, kShownChars), {removeMember(w.text(), w.at())});
}

void unreachableKey(Wording& w) {
    w.say("the plug-in looks \"");
    w.shown(w.key());
    w.say("\" up by name and finds no value there: a member name holds \"/\", \"~\" or a NUL byte, or an earlier member "
          "of the same name has no such element");
}

void repeatedKey(Wording& w) {
    w.source(w.at());
    w.say(" is given again; the plug-in reads the first one, ");
    w.source(w.otherSpot().value);
    w.say(", wherever this key occurs");
    w.relate(w.otherSpot().key, "the first one, which the plug-in reads");
    if (w.details()) {
        w.fix("Remove this repeated \"" + printable(w.key(), kShownChars) + "\"", {removeMember(w.text(), w.at())});
    }
}

void ignoredValue(Wording& w) {
    w.shown(w.key());
    w.say(" is ");
    if (w.value().IsNull()) w.say("null");
    else w.source(w.at());
    w.say(", which gives the plug-in no key: it ignores it");
    if (w.details() && w.atRootMember()) {
        w.fix("Remove " + printable(w.key(), kShownChars), {removeMember(w.text(), w.keyAt(), w.end())});
    }
}

// A graph name, or the key, that holds a text the plug-in keeps otherwise than written.
void textHolder(Wording& w) {
    if (gpu::findConfigKey(w.key())->type == gpu::KeyType::TextList) {
        w.say("graph name ");
        w.source(w.at());
    } else {
        w.shown(w.key());
    }
}

void textCutAtNul(Wording& w) {
    textHolder(w);
    w.say(" holds \\u0000; the plug-in keeps only \"");
    w.shown(w.value().GetString());
    w.say("\", the text before it");
}

void textNotUtf8(Wording& w) {
    textHolder(w);
    w.say(" holds bytes that are not UTF-8; the plug-in passes them on as they are");
}

void graphIdentifier(Wording& w) {
    w.say("graph name ");
    w.source(w.at());
    w.say(" becomes the identifier ");
    w.shown(tools::kalder::toIdentifier(w.value().GetString()));
    if (w.finding().other == kNone) return;
    w.say(", as ");
    w.source(w.otherSpot().value);
    w.say(" before it does: two graphs of one name");
    w.relate(w.otherSpot().value, "the earlier graph name of the same identifier");
}

void outOfRange(Wording& w) {
    w.subject(w.detail());
    w.say(", outside the signed 32-bit range the plug-in takes (-2147483648 to 2147483647)");
}

void invalidJson(Wording& w) {
    w.say(w.found());
    Fix fix;
    if (w.details() && jsonSpelling(w.text(), w.at(), fix)) w.fix(std::move(fix.title), std::move(fix.edits));
}

constexpr Rule kRules[] = {
    {RuleId::UnreadableFile, "unreadable-file", Severity::Error, "The file cannot be read.",
     "Check the path and the file's permissions.", sayFound},
    {RuleId::FileTooLarge, "file-too-large", Severity::Warning, "The file is over 2 GiB, too large to check.",
     "The plug-in's verdict alone decides; split the configuration or trim it.", sayFound},
    {RuleId::PluginRefused, "plugin-refused", Severity::Error,
     "The plug-in refused a file the check finds nothing wrong with.",
     "The plug-in's verdict stands: its last error message says why.", sayFound},
    {RuleId::Utf16File, "utf16-file", Severity::Error, "The file is saved as UTF-16.",
     "Save it as UTF-8 without a byte-order mark.", sayFound},
    {RuleId::InvalidJson, "invalid-json", Severity::Error, "The file is not valid JSON.",
     "Mend the syntax at the place shown: quotes, commas, brackets, and JSON's spelling of true, false and null.",
     invalidJson},
    {RuleId::NestingLimit, "nesting-limit", Severity::Error, "Arrays and objects nest deeper than the plug-in reads.",
     "Nest at most 256 levels.", sayFound},
    {RuleId::NumberLimit, "number-limit", Severity::Error, "A number longer, or with a longer exponent, than the plug-in reads.",
     "Write the number with fewer digits.", sayFound},
    {RuleId::LoneSurrogate, "lone-surrogate", Severity::Error, "A string holds a low surrogate escape without a high one before it.",
     "Write the character itself, or escape it as a pair of surrogates.", sayFound},
    {RuleId::NulByte, "nul-byte", Severity::Error, "The file holds a NUL byte.",
     "Remove it; in a string, write \\u0000 if a NUL is meant.", sayFound},
    {RuleId::WrongType, "wrong-type", Severity::Error, "A key's value is of a type the plug-in does not take.",
     "Give the value the type the key takes (vekhost keys lists them).", wrongType},
    {RuleId::OutOfRange, "out-of-range", Severity::Error, "An integer outside the signed 32-bit range the plug-in takes.",
     "Give a value from -2147483648 to 2147483647.", outOfRange},
    {RuleId::NotAllowed, "not-allowed", Severity::Error, "A text the key's list of allowed values does not hold.",
     "Use one of the values listed (vekhost keys lists them).", notAllowed},
    {RuleId::MissingDependency, "missing-dependency", Severity::Error, "A key needs another key the file does not set.",
     "Set the keys it needs, or remove it.", missingDependency},
    {RuleId::UnknownKey, "unknown-key", Severity::Error, "A member names no configuration key; the plug-in refuses the file.",
     "Correct the spelling (a suggestion is given when one is near) or remove the member.", unknownKey},
    {RuleId::UnreachableKey, "unreachable-key", Severity::Error, "The plug-in looks a key up by name and finds no value there.",
     "Avoid \"/\", \"~\" and NUL in member names, and give each member one name.", unreachableKey},
    {RuleId::RepeatedKey, "repeated-key", Severity::Warning, "A key is given again; the plug-in reads the first one.",
     "Remove the repeated member, or the first one if the later value is meant.", repeatedKey},
    {RuleId::IgnoredValue, "ignored-value", Severity::Warning, "A null or empty value, which gives the plug-in no key.",
     "Remove the member, or give it a value.", ignoredValue},
    {RuleId::TextCutAtNul, "text-cut-at-nul", Severity::Warning, "A text holds \\u0000; the plug-in keeps only the text before it.",
     "Remove the \\u0000 and what follows it, if the plug-in should see all of it.", textCutAtNul},
    {RuleId::TextNotUtf8, "text-not-utf8", Severity::Warning, "A text holds bytes that are not UTF-8.",
     "Save the file as UTF-8.", textNotUtf8},
    {RuleId::GraphIdentifier, "graph-identifier", Severity::Warning,
     "A graph name becomes another identifier, or the same one as an earlier name.",
     "Name graphs with letters, digits and underscores, starting with a letter or underscore, each name once.",
     graphIdentifier},
};

constexpr bool inIdOrder() {
    for (size_t i = 0; i < std::size(kRules); ++i) {
        if (static_cast<size_t>(kRules[i].rule) != i) return false;
    }
    return true;
}
static_assert(inIdOrder(), "one entry for each id, in the ids' order");

}  // namespace

const char* severityName(Severity severity) { return severity == Severity::Error ? "error" : "warning"; }

const Rule* RuleTable::begin() const { return std::begin(kRules); }
const Rule* RuleTable::end() const { return std::end(kRules); }
const Rule& ruleOf(RuleId id) { return kRules[static_cast<size_t>(id)]; }

}  // namespace vek::lint
