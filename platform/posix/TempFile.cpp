// SPDX-FileCopyrightText: 2026 The VekGpuKalderExtensions Authors
// SPDX-License-Identifier: Apache-2.0
#include "platform/TempFile.h"

#include <fcntl.h>
#include <signal.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>

namespace vek::platform {
namespace {

// The files to remove when a signal ends the program: fixed storage, so the
// handler needs no allocation and only async-signal-safe calls.
constexpr size_t kMaxFiles = 8;
constexpr size_t kMaxPath = 4096;
char registered[kMaxFiles][kMaxPath];
volatile sig_atomic_t used[kMaxFiles];

void removeAndDie(int number) {
    for (size_t i = 0; i < kMaxFiles; ++i) {
        if (used[i]) unlink(registered[i]);
    }
    ::signal(number, SIG_DFL);
    ::raise(number);
}

int enroll(const std::string& path) {
    static const bool handled = [] {
        for (int number : {SIGINT, SIGTERM, SIGHUP, SIGPIPE}) {
            // A program that ignores a signal goes on ignoring it.
            struct sigaction before {};
            if (::sigaction(number, nullptr, &before) == 0 && before.sa_handler == SIG_IGN) continue;
            ::signal(number, removeAndDie);
        }
        return true;
    }();
    (void)handled;
    if (path.size() >= kMaxPath) return -1;
    for (size_t i = 0; i < kMaxFiles; ++i) {
        if (!used[i]) {
            std::memcpy(registered[i], path.c_str(), path.size() + 1);
            used[i] = 1;
            return static_cast<int>(i);
        }
    }
    return -1;
}

int slotOf(const std::string& path) {
    for (size_t i = 0; i < kMaxFiles; ++i) {
        if (used[i] && path == registered[i]) return static_cast<int>(i);
    }
    return -1;
}

}  // namespace

TempFile::TempFile() {
    const char* variable = std::getenv("TMPDIR");
    const std::string folder = variable != nullptr && *variable != '\0' ? variable : "/tmp";
    std::string name = folder + "/vekhost-XXXXXX";
    const int fd = mkstemp(name.data());  // mode 0600
    if (fd < 0) {
        error_ = "cannot create a temporary file in " + folder + ": " + std::strerror(errno);
        return;
    }
    path_ = name;
    if (enroll(path_) < 0) {
        error_ = "too many temporary files";
    } else if ((stream_ = fdopen(fd, "wb")) == nullptr) {
        error_ = std::string("cannot write a temporary file: ") + std::strerror(errno);
    }
    if (stream_ == nullptr) {
        ::close(fd);
        unlink(path_.c_str());
        if (const int slot = slotOf(path_); slot >= 0) used[slot] = 0;
        path_.clear();
    }
}

TempFile::~TempFile() {
    if (stream_ != nullptr) std::fclose(stream_);
    if (path_.empty()) return;
    unlink(path_.c_str());
    if (const int slot = slotOf(path_); slot >= 0) used[slot] = 0;
}

bool TempFile::close() {
    if (stream_ == nullptr) return error_.empty();
    const bool written = std::fflush(stream_) == 0 && std::ferror(stream_) == 0;
    const int flushError = errno;
    const bool closed = std::fclose(stream_) == 0;
    stream_ = nullptr;
    if (!written || !closed) error_ = std::string("cannot write a temporary file: ") + std::strerror(written ? errno : flushError);
    return written && closed;
}

}  // namespace vek::platform
