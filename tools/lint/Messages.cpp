// SPDX-FileCopyrightText: 2026 The VekGpuKalderExtensions Authors
// SPDX-License-Identifier: Apache-2.0
#include "Messages.h"

#include <algorithm>
#include <cstring>

#include "BackendExtensions/GPUBackendExtensions/GpuConfigKeys.h"
#include "BackendExtensions/Identifier.h"
#include "BackendExtensions/JsonTypeName.h"
#include "SchemaRule.h"
#include "Text.h"

namespace vek::lint {
namespace {

using tools::kalder::jsonTypeName;
using Value = tools::kalder::ConfigValue;

// Names longer than this many times the longest key get no suggestion: no
// spelling slip makes a key that long, and comparing costs their length.
constexpr size_t kSuggestedLengthFactor = 2;

// The rule of each way of saying, in Say's order.
constexpr RuleId kRuleOfSay[] = {
    RuleId::InvalidJson,  // Fixed: told by the finding's owner
    RuleId::WrongType,         RuleId::NotAllowed,     RuleId::MissingDependency, RuleId::RepeatedKey,
    RuleId::UnknownKey,        RuleId::UnreachableKey, RuleId::WrongType,         RuleId::OutOfRange,
    RuleId::WrongType,         RuleId::NotAllowed,     RuleId::TextCutAtNul,      RuleId::TextNotUtf8,
    RuleId::GraphIdentifier,   RuleId::IgnoredValue,
};
static_assert(sizeof kRuleOfSay / sizeof kRuleOfSay[0] == static_cast<size_t>(Say::IgnoredValue) + 1,
              "a rule for each way of saying");

std::string withArticle(const std::string& type) {
    if (type == "null") return "null";
    const bool vowel = type == "integer" || type == "object" || type == "array";
    return (vowel ? "an " : "a ") + type;
}

std::string join(const std::vector<std::string>& parts, const std::string& last) {
    std::string out;
    for (size_t i = 0; i < parts.size(); ++i) out += (i == 0 ? "" : i + 1 == parts.size() ? last : ", ") + parts[i];
    return out;
}

std::string quoted(const std::string& text) { return "\"" + text + "\""; }

std::vector<std::string> quotedTexts(const Value& options) {
    std::vector<std::string> texts;
    for (const Value& option : options.GetArray()) texts.push_back(quoted(option.GetString()));
    return texts;
}

}  // namespace

std::vector<std::string> knownKeys() {
    std::vector<std::string> keys;
    for (const gpu::ConfigKey& key : gpu::kConfigKeys) keys.emplace_back(key.name);
    return keys;
}

Messages::Messages(const ParsedText& parsed, const std::vector<const void*>& details)
    : text_(parsed.text), parsed_(parsed), details_(details), suggester_(knownKeys()) {
    for (const gpu::ConfigKey& key : gpu::kConfigKeys) longestKey_ = std::max(longestKey_, std::strlen(key.name));
}

RuleId ruleOfSay(Say say) { return kRuleOfSay[static_cast<size_t>(say)]; }

// "graph_names/1 is 3 (an integer)", the value as the file writes it.
void Messages::appendSubject(std::string& out, const std::string& key, const Value& value, size_t offset) const {
    if (key.empty()) {
        out += "the file holds ";
        out += withArticle(jsonTypeName(value));
        return;
    }
    appendPrintable(out, key, kShownChars);
    if (value.IsNull()) {
        out += " is null";
        return;
    }
    out += " is ";
    appendSourceText(out, text_, offset);
    out += " (";
    out += withArticle(jsonTypeName(value));
    out += ')';
}

// Each message is written into the diagnostic's own text, whose room serves
// the next one: a million diagnostics need not a million allocations.
void Messages::write(const Finding& f, const Subject& subject, Diagnostic& d) const {
    const Value& value = *subject.value;
    // The finding's detail: the schema's rule, or what the key's lookup found where that is not the value itself.
    const auto detail = [&] { return f.other == kNone ? &value : static_cast<const Value*>(details_[f.other]); };
    const size_t at = subject.at;
    const std::string& key = subject.key;
    std::string& m = d.message;
    const auto source = [&](size_t offset) { appendSourceText(m, text_, offset); };
    const auto shown = [&](std::string_view text) { appendPrintable(m, text, kShownChars); };
    m.clear();
    d.allowed.clear();
    switch (f.say) {
        case Say::Fixed: break;
        case Say::SchemaType: {
            std::vector<std::string> expected;
            for (const std::string& type : typeNames(*detail())) {
                expected.push_back(withArticle(type));
                d.allowed.push_back(type);
            }
            appendSubject(m, key, value, at);
            m += ", but it must be " + join(expected, " or ");
            break;
        }
        case Say::SchemaEnum:
            d.allowed = quotedTexts(*detail());
            appendSubject(m, key, value, at);
            m += ", but it must be one of " + join(d.allowed, " or ");
            break;
        case Say::MissingDependency: {
            std::vector<std::string> missing;
            for (const Value& name : detail()->GetArray()) {
                if (parsed_.document.FindMember(name) == parsed_.document.MemberEnd()) missing.emplace_back(name.GetString());
            }
            shown(key);
            m += " needs " + join(missing, " and ") + ", which the file does not set";
            break;
        }
        case Say::RepeatedKey:
            source(at);
            m += " is given again; the plug-in reads the first one, ";
            source(parsed_.spots[f.other].value);
            m += ", wherever this key occurs";
            break;
        case Say::UnknownKey: {
            // The whole name, NULs included (the key holds it up to the first one).
            const std::string name(subject.name->GetString(), subject.name->GetStringLength());
            source(at);
            m += " is no configuration key";
            if (name == "$schema") {
                m += "; the plug-in refuses it: map the editor schema to your files in the editor's own settings "
                     "instead (README, \"Editor support\")";
            } else if (name.size() <= kSuggestedLengthFactor * longestKey_) {
                const std::string near = suggester_.closest(name);
                if (!near.empty()) m += "; did you mean " + quoted(near) + "?";
            }
            break;
        }
        case Say::UnreachableKey:
            m += "the plug-in looks \"";
            shown(key);
            m += "\" up by name and finds no value there: a member name holds \"/\", \"~\" or a NUL byte, or an "
                 "earlier member of the same name has no such element";
            break;
        case Say::GraphNameNotText:
            appendSubject(m, key, *detail(), at);
            m += ", but a key naming graph_names must hold a string";
            break;
        case Say::OutOfRange:
            appendSubject(m, key, *detail(), at);
            m += ", outside the signed 32-bit range the plug-in takes (-2147483648 to 2147483647)";
            break;
        case Say::KeyType: {
            static const char* const kTypes[] = {"array", "string", "boolean", "integer"};
            const std::string type = kTypes[static_cast<int>(gpu::findConfigKey(key)->type)];
            d.allowed.push_back(type);
            appendSubject(m, key, *detail(), at);
            m += ", but it must be " + withArticle(type);
            break;
        }
        case Say::KeyEnum: {
            const gpu::ConfigKey& entry = *gpu::findConfigKey(key);
            for (size_t i = 0; i < entry.enumCount; ++i) d.allowed.push_back(quoted(entry.enumTexts[i].text));
            appendSubject(m, key, *detail(), at);
            m += ", but it must be one of " + join(d.allowed, " or ");
            break;
        }
        case Say::TextCutAtNul:
        case Say::TextNotUtf8: {
            if (gpu::findConfigKey(key)->type == gpu::KeyType::TextList) {
                m += "graph name ";
                source(at);
            } else {
                shown(key);
            }
            if (f.say == Say::TextNotUtf8) {
                m += " holds bytes that are not UTF-8; the plug-in passes them on as they are";
            } else {
                m += " holds \\u0000; the plug-in keeps only \"";
                shown(value.GetString());
                m += "\", the text before it";
            }
            break;
        }
        case Say::GraphIdentifier:
            m += "graph name ";
            source(at);
            m += " becomes the identifier ";
            shown(tools::kalder::toIdentifier(value.GetString()));
            if (f.other != kNone) {
                m += ", as ";
                source(parsed_.spots[f.other].value);
                m += " before it does: two graphs of one name";
            }
            break;
        case Say::IgnoredValue:
            shown(key);
            m += " is ";
            if (value.IsNull()) m += "null";
            else source(at);
            m += ", which gives the plug-in no key: it ignores it";
            break;
    }
}

}  // namespace vek::lint
