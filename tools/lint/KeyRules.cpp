// SPDX-FileCopyrightText: 2026 The VekGpuKalderExtensions Authors
// SPDX-License-Identifier: Apache-2.0
// The second pass: every key as the plug-in takes it.
#include <cstring>

#include "BackendExtensions/GPUBackendExtensions/ConfigKeyVerdict.h"
#include "CheckState.h"
#include "SameIdentifiers.h"
#include "SchemaRule.h"
#include "Text.h"

namespace vek::lint {
namespace {

class KeyPass {
public:
    explicit KeyPass(CheckState& state) : state_(state), document_(state.parsed.document) {}

    void run() {
        checkDependencies();
        checkRepeatedKeys();
        checkLeaves();
        checkIdentifiers();
        checkEmpties();
    }

private:
    // The member of the root the plug-in reads for the name of the one at
    // `index`: the first of that name.
    size_t firstOf(size_t index) {
        const auto& first = state_.members.firstOf(document_, state_.topMember(index));
        return static_cast<size_t>(&first - &*document_.MemberBegin());
    }

    void checkDependencies() {
        const Value* dependencies = member(state_.schema, "dependencies");
        if (dependencies == nullptr) return;
        for (size_t m = 0; m < state_.topSpots.size(); ++m) {
            const Value* required = memberByName(*dependencies, state_.topMember(m).name);
            if (required == nullptr || firstOf(m) != m) continue;
            for (const Value& name : required->GetArray()) {
                if (state_.members.find(document_, name) == nullptr) {
                    state_.addAtKey(RuleId::MissingDependency, state_.topSpots[m], state_.detail(required));
                    break;
                }
            }
        }
    }

    void checkRepeatedKeys() {
        for (size_t m = 0; m < state_.topSpots.size(); ++m) {
            const size_t first = firstOf(m);
            if (first != m) state_.addAtKey(RuleId::RepeatedKey, state_.topSpots[m], state_.topSpots[first]);
        }
    }

    // Every leaf as the plug-in takes it: the key it names, the value its
    // lookup finds, and the verdict on that value.
    void checkLeaves() {
        size_t ordinal = 0;
        toldUnknown_.assign(state_.topSpots.size(), false);
        graphNames_.reserve(state_.leaves.size());
        graphNameSpots_.reserve(state_.leaves.size());
        tools::kalder::collectConfigKeys(document_, [&](const std::string& key, const Value& walked,
                                                        tools::kalder::KnownLookup lookup) {
            const CheckState::Leaf leaf = state_.leaves[ordinal++];
            // Told already by the schema's rules, which the plug-in applies first.
            if (leaf.covered) return true;
            const Value* value = tools::kalder::findConfigValue(document_, key, state_.members, lookup);
            const gpu::ConfigKey* entry = gpu::findConfigKey(key);
            // A lookup that lands on another leaf (an earlier member of the
            // same name) is judged at that leaf, which holds the same key.
            if (entry != nullptr && value != nullptr && value != &walked && !value->IsObject() && !value->IsArray()) {
                return true;
            }
            judge(leaf, entry, value, value == &walked);
            return true;
        }, state_.members);
    }

    // `own`: the lookup found the leaf itself.
    void judge(const CheckState::Leaf& leaf, const gpu::ConfigKey* entry, const Value* value, bool own) {
        const auto found = [&] { return own ? kNone : state_.detail(value); };
        switch (gpu::judgeKeyValue(entry, value)) {
            case gpu::KeyVerdict::Taken:
                if (value->IsString()) checkText(*entry, *value, leaf.spot);
                break;
            case gpu::KeyVerdict::Unsupported:
                if (entry == nullptr) {
                    if (!toldUnknown_[leaf.top]) state_.addAtKey(RuleId::UnknownKey, state_.topSpots[leaf.top]);
                    toldUnknown_[leaf.top] = true;
                } else if (value == nullptr) {
                    notFound(leaf.spot);
                } else {
                    state_.addAtValue(RuleId::WrongType, leaf.spot, found(), Form::GraphName);
                }
                break;
            case gpu::KeyVerdict::WrongType:
                if (value == nullptr) notFound(leaf.spot);
                else if (value->IsNumber() && !value->IsDouble()) state_.addAtValue(RuleId::OutOfRange, leaf.spot, found());
                else state_.addAtValue(RuleId::WrongType, leaf.spot, found(), Form::ByKey);
                break;
            case gpu::KeyVerdict::NotAllowed: state_.addAtValue(RuleId::NotAllowed, leaf.spot, found(), Form::ByKey); break;
        }
    }

    // Told at the member's name, or at the element.
    void notFound(uint32_t spot) {
        if (state_.spot(spot).key != kNoKey) state_.addAtKey(RuleId::UnreachableKey, spot);
        else state_.addAtValue(RuleId::UnreachableKey, spot);
    }

    // What the plug-in keeps of a text it takes, where that is not what the file says.
    void checkText(const gpu::ConfigKey& entry, const Value& value, uint32_t spot) {
        const size_t keptLength = std::strlen(value.GetString());  // up to the first NUL, as the plug-in takes it
        if (keptLength < value.GetStringLength()) state_.addAtValue(RuleId::TextCutAtNul, spot);
        if (entry.type != gpu::KeyType::TextList) {
            if (!isUtf8(std::string_view(value.GetString(), keptLength))) state_.addAtValue(RuleId::TextNotUtf8, spot);
            return;
        }
        graphNames_.push_back(&value);
        graphNameSpots_.push_back(spot);
    }

    // Graph names that become another identifier, or the same as an earlier name.
    void checkIdentifiers() {
        const std::vector<uint32_t> earlier = earlierSameIdentifiers(graphNames_);
        for (size_t i = 0; i < graphNames_.size(); ++i) {
            if (earlier[i] == kNone && !identifierDiffers(*graphNames_[i])) continue;
            state_.addAtValue(RuleId::GraphIdentifier, graphNameSpots_[i], earlier[i] == kNone ? kNone : graphNameSpots_[earlier[i]]);
        }
    }

    void checkEmpties() {
        for (const CheckState::Empty& empty : state_.empties) {
            if (empty.top < toldUnknown_.size() && toldUnknown_[empty.top]) continue;  // its key is refused
            state_.addAtValue(RuleId::IgnoredValue, empty.spot);
        }
    }

    CheckState& state_;
    const tools::kalder::ConfigDocument& document_;
    std::vector<bool> toldUnknown_;
    // The graph names the plug-in takes, in the key walk's order, and their spots.
    std::vector<const Value*> graphNames_;
    std::vector<uint32_t> graphNameSpots_;
};

}  // namespace

void checkKeys(CheckState& state) {
    if (state.parsed.document.IsObject()) KeyPass(state).run();  // the plug-in reads no key of anything else
}

}  // namespace vek::lint
