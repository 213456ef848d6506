// SPDX-FileCopyrightText: 2026 The VekGpuKalderExtensions Authors
// SPDX-License-Identifier: Apache-2.0
// What the language server offers on a document, in process: the quick
// fixes of each rule, applied as an editor applies them.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>

#include "support/Command.h"
#include "support/LspClient.h"
#include "support/TempFiles.h"
#include "Text.h"

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
        // Nor one the file already sets.
        {R"({"graph_names": ["g"], "graph_name": ["h"]})", "unknown-key", {"Remove graph_name"}, R"({"graph_names": ["g"]})"},
        {R"({"perf_hint": " HIGH "})", "not-allowed", {"Write \"high\""}, R"({"perf_hint": "high"})"},
        {R"({"graph_names": ["g"], "precision_mode": "FP16"})", "not-allowed", {"Write \"fp16\""},
         R"({"graph_names": ["g"], "precision_mode": "fp16"})"},
        {R"({"graph_names": ["g"], "tuning_mode": "true"})", "wrong-type", {"Write true"}, R"({"graph_names": ["g"], "tuning_mode": true})"},
        {R"({"graph_names": ["g"], "weight_sharing": 0})", "wrong-type", {"Write false"}, R"({"graph_names": ["g"], "weight_sharing": false})"},
        {R"({"graph_names": ["g"], "device_id": "19"})", "wrong-type", {"Write 19"}, R"({"graph_names": ["g"], "device_id": 19})"},
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

