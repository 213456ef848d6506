// SPDX-FileCopyrightText: 2026 The VekGpuKalderExtensions Authors
// SPDX-License-Identifier: Apache-2.0
#include "BackendExtensions/ConfigFile.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>

#include <rapidjson/stream.h>

#include "BackendExtensions/JsonLimits.h"
#include "log/Log.h"
#include "platform/File.h"

namespace vek::tools::kalder {
namespace {

// The buffer holds the file and a NUL after it, which ends the parse as the
// end of the file does.
constexpr size_t kTerminator = 1;

}  // namespace

bool readConfigFile(ConfigDocument& document, const std::string& path) {
    std::FILE* file = platform::openFileForReading(path);
    if (file == nullptr) {
        VEK_LOG(VEK_LOG_LEVEL_ERROR, "Cannot open file %s", path.c_str());
        return false;
    }
    std::fseek(file, 0, SEEK_END);
    // A failed ftell (-1) widens to a size no allocation can meet.
    const size_t size = static_cast<size_t>(static_cast<ptrdiff_t>(std::ftell(file)));
    std::fseek(file, 0, SEEK_SET);

    // A failed ftell gave the largest size, which must stay a request that fails.
    const size_t bufferSize = size == SIZE_MAX ? size : size + kTerminator;
    // Freed on every way out, running out of memory while parsing included.
    const std::unique_ptr<char, decltype(&std::free)> buffer(static_cast<char*>(std::malloc(bufferSize)), &std::free);
    char* configFileBuffer = buffer.get();
    if (configFileBuffer == nullptr) {
        VEK_LOG(VEK_LOG_LEVEL_ERROR, "Cannot allocate memory for configFileBuffer");
        std::fclose(file);
        return false;
    }

    // The whole file in one read (text mode may deliver fewer bytes than
    // measured), checked against the limits, then parsed from the buffer.
    const size_t read = std::fread(configFileBuffer, 1, size, file);
    std::fclose(file);
    configFileBuffer[read] = '\0';
    bool valid = findJsonLimitBreak(configFileBuffer, read, kConfigLimits).limit == JsonLimit::None;
    if (valid) {
        rapidjson::StringStream stream(configFileBuffer);
        document.ParseStream<rapidjson::kParseDefaultFlags, rapidjson::UTF8<>>(stream);
        valid = !document.HasParseError();
    }

    if (!valid) {
        VEK_LOG(VEK_LOG_LEVEL_ERROR, "Input file %s is not valid JSON, check format", path.c_str());
        return false;
    }
    return true;
}

}  // namespace vek::tools::kalder
