// SPDX-FileCopyrightText: 2026 The VekGpuKalderExtensions Authors
// SPDX-License-Identifier: Apache-2.0
// Code actions from the fixes the check's diagnostics carry: the server
// finds the published diagnostic the client names and offers its fixes;
// and one action that fixes the whole file.
#include <algorithm>

#include "Features.h"
#include "Text.h"

namespace vek::lsp {
namespace {

bool positionIs(const Value& position, const TextPosition& expected) {
    const auto is = [&](const char* name, uint32_t value) {
        const auto found = position.FindMember(name);
        return found != position.MemberEnd() && found->value.IsUint() && found->value.GetUint() == value;
    };
    return position.IsObject() && is("line", expected.line) && is("character", expected.character);
}

// The published diagnostic the client's one is: the same rule, the same range.
const Shown* published(const DocumentView& document, const Value& diagnostic) {
    const Value* range = optionalObject(diagnostic, "range");
    if (range == nullptr || !diagnostic.HasMember("code") || !diagnostic["code"].IsString()) return nullptr;
    const std::string code = diagnostic["code"].GetString();
    for (const Shown& shown : document.shown) {
        if (code == lint::ruleOf(shown.rule).id && range->HasMember("start") && range->HasMember("end") &&
            positionIs((*range)["start"], shown.range.start) && positionIs((*range)["end"], shown.range.end)) {
            return &shown;
        }
    }
    return nullptr;
}

// {"changes": {URI: [{"range", "newText"}...]}}
void writeEdit(RpcWriter& w, const DocumentView& document, const std::vector<lint::Edit>& edits) {
    w.StartObject();
    w.Key("changes");
    w.StartObject();
    w.Key(document.uri.c_str(), static_cast<rapidjson::SizeType>(document.uri.size()));
    w.StartArray();
    for (const lint::Edit& edit : edits) {
        w.StartObject();
        w.Key("range");
        writeRange(w, document.text.rangeOf(edit.begin, edit.end, document.client.unit));
        w.Key("newText");
        writeString(w, edit.text);
        w.EndObject();
    }
    w.EndArray();
    w.EndObject();
    w.EndObject();
}

void writeQuickFix(RpcWriter& w, const DocumentView& document, const lint::Fix& fix, bool preferred, const Value& diagnostic) {
    w.StartObject();
    w.Key("title");
    writeText(w, fix.title);
    w.Key("kind");
    w.String("quickfix");
    w.Key("isPreferred");
    w.Bool(preferred);
    w.Key("diagnostics");
    w.StartArray();
    diagnostic.Accept(w);
    w.EndArray();
    w.Key("edit");
    writeEdit(w, document, fix.edits);
    w.EndObject();
}

constexpr char kFixAll[] = "source.fixAll.vekhost";
// Fixes that touch what an earlier one changed wait for a round of their
// own, after the text is checked again; a fix that makes another problem
// is followed this many rounds.
constexpr int kFixRounds = 8;

// Whether an action of `kind` is among those asked for: "source" takes
// "source.fixAll.vekhost", as the protocol's kinds nest.
bool asked(const ActionRequest& request, const std::string& kind) {
    if (request.only.empty()) return true;
    return std::any_of(request.only.begin(), request.only.end(), [&](const std::string& only) {
        return kind == only || (kind.size() > only.size() && kind.compare(0, only.size(), only) == 0 && kind[only.size()] == '.');
    });
}

// Whether the edit touches the bytes an edit already taken changes (an
// insertion where another edit starts or ends does not: both are made).
bool overlaps(const lint::Edit& edit, const std::vector<lint::Edit>& taken) {
    return std::any_of(taken.begin(), taken.end(), [&](const lint::Edit& other) { return edit.begin < other.end && other.begin < edit.end; });
}

// The text with every problem's preferred fix made.
std::string fixedText(const std::string& original, const FixesOf& fixesOf) {
    std::string text = original;
    for (int round = 0; round < kFixRounds; ++round) {
        std::vector<lint::Edit> taken;
        for (const lint::Fix& fix : fixesOf(std::make_shared<const std::string>(text))) {
            std::vector<lint::Edit> fresh;
            bool fits = true;
            for (const lint::Edit& edit : fix.edits) {
                const bool again = std::any_of(taken.begin(), taken.end(), [&](const lint::Edit& other) {
                    return other.begin == edit.begin && other.end == edit.end && other.text == edit.text;
                });
                if (again) continue;  // the same member inserted for two problems goes in once
                fits = fits && !overlaps(edit, taken);
                fresh.push_back(edit);
            }
            if (fits) taken.insert(taken.end(), fresh.begin(), fresh.end());
        }
        if (taken.empty()) break;
        // By place; an insertion before a removal that starts where it is.
        std::stable_sort(taken.begin(), taken.end(),
                         [](const lint::Edit& a, const lint::Edit& b) { return a.begin != b.begin ? a.begin < b.begin : a.end < b.end; });
        for (size_t i = taken.size(); i-- > 0;) text.replace(taken[i].begin, taken[i].end - taken[i].begin, taken[i].text);
    }
    return text;
}

// One edit from the text to the fixed one: what lies between their common start and end.
lint::Edit difference(const std::string& before, const std::string& after) {
    size_t start = 0;
    while (start < before.size() && start < after.size() && before[start] == after[start]) ++start;
    size_t tail = 0;
    while (tail < before.size() - start && tail < after.size() - start &&
           before[before.size() - 1 - tail] == after[after.size() - 1 - tail]) {
        ++tail;
    }
    return lint::Edit{start, before.size() - tail, after.substr(start, after.size() - tail - start)};
}

void writeFixAllAction(RpcWriter& w, const DocumentView& document, const FixesOf* fixesOf) {
    w.StartObject();
    w.Key("title");
    w.String("Fix all auto-fixable problems (vekhost)");
    w.Key("kind");
    w.String(kFixAll);
    if (fixesOf != nullptr) {
        w.Key("edit");
        const std::string& text = document.text.text();
        const std::string fixed = fixedText(text, *fixesOf);
        writeEdit(w, document, fixed == text ? std::vector<lint::Edit>{} : std::vector<lint::Edit>{difference(text, fixed)});
    } else {
        // Made when the client resolves the action.
        w.Key("data");
        w.StartObject();
        w.Key("uri");
        writeString(w, document.uri);
        w.EndObject();
    }
    w.EndObject();
}

}  // namespace

void writeCodeActions(RpcWriter& writer, const DocumentView& document, const ActionRequest& request, const FixesOf& fixesOf) {
    writer.StartArray();
    bool fixable = false;
    for (const Shown& shown : document.shown) fixable = fixable || !shown.fixes.empty();
    for (const Value& diagnostic : request.diagnostics.GetArray()) {
        const Shown* shown = asked(request, "quickfix") ? published(document, diagnostic) : nullptr;
        for (size_t i = 0; shown != nullptr && i < shown->fixes.size(); ++i) {
            writeQuickFix(writer, document, shown->fixes[i], i == 0, diagnostic);
        }
    }
    // The whole file's fixes cost a check a round: made now only when a
    // person asked for them or for source actions, otherwise when the
    // client resolves the action, if it can.
    const bool explicitly = request.invoked || !request.only.empty();
    if (fixable && asked(request, kFixAll) && (explicitly || document.client.resolvesEdits)) {
        writeFixAllAction(writer, document, explicitly ? &fixesOf : nullptr);
    }
    writer.EndArray();
}

void writeFixAll(RpcWriter& writer, const DocumentView& document, const FixesOf& fixesOf) { writeFixAllAction(writer, document, &fixesOf); }

}  // namespace vek::lsp
