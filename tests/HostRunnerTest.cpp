// SPDX-FileCopyrightText: 2026 The VekGpuKalderExtensions Authors
// SPDX-License-Identifier: Apache-2.0
// The command-line host runner, run as a user runs it, and its check of a
// configuration file.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>

#include "BackendExtensions/ConfigJson.h"  // first: it sets how RapidJSON allocates
#include <rapidjson/document.h>
#include <rapidjson/prettywriter.h>
#include <rapidjson/stringbuffer.h>

#include "support/Cases.h"
#include "support/Command.h"
#include "support/TempFiles.h"

namespace vek::test {
namespace {

const std::string kRunner = VEK_RUNNER_PATH;
const std::string kExamples = VEK_EXAMPLES_DIR;

bool contains(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

TEST(HostRunner, RunsEveryExample) {
    for (const auto& example : std::filesystem::directory_iterator(kExamples)) {
        if (example.path().extension() != ".json") continue;
        const CommandResult result = runCommand(kRunner + " run " + example.path().string());
        EXPECT_EQ(result.exitCode, 0) << example.path() << "\n" << result.output;
        EXPECT_FALSE(contains(result.output, "ERROR")) << example.path() << "\n" << result.output;
    }
    const CommandResult bundled = runCommand(kRunner + " run --log-level=ERROR");
    EXPECT_EQ(bundled.exitCode, 0) << bundled.output;
    for (const char* line : {"  PerfHint                    HIGH\n", "  KernelRepoPath              \"/tmp/vek-kernels\"\n",
                             "Device: hardware device 1\n"}) {
        EXPECT_TRUE(contains(bundled.output, line)) << line << "\n" << bundled.output;
    }
    EXPECT_FALSE(contains(bundled.output, "INFO")) << "--log-level=ERROR hides info messages";
    // The bundled example named by a plain path: no "..", the platform's separators.
    const size_t line = bundled.output.find("Configuration: ");
    ASSERT_NE(line, std::string::npos) << bundled.output;
    const std::string named = bundled.output.substr(line, bundled.output.find('\n', line) - line);
    EXPECT_FALSE(contains(named, "..")) << named;
#if defined(_WIN32)
    EXPECT_FALSE(contains(named, "/")) << named;
#endif
}

// Every command's output held whole against a file of tests/expected/, so
// a field dropped or a text changed is seen: JSON one document per line,
// held as one array. With VEK_UPDATE_EXPECTED set the files are written
// anew instead (read the diff before committing it).
std::string readText(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

rapidjson::Document jsonLines(const std::string& output) {
    std::string lines = output;
    if (!lines.empty() && lines.back() == '\n') lines.pop_back();
    std::replace(lines.begin(), lines.end(), '\n', ',');
    rapidjson::Document documents;
    EXPECT_FALSE(documents.Parse(("[" + lines + "]").c_str()).HasParseError()) << output;
    return documents;
}

void expectOutput(const std::string& name, const std::string& output) {
    const std::string path = std::string(VEK_EXPECTED_DIR) + "/" + name;
    const bool update = std::getenv("VEK_UPDATE_EXPECTED") != nullptr;
    if (name.size() < 4 || name.substr(name.size() - 4) != ".out") {
        if (update) std::ofstream(path, std::ios::binary) << output;
        EXPECT_EQ(output, readText(path)) << name;
        return;
    }
    rapidjson::Document got = jsonLines(output), want;
    if (!got.IsArray()) return;
    // A SARIF log names the tool's version, which changes with every release.
    for (auto& document : got.GetArray()) {
        if (document.IsObject() && document.HasMember("runs")) document["runs"][0]["tool"]["driver"].RemoveMember("version");
    }
    if (update) {
        rapidjson::StringBuffer buffer;
        rapidjson::PrettyWriter<rapidjson::StringBuffer> writer(buffer);
        writer.SetIndent(' ', 1);
        got.Accept(writer);
        std::ofstream(path, std::ios::binary) << buffer.GetString() << "\n";
    }
    ASSERT_FALSE(want.Parse(readText(path).c_str()).HasParseError()) << path;
    EXPECT_TRUE(got == want) << name << ": " << output;
}

// The backend's path is the build's: named by a placeholder wherever the
// output has it, its separators as Windows writes them ("\\", and "\\\\"
// in JSON) or as POSIX does.
void replaceBackendPath(std::string& output) {
    const std::string backend = VEK_SUBSTITUTE_BACKEND_PATH;
    const auto separator = [](char c) { return c == '/' || c == '\\'; };
    for (size_t start = 0; start < output.size(); ++start) {
        size_t at = start, i = 0;
        while (i < backend.size() && at < output.size()) {
            if (separator(backend[i]) && separator(output[at])) {
                at += output[at] == '\\' && at + 1 < output.size() && output[at + 1] == '\\' ? 2 : 1;
            } else if (backend[i] == output[at]) {
                ++at;
            } else {
                break;
            }
            ++i;
        }
        if (i == backend.size()) output.replace(start, at - start, "{substitute}");
    }
}

TEST(HostRunner, EveryOutputAsData) {
    // Every file of tests/lint, one per usual mistake, checked in one call.
    std::vector<std::string> names;
    for (const auto& file : std::filesystem::directory_iterator(VEK_LINT_CASES)) {
        if (file.path().extension() == ".json") names.push_back(file.path().filename().string());
    }
    std::sort(names.begin(), names.end());
    std::string lintFiles;
    for (const std::string& name : names) lintFiles += " " + name;
    struct Case {
        std::string output;  // its file in tests/expected
        std::string folder;  // where it runs, so the names it prints are short
        std::string arguments;
        std::string devices;  // VEK_SUBSTITUTE_DEVICES, if set
    };
    const std::string lint = VEK_LINT_CASES;
    const std::vector<Case> cases = {
        {"check.txt", lint, "check" + lintFiles, ""},
        // Every file in text and JSON; the other formats, whose every field a
        // test of the formats holds, on two files through the runner.
        {"check-github.txt", lint, "check --format github several-mistakes.json column-after-non-ascii.json", ""},
        {"check-json.out", lint, "check --format json" + lintFiles, ""},
        {"check-sarif.out", lint, "check --format sarif several-mistakes.json column-after-non-ascii.json", ""},
        {"check-sarif-base-uri.out", lint, "check --format sarif --base-uri file:///work/configs several-mistakes.json", ""},
        {"run-example.out", kExamples, "run --json example.json", ""},
        {"run-tuning.out", kExamples, "run --json tuning.json", ""},
        {"run-fp16-two-graphs.out", kExamples, "run --json fp16-two-graphs.json", ""},
        {"run-kernel-repo.out", kExamples, "run --json kernel-repo.json", ""},
        {"run-device-selection.out", kExamples, "run --json device-selection.json", ""},
        {"run-device-problem.out", kExamples, "run --json device-selection.json", "5,7:2"},
        {"run-refused.out", lint, "run --json several-mistakes.json", ""},
        {"run-warnings.out", lint, "run --json graph-identifiers.json", ""},
        {"devices.out", kExamples, "devices --json", "5,-3,7:2"},
        {"keys.out", kExamples, "keys --json", ""},
        {"rules.out", kExamples, "rules --json", ""},
        {"rules.md", kExamples, "rules --format markdown", ""},
    };
    const std::filesystem::path before = std::filesystem::current_path();
    for (const Case& c : cases) {
        std::filesystem::current_path(c.folder);
        if (!c.devices.empty()) setEnv("VEK_SUBSTITUTE_DEVICES", c.devices);
        std::string output = runCommand(kRunner + " " + c.arguments, false).output;
        replaceBackendPath(output);
        expectOutput(c.output, output);
        unsetEnv("VEK_SUBSTITUTE_DEVICES");
    }
    // Wine names the folder it started in by a path it cannot go back to
    // (unix\work\...): the test then ends where its last case ran.
    std::error_code ignored;
    std::filesystem::current_path(before, ignored);
    // The README's list of checks is that table.
    EXPECT_TRUE(contains(readText(VEK_README_PATH), readText(std::string(VEK_EXPECTED_DIR) + "/rules.md"))) << "README, The checks";
}

TEST(HostRunner, PointersColumnsAndSilence) {
    // "key" is the exact JSON Pointer: "~1" for "/", "/" for the empty name, the whole name past a NUL.
    const rapidjson::Document documents =
        jsonLines(runCommand(kRunner + " check --json " + writeTempFile(R"({"a/b": 1, "": 2, "z\u0000y": 3, "t~": [4]})"), false).output);
    std::vector<std::string> keys;
    for (const auto& d : documents[0]["diagnostics"].GetArray()) keys.emplace_back(d["key"].GetString(), d["key"].GetStringLength());
    EXPECT_EQ(keys, (std::vector<std::string>{"/a~1b", "/", std::string("/z\0y", 4), "/t~0"}));

    EXPECT_EQ(runCommand(kRunner + " check " + kExamples + "/tuning.json").output, "") << "silent on a good file";
    // Columns count characters as editors do, or bytes when asked.
    const std::string wide = std::string(VEK_LINT_CASES) + "/column-after-non-ascii.json";
    EXPECT_TRUE(contains(runCommand(kRunner + " check --column-unit=byte " + wide, false).output, wide + ":1:42: error: "));
}

TEST(HostRunner, DevicesAndKeys) {
    setEnv("VEK_SUBSTITUTE_DEVICES", "5,7:2,9");
    CommandResult result = runCommand(kRunner + " devices");
    EXPECT_EQ(result.exitCode, 0) << result.output;
    EXPECT_TRUE(contains(result.output, "Backend API 3.13\nPlatform version 1, 3 hardware device(s):\n"
                                        "  device_id 5, device version 1\n"
                                        "  device_id 7, device version 2 (not selectable: its device record has version 2, not 1)\n"
                                        "  device_id 9, device version 1 (not selectable: a device record before it has a"))
        << result.output;
    // The plug-in falls back to the default device and answers true; the runner says why.
    result = runCommand(kRunner + " run " + writeTempFile(R"({"graph_names": ["g"], "device_id": 7})"));
    unsetEnv("VEK_SUBSTITUTE_DEVICES");
    EXPECT_EQ(result.exitCode, 0) << result.output;
    EXPECT_TRUE(contains(result.output, "device_id 7 names a device of")) << result.output;
    EXPECT_TRUE(contains(result.output, "Device: default (PRIMARY_GPU)")) << result.output;
    result = runCommand(kRunner + " run " + writeTempFile(R"({"graph_names": ["g"], "device_id": 99})"));
    EXPECT_EQ(result.exitCode, 1);
    EXPECT_TRUE(contains(result.output, "device_id 99 matches no hardware device of")) << result.output;
    EXPECT_TRUE(contains(result.output, "; it has 1, 2 (see vekhost devices)")) << result.output;
    // The check's warnings come with run too, before its result.
    result = runCommand(kRunner + " run " + std::string(VEK_LINT_CASES) + "/repeated-key.json", true);
    EXPECT_TRUE(contains(result.output, "warning: \"perf_hint\" is given again")) << result.output;

    // A setting the substitute backend cannot read lists no provider, so nothing passes by accident.
    for (const auto& [name, value] : std::map<std::string, std::string>{{"VEK_SUBSTITUTE_DEVICES", "abc"},
                                                                        {"VEK_SUBSTITUTE_API_VERSION", "junk"},
                                                                        {"VEK_SUBSTITUTE_PLATFORM", "bogus"}}) {
        for (const std::string& bad : {value, std::string(name == "VEK_SUBSTITUTE_DEVICES" ? "4294967296" : "3.x")}) {
            setEnv(name, bad);
            result = runCommand(kRunner + " devices");
            unsetEnv(name);
            EXPECT_EQ(result.exitCode, 1) << name << "=" << bad;
            EXPECT_TRUE(contains(result.output, name + "=\"" + bad + "\" cannot be read")) << result.output;
            EXPECT_TRUE(contains(result.output, "it lists no GPU provider")) << result.output;
        }
    }

    result = runCommand(kRunner + " keys");
    EXPECT_EQ(result.exitCode, 0);
    EXPECT_TRUE(contains(result.output, "device_id (integer from -2147483648 to 2147483647; default 0; needs \"graph_names\")\n"
                                        "    Selects the hardware device by its id\n"))
        << result.output;
}

#if !defined(_WIN32)
// Input that cannot be read twice, several files, "--", and a quiet check:
// what scripts rely on. Each case runs with a temporary folder of its own,
// which must be empty afterwards.
TEST(HostRunner, PipesSeveralFilesAndQuietChecks) {
    const std::string folder = makeTempDirectory();
    const std::string env = "TMPDIR=" + folder + " ";
    const std::string example = kExamples + "/example.json";
    const std::string lint = VEK_LINT_CASES;
    const std::string mistakes = lint + "/several-mistakes.json";
    writeFile(folder + "/-x.json", "{}");
    struct Case {
        std::string command;
        int exitCode;
        std::string says;  // a part of standard output and error; empty: prints nothing
    };
    const Case cases[] = {
        {"printf '{\"perf_hint\":\"high\"}' | " + env + kRunner + " check -", 0, ""},
        {"printf '{\"perf_hint\":\"max\"}' | " + env + kRunner + " check -", 1, "<stdin>:1:14: error: perf_hint is \"max\""},
        {"cat " + example + " | " + env + kRunner + " --log-level off run /dev/stdin", 0, "Device: hardware device 1\n"},
        {"cat " + example + " | " + env + kRunner + " --log-level off run -", 0, "Configuration: <stdin>\n"},
        {"mkfifo " + folder + "/fifo && (cat " + example + " > " + folder + "/fifo &) && " + env + kRunner + " check " + folder + "/fifo", 0, ""},
        {"printf '{\"graph_names\": [' | " + env + kRunner + " check -", 1, "the file ends before the value is complete"},
        {"head -c 100000 /dev/zero | tr '\\000' '\\377' | " + env + kRunner + " check -", 1, "<stdin>:1:1: error: "},
        {"(printf '{\"graph_names\": ['; yes '\"g\",' | head -c 20000000) | " + env + kRunner + " check -", 1, "<stdin>:"},
        {"printf '{}' | TMPDIR=/nonexistent " + kRunner + " check -", 2, "cannot create a temporary file in /nonexistent"},
        {env + kRunner + " check " + mistakes + " " + example + " " + mistakes, 1, "several-mistakes.json:6:21"},
        {"cd " + folder + " && " + env + kRunner + " check -- -x.json", 0, ""},
        {env + kRunner + " check -v " + mistakes, 1, "ERROR Config does not match schema"},
        {env + kRunner + " --log-level 0 run " + example, 0, "Configuration: "},
        // Rules selected: they alone decide, warnings too, without the plug-in.
        {env + kRunner + " check --select invalid-json,repeated-key " + lint + "/repeated-key.json " + lint + "/unknown-key.json", 1,
         "repeated-key.json:1:23: warning: \"perf_hint\" is given again"},
        {env + kRunner + " check --select=invalid-json --plugin /nonexistent " + lint + "/unknown-key.json", 0, ""},
    };
    for (const Case& c : cases) {
        const CommandResult result = runCommand(c.command);
        EXPECT_EQ(result.exitCode, c.exitCode) << c.command << "\n" << result.output;
        if (c.says.empty()) EXPECT_EQ(result.output, "") << c.command;
        else EXPECT_TRUE(contains(result.output, c.says)) << c.command << "\n" << result.output;
        EXPECT_FALSE(contains(result.output, " INFO ")) << c.command << "\n" << result.output;
        std::filesystem::remove(folder + "/fifo");
        size_t left = 0;
        for (const auto& entry : std::filesystem::directory_iterator(folder)) left += entry.path().filename() != "-x.json";
        EXPECT_EQ(left, 0u) << "a temporary file is left behind by " << c.command;
    }
    // The language server as clients start it, with --stdio and the
    // client's process: when that process ends, so does the server, though
    // its input stays open.
    const std::string server = "cd " + folder + "; mkfifo in; sleep 60 > in & writer=$!; sleep 60 & client=$!; (sleep 1; kill $client) & "
                               "start=$(date +%s); " + kRunner + " lsp --stdio --clientProcessId=$client < in > /dev/null; status=$?; "
                               "kill $writer; echo \"exit $status after $(( $(date +%s) - start )) s\"";
    const CommandResult ended = runCommand(server);
    EXPECT_TRUE(ended.output.rfind("exit 1 after ", 0) == 0 && std::stoi(ended.output.substr(13)) < 10) << ended.output;
    std::filesystem::remove(folder + "/in");

    // The README's example, exactly: five lines, nothing on standard error.
    const CommandResult several = runCommand(kRunner + " check " + mistakes);
    EXPECT_EQ(std::count(several.output.begin(), several.output.end(), '\n'), 5) << several.output;
}
#endif

// Bad usage and libraries that cannot be loaded (tests/cases/runner.json).
TEST(HostRunner, ClearErrors) {
    const std::string directory = makeTempDirectory();
    const std::map<std::string, std::string> places = {{"{missing}", directory + "/nothing.so"},
                                                       {"{directory}", directory},
                                                       {"{plugin}", VEK_PLUGIN_PATH},
                                                       {"{substitute}", VEK_SUBSTITUTE_BACKEND_PATH}};
    const tools::kalder::ConfigDocument cases = readCases("runner.json");
    for (const auto& c : cases.GetArray()) {
        std::string arguments = c["args"].GetString();
        for (const auto& [name, place] : places) {
            if (const size_t at = arguments.find(name); at != std::string::npos) arguments.replace(at, name.size(), place);
        }
        const CommandResult result = runCommand(kRunner + " " + arguments);
        EXPECT_EQ(result.exitCode, c["exit"].GetInt()) << arguments << "\n" << result.output;
        EXPECT_TRUE(contains(result.output, c["says"].GetString())) << arguments << "\n" << result.output;
    }
}

}  // namespace
}  // namespace vek::test
