// SPDX-FileCopyrightText: 2026 The VekGpuKalderExtensions Authors
// SPDX-License-Identifier: Apache-2.0
// The server's loop: messages are taken in bursts, whatever the client has
// sent by the time the server is free; each burst is answered in order,
// then each document it changed is checked once, its newest text only.
#pragma once

#include <cstdio>
#include <functional>
#include <vector>

#include "Server.h"
#include "Transport.h"

namespace vek::lsp {

// One burst: every request cancelled within it is answered as cancelled,
// every other message answered in order, then the changed documents
// checked and their diagnostics published. What vekhost lsp, the fuzz
// target and the benchmarks run.
void serveBurst(Server& server, std::vector<Incoming>& burst);

// Serves `in` and `out` until the exit notification, the end of `in`, or,
// where `clientAlive` is given, the end of the client's process (asked
// every second); returns the exit status (0 after shutdown, 1 otherwise).
int serve(std::FILE* in, std::FILE* out, ServerSetup setup, std::function<bool()> clientAlive = {});

}  // namespace vek::lsp
