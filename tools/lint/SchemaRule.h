// SPDX-FileCopyrightText: 2026 The VekGpuKalderExtensions Authors
// SPDX-License-Identifier: Apache-2.0
// Reading the plug-in's schema as its validator reads it.
#pragma once

#include <cstring>
#include <string>
#include <vector>

#include "BackendExtensions/ConfigValues.h"
#include "BackendExtensions/JsonTypeName.h"

namespace vek::lint {

inline const tools::kalder::ConfigValue* member(const tools::kalder::ConfigValue& object, const char* name) {
    if (!object.IsObject()) return nullptr;
    const auto found = object.FindMember(name);
    return found != object.MemberEnd() ? &found->value : nullptr;
}

inline const tools::kalder::ConfigValue* memberByName(const tools::kalder::ConfigValue& object,
                                                      const tools::kalder::ConfigValue& name) {
    const auto found = object.FindMember(name);
    return found != object.MemberEnd() ? &found->value : nullptr;
}

// The types a schema's "type" names: one text or an array of them.
inline std::vector<std::string> typeNames(const tools::kalder::ConfigValue& type) {
    std::vector<std::string> types;
    if (type.IsString()) types.emplace_back(type.GetString());
    if (type.IsArray()) {
        for (const auto& t : type.GetArray()) types.emplace_back(t.GetString());
    }
    return types;
}

// The schema's "type" test, as the plug-in's validator makes it.
inline bool hasSchemaType(const tools::kalder::ConfigValue& value, const char* type) {
    if (std::strcmp(type, "integer") == 0) return value.IsNumber() && !value.IsDouble();
    if (std::strcmp(type, "number") == 0) return value.IsNumber();
    return std::strcmp(type, tools::kalder::jsonTypeName(value)) == 0;
}
inline bool hasSchemaType(const tools::kalder::ConfigValue& value, const tools::kalder::ConfigValue& type) {
    if (type.IsString()) return hasSchemaType(value, type.GetString());
    if (!type.IsArray()) return false;
    for (const auto& name : type.GetArray()) {
        if (hasSchemaType(value, name.GetString())) return true;
    }
    return false;
}

}  // namespace vek::lint
