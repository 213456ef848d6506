// SPDX-FileCopyrightText: 2026 The VekGpuKalderExtensions Authors
// SPDX-License-Identifier: Apache-2.0
// vekhost: a command-line host for the GPU backend extension. It loads the
// plug-in and a GPU backend library as a model runner would, shows what the
// plug-in would hand the backend for a configuration file, and checks files
// as the plug-in reads them.
#include <algorithm>
#include <cctype>
#include <cstdio>
#include <string>
#include <vector>

#include <CLI/CLI.hpp>

#include "log/LogTypes.h"
#include "Commands.h"
#include "Installed.h"
#include "Rules.h"
#include "Text.h"

namespace {

using namespace vek::host;

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

// What the options set, before the defaults are filled in.
struct Settings {
    Options options;
    std::string logLevel, columnUnit = "char", format = "text", rulesFormat = "text";
    std::vector<std::string> select;
    bool verbose = false;
};

using AddOptions = void (*)(CLI::App& app, Settings& s);

void addJson(CLI::App& app, Settings& s) { app.add_flag("--json", s.options.json, "print every result as JSON, one document per line"); }
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
void addRunConfig(CLI::App& app, Settings& s) {
    app.add_option("CONFIG", s.options.configs, "the configuration file")->expected(0, 1)->type_name("");
}
void addCheckConfigs(CLI::App& app, Settings& s) {
    app.add_option("CONFIG", s.options.configs, "the configuration files")->required()->type_name("");
}
void addCheckFormat(CLI::App& app, Settings& s) {
    app.add_option("--format", s.format,
                   "text (FILE:LINE:COLUMN: lines, the default), json (as --json), sarif (one SARIF 2.1.0 log) or "
                   "github (GitHub Actions annotations)")
        ->check(CLI::IsMember(vek::lint::formatNames()))
        ->type_name("FORMAT");
    app.add_option("--base-uri", s.options.baseUri, "sarif: locations relative to this URI, which stands for the current folder")
        ->type_name("URI");
}
void addSelect(CLI::App& app, Settings& s) {
    std::vector<std::string> ids;
    for (const vek::lint::Rule& rule : vek::lint::allRules()) ids.emplace_back(rule.id);
    app.add_option("--select", s.select,
                   "only these rules, comma-separated (vekhost rules lists them): the plug-in is not asked, and any "
                   "diagnostic of theirs, warnings too, refuses the file")
        ->delimiter(',')
        ->allow_extra_args(false)
        ->check(CLI::IsMember(ids))
        ->type_name("RULE,...");
}
void addRulesFormat(CLI::App& app, Settings& s) {
    app.add_option("--format", s.rulesFormat, "text (the default), json (as --json) or markdown (the README's table)")
        ->check(CLI::IsMember({"text", "json", "markdown"}))
        ->type_name("FORMAT");
}
void addStdio(CLI::App& app, Settings& s) {
    app.add_flag("--stdio", "serve on standard input and output (the only way it serves; clients ask for it)");
    app.add_option("--clientProcessId", s.options.clientProcessId, "the editor's process: the server exits when it is gone")
        ->type_name("PID");
}

struct Command {
    const char* name;
    const char* description;
    std::vector<AddOptions> options;  // each command's help lists its own
    int (*run)(const Options& options);
    bool checks;  // a check: the plug-in's messages are not printed unless asked for
};

const Command kCommands[] = {
    {"run", "load CONFIG as a host does and print what the GPU backend library would receive (without CONFIG, the "
            "bundled example; - reads standard input)",
     {addRunConfig, addJson, addLogging, addColumns, addPlugin, addBackend, addSchema}, runCommand, false},
    {"check", "check each CONFIG as the plug-in reads it and print every problem as FILE:LINE:COLUMN: error: MESSAGE "
              "(- reads standard input)",
     {addCheckConfigs, addCheckFormat, addSelect, addJson, addLogging, addColumns, addPlugin, addSchema}, checkCommand, true},
    {"devices", "list the GPU backend library's API version and hardware devices", {addJson, addBackend}, devicesCommand, false},
    {"keys", "list every configuration key: type, default, what it needs, what it does", {addJson}, keysCommand, false},
    {"rules", "list every check that check makes: id, severity, what it finds, what to do", {addRulesFormat, addJson},
     rulesCommand, false},
    {"lsp", "serve the Language Server Protocol on standard input and output: the check's diagnostics as you type, "
            "hover, completion and quick fixes, for an editor to start",
     {addLogging, addPlugin, addSchema, addStdio}, lspCommand, true},
};

// "run, check, devices, keys, rules and lsp".
std::string commandNames(const char* last) {
    std::vector<std::string> names;
    for (const Command& command : kCommands) names.emplace_back(command.name);
    return vek::lint::joinList(names, ", ", last);
}

int usage(const std::string& problem) {
    std::fprintf(stderr, "vekhost: %s\nTry 'vekhost --help'.\n", problem.c_str());
    return 2;
}

// The defaults the options left open.
void finish(Settings& s, const Command& command) {
    Options& options = s.options;
    options.logLevel = s.logLevel.empty() ? (command.checks ? VEK_LOG_LEVEL_WARN : VEK_LOG_LEVEL_INFO) : std::max(levelOf(s.logLevel), 1);
    options.printLevel = !s.logLevel.empty() ? levelOf(s.logLevel) : s.verbose || !command.checks ? VEK_LOG_LEVEL_INFO : 0;
    if (s.verbose && s.logLevel.empty()) options.logLevel = std::max(options.logLevel, VEK_LOG_LEVEL_INFO);
    options.columns = s.columnUnit == "byte" ? vek::lint::ColumnUnit::Byte : vek::lint::ColumnUnit::Char;
    vek::lint::formatNamed(s.format, options.format);
    // SARIF counts columns in UTF-16 code units, as its log says.
    if (options.format == vek::lint::Format::Sarif) options.columns = vek::lint::ColumnUnit::Char;
    options.rulesFormat = s.rulesFormat == "json" ? RulesFormat::Json : s.rulesFormat == "markdown" ? RulesFormat::Markdown : RulesFormat::Text;
    for (const std::string& id : s.select) {
        for (const vek::lint::Rule& rule : vek::lint::allRules()) {
            if (id == rule.id) options.select.push_back(rule.rule);
        }
    }
    if (options.plugin.empty()) options.plugin = installedFile(sharedLibraryName("VekGpuKalderExtensions"));
    if (options.backend.empty()) options.backend = installedFile(sharedLibraryName("VekSubstituteBackend"));
    if (options.schema.empty()) options.schema = installedFile("configSchema.json");
    options.example = installedFile("examples/example.json");
    options.editorSchema = installedFile("configSchema.editor.json");
}

}  // namespace

