// SPDX-FileCopyrightText: 2026 The VekGpuKalderExtensions Authors
// SPDX-License-Identifier: Apache-2.0
// JSON-RPC 2.0 as the Language Server Protocol uses it: the error codes,
// messages sorted into requests, notifications and responses, a writer for
// message bodies, and a read of the members a request names.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "BackendExtensions/ConfigJson.h"  // first: it sets how RapidJSON allocates
#include <rapidjson/document.h>
#include <rapidjson/stringbuffer.h>
#include <rapidjson/writer.h>

namespace vek::lsp {

using RpcWriter = rapidjson::Writer<rapidjson::StringBuffer>;
using rapidjson::Value;

enum ErrorCode : int32_t {
    kParseError = -32700,
    kInvalidRequest = -32600,
    kMethodNotFound = -32601,
    kInvalidParams = -32602,
    kInternalError = -32603,
    kServerNotInitialized = -32002,
    kRequestCancelled = -32800,
};

// A message from the client, sorted.
struct RpcMessage {
    enum class Kind { Request, Notification, Response, Bad };
    Kind kind = Kind::Bad;
    std::string id = "null";  // a request's id as JSON text, to answer it with
    std::string method;
    const Value* params = nullptr;  // never null but for Bad: an empty object when the message has none
    // Bad: the error code to answer with, and why; a notification that is
    // bad is not answered (answer is false), only told to the client's log.
    int32_t error = 0;
    std::string problem;
    bool answer = true;
};

// Parses `body` where it lies (its bytes are changed, and must outlive the
// message) into `document`, and sorts it.
RpcMessage readMessage(std::string& body, rapidjson::Document& document);

// Thrown by a handler whose params lack what the method needs; answered
// with kInvalidParams.
struct BadParams {
    std::string what;
};

// The member `name` of `object`, of the kind asked for; BadParams otherwise.
const Value& objectMember(const Value& object, const char* name);
std::string stringMember(const Value& object, const char* name);
uint32_t uintMember(const Value& object, const char* name);
// The member where it is there and an object; null otherwise.
const Value* optionalObject(const Value& object, const char* name);

void writeString(RpcWriter& writer, std::string_view text);
// Text for a person to read: bytes that are not UTF-8 written as the text \xHH.
void writeText(RpcWriter& writer, std::string_view text);

}  // namespace vek::lsp