// A request at the cursor of a marked text, opened in a server of its own;
// the answer and the text without its mark.
std::pair<Json, std::string> requestAt(const std::string& method, const std::string& marked) {
    LspClient client;
    client.start();
    const auto [text, position] = cursorIn(marked);
    client.open(kUri, text);
    return {client.request(method, R"({"textDocument":{"uri":")" + kUri + R"("},"position":)" + position + "}"), text};
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
        {R"({perf_h| "tuning_mode": true})", "perf_hint", R"({"perf_hint": "high", "tuning_mode": true})"},
        {R"({"perf_hint": |})", "\"low\"", R"({"perf_hint": "low"})"},
        {R"({"tuning_mode":|})", "true", R"({"tuning_mode":true})"},
        {R"({"perf_hint": "n|"})", "\"normal\"", R"({"perf_hint": "normal"})"},
        {R"({"perf_hint": | "tuning_mode": true})", "\"high\"", R"({"perf_hint": "high", "tuning_mode": true})"},
        {R"({"perf_hint": "low", |})", "perf_hint", ""},
        {R"({"graph_names": [|]})", "perf_hint", ""},
        {R"({"graph_names": ["a"], "x": {|}})", "perf_hint", ""},
    };
    for (const Case& c : cases) {
        const auto [list, text] = requestAt("textDocument/completion", c.marked);
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

namespace vek::test {
namespace {

std::string request(LspClient& client, const std::string& method, const std::string& params = "") {
    return jsonText(client.request(method, R"({"textDocument":{"uri":")" + kUri + "\"}" + (params.empty() ? "" : "," + params) + "}"));
}

// A repeated key and a graph name of an earlier one's identifier point at
// the other place, for a client that takes related places.
TEST(LspFeatures, RelatedPlaces) {
    const std::string text = R"({"perf_hint": "high", "perf_hint": "low", "graph_names": ["net 1", "net_1"]})";
    LspClient client, plain;
    client.start(R"({"textDocument":{"publishDiagnostics":{"relatedInformation":true}}})");
    plain.start();
    const Json published = client.open(kUri, text);
    std::string related, severities;
    for (const auto& d : published["diagnostics"].GetArray()) {
        if (d.HasMember("relatedInformation")) related += jsonText(d["relatedInformation"]);
        severities += std::to_string(d["severity"].GetInt());
    }
    EXPECT_EQ(severities, "222") << "warnings, each";
    EXPECT_EQ(related,
              R"([{"location":{"uri":")" + kUri + R"(","range":{"start":{"line":0,"character":1},"end":{"line":0,"character":12}}},)"
              R"("message":"the first one, which the plug-in reads"}])"
              R"([{"location":{"uri":")" + kUri + R"(","range":{"start":{"line":0,"character":58},"end":{"line":0,"character":65}}},)"
              R"("message":"the earlier graph name of the same identifier"}])");
    EXPECT_EQ(jsonText(plain.open(kUri, text)).find("relatedInformation"), std::string::npos);
}

// After each graph name the identifier it becomes, where it differs; in
// the range asked for only.
TEST(LspFeatures, InlayHintsOfGraphIdentifiers) {
    LspClient client;
    client.start();
    client.open(kUri, "{\"graph_names\": [\"encoder-v2\", \"ok\"],\n \"more_graph_names\": \"9x\", \"perf_hint\": \"a-b\"}");
    const auto range = [](int endLine) {
        return R"("range":{"start":{"line":0,"character":0},"end":{"line":)" + std::to_string(endLine) + R"(,"character":99}})";
    };
    EXPECT_EQ(request(client, "textDocument/inlayHint", range(1)),
              R"([{"position":{"line":0,"character":29},"label":"→ encoder_v2","tooltip":"The identifier the plug-in makes of this graph name","paddingLeft":true},)"
              R"({"position":{"line":1,"character":25},"label":"→ _9x","tooltip":"The identifier the plug-in makes of this graph name","paddingLeft":true}])");
    EXPECT_EQ(request(client, "textDocument/inlayHint", range(0)).find("_9x"), std::string::npos);
    // The strings of an object the plug-in refuses as graph names name no graph.
    LspClient refused;
    refused.start();
    refused.open(kUri, R"({"graph_names": {"a": "x-y"}})");
    EXPECT_EQ(request(refused, "textDocument/inlayHint", range(0)), "[]");
}

// The keys and values nested as the file is, or flat with their
// containers; the lines that fold; the ranges a selection grows through.
TEST(LspFeatures, OutlineFoldingAndSelection) {
    const std::string text = "{\n  \"graph_names\": [\"a\"],\n  \"perf_hint\": \"high\",\n  \"x\": {\n    \"y\": null\n  }\n}\n";
    LspClient nested, flat;
    nested.start(R"({"textDocument":{"documentSymbol":{"hierarchicalDocumentSymbolSupport":true}}})");
    flat.start();
    nested.open(kUri, text);
    flat.open(kUri, text);
    const Json symbols = parseJson(request(nested, "textDocument/documentSymbol"));
    std::string outline;
    const std::function<void(const rapidjson::Value&, const std::string&)> walk = [&](const rapidjson::Value& list, const std::string& indent) {
        for (const auto& symbol : list.GetArray()) {
            outline += indent + symbol["name"].GetString() + " " + std::to_string(symbol["kind"].GetInt()) +
                       (symbol.HasMember("detail") ? std::string(" ") + symbol["detail"].GetString() : "") + "\n";
            if (symbol.HasMember("children")) walk(symbol["children"], indent + "  ");
        }
    };
    walk(symbols, "");
    EXPECT_EQ(outline, "graph_names 18\n  0 15 \"a\"\nperf_hint 15 \"high\"\nx 2\n  y 21 null\n");
    EXPECT_EQ(jsonText(symbols[1]["selectionRange"]), R"({"start":{"line":2,"character":2},"end":{"line":2,"character":13}})");
    const Json list = parseJson(request(flat, "textDocument/documentSymbol"));
    ASSERT_EQ(list.Size(), 5u);
    EXPECT_EQ(std::string(list[4]["name"].GetString()) + " in " + list[4]["containerName"].GetString(), "y in x");

    EXPECT_EQ(request(nested, "textDocument/foldingRange"), R"([{"startLine":0,"endLine":5},{"startLine":3,"endLine":4}])");
    LspClient arrays;
    arrays.start();
    arrays.open(kUri, "{\"graph_names\": [\n  \"a\",\n  \"b\"\n],\n\"x\": 1}");
    EXPECT_EQ(request(arrays, "textDocument/foldingRange"), R"([{"startLine":0,"endLine":3},{"startLine":0,"endLine":2}])");
    const Json chain = parseJson(request(nested, "textDocument/selectionRange", R"("positions":[{"line":2,"character":17}])"));
    std::string ranges;
    for (const rapidjson::Value* at = &chain[0]; at != nullptr; at = at->HasMember("parent") ? &(*at)["parent"] : nullptr) {
        ranges += jsonText((*at)["range"]["start"]) + "-" + jsonText((*at)["range"]["end"]) + " ";
    }
    EXPECT_EQ(ranges, R"({"line":2,"character":15}-{"line":2,"character":21} {"line":2,"character":2}-{"line":2,"character":21} )"
                      R"({"line":0,"character":0}-{"line":6,"character":1} {"line":0,"character":0}-{"line":7,"character":0} )");
}

}  // namespace
}  // namespace vek::test