int main(int argc, char** argv) {
    // Standard error is written in blocks, not a write a line: a load may
    // log a line per graph name of a large file. The commands flush it
    // before they write to standard output, and the exit flushes the rest.
    static char errorBuffer[1 << 16];
    std::setvbuf(stderr, errorBuffer, _IOFBF, sizeof errorBuffer);
    Settings s;
    CLI::App app{"vekhost: runs the GPU backend extension as a model-runner host does, and checks configuration files.",
                 "vekhost"};
    app.set_version_flag("--version", std::string("vekhost (VekGpuKalderExtensions) ") + VEK_VERSION);
    app.footer(kExitStatus);
    app.require_subcommand(0, 1);
    // Options may also come before the command: vekhost takes those every command shares.
    for (const AddOptions add : {addJson, addLogging, addColumns, addPlugin, addBackend, addSchema}) add(app, s);
    std::vector<CLI::App*> apps;
    for (const Command& command : kCommands) {
        CLI::App* sub = app.add_subcommand(command.name, command.description);
        for (const AddOptions add : command.options) add(*sub, s);
        sub->fallthrough();
        apps.push_back(sub);
    }
    // Words no command takes reach vekhost, which names them.
    app.allow_extras();
    try {
        app.parse(argc, argv);
    } catch (const CLI::ParseError& error) {
        if (error.get_exit_code() == 0) return app.exit(error);
        return usage(error.what());
    }
    const auto chosen = std::find_if(apps.begin(), apps.end(), [](const CLI::App* sub) { return sub->parsed(); });
    if (!app.remaining().empty()) {
        const std::string word = app.remaining().front();
        if (chosen != apps.end() || word.rfind('-', 0) == 0) return usage("The following argument was not expected: " + word);
        return usage("'" + word + "' is not a vekhost command; the commands are " + commandNames(" and "));
    }
    if (chosen == apps.end()) return usage("a command is required: " + commandNames(" or "));
    const Command& command = kCommands[chosen - apps.begin()];
    finish(s, command);
    return command.run(s.options);
}
