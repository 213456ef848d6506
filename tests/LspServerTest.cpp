// SPDX-FileCopyrightText: 2026 The VekGpuKalderExtensions Authors
// SPDX-License-Identifier: Apache-2.0
// The language server in process, through the burst loop vekhost lsp runs:
// its lifecycle and error codes, the documents it keeps as they are edited,
// what it publishes and when, cancellation, and the code actions it makes
// of the check's fixes.
#include <gtest/gtest.h>

#include "support/LspClient.h"

namespace vek::test {
namespace {

const std::string kUri = "file:///configs/a.json";

std::string errorCodeOf(const Json& answer) {
    if (!answer.HasMember("id")) return answer.HasMember("method") ? answer["method"].GetString() : "?";
    if (answer.HasMember("result")) return "result";
    return std::to_string(answer["error"]["code"].GetInt()) + " id " + jsonText(answer["id"]);
}

// What the server answers to each message, in one session, as it moves from
// fresh to running to shut down.
TEST(LspServer, LifecycleAndErrorCodes) {
    LspClient client;
    const std::string hover = R"({"textDocument":{"uri":"file:///a.json"},"position":{"line":0,"character":0}})";
    struct Step {
        std::string body;
        std::string answer;  // "result", "CODE id ID", a notification's method, or "" for none
    };
    const Step steps[] = {
        {LspClient::message("textDocument/hover", hover, 1), "-32002 id 1"},
        {LspClient::message("textDocument/didOpen", R"({"textDocument":{"uri":"x","text":"{}"}})"), ""},
        {LspClient::message("shutdown", "null", 2), "-32002 id 2"},
        {LspClient::message("initialize", R"({"capabilities":{}})", 3), "result"},
        {LspClient::message("initialize", R"({"capabilities":{}})", 4), "-32602 id 4"},
        {"not json", "-32700 id null"},
        {"{\"jsonrpc\":\"2.0\",\"id\":5,\"method\":\"\xFF\"}", "-32700 id null"},
        {"[1, 2]", "-32600 id null"},
        {R"({"jsonrpc":"2.0","id":{},"method":"shutdown"})", "-32600 id null"},
        {R"({"id":6,"method":"shutdown"})", "-32600 id 6"},
        {R"({"jsonrpc":"2.0","id":15,"method":7})", "-32600 id 15"},
        {R"({"method":"initialized"})", "window/logMessage"},
        {R"({"jsonrpc":"2.0","id":7})", "-32600 id 7"},
        {R"({"jsonrpc":"2.0","id":8,"result":null})", ""},
        {LspClient::message("no/such", "{}", 9), "-32601 id 9"},
        {R"({"jsonrpc":"2.0","id":"ten","method":"no/such"})", "-32601 id \"ten\""},
        {LspClient::message("no/such", "{}"), ""},
        {LspClient::message("textDocument/hover", "{}", 11), "-32602 id 11"},
        {LspClient::message("textDocument/hover", hover, 12), "-32602 id 12"},
        {LspClient::message("textDocument/hover", R"({"textDocument":{"uri":"x"},"position":{"line":"one","character":0}})", 16), "-32602 id 16"},
        {LspClient::message("textDocument/didChange", R"({"textDocument":{"uri":"file:///b.json"},"contentChanges":[]})"), "window/logMessage"},
        {LspClient::message("shutdown", "null", 13), "result"},
        {LspClient::message("textDocument/hover", hover, 14), "-32600 id 14"},
    };
    for (const Step& step : steps) {
        const std::vector<Json> answers = client.burst({step.body});
        std::string got;
        for (const Json& answer : answers) got += (got.empty() ? "" : ", ") + errorCodeOf(answer);
        EXPECT_EQ(got, step.answer) << step.body;
    }
    EXPECT_FALSE(client.exited());
    client.burst({LspClient::message("exit", "null")});
    EXPECT_EQ(client.exitStatus(), 0);

    // Without shutdown, exit and the end of the stream both end it with 1.
    LspClient rude;
    rude.start();
    rude.burst({LspClient::message("exit", "null")});
    EXPECT_EQ(rude.exitStatus(), 1);
}

// The server's view of a text after edits, seen through what it publishes:
// the same diagnostics as a fresh document of the text the edits should
// make. Each final text holds a mistake whose place tells a wrong edit.
TEST(LspServer, IncrementalEdits) {
    struct Case {
        std::string name, text, encoding, changes, expected;
    };
    const std::string two = "{\n  \"perf_hint\": \"high\"\n}";
    const std::string astral = "{\"graph_names\": [\"\xF0\x9F\x98\x80\"], \"perf_hint\": \"max\"}";
    const auto range = [](int l1, int c1, int l2, int c2) {
        return R"("range":{"start":{"line":)" + std::to_string(l1) + R"(,"character":)" + std::to_string(c1) + R"(},"end":{"line":)" +
               std::to_string(l2) + R"(,"character":)" + std::to_string(c2) + "}}";
    };
    const Case cases[] = {
        {"insert at a line's end", two, "utf-16", "[{" + range(1, 21, 1, 21) + R"(,"text":",\n  \"x\": 1"}])",
         "{\n  \"perf_hint\": \"high\",\n  \"x\": 1\n}"},
        {"a character past the line's end is its end", two, "utf-16", "[{" + range(1, 99, 1, 99) + R"(,"text":", \"y\": 2"}])",
         "{\n  \"perf_hint\": \"high\", \"y\": 2\n}"},
        {"a line past the last is the text's end", two, "utf-16", "[{" + range(99, 0, 99, 0) + R"(,"text":"x"}])", two + "x"},
        {"across lines", two, "utf-16", "[{" + range(0, 1, 2, 0) + R"(,"text":"\"perf_hint\": \"max\""}])", "{\"perf_hint\": \"max\"}"},
        {"after an astral character, in UTF-16 units", astral, "utf-16", "[{" + range(0, 20, 0, 20) + R"(,"text":"a"}])",
         "{\"graph_names\": [\"\xF0\x9F\x98\x80" "a\"], \"perf_hint\": \"max\"}"},
        {"after an astral character, in bytes", astral, "utf-8", "[{" + range(0, 22, 0, 22) + R"(,"text":"a"}])",
         "{\"graph_names\": [\"\xF0\x9F\x98\x80" "a\"], \"perf_hint\": \"max\"}"},
        {"inside an astral character, in UTF-16 units: after it", astral, "utf-16", "[{" + range(0, 19, 0, 19) + R"(,"text":"b"}])",
         "{\"graph_names\": [\"\xF0\x9F\x98\x80" "b\"], \"perf_hint\": \"max\"}"},
        {"an edit below one that added a line", two, "utf-16",
         "[{" + range(1, 21, 1, 21) + R"(,"text":",\n  \"x\": 1"},{)" + range(2, 3, 2, 4) + R"(,"text":"perf_hint"}])",
         "{\n  \"perf_hint\": \"high\",\n  \"perf_hint\": 1\n}"},
        {"several changes in order", two, "utf-16",
         "[{" + range(1, 16, 1, 20) + R"(,"text":"low"},{)" + range(1, 17, 1, 19) + R"(,"text":"OW"}])", "{\n  \"perf_hint\": \"lOW\"\n}"},
        {"a whole text", two, "utf-16", R"([{"text":"[1]"}])", "[1]"},
        {"an edit after a whole text of other lines", two, "utf-16",
         R"([{"text":"{\"a\":\n1,\n\"perf_hint\": 1}"},{)" + range(2, 13, 2, 14) +
             R"(,"text":"\"max\""}])",
         "{\"a\":\n1,\n\"perf_hint\": \"max\"}"},
    };
    for (const Case& c : cases) {
        LspClient client, fresh;
        const std::string capabilities = R"({"general":{"positionEncodings":[")" + c.encoding + R"("]}})";
        client.start(capabilities);
        fresh.start(capabilities);
        client.open(kUri, c.text);
        // Asked between edits, as editors do: the server then knows where the old text's lines start.
        client.request("textDocument/hover", R"({"textDocument":{"uri":")" + kUri + R"("},"position":{"line":1,"character":3}})");
        Json edited = client.change(kUri, c.changes);
        Json opened = fresh.open(kUri, c.expected);
        ASSERT_TRUE(edited.IsObject()) << c.name;
        EXPECT_EQ(jsonText(edited["diagnostics"]), jsonText(opened["diagnostics"])) << c.name;
    }
}

