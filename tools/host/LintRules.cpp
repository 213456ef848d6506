#include <algorithm>
#include <cstring>
#include <string>
#include <unordered_map>

#include <rapidjson/stringbuffer.h>
#include <rapidjson/writer.h>

#include "BackendExtensions/ConfigValues.h"
#include "BackendExtensions/GPUBackendExtensions/ConfigKeyVerdict.h"
#include "BackendExtensions/JsonTypeName.h"
#include "LintParse.h"

namespace vek::host {
namespace {

using Value = tools::kalder::ConfigValue;
using tools::kalder::jsonTypeName;

std::string compact(const Value& value) {
    rapidjson::StringBuffer buffer;
    rapidjson::Writer<rapidjson::StringBuffer> writer(buffer);
    value.Accept(writer);
    std::string text = printable(std::string_view(buffer.GetString(), buffer.GetSize()));
    if (text.size() > 60) text = text.substr(0, 57) + "...";
    return text;
}

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

const Value* member(const Value& object, const char* name) {
    if (!object.IsObject()) return nullptr;
    const auto found = object.FindMember(name);
    return found != object.MemberEnd() ? &found->value : nullptr;
}

// The schema's "type" test, as the plug-in's validator makes it.
bool hasSchemaType(const Value& value, const std::string& type) {
    if (type == "integer") return value.IsNumber() && !value.IsDouble();
    if (type == "number") return value.IsNumber();
    return type == jsonTypeName(value);
}

// One walk over the document beside its spots, checking each value against
// the part of the schema that applies to it.
class RuleCheck {
public:
    RuleCheck(const ParsedText& parsed, const Value& schema, std::vector<Diagnostic>& diagnostics)
        : parsed_(parsed), schema_(schema), diagnostics_(diagnostics) {}

    void run() {
        walk(parsed_.document, &schema_, "", Place{"", 0});
        if (!parsed_.document.IsObject()) return;  // the plug-in reads no key of it
        checkDependencies();
        checkRepeatedKeys();
        checkKeys();
    }

private:
    void report(size_t offset, const std::string& pointer, std::string message,
                std::vector<std::string> allowed = {}, Diagnostic::Severity severity = Diagnostic::Severity::Error) {
        Diagnostic diagnostic;
        diagnostic.severity = severity;
        diagnostic.offset = offset;
        diagnostic.pointer = pointer;
        diagnostic.message = std::move(message);
        diagnostic.allowed = std::move(allowed);
        diagnostics_.push_back(std::move(diagnostic));
    }

    // The key as the plug-in names it, "graph_names/1", or "the file" at the root.
    static std::string subject(const std::string& key, const Value& value) {
        if (key.empty()) return "the file holds " + withArticle(jsonTypeName(value));
        if (value.IsNull()) return printable(key) + " is null";
        return printable(key) + " is " + compact(value) + " (" + withArticle(jsonTypeName(value)) + ")";
    }

    void typeError(size_t offset, const std::string& key, const Value& value, const std::vector<std::string>& types) {
        std::vector<std::string> expected;
        for (const std::string& type : types) expected.push_back(withArticle(type));
        report(offset, pointerOf(key), subject(key, value) + ", but it must be " + join(expected, " or "), types);
        reported_.push_back(offset);
    }

    static std::string pointerOf(const std::string& key) {
        if (key.empty()) return "";
        std::string pointer = "/";
        for (char c : key) pointer += c == '~' ? "~0" : std::string(1, c);
        return pointer;
    }

    // A value's place under its parent: a member's name, or an element's index.
    struct Place {
        const char* name;  // null for an array element
        rapidjson::SizeType element;
    };
    // The key as the plug-in names it ("graph_names/1"), built only when told.
    static std::string keyOf(const std::string& parent, Place place) {
        return parent + (place.name != nullptr ? std::string(place.name) : std::to_string(place.element));
    }

