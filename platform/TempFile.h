// SPDX-FileCopyrightText: 2026 The VekGpuKalderExtensions Authors
// SPDX-License-Identifier: Apache-2.0
// A private temporary file of the running program, for input that cannot be
// read twice (a pipe, standard input) and must be read by two readers.
#pragma once

#include <cstdio>
#include <string>

namespace vek::platform {

class TempFile {
public:
    // Creates a new file only this user may read or write, under a name no
    // other file has, in the system's temporary folder (TMPDIR, TEMP). On
    // failure path() is empty and error() says why.
    TempFile();
    // Removes the file. On POSIX it is also removed when the program is
    // ended by SIGINT, SIGTERM, SIGHUP or SIGPIPE.
    ~TempFile();
    TempFile(const TempFile&) = delete;
    TempFile& operator=(const TempFile&) = delete;

    const std::string& path() const { return path_; }
    const std::string& error() const { return error_; }
    // Open for writing (binary) until close(); null after close() or on failure.
    std::FILE* stream() const { return stream_; }
    // False, with error() set, when the data could not all be written.
    bool close();

private:
    std::string path_;
    std::string error_;
    std::FILE* stream_ = nullptr;
};

}  // namespace vek::platform
