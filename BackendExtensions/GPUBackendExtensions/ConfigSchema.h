// SPDX-FileCopyrightText: 2026 The VekGpuKalderExtensions Authors
// SPDX-License-Identifier: Apache-2.0
// The JSON schema (draft-04) of the configuration file, embedded at build
// time byte for byte from configSchema.json beside this header. Its first
// member is "$schema:", colon included, on purpose: the text is the one the
// plug-in has always carried, and the validator takes the member for an
// unknown keyword. configSchema.editor.json spells "$schema" for editors.
#pragma once

#include <cstddef>

namespace vek::gpu {

extern const char configSchema[];  // NUL-terminated
extern const size_t configSchemaSize;  // without the NUL

}  // namespace vek::gpu
