// SPDX-FileCopyrightText: 2026 The VekGpuKalderExtensions Authors
// SPDX-License-Identifier: Apache-2.0
// The first pass: one walk over the document beside its spots, checking each
// value against the part of the schema that applies to it.
#include <algorithm>

#include "BackendExtensions/JsonTypeName.h"
#include "CheckState.h"
#include "SchemaRule.h"

namespace vek::lint {
namespace {

class ValueWalk {
public:
    explicit ValueWalk(CheckState& state) : state_(state) {}

    void run() {
        // Sized once (a value gives at most one leaf, or one value that gives
        // no key), so millions of them are not copied over as the lists grow;
        // what they do not use they never touch.
        state_.leaves.reserve(state_.parsed.spots.size());
        state_.empties.reserve(state_.parsed.spots.size());
        if (state_.parsed.document.IsObject()) state_.topSpots.reserve(state_.parsed.document.MemberCount());
        walk(state_.parsed.document, &state_.schema, 0, false, 0, true);
    }

private:
    struct Walked {
        uint32_t next;  // the spot after the value's subtree
        size_t leaves;  // the keys it gives
    };

    // Recursion depth is bounded by the nesting limit the parse enforces.
    Walked walk(const Value& value, const Value* rule, uint32_t index, bool covered, uint32_t top, bool root) {
        const uint32_t spot = index++;
        if (rule != nullptr && !covered) covered = breaks(value, *rule, spot);
        if (!value.IsObject() && !value.IsArray()) {
            if (!value.IsNull()) {
                state_.leaves.push_back(CheckState::Leaf{spot, top, covered ? 1u : 0u});
                return {index, 1};
            }
            if (rule == nullptr && !covered) state_.empties.push_back(CheckState::Empty{spot, top});
            return {index, 0};
        }
        const size_t emptiesBefore = state_.empties.size();
        size_t leaves = 0;
        if (value.IsObject()) {
            const Value* properties = rule != nullptr && !covered ? member(*rule, "properties") : nullptr;
            for (const auto& entry : value.GetObject()) {
                if (root) {
                    top = static_cast<uint32_t>(state_.topSpots.size());
                    state_.topSpots.push_back(index);
                }
                const Value* childRule = properties != nullptr ? memberByName(*properties, entry.name) : nullptr;
                const Walked child = walk(entry.value, childRule, index, covered, top, false);
                index = child.next;
                leaves += child.leaves;
            }
        } else {
            const Value* items = rule != nullptr && !covered ? member(*rule, "items") : nullptr;
            for (const Value& element : value.GetArray()) {
                const Walked child = walk(element, items, index, covered, top, false);
                index = child.next;
                leaves += child.leaves;
            }
        }
        if (leaves == 0 && !root && rule == nullptr && !covered) {
            state_.empties.resize(emptiesBefore);  // told once, for the outermost value that gives nothing
            state_.empties.push_back(CheckState::Empty{spot, top});
        }
        return {index, leaves};
    }

    // True when the value breaks the rule (and was told).
    bool breaks(const Value& value, const Value& rule, uint32_t spot) {
        if (const Value* type = member(rule, "type")) {
            if (!hasSchemaType(value, *type)) {
                state_.addAtValue(RuleId::WrongType, spot, state_.detail(type), Form::BySchema);
                return true;
            }
        }
        if (const Value* allowed = member(rule, "enum")) {
            const auto options = allowed->GetArray();
            if (std::find(options.begin(), options.end(), value) == options.end()) {
                state_.addAtValue(RuleId::NotAllowed, spot, state_.detail(allowed), Form::BySchema);
                return true;
            }
        }
        return false;
    }

    CheckState& state_;
};

}  // namespace

void checkValues(CheckState& state) { ValueWalk(state).run(); }

}  // namespace vek::lint
