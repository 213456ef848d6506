// SPDX-FileCopyrightText: 2026 The VekGpuKalderExtensions Authors
// SPDX-License-Identifier: Apache-2.0
// vekhost: a command-line host for the GPU backend extension. It loads the
// plug-in and a GPU backend library as a model runner would, shows what the
// plug-in would hand the backend for a configuration file, and checks files
// as the plug-in reads them.
#include <algorithm>
#include <cctype>
#include <cstdio>
#include <fstream>
#include <string>

#include <CLI/CLI.hpp>

#include "log/LogTypes.h"
#include "Commands.h"
#include "platform/DynamicLibrary.h"
#include "platform/Process.h"

namespace {

using namespace vek::host;

// A file installed with vekhost: beside it (build tree), or in the data or
// library directory of an installation.
std::string besideExecutable(const std::string& name) {
    const std::string directory = vek::platform::executableDirectory();
    for (const std::string& candidate :
         {directory + "/" + name, directory + "/../share/VekGpuKalderExtensions/" + name, directory + "/../lib/" + name}) {
        if (std::ifstream(candidate).good()) return candidate;
    }
    return directory + "/" + name;
}

// "error" to "debug" or 1 to 5, any case; "off" or 0 for none.
int32_t levelOf(std::string text) {
    static const char* const kNames[] = {"off", "error", "warn", "info", "verbose", "debug"};
    std::transform(text.begin(), text.end(), text.begin(), [](unsigned char c) { return std::tolower(c); });
    for (int32_t i = 0; i <= 5; ++i) {
        if (text == kNames[i] || text == std::to_string(i)) return i;
    }
    return -1;
}

const char kExitStatus[] =
    "\nExit status: 0 success; 1 a hook answered false or a file was refused; 2 bad usage, a library or\n"
    "schema that cannot be loaded, or standard input that cannot be kept. lsp: 0 after shutdown and exit,\n"
    "1 otherwise.\n";

// The options each command reads, given to the command itself so its own
// help lists them, and to vekhost as well so they may come before the command.
struct Settings {
    Options options;
    std::string logLevel, columnUnit = "char", format = "text";
    bool verbose = false;
};

void addJson(CLI::App& app, Settings& s) {
    app.add_flag("--json", s.options.json, "print every result as JSON, one document per line");
}
void addLogging(CLI::App& app, Settings& s) {
    app.add_flag("-v,--verbose", s.verbose, "show the plug-in's messages up to info (check shows none by default)");
    app.add_option("--log-level", s.logLevel,
                   "the most detailed plug-in messages shown: off, error, warn, info, verbose, debug or 0 to 5 "
                   "(default info for run, none for check)")
        ->check(CLI::Validator([](std::string& text) { return levelOf(text) < 0 ? "takes off, error, warn, info, verbose, debug or 0 to 5" : ""; }, ""))
        ->type_name("LEVEL");
}
void addColumns(CLI::App& app, Settings& s) {
    app.add_option("--column-unit", s.columnUnit, "how check counts columns: char (as editors do, the default) or byte")
        ->check(CLI::IsMember({"char", "byte"}))
        ->type_name("UNIT");
}
void addPlugin(CLI::App& app, Settings& s) {
    app.add_option("--plugin", s.options.plugin, "the plug-in library (default: the one beside vekhost)")->type_name("PATH");
}
void addBackend(CLI::App& app, Settings& s) {
    app.add_option("--backend", s.options.backend, "the GPU backend library (default: the substitute backend beside vekhost)")
        ->type_name("PATH");
}
void addSchema(CLI::App& app, Settings& s) {
    app.add_option("--schema", s.options.schema, "the plug-in's configuration schema the check reads (default: configSchema.json beside vekhost)")
        ->type_name("PATH");
}

}  // namespace

