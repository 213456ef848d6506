// SPDX-FileCopyrightText: 2026 The VekGpuKalderExtensions Authors
// SPDX-License-Identifier: Apache-2.0
#include "Input.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <system_error>

namespace vek::host {

ConfigInput::ConfigInput(const std::string& argument) : name_(argument == "-" ? "<stdin>" : argument), path_(argument) {
    if (argument == "-") {
        copy(stdin);
        return;
    }
    // The C runtime's words for why, the same on every platform.
    std::error_code error;
    const std::filesystem::file_status status = std::filesystem::status(argument, error);
    if (std::filesystem::is_directory(status)) {
        unreadable_ = std::strerror(EISDIR);
        return;
    }
    std::FILE* file = std::fopen(argument.c_str(), "rb");
    if (file == nullptr) {
        unreadable_ = std::strerror(errno);
        return;
    }
    if (!error && !std::filesystem::is_regular_file(status)) copy(file);
    std::fclose(file);
}

void ConfigInput::copy(std::FILE* from) {
    copy_ = std::make_unique<platform::TempFile>();
    if (copy_->path().empty()) {
        failure_ = copy_->error();
        return;
    }
    char buffer[65536];
    size_t read = 0;
    bool written = true;
    while (written && (read = std::fread(buffer, 1, sizeof buffer, from)) > 0) {
        written = std::fwrite(buffer, 1, read, copy_->stream()) == read;
    }
    if (std::ferror(from)) unreadable_ = std::strerror(errno);
    if (!copy_->close() || !written) failure_ = copy_->error().empty() ? "cannot write a temporary file" : copy_->error();
    path_ = copy_->path();
}

}  // namespace vek::host
