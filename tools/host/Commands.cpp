// SPDX-FileCopyrightText: 2026 The VekGpuKalderExtensions Authors
// SPDX-License-Identifier: Apache-2.0
#include "Commands.h"

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <iterator>

#include "JsonOutput.h"  // first: it sets how RapidJSON allocates
#include <rapidjson/document.h>

#include "Check.h"
#include "Devices.h"
#include "HostSession.h"
#include "Input.h"
#include "Keys.h"
#include "LogSink.h"
#include "RulesList.h"
#include "Text.h"
#include "Verdict.h"

namespace vek::host {
namespace {

using lint::Check;
using lint::Diagnostic;
using lint::JsonWriter;

int usageProblem(const std::string& message) {
    std::fprintf(stderr, "vekhost: %s\n", message.c_str());
    return 2;
}

Check checkInput(const ConfigInput& input, const tools::kalder::ConfigValue& schema) {
    return input.unreadable().empty() ? Check::ofFile(input.path(), schema) : Check::unreadable(input.unreadable());
}

void writeText(JsonWriter& writer, const std::string& text) {
    const std::string utf8 = lint::utf8Text(text);
    writer.String(utf8.c_str(), static_cast<rapidjson::SizeType>(utf8.size()));
}

void writeMessagesJson(JsonWriter& writer) {
    writer.Key("messages");
    writer.StartArray();
    for (const LogMessage& message : loggedMessages()) {
        writer.StartObject();
        writer.Key("level");
        writer.String(levelName(message.level));
        writer.Key("message");
        writeText(writer, message.text);
        writer.EndObject();
    }
    writer.EndArray();
}

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

}  // namespace

int checkCommand(const Options& options) {
    tools::kalder::ConfigDocument schema;
    if (!readSchema(options.schema, schema)) return usageProblem("cannot read the configuration schema " + options.schema);
    // With rules selected the check alone decides, and the plug-in is not asked.
    const bool selecting = !options.select.empty();
    HostSession session;
    session.setQuiet(true);
    setLogPrinting(options.printLevel);
    setLogKeeping(options.json || options.format == lint::Format::Json);
    if (!selecting && !session.loadPlugin(options.plugin)) return 2;
    if (!selecting && !session.installLogger(options.logLevel)) return 1;
    lint::FormatOptions formatOptions{VEK_VERSION, VEK_HOMEPAGE_URL, options.baseUri, writeMessagesJson};
    const auto formatter = lint::makeFormatter(options.json ? lint::Format::Json : options.format, stdout, formatOptions);
    int status = 0;
    for (const std::string& argument : options.configs) {
        const ConfigInput input(argument);
        if (!input.failure().empty()) {
            formatter->finish();
            return usageProblem(input.name() + ": " + input.failure());
        }
        forgetLoggedMessages();
        // The plug-in first: most of what its load takes is free again
        // before the check takes its own.
        const bool loaded = selecting || session.loadConfig(input.path());
        const Check check = checkInput(input, schema);
        const bool valid = selecting ? !check.findsAny(options.select) : loaded;
        if (!valid) status = 1;
        std::fflush(stderr);  // the plug-in's messages on the file come before what the check says of it
        formatter->startFile(input.name(), valid);
        eachDiagnostic(loaded, check, options.columns, [&](const Diagnostic& d) {
            if (!selecting || std::find(options.select.begin(), options.select.end(), d.rule) != options.select.end()) formatter->diagnostic(d);
        });
        formatter->endFile();
    }
    formatter->finish();
    return status;
}

namespace {

// A device_id the plug-in cannot select: it fails on an id no device has,
// and falls back to the default device, answering true, on one it will not take.
struct DeviceProblem {
    int32_t deviceId = 0;
    std::string reason;  // empty when there is none
    BackendDevices devices;
};

DeviceProblem deviceProblem(const HostSession& session, const std::string& backend, const std::string& configPath) {
    DeviceProblem problem;
    problem.deviceId = askedDeviceId(configPath);
    if (problem.deviceId == 0) return problem;
    problem.devices = queryDevices(session.backendLibrary());
    const DeviceEntry* device = findDevice(problem.devices, problem.deviceId);
    if (device == nullptr) {
        problem.reason = "matches no hardware device of " + backend + "; it has " + deviceIds(problem.devices);
    } else if (!device->unselectable.empty()) {
        problem.reason = "names a device of " + backend + " that the plug-in does not select (" + device->unselectable +
                         "); it uses the default device";
    }
    return problem;
}

// What run found, as its outputs tell it.
struct RunResult {
    std::string name;
    bool loaded = false, collected = false;
    std::string failure;
    HostReport report;
    DeviceProblem device;
    std::function<void(const lint::DiagnosticVisitor&)> eachDiagnostic;
};

int writeRunJson(const RunResult& run) {
    lint::JsonOutput output(stdout);
    JsonWriter& writer = output.writer();
    writer.StartObject();
    writer.Key("configuration");
    writeText(writer, run.name);
    writer.Key("ok");
    writer.Bool(run.collected);
    writer.Key("error");
    if (run.collected) writer.Null();
    else writer.String(run.failure.c_str());
    if (run.collected) writeReportJson(writer, run.report);
    writer.Key("diagnostics");
    writer.StartArray();
    run.eachDiagnostic([&](const Diagnostic& d) { lint::writeDiagnosticJson(writer, run.name, d); });
    writer.EndArray();
    writer.Key("deviceProblem");
    if (run.device.reason.empty()) {
        writer.Null();
    } else {
        writer.StartObject();
        writer.Key("deviceId");
        writer.Int(run.device.deviceId);
        writer.Key("reason");
        writer.String(run.device.reason.c_str());
        writer.Key("deviceIds");
        writer.StartArray();
        for (const DeviceEntry& entry : run.device.devices.devices) writer.Int(entry.deviceId);
        writer.EndArray();
        writer.EndObject();
    }
    writeMessagesJson(writer);
    writer.EndObject();
    output.endLine();
    return run.collected ? 0 : 1;
}

int writeRunText(const RunResult& run) {
    const auto text = lint::makeFormatter(lint::Format::Text, stderr, {});
    text->startFile(run.name, run.loaded);
    run.eachDiagnostic([&](const Diagnostic& d) { text->diagnostic(d); });
    text->endFile();
    if (!run.device.reason.empty()) {
        std::fprintf(stderr, "vekhost: device_id %d %s (see vekhost devices)\n", run.device.deviceId, run.device.reason.c_str());
    }
    if (!run.collected) return 1;
    std::fflush(stderr);
    writeText(stdout, run.report);
    return 0;
}

}  // namespace

int runCommand(const Options& options) {
    const ConfigInput input(options.configs.empty() ? options.example : options.configs[0]);
    if (!input.failure().empty()) return usageProblem(input.name() + ": " + input.failure());
    tools::kalder::ConfigDocument schema;
    if (!readSchema(options.schema, schema)) return usageProblem("cannot read the configuration schema " + options.schema);
    HostSession session;
    session.setQuiet(options.json);
    setLogPrinting(options.printLevel);
    setLogKeeping(options.json);
    if (!session.loadPlugin(options.plugin)) return 2;
    if (!session.installLogger(options.logLevel)) return 1;
    if (!session.loadBackend(options.backend)) return 2;

    RunResult run;
    run.name = run.report.configPath = input.name();
    const bool bound = session.bindBackend();
    run.loaded = bound && session.loadConfig(input.path());
    run.collected = run.loaded && session.collectRecords(run.report);
    run.failure = session.failure();
    // What the check says of the file: its warnings come before the result,
    // its errors explain a refusal.
    const Check checked = checkInput(input, schema);
    const bool refusedUnexplained = bound && !run.loaded && !checked.hasError();
    run.eachDiagnostic = [&](const lint::DiagnosticVisitor& visit) {
        if (refusedUnexplained) visit(refusal(refusedBecause()));
        checked.forEach(options.columns, [&](const Diagnostic& d) {
            if (!run.loaded || d.severity == lint::Severity::Warning) visit(d);
        });
    };
    if (run.loaded) run.device = deviceProblem(session, options.backend, input.path());
    return options.json ? writeRunJson(run) : writeRunText(run);
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
    std::vector<lint::KeyDescription> keys;
    if (!lint::readKeys(options.editorSchema, keys)) return usageProblem("cannot read the editor schema " + options.editorSchema);
    std::fputs((options.json ? lint::formatKeysJson(keys) : lint::formatKeys(keys)).c_str(), stdout);
    return 0;
}

int rulesCommand(const Options& options) {
    std::fputs(formatRules(options.json ? RulesFormat::Json : options.rulesFormat).c_str(), stdout);
    return 0;
}

}  // namespace vek::host
