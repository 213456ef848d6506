// SPDX-FileCopyrightText: 2026 The VekGpuKalderExtensions Authors
// SPDX-License-Identifier: Apache-2.0
// Every configuration key, as the editor schema describes it.
#pragma once

#include <string>
#include <vector>

namespace vek::lint {

struct KeyDescription {
    std::string key;
    std::string type;                  // "boolean", "array of strings", "integer from ... to ..."
    std::vector<std::string> allowed;  // the allowed values as JSON texts, where there is a list
    std::string defaultValue;          // as JSON text; empty when the backend library decides
    std::vector<std::string> needs;    // the keys it needs
    std::string title;                 // what it does, in one line
};

// False when the editor schema cannot be read.
bool readKeys(const std::string& editorSchemaPath, std::vector<KeyDescription>& keys);

// One paragraph per key: its type or allowed values, default, the keys it
// needs, and one line on what it does.
std::string formatKeys(const std::vector<KeyDescription>& keys);
// One JSON document, on one line: an array of objects with the same fields.
std::string formatKeysJson(const std::vector<KeyDescription>& keys);

}  // namespace vek::lint
