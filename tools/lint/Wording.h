// SPDX-FileCopyrightText: 2026 The VekGpuKalderExtensions Authors
// SPDX-License-Identifier: Apache-2.0
// What a rule's function words a finding from (the finding, the value it is
// about, the text), and the words it has: the message, the values allowed,
// and, when an editor asks, fixes and related places.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "BackendExtensions/ConfigValues.h"
#include "BackendExtensions/GPUBackendExtensions/GpuConfigKeys.h"
#include "Diagnostic.h"
#include "Finding.h"
#include "Parse.h"
#include "Suggest.h"

namespace vek::lint {

using Value = tools::kalder::ConfigValue;

// "an integer", "a string", "null".
std::string withArticle(const std::string& type);

// What every finding of one check is worded from, made once for all of them.
class Vocabulary {
public:
    Vocabulary(const ParsedText& parsed, const Value& schema, const std::vector<const void*>& details);

    const ParsedText& parsed() const { return parsed_; }
    const Value& schema() const { return schema_; }
    const void* detail(uint32_t index) const { return details_[index]; }
    // The known key nearest to a misspelt name; empty when none is near, or
    // the name is far longer than any key.
    std::string suggestion(const std::string& name) const;
    // Whether the root object holds a member named `key` (a key of the table).
    bool holds(const gpu::ConfigKey& key) const;

private:
    const ParsedText& parsed_;
    const Value& schema_;
    const std::vector<const void*>& details_;
    KeySuggester suggester_;
    size_t longestKey_ = 0;
    mutable std::vector<bool> held_;  // for each key of the table, once asked
};

class Wording {
public:
    // What the finding is about, as the walk that shows it finds it.
    struct Subject {
        const Value* value;      // the value at the finding's spot; null for a text that did not parse
        const Value* name;       // its member name; null for the root and elements
        const std::string& key;  // as the plug-in names it ("graph_names/1"); empty for the root
        size_t at;               // where the offending token starts
        size_t depth;            // the steps from the root to the value: 1 for a member of the root
    };

    // A finding of a parsed text.
    Wording(const Vocabulary& vocabulary, const Finding& finding, const Subject& subject, bool details, Diagnostic& out);
    // The one finding of a text the rules never saw, in the words its reader found.
    Wording(std::string_view text, std::string_view found, size_t at, bool details, Diagnostic& out);

    // What the finding is about.
    std::string_view text() const { return text_; }
    const Finding& finding() const { return finding_; }
    const Value& value() const { return *subject_.value; }
    const Value* name() const { return subject_.name; }
    const std::string& key() const { return subject_.key; }
    size_t at() const { return subject_.at; }
    // Where the offending token ends.
    size_t end() const { return out_.end.offset; }
    bool atRootMember() const { return subject_.depth == 1 && subject_.name != nullptr; }
    // Where the value's member name starts.
    size_t keyAt() const { return vocabulary_->parsed().spots[finding_.spot].key; }
    // The finding's detail: the schema's rule, or the value the key's lookup
    // found; the value itself when there is none.
    const Value& detail() const;
    // The spot the finding's `other` names.
    const Spot& otherSpot() const { return vocabulary_->parsed().spots[finding_.other]; }
    const Vocabulary& vocabulary() const { return *vocabulary_; }
    std::string_view found() const { return found_; }

    // Words, appended to the message.
    void say(std::string_view words) { out_.message += words; }
    void source(size_t offset);          // the token at `offset` as the file writes it
    void shown(std::string_view text);   // printable, cut to the shown length
    void subject(const Value& value);    // "graph_names/1 is 3 (an integer)"
    void allow(std::string value) { out_.allowed.push_back(std::move(value)); }
    const std::vector<std::string>& allowed() const { return out_.allowed; }

    // Fixes and related places: kept only when asked for.
    bool details() const { return details_; }
    void fix(std::string title, std::vector<Edit> edits);
    void relate(size_t begin, std::string message);  // the token at `begin`

private:
    static const std::string kNoKey;
    const Vocabulary* vocabulary_ = nullptr;
    Finding finding_{kNone, kNone, RuleId::InvalidJson, Form::Plain, false};
    Subject subject_;
    std::string_view text_, found_;
    bool details_;
    Diagnostic& out_;
};

}  // namespace vek::lint
