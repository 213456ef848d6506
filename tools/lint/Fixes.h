// SPDX-FileCopyrightText: 2026 The VekGpuKalderExtensions Authors
// SPDX-License-Identifier: Apache-2.0
// The edits the rules' fixes are made of, each leaving a text the plug-in
// reads as meant.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "BackendExtensions/ConfigValues.h"
#include "BackendExtensions/GPUBackendExtensions/GpuConfigKeys.h"
#include "Diagnostic.h"

namespace vek::lint {

// The member whose name starts at `keyBegin` of a text that parsed, taken
// out with the comma that joins it to the others; `valueEnd`, where known,
// spares reading a large value again.
Edit removeMember(std::string_view text, size_t keyBegin, size_t valueEnd = std::string_view::npos);

// Members ("\"graph_names\": []") put before the first member of the root
// object at `rootBegin`, each on a line of its own where the members are.
std::vector<Edit> insertMembers(std::string_view text, size_t rootBegin, const std::vector<std::string>& members);

// Python's True, False or None, or a single-quoted string, at `at`, in
// JSON's spelling; false when the token there is none of them.
bool jsonSpelling(std::string_view text, size_t at, Fix& fix);

// Whether the plug-in takes the whole value for the key (for a list of
// graph names: an array of strings).
bool takesValue(const gpu::ConfigKey& key, const tools::kalder::ConfigValue& value);

// The value, as JSON text, that a value the plug-in refuses for the key
// plainly means: a boolean written "true" or 1, an integer written "3" or
// 3.0, an allowed text in another case or with spaces around it. Empty when
// there is none.
std::string meantValue(const gpu::ConfigKey& key, const tools::kalder::ConfigValue& value);

// A value of the key's type to start from: [], true, "", the first allowed text, 0.
std::string placeholder(const gpu::ConfigKey& key);

}  // namespace vek::lint
