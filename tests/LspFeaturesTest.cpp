// SPDX-FileCopyrightText: 2026 The VekGpuKalderExtensions Authors
// SPDX-License-Identifier: Apache-2.0
// What the language server offers on a document, in process: the quick
// fixes of each rule, applied as an editor applies them.
#include <gtest/gtest.h>

#include <algorithm>

#include "support/LspClient.h"

namespace vek::test {
namespace {

const std::string kUri = "file:///configs/a.json";

std::string codes(const Json& published) {
    std::string out;
    for (const auto& d : published["diagnostics"].GetArray()) out += (out.empty() ? "" : " ") + std::string(d["code"].GetString());
    return out;
}

// The code actions for the published diagnostics of one rule.
Json quickFixes(LspClient& client, const Json& published, const std::string& code) {
    std::string diagnostics;
    for (const auto& d : published["diagnostics"].GetArray()) {
        if (d["code"].GetString() == code) diagnostics += (diagnostics.empty() ? "" : ",") + jsonText(d);
    }
    return client.request("textDocument/codeAction", R"({"textDocument":{"uri":")" + kUri + R"("},"range":{"start":{"line":0,"character":0},)"
                                                     R"("end":{"line":0,"character":0}},"context":{"only":["quickfix"],"diagnostics":[)" + diagnostics + "]}}");
}

// Each rule's fixes: their titles, the preferred first, and the text the
// first makes, which the check then finds free of what it mended.
TEST(LspFeatures, QuickFixesOfEachRule) {
    struct Case {
        std::string text, code;
        std::vector<std::string> titles;
        std::string fixed;
    };
    const Case cases[] = {
        {R"({"tuning_mode": True})", "invalid-json", {"Write true"}, R"({"tuning_mode": true})"},
        {R"({"kernel_repo_path": None})", "invalid-json", {"Write null"}, R"({"kernel_repo_path": null})"},
        {R"({'perf_hint': "low"})", "invalid-json", {"Use double quotes"}, R"({"perf_hint": "low"})"},
        {R"({"perf_hint": 'it\'s "x"'})", "invalid-json", {"Use double quotes"}, R"({"perf_hint": "it's \"x\""})"},
        {"{\n  \"perf_hint\": \"low\",\n  \"kernel_repo_path\": \"k\",\n  \"perf_hint\": \"high\"\n}", "repeated-key",
         {"Remove this repeated \"perf_hint\""}, "{\n  \"perf_hint\": \"low\",\n  \"kernel_repo_path\": \"k\"\n}"},
        {R"({"perf_hint": "low", "perf_hint": "high", "kernel_repo_path": "k"})", "repeated-key", {"Remove this repeated \"perf_hint\""},
         R"({"perf_hint": "low", "kernel_repo_path": "k"})"},
        {R"({"Perf_hint": "low"})", "unknown-key", {"Rename to \"perf_hint\"", "Remove Perf_hint"}, R"({"perf_hint": "low"})"},
        // A suggestion whose key would not take the value is not offered.
        {R"({"Perf_hint": 3, "kernel_repo_path": "k"})", "unknown-key", {"Remove Perf_hint"}, R"({"kernel_repo_path": "k"})"},
        {R"({"frobnicate_all_the_things": 1})", "unknown-key", {"Remove frobnicate_all_the_things"}, R"({})"},
        {R"({"perf_hint": " HIGH "})", "not-allowed", {"Write \"high\""}, R"({"perf_hint": "high"})"},
        {R"({"graph_names": ["g"], "precision_mode": "FP16"})", "not-allowed", {"Write \"fp16\""},
         R"({"graph_names": ["g"], "precision_mode": "fp16"})"},
        {R"({"graph_names": ["g"], "tuning_mode": "true"})", "wrong-type", {"Write true"}, R"({"graph_names": ["g"], "tuning_mode": true})"},
        {R"({"graph_names": ["g"], "weight_sharing": 0})", "wrong-type", {"Write false"}, R"({"graph_names": ["g"], "weight_sharing": false})"},
        {R"({"graph_names": ["g"], "device_id": "3"})", "wrong-type", {"Write 3"}, R"({"graph_names": ["g"], "device_id": 3})"},
        {R"({"graph_names": ["g"], "device_id": 3.0})", "wrong-type", {"Write 3"}, R"({"graph_names": ["g"], "device_id": 3})"},
        {R"({"graph_names": ["g"], "device_id": "3000000000"})", "wrong-type", {}, ""},
        {R"({"graph_names": ["g"], "tuning_mode": "yes"})", "wrong-type", {}, ""},
        {R"({"tuning_mode": true})", "missing-dependency", {"Add \"graph_names\": []"}, R"({"graph_names": [], "tuning_mode": true})"},
        {"{\n  \"performance_cache_dir\": \"/c\"\n}", "missing-dependency", {"Add \"graph_names\": [] and \"tuning_mode\": true"},
         "{\n  \"graph_names\": [],\n  \"tuning_mode\": true,\n  \"performance_cache_dir\": \"/c\"\n}"},
        {R"({"extra": null, "perf_hint": "low"})", "ignored-value", {"Remove extra"}, R"({"perf_hint": "low"})"},
        {R"({"perf_hint": "low", "more": {}})", "ignored-value", {"Remove more"}, R"({"perf_hint": "low"})"},
        {R"({"graph_names": ["g"], "device_id": 3000000000})", "out-of-range", {}, ""},
    };
    for (const Case& c : cases) {
        LspClient client;
        client.start();
        const Json published = client.open(kUri, c.text);
        const Json actions = quickFixes(client, published, c.code);
        std::vector<std::string> titles;
        for (const auto& action : actions.GetArray()) titles.emplace_back(action["title"].GetString());
        EXPECT_EQ(titles, c.titles) << c.text;
        if (titles.empty()) continue;
        EXPECT_TRUE(actions[0]["isPreferred"].GetBool()) << c.text;
        EXPECT_EQ(std::string(actions[0]["kind"].GetString()), "quickfix");
        const std::string fixed = applyEdits(c.text, actions[0]["edit"]["changes"][kUri.c_str()]);
        EXPECT_EQ(fixed, c.fixed) << c.text;
        const std::string after = codes(client.open("file:///configs/fixed.json", fixed));
        EXPECT_EQ(after.find(c.code), std::string::npos) << c.text << " -> " << fixed << ": " << after;
    }
}

// A diagnostic the server did not publish there, or one without a range, gets no fix.
TEST(LspFeatures, QuickFixesOnlyForPublishedDiagnostics) {
    LspClient client;
    client.start();
    client.open(kUri, "{ \"tuning_mode\": True}");
    const Json none = client.request(
        "textDocument/codeAction",
        R"({"textDocument":{"uri":")" + kUri + R"("},"range":{"start":{"line":0,"character":1},"end":{"line":0,"character":1}},)"
        R"("context":{"only":["quickfix"],"diagnostics":[{"range":{"start":{"line":0,"character":1},"end":{"line":0,"character":2}},"code":"invalid-json","message":"x"},)"
        R"({"code":"unknown-key","message":"did you mean \"perf_hint\"?"}]}})");
    EXPECT_EQ(jsonText(none), "[]");
}

}  // namespace
}  // namespace vek::test

