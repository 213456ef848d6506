// SPDX-FileCopyrightText: 2026 The VekGpuKalderExtensions Authors
// SPDX-License-Identifier: Apache-2.0
#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "BackendExtensions/ConfigValues.h"
#include "BackendExtensions/GPUBackendExtensions/ConfigKeyVerdict.h"
#include "BackendExtensions/Identifier.h"
#include "BackendExtensions/JsonTypeName.h"
#include "LintParse.h"

namespace vek::host {
namespace {

using Value = tools::kalder::ConfigValue;
using rapidjson::SizeType;
using tools::kalder::jsonTypeName;

// Names longer than this many times the longest key get no suggestion: no
// spelling slip makes a key that long, and comparing costs their length.
constexpr size_t kSuggestedLengthFactor = 2;

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

const Value* memberByName(const Value& object, const Value& name) {
    const auto found = object.FindMember(name);
    return found != object.MemberEnd() ? &found->value : nullptr;
}

// The schema's "type" test, as the plug-in's validator makes it.
bool hasSchemaType(const Value& value, const std::string& type) {
    if (type == "integer") return value.IsNumber() && !value.IsDouble();
    if (type == "number") return value.IsNumber();
    return type == jsonTypeName(value);
}

// One step of a JSON Pointer: a member's whole name, or an element's index.
struct Token {
    const Value* name;  // null for an element
    SizeType index;
};

// RFC 6901: "/" and each token, "~" written "~0" and "/" written "~1"; the
// empty text names the whole file.
std::string pointerOf(const std::vector<Token>& path) {
    std::string pointer;
    for (const Token& token : path) {
        pointer += '/';
        if (token.name == nullptr) {
            pointer += std::to_string(token.index);
            continue;
        }
        const char* name = token.name->GetString();
        for (SizeType i = 0; i < token.name->GetStringLength(); ++i) {
            if (name[i] == '~') pointer += "~0";
            else if (name[i] == '/') pointer += "~1";
            else pointer += name[i];
        }
    }
    return pointer;
}

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

constexpr uint32_t kNone = UINT32_MAX;

// For each graph name, the earliest name before it that becomes the same
// identifier, or kNone. The names are ordered by their identifiers'
// hashes (a stable radix sort: sequential passes, where a hash table of
// millions of names would be read at random), and only names whose hashes
// are equal are compared.
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

// One walk over the document beside its spots, checking each value against
// the part of the schema that applies to it; then every key as the plug-in
// takes it.
class RuleCheck {
public:
    RuleCheck(const ParsedText& parsed, const Value& schema, std::vector<Diagnostic>& diagnostics)
        : parsed_(parsed), schema_(schema), diagnostics_(diagnostics) {}

    void run() {
        // Sized once (a value gives at most one leaf), so millions of leaves
        // are not copied over as the lists grow.
        leaves_.reserve(parsed_.spots.size());
        walk(parsed_.document, &schema_, "", Place{"", 0}, 0, false, 0);
        graphNames_.reserve(leaves_.size());
        graphNameLeaves_.reserve(leaves_.size());
        if (!parsed_.document.IsObject()) return;  // the plug-in reads no key of it
        checkDependencies();
        checkRepeatedKeys();
        checkKeys();
        reportEmptyValues();
    }

private:
    // A value's place under its parent: a member's name, or an element's index.
    struct Place {
        const char* name;  // null for an array element
        SizeType element;
    };
    struct Walked {
        size_t next;    // the spot after the value's subtree
        size_t leaves;  // the keys it gives
    };
    struct Member {
        const tools::kalder::FirstMembers::Member* member;
        Spot spot;
        const Value& name() const { return member->name; }
    };
    struct Leaf {
        uint32_t spot;
        uint32_t top : 31;     // the member of the root it lies in
        uint32_t covered : 1;  // inside a value already reported
    };
    // A value that gives no key, which the plug-in ignores. The key and
    // pointer of a member of the root come from the member when told; only a
    // deeper one keeps its own.
    struct Empty {
        uint32_t offset;
        uint32_t top;
        uint32_t nested;  // its place in nestedEmpties_, or kNone for a member of the root
        bool null;
    };
    struct NestedEmpty {
        std::string key;
        std::string pointer;
    };

    const std::string_view text() const { return parsed_.text; }

