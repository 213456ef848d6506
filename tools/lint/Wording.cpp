// SPDX-FileCopyrightText: 2026 The VekGpuKalderExtensions Authors
// SPDX-License-Identifier: Apache-2.0
#include "Wording.h"

#include <algorithm>
#include <cstring>

#include "BackendExtensions/JsonTypeName.h"
#include "Text.h"

namespace vek::lint {
namespace {

// Names longer than this many times the longest key get no suggestion: no
// spelling slip makes a key that long, and comparing costs their length.
constexpr size_t kSuggestedLengthFactor = 2;

std::vector<std::string> knownKeys() {
    std::vector<std::string> keys;
    for (const gpu::ConfigKey& key : gpu::kConfigKeys) keys.emplace_back(key.name);
    return keys;
}

}  // namespace

std::string withArticle(const std::string& type) {
    if (type == "null") return "null";
    const bool vowel = type == "integer" || type == "object" || type == "array";
    return (vowel ? "an " : "a ") + type;
}

Vocabulary::Vocabulary(const ParsedText& parsed, const Value& schema, const std::vector<const void*>& details)
    : parsed_(parsed), schema_(schema), details_(details), suggester_(knownKeys()) {
    for (const gpu::ConfigKey& key : gpu::kConfigKeys) longestKey_ = std::max(longestKey_, std::strlen(key.name));
}

std::string Vocabulary::suggestion(const std::string& name) const {
    return name.size() <= kSuggestedLengthFactor * longestKey_ ? suggester_.closest(name) : std::string();
}

bool Vocabulary::holds(const gpu::ConfigKey& key) const {
    // One pass over the root's members, the first time it is asked.
    if (held_.empty()) {
        held_.assign(std::size(gpu::kConfigKeys), false);
        if (parsed_.document.IsObject()) {
            for (const auto& member : parsed_.document.GetObject()) {
                const std::string_view name(member.name.GetString(), member.name.GetStringLength());
                for (size_t i = 0; i < held_.size(); ++i) held_[i] = held_[i] || name == gpu::kConfigKeys[i].name;
            }
        }
    }
    return held_[static_cast<size_t>(&key - gpu::kConfigKeys)];
}

const std::string Wording::kNoKey;

Wording::Wording(const Vocabulary& vocabulary, const Finding& finding, const Subject& subject, bool details, Diagnostic& out)
    : vocabulary_(&vocabulary), finding_(finding), subject_(subject), text_(vocabulary.parsed().text), details_(details), out_(out) {}

Wording::Wording(std::string_view text, std::string_view found, size_t at, bool details, Diagnostic& out)
    : subject_{nullptr, nullptr, kNoKey, at, 0}, text_(text), found_(found), details_(details), out_(out) {}

const Value& Wording::detail() const {
    return finding_.other == kNone ? value() : *static_cast<const Value*>(vocabulary_->detail(finding_.other));
}

void Wording::source(size_t offset) { appendSourceText(out_.message, text_, offset); }

void Wording::shown(std::string_view text) { appendPrintable(out_.message, text, kShownChars); }

void Wording::subject(const Value& value) {
    std::string& out = out_.message;
    if (key().empty()) {
        out += "the file holds ";
        out += withArticle(tools::kalder::jsonTypeName(value));
        return;
    }
    shown(key());
    if (value.IsNull()) {
        out += " is null";
        return;
    }
    out += " is ";
    source(at());
    out += " (";
    out += withArticle(tools::kalder::jsonTypeName(value));
    out += ')';
}

void Wording::fix(std::string title, std::vector<Edit> edits) {
    if (details_) out_.fixes.push_back(Fix{std::move(title), std::move(edits)});
}

void Wording::relate(size_t begin, std::string message) {
    if (details_) out_.related.push_back(Related{begin, tokenEnd(text_, begin), std::move(message)});
}

}  // namespace vek::lint