namespace vek::test {
namespace {

// The text without its cursor mark, and the cursor's position ("|" marks it; ASCII texts).
std::pair<std::string, std::string> cursorIn(const std::string& marked) {
    const size_t at = marked.find('|');
    const size_t lineStart = marked.rfind('\n', at) == std::string::npos ? 0 : marked.rfind('\n', at) + 1;
    const size_t line = static_cast<size_t>(std::count(marked.begin(), marked.begin() + static_cast<std::ptrdiff_t>(at), '\n'));
    return {marked.substr(0, at) + marked.substr(at + 1),
            R"({"line":)" + std::to_string(line) + R"(,"character":)" + std::to_string(at - lineStart) + "}"};
}

// Completion wherever a member or a value can start, each item valid where
// it lands, no key offered twice.
TEST(LspFeatures, CompletionWhereverAMemberOrValueGoes) {
    struct Case {
        std::string marked, label;
        std::string completed;  // the text with the item taken; empty: the item is not offered
    };
    const Case cases[] = {
        {"{|}", "perf_hint", R"({"perf_hint": "high"})"},
        {"{ | }", "perf_hint", R"({ "perf_hint": "high" })"},
        {"{\n  |\n}", "tuning_mode", "{\n  \"tuning_mode\": false\n}"},
        {R"({"kernel_repo_path": "a",|})", "perf_hint", R"({"kernel_repo_path": "a","perf_hint": "high"})"},
        {R"({"kernel_repo_path": "a", |})", "device_id", R"({"kernel_repo_path": "a", "device_id": 0})"},
        {R"({|"kernel_repo_path": "a"})", "perf_hint", R"({"perf_hint": "high", "kernel_repo_path": "a"})"},
        {"{\"kernel_repo_path\": \"a\"\n  |\n}", "perf_hint", "{\"kernel_repo_path\": \"a\",\n  \"perf_hint\": \"high\"\n}"},
        {R"({"perf_h|"})", "perf_hint", R"({"perf_hint": "high"})"},
        {R"({perf_h|})", "perf_hint", R"({"perf_hint": "high"})"},
        {R"({"perf_h|": "low"})", "perf_hint", R"({"perf_hint": "low"})"},
        {R"({"perf_hint": |})", "\"low\"", R"({"perf_hint": "low"})"},
        {R"({"tuning_mode":|})", "true", R"({"tuning_mode":true})"},
        {R"({"perf_hint": "n|"})", "\"normal\"", R"({"perf_hint": "normal"})"},
        {R"({"perf_hint": | "tuning_mode": true})", "\"high\"", R"({"perf_hint": "high", "tuning_mode": true})"},
        {R"({"perf_hint": "low", |})", "perf_hint", ""},
        {R"({"graph_names": [|]})", "perf_hint", ""},
        {R"({"graph_names": ["a"], "x": {|}})", "perf_hint", ""},
    };
    for (const Case& c : cases) {
        LspClient client;
        client.start();
        const auto [text, position] = cursorIn(c.marked);
        client.open(kUri, text);
        const Json list = client.request("textDocument/completion", R"({"textDocument":{"uri":")" + kUri + R"("},"position":)" + position + "}");
        const rapidjson::Value* item = nullptr;
        for (const auto& candidate : list["items"].GetArray()) {
            if (candidate["label"].GetString() == c.label) item = &candidate;
        }
        if (c.completed.empty()) {
            EXPECT_EQ(item, nullptr) << c.marked;
            continue;
        }
        ASSERT_NE(item, nullptr) << c.marked << ": " << jsonText(list);
        Json edits(rapidjson::kArrayType);
        Json::AllocatorType& allocator = edits.GetAllocator();
        if (item->HasMember("additionalTextEdits")) {
            for (const auto& edit : (*item)["additionalTextEdits"].GetArray()) edits.PushBack(rapidjson::Value(edit, allocator), allocator);
        }
        edits.PushBack(rapidjson::Value((*item)["textEdit"], allocator), allocator);
        EXPECT_EQ(applyEdits(text, edits), c.completed) << c.marked;
    }
}

}  // namespace
}  // namespace vek::test
