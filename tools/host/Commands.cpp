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

    HostReport report;
    report.configPath = input.name();
    const bool bound = session.bindBackend();
    const bool loaded = bound && session.loadConfig(input.path());
    const bool collected = loaded && session.collectRecords(report);
    // What the check says of the file: its warnings come before the result,
    // its errors explain a refusal.
    const Check checked = checkInput(input, schema);
    const bool refusedUnexplained = bound && !loaded && !checked.hasError();
    const auto eachDiagnostic = [&](const std::function<void(const Diagnostic&)>& visit) {
        if (refusedUnexplained) visit(refusal(refusedBecause()));
        checked.forEach(options.columns, [&](const Diagnostic& d) {
            if (!loaded || d.severity == lint::Severity::Warning) visit(d);
        });
    };

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
        lint::JsonOutput output(stdout);
        JsonWriter& writer = output.writer();
        writer.StartObject();
        writer.Key("configuration");
        writeText(writer, input.name());
        writer.Key("ok");
        writer.Bool(collected);
        writer.Key("error");
        if (collected) writer.Null();
        else writer.String(session.failure().c_str());
        if (collected) writeReportJson(writer, report);
        writer.Key("diagnostics");
        writer.StartArray();
        eachDiagnostic([&](const Diagnostic& d) { lint::writeDiagnosticJson(writer, input.name(), d); });
        writer.EndArray();
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
        writeMessagesJson(writer);
        writer.EndObject();
        output.endLine();
        return collected ? 0 : 1;
    }
    const auto text = lint::makeFormatter(lint::Format::Text, stderr, {});
    text->startFile(input.name(), loaded);
    eachDiagnostic([&](const Diagnostic& d) { text->diagnostic(d); });
    text->endFile();
    if (!deviceProblem.empty()) {
        std::fprintf(stderr, "vekhost: device_id %d %s (see vekhost devices)\n", deviceId, deviceProblem.c_str());
    }
    if (!collected) return 1;
    std::fflush(stderr);
    writeText(stdout, report);
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
