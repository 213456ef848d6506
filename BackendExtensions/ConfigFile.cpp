#include "BackendExtensions/ConfigFile.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>

#include <rapidjson/filereadstream.h>

#include "BackendExtensions/GuardedStream.h"
#include "log/Log.h"
#include "platform/File.h"

namespace vek::tools::kalder {
namespace {

// RapidJSON's file stream needs a buffer of at least 4 bytes; shorter files
// (the empty one included) get that much, and the stream still reads exactly
// the bytes the file holds.
constexpr size_t kMinStreamBuffer = 4;

}  // namespace

bool readConfigFile(rapidjson::Document& document, const std::string& path) {
    std::FILE* file = platform::openFileForReading(path);
    if (file == nullptr) {
        VEK_LOG(VEK_LOG_LEVEL_ERROR, "Cannot open file %s", path.c_str());
        return false;
    }
    std::fseek(file, 0, SEEK_END);
    // A failed ftell (-1) widens to a size no allocation can meet.
    const size_t size = static_cast<size_t>(static_cast<ptrdiff_t>(std::ftell(file)));
    std::fseek(file, 0, SEEK_SET);

    const size_t bufferSize = std::max(size, kMinStreamBuffer);
    char* configFileBuffer = static_cast<char*>(std::malloc(bufferSize));
    if (configFileBuffer == nullptr) {
        VEK_LOG(VEK_LOG_LEVEL_ERROR, "Cannot allocate memory for configFileBuffer");
        std::fclose(file);
        return false;
    }

    rapidjson::FileReadStream fileStream(file, configFileBuffer, bufferSize);
    GuardedStream<rapidjson::FileReadStream> stream(fileStream, VEK_CONFIG_MAX_DEPTH, VEK_CONFIG_MAX_NUMBER_LENGTH,
                                                    VEK_CONFIG_MAX_EXPONENT_DIGITS);
    document.ParseStream<rapidjson::kParseDefaultFlags, rapidjson::UTF8<>>(stream);
    const bool valid = !document.HasParseError() && !stream.rejected();
    std::fclose(file);
    std::free(configFileBuffer);

    if (!valid) {
        // A cut-short input may still have parsed (a lone number): drop it.
        document.SetNull();
        VEK_LOG(VEK_LOG_LEVEL_ERROR, "Input file %s is not valid JSON, check format", path.c_str());
        return false;
    }
    return true;
}

}  // namespace vek::tools::kalder
