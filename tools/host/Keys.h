// Every configuration key, as the editor schema describes it.
#pragma once

#include <string>

namespace vek::host {

// For each key: its type or allowed values, its default, the keys it needs,
// and one line on what it does. Empty when the schema cannot be read.
std::string describeKeys(const std::string& editorSchemaPath);

}  // namespace vek::host
