// vekhost: a command-line host for the GPU backend extension. It loads the
// plug-in and a GPU backend library as a model runner would, and shows what
// the plug-in would hand the backend for a configuration file.
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <string>

#include "Explain.h"
#include "HostSession.h"
#include "LogSink.h"
#include "platform/DynamicLibrary.h"
#include "platform/Process.h"

namespace {

using namespace vek::host;

const char kUsage[] =
    "Usage: vekhost [options] run [CONFIG]\n"
    "       vekhost [options] check CONFIG\n"
    "\n"
    "  run CONFIG     load CONFIG as a host does and print what the GPU backend\n"
    "                 library would receive: backend and context options, graphs\n"
    "                 with their option block, the selected device. Without\n"
    "                 CONFIG, runs the bundled example.\n"
    "  check CONFIG   load and validate CONFIG only; exit 0 when it is good, 1\n"
    "                 when not, with the reason in plain words.\n"
    "\n"
    "Options:\n"
    "  --json              print the result of run as one JSON document\n"
    "  --log-level LEVEL   the most detailed messages shown: error, warn, info\n"
    "                      (default), verbose, debug, or 1 to 5\n"
    "  --plugin PATH       the plug-in library (default: the one beside vekhost)\n"
    "  --backend PATH      the GPU backend library run binds to (default: the\n"
    "                      substitute backend beside vekhost)\n"
    "  --schema PATH       the configuration schema check explains with\n"
    "                      (default: configSchema.json beside vekhost)\n"
    "  -h, --help          show this text\n"
    "\n"
    "Exit status: 0 success, 1 a hook answered false or the file was refused,\n"
    "2 bad usage or a library that cannot be loaded.\n";

struct Options {
    std::string command;
    std::string config;
    bool json = false;
    int32_t logLevel = 3;
    std::string plugin;
    std::string backend;
    std::string schema;
};

bool exists(const std::string& path) { return std::ifstream(path).good(); }

// A file installed with vekhost: beside it (build tree), or in the data
// directory of an installation.
std::string besideExecutable(const std::string& name) {
    const std::string directory = vek::platform::executableDirectory();
    for (const std::string& candidate :
         {directory + "/" + name, directory + "/../share/VekGpuKalderExtensions/" + name, directory + "/../lib/" + name}) {
        if (exists(candidate)) return candidate;
    }
    return directory + "/" + name;
}

bool parseLevel(const std::string& text, int32_t& level) {
    static const char* const kNames[] = {"error", "warn", "info", "verbose", "debug"};
    for (int32_t i = 0; i < 5; ++i) {
        if (text == kNames[i] || text == std::to_string(i + 1)) {
            level = i + 1;
            return true;
        }
    }
    return false;
}

int usageError(const std::string& message) {
    std::fprintf(stderr, "vekhost: %s\nTry 'vekhost --help'.\n", message.c_str());
    return 2;
}

// Returns -1 when parsing succeeded, else the exit status.
int parse(int argc, char** argv, Options& options) {
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        auto value = [&](std::string& out) {
            if (i + 1 >= argc) return false;
            out = argv[++i];
            return true;
        };
        if (arg == "-h" || arg == "--help") {
            std::fputs(kUsage, stdout);
            return 0;
        } else if (arg == "--json") {
            options.json = true;
        } else if (arg == "--log-level") {
            std::string level;
            if (!value(level) || !parseLevel(level, options.logLevel)) {
                return usageError("--log-level takes error, warn, info, verbose, debug or 1 to 5");
            }
        } else if (arg == "--plugin" || arg == "--backend" || arg == "--schema") {
            std::string& target = arg == "--plugin" ? options.plugin : arg == "--backend" ? options.backend : options.schema;
            if (!value(target)) return usageError(arg + " takes a path");
        } else if (arg.size() > 1 && arg[0] == '-') {
            return usageError("unknown option " + arg);
        } else if (options.command.empty()) {
            options.command = arg;
        } else if (options.config.empty()) {
            options.config = arg;
        } else {
            return usageError("unexpected argument " + arg);
        }
    }
    if (options.command != "run" && options.command != "check") {
        return usageError(options.command.empty() ? "no command given" : "unknown command " + options.command);
    }
    if (options.command == "check" && options.config.empty()) return usageError("check needs a configuration file");
    if (options.command == "run" && options.config.empty()) options.config = besideExecutable("examples/example.json");
    if (options.plugin.empty()) options.plugin = besideExecutable(vek::platform::sharedLibraryFileName("VekGpuKalderExtensions"));
    if (options.backend.empty()) options.backend = besideExecutable(vek::platform::sharedLibraryFileName("VekSubstituteBackend"));
    if (options.schema.empty()) options.schema = besideExecutable("configSchema.json");
    return -1;
}

// After the plug-in's own messages, one plain line per refusal it explained.
void explainRefusal(const Options& options) {
    for (const std::string& report : diagnostics().schemaReports) {
        const std::string line = explainSchemaReport(report, options.config, options.schema);
        if (!line.empty()) std::fprintf(stderr, "vekhost: %s\n", line.c_str());
    }
    const std::vector<std::string> known = schemaKeys(options.schema);
    for (const std::string& key : diagnostics().unsupportedKeys) {
        const std::string suggestion = closestKey(key, known);
        if (suggestion.empty()) {
            std::fprintf(stderr, "vekhost: \"%s\" is no configuration key.\n", key.c_str());
        } else {
            std::fprintf(stderr, "vekhost: \"%s\" is no configuration key; did you mean \"%s\"?\n", key.c_str(),
                         suggestion.c_str());
        }
    }
}

int check(const Options& options) {
    HostSession session;
    if (!session.loadPlugin(options.plugin)) return 2;
    if (!session.installLogger(options.logLevel)) return 1;
    if (!session.loadConfig(options.config)) {
        explainRefusal(options);
        return 1;
    }
    std::fprintf(stderr, "vekhost: %s is a valid configuration\n", options.config.c_str());
    return 0;
}

int run(const Options& options) {
    HostSession session;
    if (!session.loadPlugin(options.plugin)) return 2;
    if (!session.installLogger(options.logLevel)) return 1;
    if (!session.bindBackend(options.backend)) return 1;
    if (!session.loadConfig(options.config)) {
        explainRefusal(options);
        return 1;
    }
    HostReport report;
    report.configPath = options.config;
    if (!session.collectRecords(report)) return 1;
    const std::string output = options.json ? formatJson(report) : formatText(report);
    std::fputs(output.c_str(), stdout);
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    Options options;
    const int status = parse(argc, argv, options);
    if (status >= 0) return status;
    return options.command == "run" ? run(options) : check(options);
}
