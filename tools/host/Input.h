// SPDX-FileCopyrightText: 2026 The VekGpuKalderExtensions Authors
// SPDX-License-Identifier: Apache-2.0
// A configuration named on the command line, made readable twice: the check
// reads it, then the plug-in does. The plug-in reads only regular files (it
// measures a file before reading it, which a pipe does not allow), so
// standard input ("-") and anything that is not a regular file (a pipe, a
// FIFO, /dev/stdin, a process substitution) is read once into a private
// temporary file, removed when the input goes.
#pragma once

#include <memory>
#include <string>

#include "platform/TempFile.h"

namespace vek::host {

class ConfigInput {
public:
    // `argument`: a path, or "-" for standard input.
    explicit ConfigInput(const std::string& argument);

    // As diagnostics name it: the argument, or "<stdin>".
    const std::string& name() const { return name_; }
    // The regular file to read: the argument itself, or the temporary copy.
    const std::string& path() const { return path_; }
    // Why the input cannot be read ("No such file or directory", "Is a
    // directory", ...); empty when it can. The runner still hands the path
    // to the plug-in, which answers for itself.
    const std::string& unreadable() const { return unreadable_; }
    // Why no temporary copy could be made; the runner cannot go on.
    const std::string& failure() const { return failure_; }

private:
    void copy(std::FILE* from);

    std::string name_;
    std::string path_;
    std::string unreadable_;
    std::string failure_;
    std::unique_ptr<platform::TempFile> copy_;
};

}  // namespace vek::host
