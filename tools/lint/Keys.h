// SPDX-FileCopyrightText: 2026 The VekGpuKalderExtensions Authors
// SPDX-License-Identifier: Apache-2.0
// Every configuration key: its type from the plug-in's key table, what the
// editor schema says of it, and the words for people made from both.
#pragma once

#include <string>
#include <vector>

#include "BackendExtensions/GPUBackendExtensions/GpuConfigKeys.h"

namespace vek::lint {

struct KeyDescription {
    std::string key;
    gpu::KeyType type = gpu::KeyType::Text;
    std::string minimum, maximum;      // as JSON text, where the key's range is narrower than its type's
    std::vector<std::string> allowed;  // the allowed values as JSON texts, where there is a list
    std::string defaultValue;          // as JSON text; empty when the backend library decides
    std::vector<std::string> needs;    // the keys it needs
    std::string title;                 // what it does, in one line
};

// The JSON type a key's values have: "array", "string", "boolean", "integer".
const char* jsonTypeOf(gpu::KeyType type);
// The type for people: "boolean", "array of strings", "integer from -2147483648 to 2147483647".
std::string typeWords(const KeyDescription& key);

// False when the editor schema cannot be read, or names a key the plug-in does not know.
bool readKeys(const std::string& editorSchemaPath, std::vector<KeyDescription>& keys);

// One paragraph per key: its type or allowed values, default, the keys it
// needs, and one line on what it does.
std::string formatKeys(const std::vector<KeyDescription>& keys);
// One JSON document, on one line: an array of objects with the same fields.
std::string formatKeysJson(const std::vector<KeyDescription>& keys);

}  // namespace vek::lint
