// SPDX-FileCopyrightText: 2026 The VekGpuKalderExtensions Authors
// SPDX-License-Identifier: Apache-2.0
#include "HostReport.h"

#include "BackendExtensions/GPUBackendExtensions/GpuConfigKeys.h"


namespace vek::host {
namespace {

using gpu::GpuOptionEntry;

std::string quoted(const std::string& text) { return "\"" + text + "\""; }

std::string valueText(const OptionReport& option) {
    switch (option.kind) {
        case OptionReport::Kind::Flag: return option.flag ? "true" : "false";
        case OptionReport::Kind::Enum: return option.enumName;
        case OptionReport::Kind::Text: return quoted(option.text);
    }
    return "";
}

void appendOptions(std::string& out, const char* title, const std::vector<OptionReport>& options) {
    out += std::string(title) + " (" + std::to_string(options.size()) + ")" + (options.empty() ? ": none\n" : ":\n");
    for (const OptionReport& option : options) {
        std::string name = option.name;
        name.resize(std::max<size_t>(name.size(), 28), ' ');
        out += "  " + name + valueText(option) + "\n";
    }
}

const char* onOff(uint8_t disabled) { return disabled != 0 ? "off" : "on"; }

using Writer = lint::JsonWriter;

void writeString(Writer& writer, const std::string& text) {
    writer.String(text.c_str(), static_cast<rapidjson::SizeType>(text.size()));
}

void writeOptions(Writer& writer, const char* key, const std::vector<OptionReport>& options) {
    writer.Key(key);
    writer.StartArray();
    for (const OptionReport& option : options) {
        writer.StartObject();
        writer.Key("option");
        writeString(writer, option.name);
        writer.Key("number");
        writer.Uint(option.number);
        writer.Key("value");
        switch (option.kind) {
            case OptionReport::Kind::Flag: writer.Bool(option.flag); break;
            case OptionReport::Kind::Enum: writeString(writer, option.enumName); break;
            case OptionReport::Kind::Text: writeString(writer, option.text); break;
        }
        writer.EndObject();
    }
    writer.EndArray();
}

}  // namespace

OptionReport describeOption(gpu::KeyTarget list, const GpuOptionEntry& entry) {
    OptionReport option;
    option.number = entry.option;
    const gpu::ConfigKey* key = gpu::findOptionKey(list, entry.option);
    option.name = key != nullptr ? key->optionName : "Unknown";
    if (key != nullptr && key->enumTexts != nullptr) {
        option.kind = OptionReport::Kind::Enum;
        const gpu::EnumText* text = gpu::findEnumValue(*key, entry.value.enumValue);
        option.enumName = text != nullptr ? text->name : std::to_string(entry.value.enumValue);
    } else if (key != nullptr && key->type == gpu::KeyType::Text) {
        option.kind = OptionReport::Kind::Text;
        option.text = entry.value.text != nullptr ? entry.value.text : "";
    } else {
        option.flag = entry.value.flag != 0;
    }
    return option;
}

const char* precisionName(uint32_t precisionMode) {
    const gpu::EnumText* text = gpu::findEnumValue(*gpu::findConfigKey("precision_mode"), precisionMode);
    return text != nullptr ? text->name : "UNKNOWN";
}

void writeText(std::FILE* out, const HostReport& report) {
    std::string text = "Configuration: " + report.configPath + "\n";
    appendOptions(text, "Backend options", report.backend);
    appendOptions(text, "Context options", report.context);
    text += "Graphs (" + std::to_string(report.graphs.size()) + ")" + (report.graphs.empty() ? ": none\n" : ":\n");
    std::fputs(text.c_str(), out);
    // A line a graph, written as it is made: a file may name millions.
    for (const GraphReport& graph : report.graphs) {
        std::fprintf(out, "  %s: precision %s, memory optimizations %s, node optimizations %s, queue recording %s\n",
                     graph.name.c_str(), precisionName(graph.options.precisionMode), onOff(graph.options.disableMemoryOptimizations),
                     onOff(graph.options.disableNodeOptimizations), onOff(graph.options.disableQueueRecording));
    }
    if (report.deviceSelected) std::fprintf(out, "Device: hardware device %u\n", static_cast<unsigned>(report.device.hwDeviceId));
    else std::fputs("Device: default (PRIMARY_GPU)\n", out);
}

void writeReportJson(Writer& writer, const HostReport& report) {
    writeOptions(writer, "backendOptions", report.backend);
    writeOptions(writer, "contextOptions", report.context);
    writer.Key("graphs");
    writer.StartArray();
    for (const GraphReport& graph : report.graphs) {
        writer.StartObject();
        writer.Key("name");
        writeString(writer, graph.name);
        writer.Key("precisionMode");
        writer.String(precisionName(graph.options.precisionMode));
        writer.Key("disableMemoryOptimizations");
        writer.Bool(graph.options.disableMemoryOptimizations != 0);
        writer.Key("disableNodeOptimizations");
        writer.Bool(graph.options.disableNodeOptimizations != 0);
        writer.Key("disableQueueRecording");
        writer.Bool(graph.options.disableQueueRecording != 0);
        writer.EndObject();
    }
    writer.EndArray();
    writer.Key("device");
    if (report.deviceSelected) {
        writer.StartObject();
        writer.Key("hwDeviceId");
        writer.Uint(report.device.hwDeviceId);
        writer.EndObject();
    } else {
        writer.Null();
    }
}

}  // namespace vek::host
