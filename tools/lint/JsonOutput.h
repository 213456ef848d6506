// SPDX-FileCopyrightText: 2026 The VekGpuKalderExtensions Authors
// SPDX-License-Identifier: Apache-2.0
// JSON written straight to a stream through a fixed buffer, however long.
#pragma once

#include <cstdio>
#include <string>

#include "BackendExtensions/ConfigJson.h"  // first: it sets how RapidJSON allocates
#include <rapidjson/filewritestream.h>
#include <rapidjson/stringbuffer.h>
#include <rapidjson/writer.h>

namespace vek::lint {

using JsonWriter = rapidjson::Writer<rapidjson::FileWriteStream>;

// A JSON value (of any allocator) as compact JSON text.
template <typename Value>
std::string jsonText(const Value& value) {
    rapidjson::StringBuffer buffer;
    rapidjson::Writer<rapidjson::StringBuffer> writer(buffer);
    value.Accept(writer);
    return std::string(buffer.GetString(), buffer.GetSize());
}

class JsonOutput {
public:
    explicit JsonOutput(std::FILE* out) : stream_(out, buffer_, sizeof buffer_), writer_(stream_) {}
    JsonWriter& writer() { return writer_; }
    // Ends the document's line and hands it on; the writer then takes the next document.
    void endLine() {
        stream_.Put('\n');
        stream_.Flush();
        writer_.Reset(stream_);
    }

private:
    char buffer_[65536];
    rapidjson::FileWriteStream stream_;
    JsonWriter writer_;
};

}  // namespace vek::lint
