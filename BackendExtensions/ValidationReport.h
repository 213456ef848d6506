// SPDX-FileCopyrightText: 2026 The VekGpuKalderExtensions Authors
// SPDX-License-Identifier: Apache-2.0
// The validator's error report, written the same on every RapidJSON version.
#pragma once

#include <string>
#include <vector>

#include "BackendExtensions/ConfigJson.h"

namespace vek::tools::kalder {

// What the validator refused first.
struct SchemaViolation {
    const char* keyword;                 // the failed keyword: "type", "enum", "dependencies", ...
    std::vector<std::string> documentAt;  // where in the document, as pointer tokens
    const char* actualType;              // the refused value's type, as "type" reports it
};

// "#" and "/token" per token, "~" as "~0" and "/" as "~1", and every byte
// but an ASCII letter, digit, "-", "." or "_" percent-encoded.
void writeUriFragment(JsonBuffer& out, const std::vector<std::string>& tokens);

// Writes the error object for `violation` as compact JSON:
//   {"<keyword>":{<details>,"errorCode":N,"instanceRef":"#...","schemaRef":"#..."}}
// The schema location is where the schema's "properties" and "items" lead
// along the document location. Details are read from the schema and the
// document: "expected" (and the violation's "actual") for a type, "missing"
// for required keys, and for dependencies one "required" report per present
// key whose dependencies are missing, in the order of the schema's properties.
void writeSchemaViolation(JsonWriter& writer, const SchemaViolation& violation, const ConfigValue& schema,
                          const ConfigValue& document);

}  // namespace vek::tools::kalder