// Diagnostics are published once a burst is answered, once for each
// document it changed, of its newest text and version; closing clears them.
TEST(LspServer, PublicationAfterABurst) {
    LspClient client;
    client.start();
    const auto change = [](int version, const std::string& text) {
        return LspClient::message("textDocument/didChange", R"({"textDocument":{"uri":")" + kUri + R"(","version":)" +
                                                                std::to_string(version) + R"(},"contentChanges":[{"text":")" + text + "\"}]}");
    };
    Json first = client.open(kUri, "{}");
    EXPECT_EQ(first["version"].GetInt(), 1);
    const std::vector<Json> sent = client.burst({change(2, "{\\\"perf_hint\\\": 1}"), change(3, "[]"), change(4, "{\\\"perf_hint\\\": 2}"),
                                                 LspClient::message("textDocument/hover", R"({"textDocument":{"uri":")" + kUri +
                                                                                              R"("},"position":{"line":0,"character":3}})", 5)});
    ASSERT_EQ(sent.size(), 2u);
    EXPECT_EQ(errorCodeOf(sent[0]), "result") << "the request is answered before the check";
    EXPECT_EQ(std::string(sent[1]["method"].GetString()), "textDocument/publishDiagnostics");
    EXPECT_EQ(sent[1]["params"]["version"].GetInt(), 4);
    EXPECT_EQ(std::string(sent[1]["params"]["diagnostics"][0]["message"].GetString()),
              "perf_hint is 2 (an integer), but it must be a string");
    EXPECT_TRUE(client.burst({LspClient::message("textDocument/hover", R"({"textDocument":{"uri":")" + kUri +
                                                                          R"("},"position":{"line":0,"character":3}})", 6)})
                    .size() == 1)
        << "a burst that changes nothing publishes nothing";
    const std::vector<Json> closed = client.burst({LspClient::message("textDocument/didClose", R"({"textDocument":{"uri":")" + kUri + "\"}}")});
    ASSERT_EQ(closed.size(), 1u);
    EXPECT_EQ(jsonText(closed[0]["params"]), R"({"uri":")" + kUri + R"(","diagnostics":[]})");
}