    Diagnostic& report(size_t offset, std::string pointer, std::string message, std::vector<std::string> allowed = {},
                       Diagnostic::Severity severity = Diagnostic::Severity::Error) {
        Diagnostic diagnostic;
        diagnostic.severity = severity;
        diagnostic.offset = offset;
        diagnostic.pointer = std::move(pointer);
        diagnostic.message = std::move(message);
        diagnostic.allowed = std::move(allowed);
        diagnostics_.push_back(std::move(diagnostic));
        return diagnostics_.back();
    }
    void warn(size_t offset, std::string pointer, std::string message) {
        report(offset, std::move(pointer), std::move(message), {}, Diagnostic::Severity::Warning);
    }

    // The key as the plug-in names it ("graph_names/1"), built only when told.
    static std::string keyOf(const std::string& parent, Place place) {
        return parent + (place.name != nullptr ? std::string(place.name) : std::to_string(place.element));
    }
    // "graph_names/1 is 3 (an integer)", the value as the file writes it.
    std::string subject(const std::string& key, const Value& value, size_t offset) const {
        if (key.empty()) return "the file holds " + withArticle(jsonTypeName(value));
        if (value.IsNull()) return printable(key, kShownChars) + " is null";
        return printable(key, kShownChars) + " is " + sourceText(text(), offset) + " (" +
               withArticle(jsonTypeName(value)) + ")";
    }

    Walked walk(const Value& value, const Value* rule, const std::string& parent, Place place, size_t index,
                bool covered, uint32_t top) {
        const Spot spot = parsed_.spots[index++];
        const bool root = &value == &parsed_.document;
        if (rule != nullptr && !covered) covered = checkRule(value, *rule, spot.value, parent, place);
        if (!value.IsObject() && !value.IsArray()) {
            if (!value.IsNull()) {
                leaves_.push_back(Leaf{static_cast<uint32_t>(index - 1), top, covered ? 1u : 0u});
                return {index, 1};
            }
            if (rule == nullptr && !covered) addEmpty(value, spot.value, parent, place, top);
            return {index, 0};
        }
        const std::string prefix = root ? "" : keyOf(parent, place) + "/";
        const size_t emptiesBefore = empties_.size();
        size_t leaves = 0;
        if (value.IsObject()) {
            const Value* properties = rule != nullptr && !covered ? member(*rule, "properties") : nullptr;
            for (const auto& entry : value.GetObject()) {
                if (root) {
                    top = static_cast<uint32_t>(topLevel_.size());
                    topLevel_.push_back(Member{&entry, parsed_.spots[index]});
                }
                const Value* childRule = properties != nullptr ? memberByName(*properties, entry.name) : nullptr;
                path_.push_back(Token{&entry.name, 0});
                // The name up to a NUL, as the plug-in names it.
                const Walked child = walk(entry.value, childRule, prefix, Place{entry.name.GetString(), 0}, index, covered, top);
                path_.pop_back();
                index = child.next;
                leaves += child.leaves;
            }
        } else {
            const Value* items = rule != nullptr && !covered ? member(*rule, "items") : nullptr;
            SizeType i = 0;
            for (const Value& element : value.GetArray()) {
                path_.push_back(Token{nullptr, i});
                const Walked child = walk(element, items, prefix, Place{nullptr, i++}, index, covered, top);
                path_.pop_back();
                index = child.next;
                leaves += child.leaves;
            }
        }
        if (leaves == 0 && !root && rule == nullptr && !covered) {
            empties_.resize(emptiesBefore);  // told once, for the outermost value that gives nothing
            addEmpty(value, spot.value, parent, place, top);
        }
        return {index, leaves};
    }

    void addEmpty(const Value& value, size_t offset, const std::string& parent, Place place, uint32_t top) {
        uint32_t nested = kNone;
        if (path_.size() > 1) {
            nested = static_cast<uint32_t>(nestedEmpties_.size());
            nestedEmpties_.push_back(NestedEmpty{keyOf(parent, place), pointerOf(path_)});
        }
        empties_.push_back(Empty{static_cast<uint32_t>(offset), top, nested, value.IsNull()});
    }

