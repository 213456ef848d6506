// SPDX-FileCopyrightText: 2026 The VekGpuKalderExtensions Authors
// SPDX-License-Identifier: Apache-2.0
// The text of each finding, made when it is shown.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "BackendExtensions/ConfigValues.h"
#include "Diagnostic.h"
#include "Finding.h"
#include "Parse.h"
#include "Suggest.h"

namespace vek::lint {

// The rule a way of saying belongs to (Say::Fixed: the finding's owner knows).
RuleId ruleOfSay(Say say);

// What a finding is about, as the walk that shows it finds it.
struct Subject {
    const tools::kalder::ConfigValue* value;  // the value at the finding's spot
    const tools::kalder::ConfigValue* name;   // its member name; null for the root and elements
    const std::string& key;                   // as the plug-in names it ("graph_names/1"); empty for the root
    size_t at;                                // where the offending token starts
};

class Messages {
public:
    Messages(const ParsedText& parsed, const std::vector<const void*>& details);

    // Fills the diagnostic's message and allowed values.
    void write(const Finding& finding, const Subject& subject, Diagnostic& diagnostic) const;

private:
    void appendSubject(std::string& out, const std::string& key, const tools::kalder::ConfigValue& value, size_t offset) const;

    std::string_view text_;
    const ParsedText& parsed_;
    const std::vector<const void*>& details_;
    KeySuggester suggester_;
    size_t longestKey_ = 0;
};

}  // namespace vek::lint
