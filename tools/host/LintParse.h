// SPDX-FileCopyrightText: 2026 The VekGpuKalderExtensions Authors
// SPDX-License-Identifier: Apache-2.0
// A configuration text parsed as the plug-in parses it, remembering where
// each key and value starts. Shared by the two halves of the check.
#pragma once

#include <cstdint>
#include <string_view>
#include <vector>

#include "Lint.h"

namespace vek::host {

// Where a value starts, and for a member's value where its key starts.
struct Spot {
    uint32_t value;
    uint32_t key;  // kNoKey for the root and array elements
};
constexpr uint32_t kNoKey = UINT32_MAX;

struct ParsedText {
    std::string_view text;
    tools::kalder::ConfigDocument document;
    std::vector<Spot> spots;  // one per value, in document order (depth first)
};

// Parses `text` into `parsed`; false after adding the syntax or limit error
// the plug-in would refuse the text for.
bool parseConfigText(std::string_view text, ParsedText& parsed, std::vector<Diagnostic>& diagnostics);

// Adds a diagnostic for every schema violation and every key the plug-in
// would refuse, and a warning for every repeated key.
void checkConfigRules(const ParsedText& parsed, const tools::kalder::ConfigValue& schema, std::vector<Diagnostic>& diagnostics);

}  // namespace vek::host