    // True when the value breaks the rule (and was reported).
    bool checkRule(const Value& value, const Value& rule, size_t offset, const std::string& parent, Place place) {
        if (const Value* type = member(rule, "type")) {
            std::vector<std::string> types;
            if (type->IsString()) types.emplace_back(type->GetString());
            if (type->IsArray()) {
                for (const Value& t : type->GetArray()) types.emplace_back(t.GetString());
            }
            if (std::none_of(types.begin(), types.end(), [&](const std::string& t) { return hasSchemaType(value, t); })) {
                typeError(offset, keyOf(parent, place), pointerOf(path_), value, types);
                return true;
            }
        }
        if (const Value* allowed = member(rule, "enum")) {
            std::vector<std::string> texts;
            bool listed = false;
            for (const Value& option : allowed->GetArray()) {
                listed = listed || option == value;
                texts.push_back(quoted(option.GetString()));
            }
            if (!listed) {
                report(offset, pointerOf(path_), subject(keyOf(parent, place), value, offset) + ", but it must be one of " + join(texts, " or "), texts);
                return true;
            }
        }
        return false;
    }

    void typeError(size_t offset, const std::string& key, std::string pointer, const Value& value,
                   const std::vector<std::string>& types) {
        std::vector<std::string> expected;
        for (const std::string& type : types) expected.push_back(withArticle(type));
        report(offset, std::move(pointer), subject(key, value, offset) + ", but it must be " + join(expected, " or "), types);
    }

    static std::string topPointer(const Member& m) { return pointerOf({Token{&m.name(), 0}}); }
    // The member's name as the file writes it, quotes and escapes included.
    std::string shownName(const Member& m) const { return sourceText(text(), m.spot.key); }

    void checkDependencies() {
        const Value* dependencies = member(schema_, "dependencies");
        if (dependencies == nullptr) return;
        for (const Member& m : topLevel_) {
            const Value* required = memberByName(*dependencies, m.name());
            if (required == nullptr || !isFirst(m)) continue;
            std::vector<std::string> missing;
            for (const Value& name : required->GetArray()) {
                if (members_.find(parsed_.document, name) == nullptr) missing.emplace_back(name.GetString());
            }
            if (missing.empty()) continue;
            report(m.spot.key, topPointer(m), printable(m.name().GetString(), kShownChars) + " needs " +
                                                  join(missing, " and ") + ", which the file does not set");
        }
    }

    // The member of the root the plug-in reads for `m`'s name: the first of that name.
    const Member& firstOf(const Member& m) {
        const auto& first = members_.firstOf(parsed_.document, *m.member);
        return topLevel_[static_cast<size_t>(&first - &*parsed_.document.MemberBegin())];
    }
    bool isFirst(const Member& m) { return firstOf(m).member == m.member; }

    void checkRepeatedKeys() {
        for (const Member& m : topLevel_) {
            if (isFirst(m)) continue;
            warn(m.spot.key, topPointer(m), shownName(m) + " is given again; the plug-in reads the first one, " +
                                                sourceText(text(), firstOf(m).spot.value) + ", wherever this key occurs");
        }
    }