    // Returns the index of the spot after the value's subtree.
    size_t walk(const Value& value, const Value* rule, const std::string& parent, Place place, size_t index = 0) {
        const Spot spot = parsed_.spots[index++];
        if (rule != nullptr) checkRule(value, *rule, spot.value, parent, place);
        if (!value.IsObject() && !value.IsArray()) {
            if (!value.IsNull()) leafSpots_.push_back(static_cast<uint32_t>(index - 1));
            return index;
        }
        const bool root = &value == &parsed_.document;
        const std::string prefix = root ? "" : keyOf(parent, place) + "/";
        if (value.IsObject()) {
            const Value* properties = rule != nullptr ? member(*rule, "properties") : nullptr;
            for (const auto& entry : value.GetObject()) {
                if (root) topLevel_.push_back({&entry.name, &entry.value, parsed_.spots[index]});
                const Value* childRule = properties != nullptr ? memberByName(*properties, entry.name) : nullptr;
                // The name up to a NUL, as the plug-in names it.
                index = walk(entry.value, childRule, prefix, Place{entry.name.GetString(), 0}, index);
            }
        } else {
            const Value* items = rule != nullptr ? member(*rule, "items") : nullptr;
            rapidjson::SizeType i = 0;
            for (const Value& element : value.GetArray()) index = walk(element, items, prefix, Place{nullptr, i++}, index);
        }
        return index;
    }

    static const Value* memberByName(const Value& object, const Value& name) {
        const auto found = object.FindMember(name);
        return found != object.MemberEnd() ? &found->value : nullptr;
    }

    void checkRule(const Value& value, const Value& rule, size_t offset, const std::string& parent, Place place) {
        if (const Value* type = member(rule, "type")) {
            std::vector<std::string> types;
            if (type->IsString()) types.emplace_back(type->GetString());
            if (type->IsArray()) {
                for (const Value& t : type->GetArray()) types.emplace_back(t.GetString());
            }
            const bool ok = std::any_of(types.begin(), types.end(), [&](const std::string& t) { return hasSchemaType(value, t); });
            if (!ok) return typeError(offset, keyOf(parent, place), value, types);
        }
        if (const Value* allowed = member(rule, "enum")) {
            std::vector<std::string> texts;
            bool listed = false;
            for (const Value& option : allowed->GetArray()) {
                listed = listed || option == value;
                texts.push_back(option.IsString() ? quoted(option.GetString()) : compact(option));
            }
            if (!listed) {
                const std::string key = keyOf(parent, place);
                report(offset, pointerOf(key), subject(key, value) + ", but it must be one of " + join(texts, " or "), texts);
                reported_.push_back(offset);
            }
        }
    }

    bool hasTopLevel(const Value& name) const {
        return std::any_of(topLevel_.begin(), topLevel_.end(), [&](const Member& m) { return *m.name == name; });
    }

    void checkDependencies() {
        const Value* dependencies = member(schema_, "dependencies");
        if (dependencies == nullptr) return;
        std::vector<const Value*> seen;
        for (const Member& m : topLevel_) {
            const Value* required = memberByName(*dependencies, *m.name);
            if (required == nullptr || std::any_of(seen.begin(), seen.end(), [&](const Value* s) { return *s == *m.name; })) continue;
            seen.push_back(m.name);
            std::vector<std::string> missing;
            for (const Value& name : required->GetArray()) {
                if (!hasTopLevel(name)) missing.emplace_back(name.GetString());
            }
            if (missing.empty()) continue;
            report(m.spot.key, pointerOf(m.name->GetString()),
                   printable(m.name->GetString()) + " needs " + join(missing, " and ") + ", which the file does not set");
        }
    }

    void checkRepeatedKeys() {
        std::unordered_map<std::string, const Member*> first;
        for (const Member& m : topLevel_) {
            const std::string name(m.name->GetString(), m.name->GetStringLength());
            const auto [found, inserted] = first.emplace(name, &m);
            if (inserted) continue;
            report(m.spot.key, pointerOf(m.name->GetString()),
                   printable(name) + " is given again; the plug-in reads the first one, " +
                       compact(*found->second->value) + ", wherever this key occurs",
                   {}, Diagnostic::Severity::Warning);
        }
    }

