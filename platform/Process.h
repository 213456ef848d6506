// SPDX-FileCopyrightText: 2026 The VekGpuKalderExtensions Authors
// SPDX-License-Identifier: Apache-2.0
// Where the running program lives, so tools find the files installed beside it.
#pragma once

#include <string>

namespace vek::platform {

// The directory of the running executable, without a trailing separator;
// empty when it cannot be told.
std::string executableDirectory();

// A write to a pipe whose reader has gone fails with an error instead of
// ending the program (POSIX's SIGPIPE); a server that writes to its client
// says goodbye on its own terms.
void ignoreBrokenPipe();

// Standard input and output carry bytes as they are (Windows would turn
// "\n" into "\r\n" and stop reading at Ctrl-Z), for a protocol that counts them.
void useBinaryStandardStreams();

// Whether the process `id` still runs (a process this one may not signal
// counts as running).
bool processAlive(long long id);

// Large blocks go back to the system when freed, always: a server that
// checks one large document after another holds no more than the largest
// check needs now, not the high-water mark of every block it ever freed.
void returnLargeBlocks();

}  // namespace vek::platform
