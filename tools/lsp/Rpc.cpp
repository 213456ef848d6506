// SPDX-FileCopyrightText: 2026 The VekGpuKalderExtensions Authors
// SPDX-License-Identifier: Apache-2.0
#include "Rpc.h"

#include <rapidjson/error/en.h>

#include "JsonOutput.h"
#include "Text.h"

namespace vek::lsp {
namespace {

RpcMessage bad(int32_t error, std::string problem, std::string id = "null", bool answer = true) {
    RpcMessage message;
    message.error = error;
    message.problem = std::move(problem);
    message.id = std::move(id);
    message.answer = answer;
    return message;
}

bool isString(const Value& value, const char* text) { return value.IsString() && std::string(value.GetString()) == text; }

}  // namespace

RpcMessage readMessage(std::string& body, rapidjson::Document& document) {
    // UTF-8 is checked first, on the whole body: RapidJSON's own check
    // reads past the end of a text parsed where it lies when a character is
    // cut short there.
    if (!lint::isUtf8(body)) return bad(kParseError, "the message is not UTF-8");
    document.ParseInsitu(&body[0]);
    if (document.HasParseError()) {
        return bad(kParseError, std::string("the message is not JSON: ") + rapidjson::GetParseError_En(document.GetParseError()) +
                                    " at byte " + std::to_string(document.GetErrorOffset()));
    }
    if (!document.IsObject()) return bad(kInvalidRequest, "a message must be a JSON object (the protocol sends no batches)");
    const auto id = document.FindMember("id");
    const bool request = id != document.MemberEnd();
    if (request && !id->value.IsString() && !id->value.IsInt64()) return bad(kInvalidRequest, "a request's id must be an integer or a string");
    RpcMessage message;
    if (request) message.id = lint::jsonText(id->value);
    const auto method = document.FindMember("method");
    if (method == document.MemberEnd()) {
        // A response to the server: it sends no requests, so there is nothing to match.
        if (request && (document.HasMember("result") || document.HasMember("error"))) {
            message.kind = RpcMessage::Kind::Response;
            return message;
        }
        return bad(kInvalidRequest, "a message without method is no request or notification", message.id);
    }
    const auto version = document.FindMember("jsonrpc");
    if (!method->value.IsString() || version == document.MemberEnd() || !isString(version->value, "2.0")) {
        return request ? bad(kInvalidRequest, "a request needs \"jsonrpc\": \"2.0\" and a method name", message.id)
                       : bad(kInvalidRequest, "a notification without \"jsonrpc\": \"2.0\" or a method name was ignored", "null", false);
    }
    static const Value kNoParams(rapidjson::kObjectType);
    const auto params = document.FindMember("params");
    message.kind = request ? RpcMessage::Kind::Request : RpcMessage::Kind::Notification;
    message.method.assign(method->value.GetString(), method->value.GetStringLength());
    message.params = params != document.MemberEnd() ? &params->value : &kNoParams;
    return message;
}

const Value& objectMember(const Value& object, const char* name) {
    const auto found = object.IsObject() ? object.FindMember(name) : object.MemberEnd();
    if (!object.IsObject() || found == object.MemberEnd() || !found->value.IsObject()) {
        throw BadParams{std::string(name) + " must be an object"};
    }
    return found->value;
}

std::string stringMember(const Value& object, const char* name) {
    const auto found = object.IsObject() ? object.FindMember(name) : object.MemberEnd();
    if (!object.IsObject() || found == object.MemberEnd() || !found->value.IsString()) {
        throw BadParams{std::string(name) + " must be a string"};
    }
    return std::string(found->value.GetString(), found->value.GetStringLength());
}

uint32_t uintMember(const Value& object, const char* name) {
    const auto found = object.IsObject() ? object.FindMember(name) : object.MemberEnd();
    if (!object.IsObject() || found == object.MemberEnd() || !found->value.IsUint()) {
        throw BadParams{std::string(name) + " must be an unsigned integer"};
    }
    return found->value.GetUint();
}

const Value* optionalObject(const Value& object, const char* name) {
    if (!object.IsObject()) return nullptr;
    const auto found = object.FindMember(name);
    return found != object.MemberEnd() && found->value.IsObject() ? &found->value : nullptr;
}

void writeString(RpcWriter& writer, std::string_view text) {
    writer.String(text.data(), static_cast<rapidjson::SizeType>(text.size()));
}

void writeText(RpcWriter& writer, std::string_view text) {
    if (lint::isUtf8(text)) writeString(writer, text);
    else writeString(writer, lint::utf8Text(text));
}

}  // namespace vek::lsp
