// SPDX-FileCopyrightText: 2026 The VekGpuKalderExtensions Authors
// SPDX-License-Identifier: Apache-2.0
#include "Positions.h"

#include <algorithm>
#include <cstring>


namespace vek::lint {

Position Positions::at(size_t offset) {
    offset = std::min(offset, text_.size());
    while (scanned_ < offset) {
        const void* newline = std::memchr(text_.data() + scanned_, '\n', offset - scanned_);
        if (newline == nullptr) {
            scanned_ = offset;
            break;
        }
        ++line_;
        scanned_ = static_cast<size_t>(static_cast<const char*>(newline) - text_.data()) + 1;
        lineStart_ = scanned_;
        columnAt_ = lineStart_;
        column_ = 1;
    }
    if (columnAt_ < lineStart_) {
        columnAt_ = lineStart_;
        column_ = 1;
    }
    if (offset > columnAt_) {
        column_ += columnsBetween(text_, columnAt_, offset, unit_);
        columnAt_ = offset;
    }
    return Position{offset, line_, column_};
}

Position Positions::after(const Position& begin, size_t end) const {
    end = std::max(begin.offset, std::min(end, text_.size()));
    Position position = begin;
    size_t lineStart = begin.offset;
    for (size_t i = begin.offset; i < end; ++i) {
        if (text_[i] == '\n') {
            ++position.line;
            lineStart = i + 1;
            position.column = 1;
        }
    }
    position.column += columnsBetween(text_, lineStart, end, unit_);
    position.offset = end;
    return position;
}

}  // namespace vek::lint