namespace vek::test {
namespace {

std::string formatted(LspClient& client, const std::string& text, const std::string& options = R"({"tabSize":2,"insertSpaces":true})") {
    client.open(kUri, text);
    const Json edits = client.request("textDocument/formatting", R"({"textDocument":{"uri":")" + kUri + R"("},"options":)" + options + "}");
    if (!edits.IsArray()) {
        ADD_FAILURE() << jsonText(edits);
        return text;
    }
    for (const auto& edit : edits.GetArray()) {
        EXPECT_EQ(std::string(edit["newText"].GetString()).find_first_not_of(" \t\r\n"), std::string::npos) << "only space is written";
    }
    return applyEdits(text, edits);
}

// Each member and element on a line of its own, in the options' indent,
// keeping the text's line ends and its final line break; a range alone; a
// text that is not JSON as it is; twice as once.
TEST(LspFeatures, FormattingChangesOnlySpace) {
    struct Case {
        std::string text, options, expected;
    };
    const std::string twoSpaces = R"({"tabSize":2,"insertSpaces":true})";
    const Case cases[] = {
        {R"({"graph_names":["a","b"],"perf_hint" :"high","x":{},"y":[ ]})", twoSpaces,
         "{\n  \"graph_names\": [\n    \"a\",\n    \"b\"\n  ],\n  \"perf_hint\": \"high\",\n  \"x\": {},\n  \"y\": []\n}"},
        {"{\"a\": {\"b\": 1}}\n", R"({"tabSize":4,"insertSpaces":false})", "{\n\t\"a\": {\n\t\t\"b\": 1\n\t}\n}\n"},
        {"{\"a\": [1]}", R"({"tabSize":4,"insertSpaces":true})", "{\n    \"a\": [\n        1\n    ]\n}"},
        {"{\"a\": 1,\r\n\"b\": 2}\n\n\n", twoSpaces, "{\r\n  \"a\": 1,\r\n  \"b\": 2\r\n}\r\n"},
        {"  {\"a\": 1}", R"({"tabSize":2,"insertSpaces":true,"insertFinalNewline":true})", "{\n  \"a\": 1\n}\n"},
        {R"({"a": True})", twoSpaces, R"({"a": True})"},
        {"[]", twoSpaces, "[]"},
    };
    for (const Case& c : cases) {
        LspClient client;
        client.start();
        const std::string once = formatted(client, c.text, c.options);
        EXPECT_EQ(once, c.expected) << c.text;
        EXPECT_EQ(formatted(client, once, c.options), once) << "formatting twice changes nothing: " << c.text;
    }
    // A range: the space inside it only.
    LspClient client;
    client.start();
    const std::string text = R"({"a":1,"b":{"c":2},"d":3})";
    client.open(kUri, text);
    const Json edits = client.request("textDocument/rangeFormatting", R"({"textDocument":{"uri":")" + kUri +
                                                                         R"("},"range":{"start":{"line":0,"character":11},"end":{"line":0,"character":18}},"options":)" +
                                                                         twoSpaces + "}");
    EXPECT_EQ(applyEdits(text, edits), "{\"a\":1,\"b\": {\n    \"c\": 2\n  },\"d\":3}");
}

// Pulled diagnostics are the pushed ones; a client that pulls is sent none,
// and one that asks again of an unchanged text is told so.
TEST(LspFeatures, PullDiagnosticsEqualThePushedOnes) {
    const std::string text = R"({"perf_hint": "max", "tunning_mode": true, "extra": null})";
    LspClient pushed, pulling;
    pushed.start();
    pulling.start(R"({"textDocument":{"diagnostic":{"dynamicRegistration":false}}})");
    const Json published = pushed.open(kUri, text);
    EXPECT_FALSE(pulling.open(kUri, text).IsObject()) << "nothing is pushed to a client that pulls";
    const Json report = pulling.request("textDocument/diagnostic", R"({"textDocument":{"uri":")" + kUri + "\"}}");
    EXPECT_EQ(std::string(report["kind"].GetString()), "full");
    EXPECT_EQ(jsonText(report["items"]), jsonText(published["diagnostics"]));
    const Json again = pulling.request("textDocument/diagnostic", R"({"textDocument":{"uri":")" + kUri + R"("},"previousResultId":)" +
                                                                      jsonText(report["resultId"]) + "}");
    EXPECT_EQ(std::string(again["kind"].GetString()), "unchanged");
}