// A request and the $/cancelRequest naming it in one burst: answered as
// cancelled. A cancel in another burst comes too late.
TEST(LspServer, CancellationInsideABurst) {
    LspClient client;
    client.start();
    client.open(kUri, R"({"perf_hint": "high"})");
    const std::string hover = R"({"textDocument":{"uri":")" + kUri + R"("},"position":{"line":0,"character":3}})";
    const auto cancel = [](const std::string& id) { return LspClient::message("$/cancelRequest", R"({"id":)" + id + "}"); };
    std::vector<Json> sent = client.burst({LspClient::message("textDocument/hover", hover, 7), cancel("7"),
                                           R"({"jsonrpc":"2.0","id":"s","method":"textDocument/hover","params":)" + hover + "}", cancel("\"s\"")});
    ASSERT_EQ(sent.size(), 2u);
    EXPECT_EQ(errorCodeOf(sent[0]), "-32800 id 7");
    EXPECT_EQ(errorCodeOf(sent[1]), "-32800 id \"s\"");
    sent = client.burst({cancel("8")});
    EXPECT_TRUE(sent.empty());
    sent = client.burst({LspClient::message("textDocument/hover", hover, 8)});
    ASSERT_EQ(sent.size(), 1u);
    EXPECT_EQ(errorCodeOf(sent[0]), "result") << "a cancel of an earlier burst does not reach a later request";
}

}  // namespace
}  // namespace vek::test
