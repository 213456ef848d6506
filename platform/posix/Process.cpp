// SPDX-FileCopyrightText: 2026 The VekGpuKalderExtensions Authors
// SPDX-License-Identifier: Apache-2.0
#include "platform/Process.h"

#include <climits>
#if defined(__GLIBC__)
#include <malloc.h>
#endif
#include <cerrno>
#include <csignal>
#include <sys/types.h>
#include <unistd.h>

namespace vek::platform {

std::string executableDirectory() {
    char path[PATH_MAX];
    const ssize_t length = readlink("/proc/self/exe", path, sizeof path - 1);
    if (length <= 0) return {};
    const std::string full(path, static_cast<size_t>(length));
    const size_t slash = full.rfind('/');
    return slash == std::string::npos ? std::string() : full.substr(0, slash);
}

bool processAlive(long long id) {
    return id > 0 && (kill(static_cast<pid_t>(id), 0) == 0 || errno == EPERM);
}

void ignoreBrokenPipe() { std::signal(SIGPIPE, SIG_IGN); }

void useBinaryStandardStreams() {}

void returnLargeBlocks() {
#if defined(__GLIBC__)
    // A fixed threshold: glibc would otherwise raise it to the size of each
    // large block freed, and keep such blocks in its heap from then on.
    mallopt(M_MMAP_THRESHOLD, 128 * 1024);
#endif
}

}  // namespace vek::platform
