#include "Cases.h"

#include "BackendExtensions/GPUBackendExtensions/ConfigSchema.h"
#include "Lint.h"

#include <fstream>
#include <iterator>
#include <stdexcept>

namespace vek::test {

tools::kalder::ConfigDocument readCases(const std::string& name) {
    std::ifstream in(std::string(VEK_TEST_CASES) + "/" + name, std::ios::binary);
    const std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    tools::kalder::ConfigDocument cases;
    if (cases.Parse(text.c_str(), text.size()).HasParseError() || !cases.IsArray()) {
        throw std::runtime_error("cannot read the cases in " + name);
    }
    return cases;
}

std::string compact(const tools::kalder::ConfigValue& value) {
    tools::kalder::JsonBuffer buffer;
    tools::kalder::JsonWriter writer(buffer);
    value.Accept(writer);
    return std::string(buffer.GetString(), buffer.GetSize());
}

std::vector<std::string> strings(const tools::kalder::ConfigValue& c, const char* name) {
    std::vector<std::string> out;
    if (c.HasMember(name)) {
        for (const auto& item : c[name].GetArray()) out.emplace_back(item.GetString(), item.GetStringLength());
    }
    return out;
}

std::vector<LogLine> expectedLog(const tools::kalder::ConfigValue& c) {
    std::vector<LogLine> log;
    for (const std::string& text : strings(c, "log")) {
        const size_t bar = text.find(" | ");
        const std::string format = text.substr(2, bar == std::string::npos ? std::string::npos : bar - 2);
        const std::string message = bar == std::string::npos ? "" : text.substr(bar + 3);
        log.push_back(text[0] == 'E' ? errorLine(format, message) : text[0] == 'W' ? warnLine(format, message) : infoLine(format, message));
    }
    return log;
}

namespace {

const tools::kalder::ConfigDocument& schema() {
    static const tools::kalder::ConfigDocument parsed = [] {
        tools::kalder::ConfigDocument document;
        document.Parse(gpu::configSchema, gpu::configSchemaSize);
        return document;
    }();
    return parsed;
}

}  // namespace

bool lintFindsError(const std::string& path) { return host::lintConfigFile(path, schema()).hasError(); }

bool lintFindsErrorInText(std::string_view text) { return host::lintConfigText(text, schema()).hasError(); }

}  // namespace vek::test
