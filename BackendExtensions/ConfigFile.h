// SPDX-FileCopyrightText: 2026 The VekGpuKalderExtensions Authors
// SPDX-License-Identifier: Apache-2.0
// Reading the configuration file into a JSON document.
#pragma once

#include <string>

#include "BackendExtensions/ConfigJson.h"
#include "BackendExtensions/JsonLimits.h"

namespace vek::tools::kalder {

// Deepest nesting of arrays and objects a configuration file may have. Far
// above what the format uses (2), far below what would strain a thread's
// stack in the parser and in the walks over the document.
constexpr unsigned VEK_CONFIG_MAX_DEPTH = 256;
// Longest number literal, and most significant exponent digits, a
// configuration file may hold; beyond them a file is not valid JSON.
constexpr unsigned VEK_CONFIG_MAX_NUMBER_LENGTH = 4096;
constexpr unsigned VEK_CONFIG_MAX_EXPONENT_DIGITS = 5;
constexpr JsonLimits kConfigLimits{VEK_CONFIG_MAX_DEPTH, VEK_CONFIG_MAX_NUMBER_LENGTH, VEK_CONFIG_MAX_EXPONENT_DIGITS};

// Parses the whole file at `path` as one strict JSON value into `document`.
// False after one error message when the file cannot be opened, its buffer
// cannot be allocated, or it is not valid JSON; `document` is then unchanged.
bool readConfigFile(ConfigDocument& document, const std::string& path);

}  // namespace vek::tools::kalder
