// SPDX-FileCopyrightText: 2026 The VekGpuKalderExtensions Authors
// SPDX-License-Identifier: Apache-2.0
// `vekhost rules`: every check the tool makes, from the check's rule table.
#pragma once

#include <string>

namespace vek::host {

enum class RulesFormat { Text, Json, Markdown };

// Text: "ID  SEVERITY  DESCRIPTION" and the help below each; JSON: an array of
// {"id", "severity", "description", "help"}; Markdown: the README's table.
std::string formatRules(RulesFormat format);

}  // namespace vek::host
