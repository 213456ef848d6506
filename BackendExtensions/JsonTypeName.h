// SPDX-FileCopyrightText: 2026 The VekGpuKalderExtensions Authors
// SPDX-License-Identifier: Apache-2.0
// The JSON Schema name of a value's type, as the validation report uses it.
#pragma once

#include "BackendExtensions/ConfigJson.h"

namespace vek::tools::kalder {

// "null", "boolean", "object", "array", "string", and for numbers "integer"
// when the parser stored an integer, else "number".
inline const char* jsonTypeName(rapidjson::Type type, bool isDouble) {
    switch (type) {
        case rapidjson::kNullType: return "null";
        case rapidjson::kFalseType:
        case rapidjson::kTrueType: return "boolean";
        case rapidjson::kObjectType: return "object";
        case rapidjson::kArrayType: return "array";
        case rapidjson::kStringType: return "string";
        case rapidjson::kNumberType: return isDouble ? "number" : "integer";
    }
    return "null";
}

inline const char* jsonTypeName(const ConfigValue& value) {
    return jsonTypeName(value.GetType(), value.IsDouble());
}

}  // namespace vek::tools::kalder