    // Every leaf as the plug-in takes it: the key it names, the value its
    // lookup finds, and the verdict on that value.
    void checkKeys() {
        size_t ordinal = 0;
        std::vector<std::string> known;
        size_t longest = 0;
        for (const gpu::ConfigKey& key : gpu::kConfigKeys) {
            known.emplace_back(key.name);
            longest = std::max(longest, known.back().size());
        }
        std::vector<bool> toldUnknown(topLevel_.size(), false);
        tools::kalder::collectConfigKeys(parsed_.document, [&](const std::string& key, const Value& walked,
                                                               tools::kalder::KnownLookup lookup) {
            const size_t leafOrdinal = ordinal++;
            const Leaf leaf = leaves_[leafOrdinal];
            // Told already by the schema's rules, which the plug-in applies first.
            if (leaf.covered) return true;
            const Spot spot = parsed_.spots[leaf.spot];
            const Value* value = tools::kalder::findConfigValue(parsed_.document, key, members_, lookup);
            const gpu::ConfigKey* entry = gpu::findConfigKey(key);
            // A lookup that lands on another leaf (an earlier member of the
            // same name) is judged at that leaf, which holds the same key.
            if (entry != nullptr && value != nullptr && value != &walked && !value->IsObject() && !value->IsArray()) {
                return true;
            }
            const size_t at = spot.key != kNoKey ? spot.key : spot.value;
            switch (gpu::judgeKeyValue(entry, value)) {
                case gpu::KeyVerdict::Taken:
                    if (value->IsString()) checkText(*entry, key, *value, spot.value, leafOrdinal);
                    break;
                case gpu::KeyVerdict::Unsupported:
                    if (entry == nullptr) {
                        if (toldUnknown[leaf.top]) break;
                        toldUnknown[leaf.top] = true;
                        unknownKey(topLevel_[leaf.top], known, longest);
                    } else if (value == nullptr) {
                        notFound(at, key, leafOrdinal);
                    } else {
                        atLeaf(leafOrdinal, report(spot.value, "", subject(key, *value, spot.value) +
                                                                        ", but a key naming graph_names must hold a string"));
                    }
                    break;
                case gpu::KeyVerdict::WrongType:
                    if (value == nullptr) {
                        notFound(at, key, leafOrdinal);
                    } else if (value->IsNumber() && !value->IsDouble()) {
                        atLeaf(leafOrdinal, report(spot.value, "", subject(key, *value, spot.value) +
                                                                        ", outside the signed 32-bit range the plug-in takes "
                                                                        "(-2147483648 to 2147483647)"));
                    } else {
                        static const char* const kTypes[] = {"array", "string", "boolean", "integer"};
                        typeError(spot.value, key, "", *value, {kTypes[static_cast<int>(entry->type)]});
                        atLeaf(leafOrdinal, diagnostics_.back());
                    }
                    break;
                case gpu::KeyVerdict::NotAllowed: {
                    std::vector<std::string> texts;
                    for (size_t i = 0; i < entry->enumCount; ++i) texts.push_back(quoted(entry->enumTexts[i].text));
                    atLeaf(leafOrdinal, report(spot.value, "", subject(key, *value, spot.value) + ", but it must be one of " +
                                                                    join(texts, " or "), texts));
                    break;
                }
            }
            return true;
        }, members_);
        for (const Empty& empty : empties_) {
            if (empty.top < toldUnknown.size() && toldUnknown[empty.top]) continue;  // its key is refused
            keptEmpties_.push_back(&empty);
        }
        checkIdentifiers();
        fillLeafPointers();
    }

    void unknownKey(const Member& m, const std::vector<std::string>& known, size_t longest) {
        const std::string name(m.name().GetString(), m.name().GetStringLength());
        std::string message = shownName(m) + " is no configuration key";
        if (name == "$schema") {
            message += "; the plug-in refuses it: map the editor schema to your files in the editor's own settings "
                       "instead (README, \"Editor support\")";
        } else if (name.size() <= kSuggestedLengthFactor * longest) {
            const std::string near = closestKey(name, known);
            if (!near.empty()) message += "; did you mean " + quoted(near) + "?";
        }
        report(m.spot.key, topPointer(m), message);
    }

    void notFound(size_t at, const std::string& key, size_t leafOrdinal) {
        atLeaf(leafOrdinal, report(at, "", "the plug-in looks " + quoted(printable(key, kShownChars)) +
                                               " up by name and finds no value there: a member name holds \"/\", \"~\" or a "
                                               "NUL byte, or an earlier member of the same name has no such element"));
    }

    // What the plug-in keeps of a text it takes, where that is not what the file says.
    void checkText(const gpu::ConfigKey& entry, const std::string& key, const Value& value, size_t offset, size_t leafOrdinal) {
        const char* text = value.GetString();
        const size_t keptLength = std::strlen(text);  // up to the first NUL, as the plug-in takes it
        const std::string_view kept(text, keptLength);
        const bool graphName = entry.type == gpu::KeyType::TextList;
        const auto what = [&] { return graphName ? "graph name " + sourceText(this->text(), offset) : printable(key, kShownChars); };
        const auto warnAt = [&](const std::string& message) {
            atLeaf(leafOrdinal, report(offset, "", what() + message, {}, Diagnostic::Severity::Warning));
        };
        if (keptLength < value.GetStringLength()) {
            warnAt(" holds \\u0000; the plug-in keeps only " + quoted(printable(kept, kShownChars)) + ", the text before it");
        }
        if (!graphName) {
            if (!isUtf8(kept)) warnAt(" holds bytes that are not UTF-8; the plug-in passes them on as they are");
            return;
        }
        graphNames_.push_back(&value);
        graphNameLeaves_.push_back(static_cast<uint32_t>(leafOrdinal));
    }