int main(int argc, char** argv) {
    // Standard error is written in blocks, not a write a line: a load may
    // log a line per graph name of a large file. The commands flush it
    // before they write to standard output, and the exit flushes the rest.
    static char errorBuffer[1 << 16];
    std::setvbuf(stderr, errorBuffer, _IOFBF, sizeof errorBuffer);
    Settings s;
    Options& options = s.options;

    CLI::App app{"vekhost: runs the GPU backend extension as a model-runner host does, and checks configuration files.",
                 "vekhost"};
    app.set_version_flag("--version", std::string("vekhost (VekGpuKalderExtensions) ") + VEK_VERSION);
    app.footer(kExitStatus);
    app.require_subcommand(0, 1);
    for (const auto add : {addJson, addLogging, addColumns, addPlugin, addBackend, addSchema}) add(app, s);

    CLI::App* run = app.add_subcommand("run", "load CONFIG as a host does and print what the GPU backend library would receive "
                                              "(without CONFIG, the bundled example; - reads standard input)");
    run->add_option("CONFIG", options.configs, "the configuration file")->expected(0, 1)->type_name("");
    for (const auto add : {addJson, addLogging, addColumns, addPlugin, addBackend, addSchema}) add(*run, s);

    CLI::App* check = app.add_subcommand("check", "check each CONFIG as the plug-in reads it and print every problem as "
                                                  "FILE:LINE:COLUMN: error: MESSAGE (- reads standard input)");
    check->add_option("CONFIG", options.configs, "the configuration files")->required()->type_name("");
    check->add_option("--format", s.format,
                      "text (FILE:LINE:COLUMN: lines, the default), json (as --json), sarif (one SARIF 2.1.0 log) or "
                      "github (GitHub Actions annotations)")
        ->check(CLI::IsMember({"text", "json", "sarif", "github"}))
        ->type_name("FORMAT");
    check->add_option("--base-uri", options.baseUri, "sarif: locations relative to this URI, which stands for the current folder")
        ->type_name("URI");
    for (const auto add : {addJson, addLogging, addColumns, addPlugin, addSchema}) add(*check, s);

    CLI::App* devices = app.add_subcommand("devices", "list the GPU backend library's API version and hardware devices");
    for (const auto add : {addJson, addBackend}) add(*devices, s);
    CLI::App* keys = app.add_subcommand("keys", "list every configuration key: type, default, what it needs, what it does");
    addJson(*keys, s);
    CLI::App* rules = app.add_subcommand("rules", "list every check that check makes: id, severity, what it finds, what to do");
    std::string rulesFormat = "text";
    rules->add_option("--format", rulesFormat, "text (the default), json (as --json) or markdown (the README's table)")
        ->check(CLI::IsMember({"text", "json", "markdown"}))
        ->type_name("FORMAT");
    addJson(*rules, s);
    CLI::App* lsp = app.add_subcommand("lsp", "serve the Language Server Protocol on standard input and output: the check's "
                                              "diagnostics as you type, hover, completion and quick fixes, for an editor to start");
    for (const auto add : {addLogging, addPlugin, addSchema}) add(*lsp, s);
    for (CLI::App* command : {run, check, devices, keys, rules, lsp}) command->fallthrough();
    // Words no command takes reach vekhost, which names them.
    app.allow_extras();
    for (CLI::App* command : {run, check, devices, keys, rules, lsp}) command->allow_extras(false);

    try {
        app.parse(argc, argv);
    } catch (const CLI::ParseError& error) {
        if (error.get_exit_code() == 0) return app.exit(error);
        std::fprintf(stderr, "vekhost: %s\nTry 'vekhost --help'.\n", error.what());
        return 2;
    }
    const bool commanded = !app.get_subcommands().empty();
    if (!app.remaining().empty()) {
        const std::string word = app.remaining().front();
        if (commanded || word.rfind('-', 0) == 0) {
            std::fprintf(stderr, "vekhost: The following argument was not expected: %s\nTry 'vekhost --help'.\n", word.c_str());
        } else {
            std::fprintf(stderr, "vekhost: '%s' is not a vekhost command; the commands are run, check, devices, keys, rules and lsp\n"
                                 "Try 'vekhost --help'.\n", word.c_str());
        }
        return 2;
    }
    if (!commanded) {
        std::fprintf(stderr, "vekhost: a command is required: run, check, devices, keys, rules or lsp\nTry 'vekhost --help'.\n");
        return 2;
    }

    const bool checking = check->parsed() || lsp->parsed();
    options.logLevel = s.logLevel.empty() ? (checking ? VEK_LOG_LEVEL_WARN : VEK_LOG_LEVEL_INFO) : std::max(levelOf(s.logLevel), 1);
    options.printLevel = !s.logLevel.empty() ? levelOf(s.logLevel) : s.verbose || !checking ? VEK_LOG_LEVEL_INFO : 0;
    if (s.verbose && s.logLevel.empty()) options.logLevel = std::max(options.logLevel, VEK_LOG_LEVEL_INFO);
    options.columns = s.columnUnit == "byte" ? vek::lint::ColumnUnit::Byte : vek::lint::ColumnUnit::Char;
    vek::lint::formatNamed(s.format, options.format);
    // SARIF counts columns in UTF-16 code units, as its log says.
    if (options.format == vek::lint::Format::Sarif) options.columns = vek::lint::ColumnUnit::Char;
    options.rulesFormat = rulesFormat == "json" ? RulesFormat::Json : rulesFormat == "markdown" ? RulesFormat::Markdown : RulesFormat::Text;
    if (options.plugin.empty()) options.plugin = besideExecutable(vek::platform::sharedLibraryFileName("VekGpuKalderExtensions"));
    if (options.backend.empty()) options.backend = besideExecutable(vek::platform::sharedLibraryFileName("VekSubstituteBackend"));
    if (options.schema.empty()) options.schema = besideExecutable("configSchema.json");
    options.example = besideExecutable("examples/example.json");
    options.editorSchema = besideExecutable("configSchema.editor.json");

    if (run->parsed()) return runCommand(options);
    if (check->parsed()) return checkCommand(options);
    if (devices->parsed()) return devicesCommand(options);
    if (rules->parsed()) return rulesCommand(options);
    if (lsp->parsed()) return lspCommand(options);
    return keysCommand(options);
}
