// SPDX-FileCopyrightText: 2026 The VekGpuKalderExtensions Authors
// SPDX-License-Identifier: Apache-2.0
#include "platform/TempFile.h"

#include <windows.h>

#include <cerrno>
#include <cstring>

namespace vek::platform {

TempFile::TempFile() {
    char folder[MAX_PATH + 1];
    char name[MAX_PATH + 1];
    const DWORD length = GetTempPathA(sizeof folder, folder);
    // Creates the file under a name no other file has.
    if (length == 0 || length > MAX_PATH || GetTempFileNameA(folder, "vek", 0, name) == 0) {
        error_ = "cannot create a temporary file (Windows error " + std::to_string(GetLastError()) + ")";
        return;
    }
    path_ = name;
    stream_ = std::fopen(name, "wb");
    if (stream_ == nullptr) {
        error_ = std::string("cannot write a temporary file: ") + std::strerror(errno);
        DeleteFileA(name);
        path_.clear();
    }
}

TempFile::~TempFile() {
    if (stream_ != nullptr) std::fclose(stream_);
    if (!path_.empty()) DeleteFileA(path_.c_str());
}

bool TempFile::close() {
    if (stream_ == nullptr) return error_.empty();
    const bool written = std::fflush(stream_) == 0 && std::ferror(stream_) == 0;
    const bool closed = std::fclose(stream_) == 0;
    stream_ = nullptr;
    if (!written || !closed) error_ = std::string("cannot write a temporary file: ") + std::strerror(errno);
    return written && closed;
}

}  // namespace vek::platform
