// SPDX-FileCopyrightText: 2026 The VekGpuKalderExtensions Authors
// SPDX-License-Identifier: Apache-2.0
// Whether the plug-in takes the value a key names: the one rule the key
// interpretation applies, and the runner's configuration check mirrors.
#pragma once

#include "BackendExtensions/ConfigJson.h"

#include "BackendExtensions/GPUBackendExtensions/GpuConfigKeys.h"

namespace vek::gpu {

enum class KeyVerdict {
    Taken,        // the value is applied
    Unsupported,  // no such key, or a graph name that is no text
    WrongType,    // missing, of another JSON type, or a device id beyond 32 bits
    NotAllowed,   // a text the enumeration does not list
};

// `value` is what the lookup of the key found, null when it found nothing.
inline KeyVerdict judgeKeyValue(const ConfigKey* key, const tools::kalder::ConfigValue* value) {
    if (key == nullptr) return KeyVerdict::Unsupported;
    const bool isText = value != nullptr && value->IsString();
    switch (key->type) {
        case KeyType::TextList: return isText ? KeyVerdict::Taken : KeyVerdict::Unsupported;
        case KeyType::Flag: return value != nullptr && value->IsBool() ? KeyVerdict::Taken : KeyVerdict::WrongType;
        case KeyType::Integer: return value != nullptr && value->IsInt() ? KeyVerdict::Taken : KeyVerdict::WrongType;
        case KeyType::Text: break;
    }
    if (!isText) return KeyVerdict::WrongType;
    if (key->enumTexts != nullptr && findEnumText(*key, value->GetString()) == nullptr) return KeyVerdict::NotAllowed;
    return KeyVerdict::Taken;
}

}  // namespace vek::gpu
