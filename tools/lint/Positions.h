// SPDX-FileCopyrightText: 2026 The VekGpuKalderExtensions Authors
// SPDX-License-Identifier: Apache-2.0
// Lines and columns of byte offsets, in one pass over the text however many
// places are asked for, as long as they are asked in order.
#pragma once

#include <string_view>

#include "Diagnostic.h"

namespace vek::lint {

class Positions {
public:
    Positions(std::string_view text, ColumnUnit unit) : text_(text), unit_(unit) {}

    // The position of `offset`, never before the offset asked last.
    Position at(size_t offset);
    // The position of `end`, at or after `begin`: the end of a token that
    // starts at `begin`. Costs the token's length.
    Position after(const Position& begin, size_t end) const;

private:
    std::string_view text_;
    ColumnUnit unit_;
    size_t line_ = 1, lineStart_ = 0, scanned_ = 0;
    size_t columnAt_ = 0, column_ = 1;  // the last column counted on the line
};

}  // namespace vek::lint
