// vekhost: a command-line host for the GPU backend extension. It loads the
// plug-in and a GPU backend library as a model runner would, shows what the
// plug-in would hand the backend for a configuration file, and checks files
// as the plug-in reads them.
#include <algorithm>
#include <cctype>
#include <cstdio>
#include <fstream>
#include <string>

#include <rapidjson/document.h>
#include <rapidjson/stringbuffer.h>
#include <rapidjson/writer.h>

#include "Devices.h"
#include "HostSession.h"
#include "Keys.h"
#include "Lint.h"
#include "LogSink.h"
#include "platform/DynamicLibrary.h"
#include "platform/Process.h"

namespace {

using namespace vek::host;

const char kUsage[] =
    "Usage: vekhost [options] run [CONFIG]\n"
    "       vekhost [options] check CONFIG\n"
    "       vekhost [options] devices\n"
    "       vekhost keys\n"
    "\n"
    "  run CONFIG     load CONFIG as a host does and print what the GPU backend\n"
    "                 library would receive: backend and context options, graphs\n"
    "                 with their option block, the selected device. Without\n"
    "                 CONFIG, runs the bundled example.\n"
    "  check CONFIG   check CONFIG as the plug-in reads it and print every problem\n"
    "                 as FILE:LINE:COLUMN: error: MESSAGE; exit 0 when the plug-in\n"
    "                 takes the file, 1 when not.\n"
    "  devices        list the GPU backend library's API version and hardware\n"
    "                 devices, the ids device_id selects from.\n"
    "  keys           list every configuration key: type, default, what it needs,\n"
    "                 what it does.\n"
    "\n"
    "Options:\n"
    "  --json              print the result (run, check) as one JSON document\n"
    "  --column-unit UNIT  columns of check's positions: char (as editors count\n"
    "                      them, the default) or byte (as GCC's\n"
    "                      -fdiagnostics-column-unit=byte)\n"
    "  --log-level LEVEL   the most detailed plug-in messages shown: error, warn,\n"
    "                      info, verbose, debug, or 1 to 5 (default info; warn for\n"
    "                      check)\n"
    "  --plugin PATH       the plug-in library (default: the one beside vekhost)\n"
    "  --backend PATH      the GPU backend library (default: the substitute\n"
    "                      backend beside vekhost)\n"
    "  --schema PATH       the plug-in's configuration schema check reads (default:\n"
    "                      configSchema.json beside vekhost)\n"
    "  --version           print the version\n"
    "  -h, --help          show this text\n"
    "\n"
    "Exit status: 0 success, 1 a hook answered false or the file was refused,\n"
    "2 bad usage or a library that cannot be loaded.\n";

struct Options {
    std::string command;
    std::string config;
    bool json = false;
    int32_t logLevel = 0;  // 0: the command's default
    std::string plugin;
    std::string backend;
    std::string schema;
    ColumnUnit columns = ColumnUnit::Char;
};

bool exists(const std::string& path) { return std::ifstream(path).good(); }

// A file installed with vekhost: beside it (build tree), or in the data or
// library directory of an installation.
std::string besideExecutable(const std::string& name) {
    const std::string directory = vek::platform::executableDirectory();
    for (const std::string& candidate :
         {directory + "/" + name, directory + "/../share/VekGpuKalderExtensions/" + name, directory + "/../lib/" + name}) {
        if (exists(candidate)) return candidate;
    }
    return directory + "/" + name;
}

bool parseLevel(std::string text, int32_t& level) {
    static const char* const kNames[] = {"error", "warn", "info", "verbose", "debug"};
    std::transform(text.begin(), text.end(), text.begin(), [](unsigned char c) { return std::tolower(c); });
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
        std::string arg = argv[i];
        std::string inlineValue;
        const size_t equals = arg.find('=');
        const bool hasInline = arg.rfind("--", 0) == 0 && equals != std::string::npos;
        if (hasInline) {
            inlineValue = arg.substr(equals + 1);
            arg.resize(equals);
        }
        auto value = [&](std::string& out) {
            if (hasInline) {
                out = inlineValue;
                return true;
            }
            if (i + 1 >= argc) return false;
            out = argv[++i];
            return true;
        };
        if (arg == "-h" || arg == "--help") {
            std::fputs(kUsage, stdout);
            return 0;
        } else if (arg == "--version") {
            std::printf("vekhost (VekGpuKalderExtensions) %s\n", VEK_VERSION);
            return 0;
        } else if (arg == "--json") {
            options.json = true;
        } else if (arg == "--log-level") {
            std::string level;
            if (!value(level) || !parseLevel(level, options.logLevel)) {
                return usageError("--log-level takes error, warn, info, verbose, debug or 1 to 5");
            }
        } else if (arg == "--column-unit") {
            std::string unit;
            if (!value(unit) || (unit != "char" && unit != "byte")) return usageError("--column-unit takes char or byte");
            options.columns = unit == "byte" ? ColumnUnit::Byte : ColumnUnit::Char;
        } else if (arg == "--plugin" || arg == "--backend" || arg == "--schema") {
            std::string& target = arg == "--plugin" ? options.plugin : arg == "--backend" ? options.backend : options.schema;
            if (!value(target)) return usageError(arg + " takes a path");
        } else if (arg.size() > 1 && arg[0] == '-') {
            return usageError("unknown option " + arg);
        } else if (options.command.empty()) {
            options.command = arg;
        } else if (options.config.empty() && (options.command == "run" || options.command == "check")) {
            options.config = arg;
        } else {
            return usageError("unexpected argument " + arg);
        }
    }
    const std::string& command = options.command;
    if (command != "run" && command != "check" && command != "devices" && command != "keys") {
        return usageError(command.empty() ? "no command given" : "unknown command " + command);
    }
    if (command == "check" && options.config.empty()) return usageError("check needs a configuration file");
    if (command == "run" && options.config.empty()) options.config = besideExecutable("examples/example.json");
    if (options.logLevel == 0) options.logLevel = command == "check" ? VEK_LOG_LEVEL_WARN : VEK_LOG_LEVEL_INFO;
    if (options.plugin.empty()) options.plugin = besideExecutable(vek::platform::sharedLibraryFileName("VekGpuKalderExtensions"));
    if (options.backend.empty()) options.backend = besideExecutable(vek::platform::sharedLibraryFileName("VekSubstituteBackend"));
    if (options.schema.empty()) options.schema = besideExecutable("configSchema.json");
    return -1;
}

