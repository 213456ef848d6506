// Reading the configuration file: what counts as a file, as JSON, and the
// limits that keep any file from harming the host.
#include <gtest/gtest.h>

#if !defined(_WIN32)
#include <sys/resource.h>
#include <unistd.h>
#endif

#include "support/LintVerdict.h"
#include "support/LogCapture.h"
#include "support/Plugin.h"
#include "support/TempFiles.h"

namespace vek::test {
namespace {

using namespace std::string_literals;

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
        {"exponent-like text in a string", R"({"a": "1e-2147483638"})", true},
        {"nesting at the limit", nested('[', ']', 256), true},
        {"nesting beyond the limit", nested('[', ']', 257), false},
        {"number of the longest length", "[0." + std::string(4094, '9') + "]", true},
        {"number one longer", "[9." + std::string(4095, '9') + "]", false},
        {"NUL byte after the value", "{\"perf_hint\": \"high\"}\0garbage {"s, false},
        {"NUL byte after an empty object", "{}\0}}}"s, false},
        {"NUL byte before the value", "\0{}"s, false},
        {"brackets inside strings do not nest", R"({"a": "\")" + std::string(300, '[') + R"("})", true},
        {"surrogate pair", R"({"a": "\ud83d\ude00"})", true},
        {"lone low surrogate", R"({"a": "\udc00"})", false},
        {"low surrogate after a pair", R"({"a": "\ud83d\ude00\udc00"})", false},
        {"lone high surrogate", R"({"a": "\ud800x"})", false},
    };
    for (const JsonCase& c : cases) {
        BackendPtr backend = makeBackend();
        captureLogsOf(*backend);
        const std::string path = writeTempFile(c.content);
        const bool loaded = backend->loadConfigFile(path);
        EXPECT_EQ(lintFindsError(path), !loaded) << "the runner's check disagrees on " << c.name;
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

TEST(ConfigFile, PathsThatNameNoFile) {
    const std::string directory = makeTempDirectory();
    BackendPtr backend = makeBackend();
    captureLogsOf(*backend);
    EXPECT_TRUE(backend->loadConfigFile(""));  // no configuration at all
    EXPECT_TRUE(capturedLines().empty());
    for (const std::string& path : {directory + "/absent.json", directory}) {
        clearCapturedLines();
        EXPECT_FALSE(backend->loadConfigFile(path));
        EXPECT_EQ(capturedLines(), (std::vector<LogLine>{errorLine("Cannot open file %s", "Cannot open file " + path),
                                                          errorLine("Failed parsing config")}));
    }
}

#if !defined(_WIN32)
// With a few file descriptors to spare, a load that kept its file open would
// run out of them long before the last of these loads.
TEST(ConfigFile, EveryLoadClosesItsFile) {
    const std::string good = writeTempFile("{}"), bad = writeTempFile("{");
    BackendPtr backend = makeBackend();
    rlimit saved{};
    ASSERT_EQ(getrlimit(RLIMIT_NOFILE, &saved), 0);
    const int lowestFree = dup(0);
    close(lowestFree);
    rlimit few = saved;
    few.rlim_cur = static_cast<rlim_t>(lowestFree) + 32;
    ASSERT_EQ(setrlimit(RLIMIT_NOFILE, &few), 0);
    int loaded = 0;
    for (int i = 0; i < 100; ++i) loaded += backend->loadConfigFile(good) + !backend->loadConfigFile(bad);
    setrlimit(RLIMIT_NOFILE, &saved);
    EXPECT_EQ(loaded, 200);
}
#endif

// Refused before the parser, which would recurse a million times, sees it.
TEST(ConfigFile, MillionDeepNesting) {
    std::string objects;
    for (int i = 0; i < 1000000; ++i) objects += "{\"a\":";
    BackendPtr backend = makeBackend();
    for (const std::string& content : {nested('[', ']', 1000000), objects + "1" + std::string(1000000, '}')}) {
        captureLogsOf(*backend);
        const std::string path = writeTempFile(content);
        EXPECT_FALSE(backend->loadConfigFile(path));
        EXPECT_EQ(capturedLines().at(0), errorLine(kNotJson, "Input file " + path + " is not valid JSON, check format"));
    }
}

}  // namespace
}  // namespace vek::test
