// The JSON schema (draft-04) of the configuration file, embedded at build
// time byte for byte from configSchema.json beside this header.
#pragma once

#include <cstddef>

namespace vek::gpu {

extern const char configSchema[];  // NUL-terminated
extern const size_t configSchemaSize;  // without the NUL

}  // namespace vek::gpu