bool readSchema(const std::string& path, vek::tools::kalder::ConfigDocument& schema) {
    std::ifstream in(path, std::ios::binary);
    const std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    schema.Parse(text.c_str(), text.size());
    if (in && !schema.HasParseError() && schema.IsObject()) return true;
    std::fprintf(stderr, "vekhost: cannot read the configuration schema %s\n", path.c_str());
    return false;
}

LintResult lint(const Options& options) {
    vek::tools::kalder::ConfigDocument schema;
    LintResult result;
    if (readSchema(options.schema, schema)) result = lintConfigFile(options.config, schema, options.columns);
    return result;
}

// When the plug-in refused a file the check finds nothing in, the plug-in's
// verdict still stands, and one line says so.
void addRefusal(LintResult& result, bool loaded) {
    if (!loaded && !result.hasError()) {
        Diagnostic refused;
        refused.message = "the plug-in refused the file; its messages above say why";
        result.diagnostics.insert(result.diagnostics.begin(), refused);
    }
}

int check(const Options& options) {
    HostSession session;
    setLogQuiet(options.json);
    if (!session.loadPlugin(options.plugin)) return 2;
    if (!session.installLogger(options.logLevel)) return 1;
    // The check runs first, so the memory it takes is free again before the
    // plug-in takes its own.
    LintResult result = lint(options);
    const bool loaded = session.loadConfig(options.config);
    addRefusal(result, loaded);
    if (options.json) {
        std::fputs(formatDiagnosticsJson(options.config, result, loaded).c_str(), stdout);
    } else {
        std::fputs(formatDiagnostics(options.config, result).c_str(), stdout);
        if (loaded && options.logLevel >= VEK_LOG_LEVEL_INFO) {
            std::fprintf(stderr, "vekhost: %s is a valid configuration\n", options.config.c_str());
        }
    }
    return loaded ? 0 : 1;
}

