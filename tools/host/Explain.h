// Plain-language explanations of why a configuration file was refused.
#pragma once

#include <string>
#include <vector>

namespace vek::host {

// One line naming the key, the offending value and what is allowed, from the
// plug-in's schema report (a URI fragment followed by the error object), the
// configuration file and the schema file. Empty when the report cannot be read.
std::string explainSchemaReport(const std::string& report, const std::string& configPath,
                                const std::string& schemaPath);

// The known key closest to `key`, or empty when none is near.
std::string closestKey(const std::string& key, const std::vector<std::string>& knownKeys);

// The top-level keys the schema file lists; empty when it cannot be read.
std::vector<std::string> schemaKeys(const std::string& schemaPath);

}  // namespace vek::host
