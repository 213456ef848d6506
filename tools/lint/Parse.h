// SPDX-FileCopyrightText: 2026 The VekGpuKalderExtensions Authors
// SPDX-License-Identifier: Apache-2.0
// A configuration text parsed as the plug-in parses it, remembering where
// each key and value starts and ends: the tokens the rules point at.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "BackendExtensions/ConfigJson.h"  // first: it sets how RapidJSON allocates
#include "Rules.h"

namespace vek::lint {

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

// Why the plug-in refuses the text before reading any key.
struct ParseFailure {
    RuleId rule = RuleId::InvalidJson;
    uint32_t begin = 0, end = 0;  // the offending token
    std::string message;
};

// Parses `text` into `parsed`; false after filling `failure` with the syntax
// or limit error the plug-in would refuse the text for.
bool parseConfigText(std::string_view text, ParsedText& parsed, ParseFailure& failure);

// The end of the token that starts at `offset` of a text that parsed: past
// a name's or string's closing quote, an array's or object's bracket, a
// number's last digit.
uint32_t tokenEndAt(std::string_view text, uint32_t offset);

}  // namespace vek::lint
