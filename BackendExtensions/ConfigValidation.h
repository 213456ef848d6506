// SPDX-FileCopyrightText: 2026 The VekGpuKalderExtensions Authors
// SPDX-License-Identifier: Apache-2.0
// Checking a configuration document against the schema the plug-in carries.
#pragma once

#include <string>

#include "BackendExtensions/ConfigJson.h"

namespace vek::tools::kalder {

// True when `document` satisfies the JSON schema `schemaText` (draft-04).
// Otherwise logs where the document fails and the validator's error report
// and answers false; also false when the schema text is not JSON.
bool validateConfig(const ConfigDocument& document, const std::string& schemaText);

}  // namespace vek::tools::kalder