// Every fix of a file as one edit, in rounds: a syntax error first, then
// what the check finds behind it; the result is free of every problem a fix
// was for. Asked for by a person at once; by the editor on its own, made
// when it resolves the action.
TEST(LspFeatures, FixAllInOneEdit) {
    const std::string text = R"({"tuning_mode": "true", "extra": null, "precision_mode": "FP16", "devise_id": 1, "x": True})";
    LspClient client;
    client.start(R"({"textDocument":{"codeAction":{"resolveSupport":{"properties":["edit"]}}}})");
    client.open(kUri, text);
    const auto actions = [&](const std::string& context) {
        return client.request("textDocument/codeAction", R"({"textDocument":{"uri":")" + kUri +
                                                             R"("},"range":{"start":{"line":0,"character":0},"end":{"line":0,"character":0}},"context":)" +
                                                             context + "}");
    };
    const Json asked = actions(R"({"diagnostics":[],"only":["source.fixAll"]})");
    ASSERT_EQ(asked.Size(), 1u);
    EXPECT_EQ(std::string(asked[0]["kind"].GetString()), "source.fixAll.vekhost");
    const std::string fixed = applyEdits(text, asked[0]["edit"]["changes"][kUri.c_str()]);
    EXPECT_EQ(fixed, R"({"graph_names": [], "tuning_mode": true, "precision_mode": "fp16", "device_id": 1})");
    EXPECT_EQ(jsonText(client.open("file:///configs/fixed.json", fixed)["diagnostics"]), "[]");

    client.open(kUri, text);
    const Json automatic = actions(R"({"diagnostics":[],"triggerKind":2})");
    ASSERT_EQ(automatic.Size(), 1u);
    EXPECT_FALSE(automatic[0].HasMember("edit"));
    const Json resolved = client.request("codeAction/resolve", jsonText(automatic[0]));
    EXPECT_EQ(applyEdits(text, resolved["edit"]["changes"][kUri.c_str()]), fixed);
    EXPECT_EQ(jsonText(actions(R"({"diagnostics":[],"only":["quickfix"]})")), "[]");
}

}  // namespace
}  // namespace vek::test

namespace vek::test {
namespace {

// What vekhost run --json says of a file, its diagnostics' places and
// words left out (formatting moves them, and changes the space inside the
// values they quote).
// What the runner reports of a file, without where the file lies or where in
// it each diagnostic stands.
std::string runReport(const std::string& folder, const std::string& name) {
    Json report = parseJson(runCommand(std::string(VEK_RUNNER_PATH) + " run --json " + folder + "/" + name, false).output);
    report.RemoveMember("configuration");
    for (auto& d : report["diagnostics"].GetArray()) {
        for (const char* place : {"file", "line", "column", "endLine", "endColumn", "message"}) d.RemoveMember(place);
    }
    return jsonText(report);
}

// Every file of the usual mistakes the plug-in takes, formatted, gives the
// backend library what it gave before.
TEST(LspFeatures, FormattingKeepsWhatThePluginReads) {
    const std::string folder = makeTempDirectory();
    size_t taken = 0;
    for (const auto& file : std::filesystem::directory_iterator(VEK_LINT_CASES)) {
        const std::string name = file.path().filename().string();
        if (runCommand(std::string(VEK_RUNNER_PATH) + " run " + file.path().string(), false).exitCode != 0) continue;
        ++taken;
        std::ifstream in(file.path(), std::ios::binary);
        const std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        if (!lint::isUtf8(text)) continue;  // an editor sends the server UTF-8 only
        LspClient client;
        client.start();
        writeFile(folder + "/" + name, formatted(client, text));
        EXPECT_EQ(runReport(folder, name), runReport(VEK_LINT_CASES, name)) << name;
    }
    EXPECT_GE(taken, 5u);
}

}  // namespace
}  // namespace vek::test

namespace vek::test {
namespace {

// On a key: what it takes and does; on a value: what the plug-in makes of
// it; and what the check says there.
TEST(LspFeatures, Hover) {
    struct Case {
        std::string marked, says;  // a part of the hover's text; empty: no hover
    };
    const Case cases[] = {
        {R"({"perf_|hint": "high"})", "**perf_hint**: one of \"high\", \"normal\" or \"low\""},
        {R"({"graph_names": ["Main |net"]})", "The graph name \"Main net\" becomes the identifier `Main_net`."},
        {R"({"graph_names": ["|"]})", "The graph name \"\" becomes the identifier `_`."},
        {R"({"tunning_mode": t|rue})", "`tunning_mode` is no configuration key: the plug-in reads nothing of it."},
        {R"({"kernel_repo_path": nu|ll})", "The plug-in ignores a null or empty value: `kernel_repo_path` keeps its default."},
        {R"({"perf_hint": "hi|gh"})", "`perf_hint` = `\"high\"`: Sets the performance hint of every context."},
        {R"({"perf_hint": "ma|x"})", "perf_hint is \"max\" (a string), but it must be one of \"high\", \"normal\" or \"low\""},
        {R"({"perf_hint": "high"}|)", ""},
    };
    for (const Case& c : cases) {
        const Json hover = requestAt("textDocument/hover", c.marked).first;
        if (c.says.empty()) {
            EXPECT_TRUE(hover.IsNull()) << c.marked;
            continue;
        }
        ASSERT_TRUE(hover.IsObject()) << c.marked;
        EXPECT_NE(std::string(hover["contents"]["value"].GetString()).find(c.says), std::string::npos) << c.marked << ": " << jsonText(hover);
    }
}

}  // namespace
}  // namespace vek::test
