// Reading the configuration file: what counts as a file, as JSON, and the
// limits that keep any file from harming the host.
#include <gtest/gtest.h>

#include "support/LogCapture.h"
#include "support/Plugin.h"
#include "support/SmallStack.h"
#include "support/TempFiles.h"

namespace vek::test {
namespace {

const char* const kNotJson = "Input file %s is not valid JSON, check format";

bool loggedNotJson() {
    for (const LogLine& line : capturedLines()) {
        if (line.format == kNotJson) return true;
    }
    return false;
}

struct JsonCase {
    const char* name;
    std::string content;
    bool validJson;
};

std::string nested(char open, char close, size_t depth, const std::string& inner = "") {
    return std::string(depth, open) + inner + std::string(depth, close);
}

TEST(ConfigFile, StrictJsonOnly) {
    const JsonCase cases[] = {
        {"empty file", "", false},
        {"whitespace only", " \r\n\t ", false},
        {"byte-order mark", "\xEF\xBB\xBF{}", false},
        {"text after the value", R"({"a": null} x)", false},
        {"two values", R"({"a": null}{})", false},
        {"blank lines after", "{\"a\": null}\n\n\n", true},
        {"CR LF line ends", "{\r\n  \"a\": null\r\n}\r\n", true},
        {"trailing comma in object", R"({"a": 1,})", false},
        {"trailing comma in array", "[1, 2,]", false},
        {"NaN", R"({"a": NaN})", false},
        {"Infinity", R"({"a": Infinity})", false},
        {"line comment", "// note\n{}", false},
        {"block comment", "{} /* note */", false},
        {"single quotes", "{'a': null}", false},
        {"raw control character in string", "{\"a\": \"x\ty\"}", false},
        {"two-byte file", "{}", true},
        {"one-byte file", "7", true},
        {"three-byte truncated", "{\"a", false},
        {"array root", "[1]", true},
        {"string root", "\"text\"", true},
        {"exponent near the int range", R"({"a": 1.00000000001e-2147483638})", false},
        {"exponent near the int range at the root", "1.00000000001e-2147483638", false},
        {"huge positive exponent", R"({"a": 1e2147483647})", false},
        {"exponent of five digits", R"({"a": null, "b": [1e-99999, 1e+00000000000000308]})", true},
        {"exponent of six digits", R"({"a": 1e-100000})", false},
        {"overlong number", "[" + std::string(5000, '1') + "]", false},
        {"exponent-like text in a string", R"({"a": "1e-2147483638"})", true},
        {"nesting at the limit", nested('[', ']', 256), true},
        {"nesting beyond the limit", nested('[', ']', 257), false},
        {"a NUL byte ends the input", std::string("{\"a\": null}") + std::string(1, 0) + std::string(300, '['), true},
        {"brackets inside strings do not nest", R"({"a": ")" + std::string(1000, '[') + R"(\"[{"})", true},
    };
    for (const JsonCase& c : cases) {
        BackendPtr backend = makeBackend();
        captureLogsOf(*backend);
        const std::string path = writeTempFile(c.content);
        const bool loaded = backend->loadConfigFile(path);
        EXPECT_EQ(loggedNotJson(), !c.validJson) << c.name;
        if (!c.validJson) {
            EXPECT_FALSE(loaded) << c.name;
            EXPECT_EQ(capturedLines(),
                      (std::vector<LogLine>{errorLine(kNotJson, "Input file " + path + " is not valid JSON, check format"),
                                            errorLine("Failed parsing config")}))
                << c.name;
        }
    }
}

TEST(ConfigFile, WhatCannotBeOpened) {
    const std::string directory = makeTempDirectory();
    for (const std::string& path : {directory + "/absent.json", directory}) {
        BackendPtr backend = makeBackend();
        captureLogsOf(*backend);
        EXPECT_FALSE(backend->loadConfigFile(path));
        EXPECT_EQ(capturedLines(), (std::vector<LogLine>{errorLine("Cannot open file %s", "Cannot open file " + path),
                                                          errorLine("Failed parsing config")}));
    }
}

TEST(ConfigFile, EmptyPathMeansNoConfiguration) {
    BackendPtr backend = makeBackend();
    captureLogsOf(*backend);
    EXPECT_TRUE(backend->loadConfigFile(""));
    EXPECT_TRUE(capturedLines().empty());
}

TEST(ConfigFile, MillionDeepNestingOnASmallStack) {
    const std::string arrays = writeTempFile(nested('[', ']', 1000000));
    std::string objects;
    objects.reserve(7000000);
    for (int i = 0; i < 1000000; ++i) objects += "{\"a\":";
    objects += "1" + std::string(1000000, '}');
    const std::string objectsPath = writeTempFile(objects);

    BackendPtr backend = makeBackend();
    for (const std::string& path : {arrays, objectsPath}) {
        captureLogsOf(*backend);
        bool loaded = true;
        ASSERT_TRUE(runOnSmallStack(256 * 1024, [&] { loaded = backend->loadConfigFile(path); }));
        EXPECT_FALSE(loaded);
        EXPECT_EQ(capturedLines(),
                  (std::vector<LogLine>{errorLine(kNotJson, "Input file " + path + " is not valid JSON, check format"),
                                        errorLine("Failed parsing config")}));
    }
}

}  // namespace
}  // namespace vek::test
