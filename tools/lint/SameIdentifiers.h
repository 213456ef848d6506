// SPDX-FileCopyrightText: 2026 The VekGpuKalderExtensions Authors
// SPDX-License-Identifier: Apache-2.0
// Graph names that the plug-in turns into the same identifier.
#pragma once

#include <cstdint>
#include <vector>

#include "BackendExtensions/ConfigValues.h"
#include "Finding.h"

namespace vek::lint {

// For each graph name, the earliest name before it that becomes the same
// identifier, or kNone. The names are ordered by their identifiers'
// hashes (a stable radix sort: sequential passes, where a hash table of
// millions of names would be read at random), and only names whose hashes
// are equal are compared.
std::vector<uint32_t> earlierSameIdentifiers(const std::vector<const tools::kalder::ConfigValue*>& names);

// Whether the plug-in's identifier for the name differs from the name.
bool identifierDiffers(const tools::kalder::ConfigValue& name);

}  // namespace vek::lint
