// SPDX-FileCopyrightText: 2026 The VekGpuKalderExtensions Authors
// SPDX-License-Identifier: Apache-2.0
// Each format on one fixed list of diagnostics: what it writes of every
// field, and how it escapes what its readers would take otherwise.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <regex>

#include "Formats.h"
#include "support/LspClient.h"

namespace vek::test {
namespace {

lint::Diagnostic diagnostic(lint::RuleId rule, size_t line, size_t column, size_t offset, size_t length, std::string pointer,
                            std::string message, std::vector<std::string> allowed = {}) {
    lint::Diagnostic d;
    d.rule = rule;
    d.severity = lint::ruleOf(rule).severity;
    d.begin = {offset, line, column};
    d.end = {offset + length, line, column + length};
    d.pointer = std::move(pointer);
    d.message = std::move(message);
    d.allowed = std::move(allowed);
    return d;
}

// Two files: one with an error, a warning whose words need escaping and a
// byte that is not UTF-8; one with nothing to say.
using Files = std::vector<std::pair<std::string, std::vector<lint::Diagnostic>>>;
const Files& files() {
    static const Files kFiles = {
        {"conf/a b,c:d.json",
         {diagnostic(lint::RuleId::WrongType, 2, 24, 25, 1, "/graph_names/1", "graph_names/1 is 3 (an integer), but it must be a string", {"string"}),
          diagnostic(lint::RuleId::RepeatedKey, 3, 3, 40, 11, "/a~1b", "100% \"\xFF\" is given again:\nread, the first")}},
        {"good.json", {}},
    };
    return kFiles;
}

const lint::FormatOptions kOptions = {"9.9.9", "https://vek.example/", "", nullptr};

std::string written(lint::Format format, const lint::FormatOptions& options = kOptions, const Files& list = files()) {
    std::FILE* out = std::tmpfile();
    {
        const auto formatter = lint::makeFormatter(format, out, options);
        for (const auto& [name, diagnostics] : list) {
            formatter->startFile(name, diagnostics.empty());
            for (const lint::Diagnostic& d : diagnostics) formatter->diagnostic(d);
            formatter->endFile();
        }
        formatter->finish();
    }
    std::string text(static_cast<size_t>(std::ftell(out)), '\0');
    std::rewind(out);
    text.resize(std::fread(&text[0], 1, text.size(), out));
    std::fclose(out);
    return text;
}

TEST(Formats, TextAndGithub) {
    EXPECT_EQ(written(lint::Format::Text),
              "conf/a b,c:d.json:2:24: error: graph_names/1 is 3 (an integer), but it must be a string\n"
              "conf/a b,c:d.json:3:3: warning: 100% \"\xFF\" is given again:\nread, the first\n");
    EXPECT_EQ(written(lint::Format::Github),
              "::error file=conf/a b%2Cc%3Ad.json,line=2,col=24,endLine=2,endColumn=25,title=wrong-type::graph_names/1 is 3 (an integer), "
              "but it must be a string\n"
              "::warning file=conf/a b%2Cc%3Ad.json,line=3,col=3,endLine=3,endColumn=14,title=repeated-key::100%25 \"\xFF\" is given again:%0Aread, the first\n");
}

TEST(Formats, JsonDocumentPerFile) {
    EXPECT_EQ(written(lint::Format::Json),
              R"({"file":"conf/a b,c:d.json","valid":false,"diagnostics":[)"
              R"({"file":"conf/a b,c:d.json","id":"wrong-type","line":2,"column":24,"endLine":2,"endColumn":25,"severity":"error",)"
              R"("key":"/graph_names/1","message":"graph_names/1 is 3 (an integer), but it must be a string","allowed":["string"]},)"
              R"({"file":"conf/a b,c:d.json","id":"repeated-key","line":3,"column":3,"endLine":3,"endColumn":14,"severity":"warning",)"
              R"("key":"/a~1b","message":"100% \"\\xFF\" is given again:\nread, the first","allowed":[]}]})"
              "\n"
              R"({"file":"good.json","valid":true,"diagnostics":[]})"
              "\n");
}

// One log, one run, the rule table, a result per diagnostic with its region;
// a location relative to the current folder, or to a base URI.
TEST(Formats, SarifLog) {
    const Json log = parseJson(written(lint::Format::Sarif));
    EXPECT_EQ(std::string(log["version"].GetString()), "2.1.0");
    ASSERT_EQ(log["runs"].Size(), 1u);
    const auto& run = log["runs"][0];
    EXPECT_EQ(jsonText(run["tool"]["driver"]["version"]), R"("9.9.9")");
    EXPECT_EQ(run["tool"]["driver"]["rules"].Size(), lint::allRules().size());
    EXPECT_EQ(jsonText(run["tool"]["driver"]["rules"][15]),
              R"({"id":"repeated-key","shortDescription":{"text":"A key is given again; the plug-in reads the first one."},)"
              R"("help":{"text":"Remove the repeated member, or the first one if the later value is meant."},)"
              R"("defaultConfiguration":{"level":"warning"}})");
    EXPECT_EQ(std::string(run["columnKind"].GetString()), "utf16CodeUnits");
    EXPECT_FALSE(run.HasMember("originalUriBaseIds"));
    ASSERT_EQ(run["results"].Size(), 2u);
    EXPECT_EQ(jsonText(run["results"][1]),
              R"({"ruleId":"repeated-key","ruleIndex":15,"level":"warning","message":{"text":"100% \"\\xFF\" is given again:\nread, the first"},)"
              R"("locations":[{"physicalLocation":{"artifactLocation":{"uri":"conf/a%20b%2Cc%3Ad.json"},)"
              R"("region":{"startLine":3,"startColumn":3,"endLine":3,"endColumn":14,"byteOffset":40,"byteLength":11}}}]})");

    const Json based = parseJson(written(lint::Format::Sarif, {"9.9.9", "https://vek.example/", "file:///work/configs", nullptr}));
    EXPECT_EQ(jsonText(based["runs"][0]["originalUriBaseIds"]), R"({"BASE":{"uri":"file:///work/configs/"}})");
    EXPECT_EQ(jsonText(based["runs"][0]["results"][0]["locations"][0]["physicalLocation"]["artifactLocation"]),
              R"({"uri":"conf/a%20b%2Cc%3Ad.json","uriBaseId":"BASE"})");

    // A file outside the current folder: its absolute path (after a drive letter on Windows).
    const Json outside = parseJson(written(lint::Format::Sarif, kOptions, {{"/elsewhere/c.json", files()[0].second}}));
    const std::string uri = outside["runs"][0]["results"][0]["locations"][0]["physicalLocation"]["artifactLocation"]["uri"].GetString();
    EXPECT_TRUE(std::regex_match(uri, std::regex("file:///([A-Za-z]%3A/)?elsewhere/c\\.json"))) << uri;
}

}  // namespace
}  // namespace vek::test
