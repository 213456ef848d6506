// SPDX-FileCopyrightText: 2026 The VekGpuKalderExtensions Authors
// SPDX-License-Identifier: Apache-2.0
// What the client can do, as initialize tells it, and what the server
// offers in return.
#pragma once

#include <string>

#include "Features.h"
#include "Rpc.h"

namespace vek::lsp {

ClientAbilities readClientAbilities(const Value& initializeParams);

// The result of initialize: the server's capabilities and its name and version.
void writeInitializeResult(RpcWriter& writer, const ClientAbilities& client, const std::string& name, const std::string& version);

}  // namespace vek::lsp
