// SPDX-FileCopyrightText: 2026 The VekGpuKalderExtensions Authors
// SPDX-License-Identifier: Apache-2.0
// What the two passes of rules share: the parsed text, the index of the
// root's members, and what the first pass learns of each value.
#pragma once

#include <vector>

#include "BackendExtensions/ConfigValues.h"
#include "Finding.h"
#include "Parse.h"

namespace vek::lint {

using Value = tools::kalder::ConfigValue;

struct CheckState {
    CheckState(const ParsedText& parsed, const Value& schema, std::vector<Finding>& findings, std::vector<const void*>& details)
        : parsed(parsed), schema(schema), findings(findings), details(details) {}

    struct Leaf {
        uint32_t spot;
        uint32_t top : 31;     // the member of the root it lies in
        uint32_t covered : 1;  // inside a value the schema's rules told of already
    };
    // A value that gives no key, which the plug-in ignores: the outermost of
    // a subtree that gives none.
    struct Empty {
        uint32_t spot;
        uint32_t top;
    };

    const ParsedText& parsed;
    const Value& schema;
    std::vector<Finding>& findings;
    std::vector<const void*>& details;  // what decides a finding's text, where its spot does not
    tools::kalder::FirstMembers members;
    std::vector<uint32_t> topSpots;  // for each member of the root, the spot of its value
    std::vector<Leaf> leaves;        // in document order, which is the key walk's
    std::vector<Empty> empties;

    const Spot& spot(uint32_t index) const { return parsed.spots[index]; }
    const tools::kalder::FirstMembers::Member& topMember(size_t index) const { return parsed.document.MemberBegin()[index]; }
    // About the whole value, or about its member name.
    void addAtValue(RuleId rule, uint32_t spot, uint32_t other = kNone, Form form = Form::Plain) {
        findings.push_back(Finding{spot, other, rule, form, false});
    }
    void addAtKey(RuleId rule, uint32_t spot, uint32_t other = kNone) { findings.push_back(Finding{spot, other, rule, Form::Plain, true}); }
    // A detail's index; one in a row of findings with the same detail is kept once.
    uint32_t detail(const void* what) {
        if (details.empty() || details.back() != what) details.push_back(what);
        return static_cast<uint32_t>(details.size() - 1);
    }
};

// The schema's rules on every value, and what the second pass needs:
// the root's members, the leaves, the values that give no key.
void checkValues(CheckState& state);
// Every key as the plug-in takes it: dependencies, repeated and unknown
// keys, each leaf's verdict, the texts it keeps, the graph names'
// identifiers, the values it ignores.
void checkKeys(CheckState& state);

}  // namespace vek::lint