    // Every leaf as the plug-in takes it: the key it names, the value its
    // lookup finds, and the verdict on that value.
    void checkKeys() {
        size_t leaf = 0;
        std::vector<std::string> known;
        for (const gpu::ConfigKey& key : gpu::kConfigKeys) known.emplace_back(key.name);
        tools::kalder::FirstMembers members;
        tools::kalder::collectConfigKeys(parsed_.document, [&](const std::string& key, const Value& walked, bool direct) {
            const Spot spot = parsed_.spots[leafSpots_[leaf++]];
            // Told already by the schema's rules, which the plug-in applies first.
            if (std::binary_search(reported_.begin(), reported_.end(), spot.value)) return true;
            const Value* value = direct ? &walked : tools::kalder::findConfigValue(parsed_.document, key, members);
            const gpu::ConfigKey* entry = gpu::findConfigKey(key);
            // A lookup that lands on another leaf (an earlier member of the
            // same name) is judged at that leaf, which holds the same key.
            if (entry != nullptr && value != nullptr && value != &walked && !value->IsObject() && !value->IsArray()) {
                return true;
            }
            const size_t at = spot.key != kNoKey ? spot.key : spot.value;
            switch (gpu::judgeKeyValue(entry, value)) {
                case gpu::KeyVerdict::Taken: break;
                case gpu::KeyVerdict::Unsupported:
                    if (entry == nullptr) {
                        const std::string near = closestKey(key, known);
                        report(at, pointerOf(key), quoted(printable(key)) + " is no configuration key" +
                                                       (near.empty() ? "" : "; did you mean " + quoted(near) + "?"));
                    } else if (value == nullptr) {
                        notFound(at, key);
                    } else {
                        report(spot.value, pointerOf(key),
                               subject(key, *value) + ", but a key naming graph_names must hold a string");
                    }
                    break;
                case gpu::KeyVerdict::WrongType:
                    if (value == nullptr) {
                        notFound(at, key);
                    } else if (value->IsNumber() && !value->IsDouble()) {
                        report(spot.value, pointerOf(key),
                               subject(key, *value) + ", outside the signed 32-bit range the plug-in takes "
                                                      "(-2147483648 to 2147483647)");
                    } else {
                        static const char* const kTypes[] = {"array", "string", "boolean", "integer"};
                        typeError(spot.value, key, *value, {kTypes[static_cast<int>(entry->type)]});
                    }
                    break;
                case gpu::KeyVerdict::NotAllowed: {
                    std::vector<std::string> texts;
                    for (size_t i = 0; i < entry->enumCount; ++i) texts.push_back(quoted(entry->enumTexts[i].text));
                    report(spot.value, pointerOf(key), subject(key, *value) + ", but it must be one of " + join(texts, " or "), texts);
                    break;
                }
            }
            return true;
        }, members);
    }

    void notFound(size_t at, const std::string& key) {
        report(at, pointerOf(key),
               "the plug-in looks " + quoted(printable(key)) +
                   " up by name and finds no value there: a member name holds \"/\", \"~\" or a NUL byte, or an "
                   "earlier member of the same name has no such element");
    }

    struct Member {
        const Value* name;
        const Value* value;
        Spot spot;
    };

    const ParsedText& parsed_;
    const Value& schema_;
    std::vector<Diagnostic>& diagnostics_;
    std::vector<Member> topLevel_;
    std::vector<uint32_t> leafSpots_;  // the spot of each leaf, in the key walk's order
    std::vector<size_t> reported_;  // value offsets, in file order
};

}  // namespace

void checkConfigRules(const ParsedText& parsed, const Value& schema, std::vector<Diagnostic>& diagnostics) {
    RuleCheck(parsed, schema, diagnostics).run();
}

}  // namespace vek::host
