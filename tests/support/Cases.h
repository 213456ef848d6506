// Test cases kept as data in tests/cases/*.json: an array of objects, each
// with the configuration to load ("config", written out compactly as the
// file's text) and what must follow from it.
#pragma once

#include <string>

#include "BackendExtensions/ConfigJson.h"

namespace vek::test {

tools::kalder::ConfigDocument readCases(const std::string& name);

// The value as compact JSON text.
std::string compact(const tools::kalder::ConfigValue& value);

}  // namespace vek::test
