// SPDX-FileCopyrightText: 2026 The VekGpuKalderExtensions Authors
// SPDX-License-Identifier: Apache-2.0
// Test cases kept as data in tests/cases/*.json (an array of objects, each
// with the configuration to load, "config", written out compactly as the
// file's text, and what must follow from it), and the runner's check held
// against the plug-in's verdict on a file.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "JsonOutput.h"  // first: it sets how RapidJSON allocates
#include "LogCapture.h"

namespace vek::test {

using lint::jsonText;

tools::kalder::ConfigDocument readCases(const std::string& name);

// The plug-in's schema, parsed once: what the runner's check reads.
const tools::kalder::ConfigDocument& pluginSchema();

// The texts of the case's array `name`; none when it has no such member.
std::vector<std::string> strings(const tools::kalder::ConfigValue& c, const char* name);

// The case's "log", lines as "I Graph name: %s | Graph name: g": the level
// (E, W or I), the format text and the message it makes, if it differs.
std::vector<LogLine> expectedLog(const tools::kalder::ConfigValue& c);

// Whether the runner's check, read with the plug-in's schema, finds an error
// in the file (or text): it must exactly when the plug-in refuses it. Every
// diagnostic must stand on the first byte of a token of the file (a key, a
// value, a punctuation mark, an escape in a string, or the file's start or
// end): a diagnostic placed between tokens throws std::logic_error.
bool lintFindsError(const std::string& path);
bool lintFindsErrorInText(std::string_view text);

}  // namespace vek::test
