// SPDX-FileCopyrightText: 2026 The VekGpuKalderExtensions Authors
// SPDX-License-Identifier: Apache-2.0
#include "Floor.h"

#include <cstdio>
#include <cstdlib>

#include "BackendExtensions/ConfigJson.h"  // first: it sets how RapidJSON allocates
#include <rapidjson/document.h>
#include <rapidjson/filereadstream.h>
#include <rapidjson/schema.h>

#include "BackendExtensions/GPUBackendExtensions/ConfigSchema.h"

namespace vek::bench {

bool readParseValidate(const std::string& path) {
    std::FILE* file = std::fopen(path.c_str(), "r");
    std::fseek(file, 0, SEEK_END);
    const size_t size = static_cast<size_t>(std::ftell(file));
    std::fseek(file, 0, SEEK_SET);
    char* buffer = static_cast<char*>(std::malloc(size < 4 ? 4 : size));
    rapidjson::FileReadStream stream(file, buffer, size < 4 ? 4 : size);
    rapidjson::Document document;
    document.ParseStream(stream);
    std::fclose(file);
    std::free(buffer);
    rapidjson::Document schemaJson;
    schemaJson.Parse(gpu::configSchema);
    const rapidjson::SchemaDocument schema(schemaJson);
    rapidjson::SchemaValidator validator(schema);
    return !document.HasParseError() && document.Accept(validator);
}

}  // namespace vek::bench
