// SPDX-FileCopyrightText: 2026 The VekGpuKalderExtensions Authors
// SPDX-License-Identifier: Apache-2.0
#include "Commands.h"

#include <cstdio>
#include <fstream>
#include <iterator>

#include "BackendExtensions/ConfigJson.h"  // first: it sets how RapidJSON allocates
#include <rapidjson/document.h>
#include <rapidjson/stringbuffer.h>
#include <rapidjson/writer.h>

#include "Devices.h"
#include "HostSession.h"
#include "Input.h"
#include "Keys.h"
#include "LogSink.h"

namespace vek::host {
namespace {

using JsonWriter = rapidjson::Writer<rapidjson::StringBuffer>;

int usageProblem(const std::string& message) {
    std::fprintf(stderr, "vekhost: %s\n", message.c_str());
    return 2;
}

bool readSchema(const std::string& path, tools::kalder::ConfigDocument& schema) {
    std::ifstream in(path, std::ios::binary);
    const std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    schema.Parse(text.c_str(), text.size());
    return in && !schema.HasParseError() && schema.IsObject();
}

Diagnostic fileProblem(const std::string& message, Diagnostic::Severity severity = Diagnostic::Severity::Error) {
    Diagnostic problem;
    problem.severity = severity;
    problem.message = message;
    return problem;
}

// The check's verdict on an input, with one more line when the plug-in
// refused a file the check finds nothing wrong with: the plug-in's verdict
// stands, and its last error says why.
LintResult lint(const ConfigInput& input, const tools::kalder::ConfigValue& schema, ColumnUnit columns) {
    LintResult result;
    if (!input.unreadable().empty()) result.diagnostics.push_back(fileProblem("cannot read the file: " + input.unreadable()));
    else result = lintConfigFile(input.path(), schema, columns);
    return result;
}
void addRefusal(LintResult& result, bool loaded, size_t firstMessage) {
    if (loaded || result.hasError()) return;
    std::string why;
    const std::vector<LogMessage>& messages = loggedMessages();
    for (size_t i = firstMessage; i < messages.size() && why.empty(); ++i) {
        if (messages[i].level == VEK_LOG_LEVEL_ERROR) why = ": " + printable(messages[i].text, 200);
    }
    result.diagnostics.insert(result.diagnostics.begin(), fileProblem("the plug-in refused the file" + why));
}

void writeMessagesJson(JsonWriter& writer, size_t firstMessage) {
    writer.Key("messages");
    writer.StartArray();
    const std::vector<LogMessage>& messages = loggedMessages();
    for (size_t i = firstMessage; i < messages.size(); ++i) {
        writer.StartObject();
        writer.Key("level");
        writer.String(levelName(messages[i].level));
        writer.Key("message");
        writer.String(printable(messages[i].text).c_str());
        writer.EndObject();
    }
    writer.EndArray();
}

std::string finish(const rapidjson::StringBuffer& buffer) { return std::string(buffer.GetString(), buffer.GetSize()) + "\n"; }

// The device_id the file asks for: the first member of that name, as the
// plug-in reads it; 0 when there is none.
int32_t askedDeviceId(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    const std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    rapidjson::Document config;
    config.Parse(text.c_str(), text.size());
    const auto id = config.IsObject() ? config.FindMember("device_id") : config.MemberEnd();
    return id != config.MemberEnd() && id->value.IsInt() ? id->value.GetInt() : 0;
}

std::vector<Diagnostic> warningsOf(const LintResult& result) {
    std::vector<Diagnostic> warnings;
    for (const Diagnostic& d : result.diagnostics) {
        if (d.severity == Diagnostic::Severity::Warning) warnings.push_back(d);
    }
    return warnings;
}

}  // namespace

int checkCommand(const Options& options) {
    tools::kalder::ConfigDocument schema;
    if (!readSchema(options.schema, schema)) return usageProblem("cannot read the configuration schema " + options.schema);
    HostSession session;
    session.setQuiet(true);
    setLogPrinting(options.printLevel);
    if (!session.loadPlugin(options.plugin)) return 2;
    if (!session.installLogger(options.logLevel)) return 1;
    int status = 0;
    for (const std::string& argument : options.configs) {
        const ConfigInput input(argument);
        if (!input.failure().empty()) return usageProblem(input.name() + ": " + input.failure());
        const size_t firstMessage = loggedMessages().size();
        // The check runs first, so the memory it takes is free again before
        // the plug-in takes its own.
        LintResult result = lint(input, schema, options.columns);
        const bool loaded = session.loadConfig(input.path());
        addRefusal(result, loaded, firstMessage);
        if (!loaded) status = 1;
        if (options.json) {
            rapidjson::StringBuffer buffer;
            JsonWriter writer(buffer);
            writer.StartObject();
            writer.Key("file");
            writer.String(printable(input.name()).c_str());
            writer.Key("valid");
            writer.Bool(loaded);
            writer.Key("diagnostics");
            writeDiagnosticsJson(writer, input.name(), result.diagnostics);
            writeMessagesJson(writer, firstMessage);
            writer.EndObject();
            std::fputs(finish(buffer).c_str(), stdout);
        } else {
            std::fputs(formatDiagnostics(input.name(), result).c_str(), stdout);
        }
        std::fflush(stdout);
    }
    return status;
}

int runCommand(const Options& options) {
    const ConfigInput input(options.configs.empty() ? options.example : options.configs[0]);
    if (!input.failure().empty()) return usageProblem(input.name() + ": " + input.failure());
    tools::kalder::ConfigDocument schema;
    if (!readSchema(options.schema, schema)) return usageProblem("cannot read the configuration schema " + options.schema);
    HostSession session;
    session.setQuiet(options.json);
    setLogPrinting(options.printLevel);
    if (!session.loadPlugin(options.plugin)) return 2;
    if (!session.installLogger(options.logLevel)) return 1;
    if (!session.loadBackend(options.backend)) return 2;

    // What the check says of the file: its warnings come before the result,
    // its errors explain a refusal.
    LintResult checked = lint(input, schema, options.columns);
    HostReport report;
    report.configPath = input.name();
    const bool bound = session.bindBackend();
    const bool loaded = bound && session.loadConfig(input.path());
    if (loaded) checked.diagnostics = warningsOf(checked);
    else if (bound) addRefusal(checked, false, 0);
    const bool collected = loaded && session.collectRecords(report);

    // A device_id the plug-in cannot select: it fails on an id no device has,
    // and falls back to the default device, answering true, on one it will not take.
    std::string deviceProblem;
    const int32_t deviceId = loaded ? askedDeviceId(input.path()) : 0;
    BackendDevices devices;
    if (deviceId != 0) {
        devices = queryDevices(session.backendLibrary());
        const DeviceEntry* device = findDevice(devices, deviceId);
        if (device == nullptr) {
            deviceProblem = "matches no hardware device of " + options.backend + "; it has " + deviceIds(devices);
        } else if (!device->unselectable.empty()) {
            deviceProblem = "names a device of " + options.backend + " that the plug-in does not select (" +
                            device->unselectable + "); it uses the default device";
        }
    }

    if (options.json) {
        rapidjson::StringBuffer buffer;
        JsonWriter writer(buffer);
        writer.StartObject();
        writer.Key("configuration");
        writer.String(printable(input.name()).c_str());
        writer.Key("ok");
        writer.Bool(collected);
        writer.Key("error");
        if (collected) writer.Null();
        else writer.String(session.failure().c_str());
        if (collected) writeReportJson(writer, report);
        writer.Key("diagnostics");
        writeDiagnosticsJson(writer, input.name(), checked.diagnostics);
        writer.Key("deviceProblem");
        if (deviceProblem.empty()) {
            writer.Null();
        } else {
            writer.StartObject();
            writer.Key("deviceId");
            writer.Int(deviceId);
            writer.Key("reason");
            writer.String(deviceProblem.c_str());
            writer.Key("deviceIds");
            writer.StartArray();
            for (const DeviceEntry& entry : devices.devices) writer.Int(entry.deviceId);
            writer.EndArray();
            writer.EndObject();
        }
        writeMessagesJson(writer, 0);
        writer.EndObject();
        std::fputs(finish(buffer).c_str(), stdout);
        return collected ? 0 : 1;
    }
    std::fputs(formatDiagnostics(input.name(), checked).c_str(), stderr);
    if (!deviceProblem.empty()) {
        std::fprintf(stderr, "vekhost: device_id %d %s (see vekhost devices)\n", deviceId, deviceProblem.c_str());
    }
    if (!collected) return 1;
    std::fputs(formatText(report).c_str(), stdout);
    return 0;
}

int devicesCommand(const Options& options) {
    std::string error;
    platform::LibraryHandle library = platform::loadLibrary(options.backend, &error);
    if (library == nullptr) return usageProblem("cannot load the GPU backend library " + options.backend + ": " + error);
    const BackendDevices found = queryDevices(library);
    std::fputs((options.json ? formatDevicesJson(options.backend, found) : formatDevices(options.backend, found)).c_str(), stdout);
    platform::unloadLibrary(library);
    return found.problem.empty() ? 0 : 1;
}

int keysCommand(const Options& options) {
    std::vector<KeyDescription> keys;
    if (!readKeys(options.editorSchema, keys)) return usageProblem("cannot read the editor schema " + options.editorSchema);
    std::fputs((options.json ? formatKeysJson(keys) : formatKeys(keys)).c_str(), stdout);
    return 0;
}

}  // namespace vek::host
