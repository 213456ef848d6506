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
    "schema that cannot be loaded, or standard input that cannot be kept.\n";

}  // namespace

int main(int argc, char** argv) {
    Options options;
    std::string logLevel, columnUnit = "char";
    bool verbose = false;

    CLI::App app{"vekhost: runs the GPU backend extension as a model-runner host does, and checks configuration files.",
                 "vekhost"};
    app.set_version_flag("--version", std::string("vekhost (VekGpuKalderExtensions) ") + VEK_VERSION);
    app.footer(kExitStatus);
    app.require_subcommand(1);
    app.add_flag("--json", options.json, "print every result as JSON, one document per line");
    app.add_flag("-v,--verbose", verbose, "show the plug-in's messages up to info (check shows none by default)");
    app.add_option("--log-level", logLevel,
                   "the most detailed plug-in messages shown: off, error, warn, info, verbose, debug or 0 to 5 "
                   "(default info for run, none for check)")
        ->check(CLI::Validator([](std::string& text) { return levelOf(text) < 0 ? "takes off, error, warn, info, verbose, debug or 0 to 5" : ""; }, ""))
        ->type_name("LEVEL");
    app.add_option("--column-unit", columnUnit, "how check counts columns: char (as editors do, the default) or byte")
        ->check(CLI::IsMember({"char", "byte"}))
        ->type_name("UNIT");
    app.add_option("--plugin", options.plugin, "the plug-in library (default: the one beside vekhost)")->type_name("PATH");
    app.add_option("--backend", options.backend, "the GPU backend library (default: the substitute backend beside vekhost)")
        ->type_name("PATH");
    app.add_option("--schema", options.schema, "the plug-in's configuration schema check reads (default: configSchema.json beside vekhost)")
        ->type_name("PATH");

    CLI::App* run = app.add_subcommand("run", "load CONFIG as a host does and print what the GPU backend library would receive "
                                              "(without CONFIG, the bundled example; - reads standard input)");
    run->add_option("CONFIG", options.configs, "the configuration file")->expected(0, 1)->type_name("");
    CLI::App* check = app.add_subcommand("check", "check each CONFIG as the plug-in reads it and print every problem as "
                                                  "FILE:LINE:COLUMN: error: MESSAGE (- reads standard input)");
    check->add_option("CONFIG", options.configs, "the configuration files")->required()->type_name("");
    CLI::App* devices = app.add_subcommand("devices", "list the GPU backend library's API version and hardware devices");
    CLI::App* keys = app.add_subcommand("keys", "list every configuration key: type, default, what it needs, what it does");
    for (CLI::App* command : {run, check, devices, keys}) command->fallthrough();

    try {
        app.parse(argc, argv);
    } catch (const CLI::ParseError& error) {
        if (error.get_exit_code() == 0) return app.exit(error);
        std::fprintf(stderr, "vekhost: %s\nTry 'vekhost --help'.\n", error.what());
        return 2;
    }

    const bool checking = check->parsed();
    options.logLevel = logLevel.empty() ? (checking ? VEK_LOG_LEVEL_WARN : VEK_LOG_LEVEL_INFO) : std::max(levelOf(logLevel), 1);
    options.printLevel = !logLevel.empty() ? levelOf(logLevel) : verbose || !checking ? VEK_LOG_LEVEL_INFO : 0;
    if (verbose && logLevel.empty()) options.logLevel = std::max(options.logLevel, VEK_LOG_LEVEL_INFO);
    options.columns = columnUnit == "byte" ? ColumnUnit::Byte : ColumnUnit::Char;
    if (options.plugin.empty()) options.plugin = besideExecutable(vek::platform::sharedLibraryFileName("VekGpuKalderExtensions"));
    if (options.backend.empty()) options.backend = besideExecutable(vek::platform::sharedLibraryFileName("VekSubstituteBackend"));
    if (options.schema.empty()) options.schema = besideExecutable("configSchema.json");
    options.example = besideExecutable("examples/example.json");
    options.editorSchema = besideExecutable("configSchema.editor.json");

    if (run->parsed()) return runCommand(options);
    if (checking) return checkCommand(options);
    if (devices->parsed()) return devicesCommand(options);
    return keysCommand(options);
}
