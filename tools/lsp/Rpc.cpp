// SPDX-FileCopyrightText: 2026 The VekGpuKalderExtensions Authors
// SPDX-License-Identifier: Apache-2.0
#include "Rpc.h"

namespace vek::lsp {

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

void writeString(RpcWriter& writer, const std::string& text) {
    writer.String(text.c_str(), static_cast<rapidjson::SizeType>(text.size()));
}

}  // namespace vek::lsp