// After a device request that matched nothing: which id was asked for, and
// which ids the backend library has.
void explainMissingDevice(const Options& options, const HostSession& session) {
    std::ifstream in(options.config, std::ios::binary);
    const std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    rapidjson::Document config;
    config.Parse(text.c_str(), text.size());
    const auto id = config.IsObject() ? config.FindMember("device_id") : config.MemberEnd();
    if (id == config.MemberEnd() || !id->value.IsInt()) return;
    std::fprintf(stderr, "vekhost: device_id %d matches no hardware device of %s; it has %s (see vekhost devices)\n",
                 id->value.GetInt(), options.backend.c_str(), deviceIds(queryDevices(session.backendLibrary())).c_str());
}

void printJsonError(const Options& options, const std::string& failure) {
    rapidjson::StringBuffer buffer;
    rapidjson::Writer<rapidjson::StringBuffer> writer(buffer);
    writer.StartObject();
    writer.Key("configuration");
    writer.String(printable(options.config).c_str());
    writer.Key("error");
    writer.String(failure.c_str());
    writer.Key("messages");
    writer.StartArray();
    for (const std::string& message : loggedErrors()) writer.String(printable(message).c_str());
    writer.EndArray();
    writer.EndObject();
    std::printf("%s\n", buffer.GetString());
}

int run(const Options& options) {
    HostSession session;
    if (!session.loadPlugin(options.plugin)) return 2;
    if (!session.installLogger(options.logLevel)) return 1;
    if (!session.loadBackend(options.backend)) return 2;
    HostReport report;
    report.configPath = options.config;
    const bool bound = session.bindBackend();
    const bool loaded = bound && session.loadConfig(options.config);
    if (bound && !loaded && !options.json) {
        LintResult result = lint(options);
        addRefusal(result, false);
        std::fputs(formatDiagnostics(options.config, result).c_str(), stderr);
    }
    const bool collected = loaded && session.collectRecords(report);
    if (loaded && !collected && session.failure() == "getDeviceConfigs returned false") {
        explainMissingDevice(options, session);
    }
    if (!collected) {
        if (options.json) printJsonError(options, session.failure());
        return 1;
    }
    std::fputs((options.json ? formatJson(report) : formatText(report)).c_str(), stdout);
    return 0;
}

int devices(const Options& options) {
    std::string error;
    vek::platform::LibraryHandle library = vek::platform::loadLibrary(options.backend, &error);
    if (library == nullptr) {
        std::fprintf(stderr, "vekhost: cannot load the GPU backend library %s: %s\n", options.backend.c_str(), error.c_str());
        return 2;
    }
    const BackendDevices found = queryDevices(library);
    std::fputs(formatDevices(options.backend, found).c_str(), stdout);
    vek::platform::unloadLibrary(library);
    return found.problem.empty() ? 0 : 1;
}

int keys() {
    const std::string path = besideExecutable("configSchema.editor.json");
    const std::string text = describeKeys(path);
    if (text.empty()) {
        std::fprintf(stderr, "vekhost: cannot read the editor schema %s\n", path.c_str());
        return 2;
    }
    std::fputs(text.c_str(), stdout);
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    Options options;
    const int status = parse(argc, argv, options);
    if (status >= 0) return status;
    if (options.command == "run") return run(options);
    if (options.command == "check") return check(options);
    if (options.command == "devices") return devices(options);
    return keys();
}