    // Graph names that become another identifier, or the same as an earlier name.
    void checkIdentifiers() {
        const std::vector<uint32_t> earlier = earlierSameIdentifiers(graphNames_);
        const auto offsetOf = [&](size_t name) { return parsed_.spots[leaves_[graphNameLeaves_[name]].spot].value; };
        for (size_t i = 0; i < graphNames_.size(); ++i) {
            const std::string_view kept(graphNames_[i]->GetString());
            const bool changes = kept.empty() || (!tools::kalder::isAsciiAlpha(static_cast<unsigned char>(kept[0])) && kept[0] != '_') ||
                                 !std::all_of(kept.begin(), kept.end(), [](unsigned char c) { return tools::kalder::kIdentifierBytes.keep[c]; });
            if (earlier[i] == kNone && !changes) continue;
            const size_t offset = offsetOf(i);
            std::string message = "graph name " + sourceText(text(), offset) + " becomes the identifier " +
                                  printable(tools::kalder::toIdentifier(std::string(kept)), kShownChars);
            if (earlier[i] != kNone) {
                message += ", as " + sourceText(text(), offsetOf(earlier[i])) + " before it does: two graphs of one name";
            }
            atLeaf(graphNameLeaves_[i], report(offset, "", message, {}, Diagnostic::Severity::Warning));
        }
    }

    void reportEmptyValues() {
        diagnostics_.reserve(diagnostics_.size() + keptEmpties_.size());
        for (const Empty* empty : keptEmpties_) {
            const Member& top = topLevel_[empty->top];
            const NestedEmpty* nested = empty->nested != kNone ? &nestedEmpties_[empty->nested] : nullptr;
            warn(empty->offset, nested != nullptr ? nested->pointer : topPointer(top),
                 printable(nested != nullptr ? nested->key : top.name().GetString(), kShownChars) + " is " +
                     (empty->null ? "null" : sourceText(text(), empty->offset)) + ", which gives the plug-in no key: it ignores it");
        }
    }

    // A diagnostic about the leaf of this ordinal, whose pointer the walk below fills in.
    void atLeaf(size_t leafOrdinal, const Diagnostic& diagnostic) {
        pending_.push_back(Pending{leafOrdinal, static_cast<size_t>(&diagnostic - diagnostics_.data())});
    }
    struct Pending {
        size_t leaf;
        size_t diagnostic;
    };

    // Walks the document again, counting leaves, to give the pending
    // diagnostics their leaf's exact pointer.
    void fillLeafPointers() {
        if (pending_.empty()) return;
        std::stable_sort(pending_.begin(), pending_.end(), [](const Pending& a, const Pending& b) { return a.leaf < b.leaf; });
        size_t leaf = 0, next = 0;
        path_.clear();
        fillIn(parsed_.document, leaf, next);
    }
    void fillIn(const Value& value, size_t& leaf, size_t& next) {
        if (next == pending_.size()) return;
        if (value.IsObject()) {
            for (const auto& entry : value.GetObject()) {
                path_.push_back(Token{&entry.name, 0});
                fillIn(entry.value, leaf, next);
                path_.pop_back();
            }
        } else if (value.IsArray()) {
            SizeType i = 0;
            for (const Value& element : value.GetArray()) {
                path_.push_back(Token{nullptr, i++});
                fillIn(element, leaf, next);
                path_.pop_back();
            }
        } else if (!value.IsNull()) {
            while (next < pending_.size() && pending_[next].leaf == leaf) diagnostics_[pending_[next++].diagnostic].pointer = pointerOf(path_);
            ++leaf;
        }
    }

    const ParsedText& parsed_;
    const Value& schema_;
    std::vector<Diagnostic>& diagnostics_;
    tools::kalder::FirstMembers members_;
    std::vector<Token> path_;
    std::vector<Member> topLevel_;
    std::vector<Leaf> leaves_;  // in the key walk's order
    std::vector<Empty> empties_;
    std::vector<NestedEmpty> nestedEmpties_;
    std::vector<const Empty*> keptEmpties_;
    std::vector<Pending> pending_;
    // The graph names the plug-in takes, in the key walk's order, and their leaves.
    std::vector<const Value*> graphNames_;
    std::vector<uint32_t> graphNameLeaves_;
};

}  // namespace

void checkConfigRules(const ParsedText& parsed, const Value& schema, std::vector<Diagnostic>& diagnostics) {
    RuleCheck(parsed, schema, diagnostics).run();
}

}  // namespace vek::host
