// SPDX-FileCopyrightText: 2026 The VekGpuKalderExtensions Authors
// SPDX-License-Identifier: Apache-2.0
// Columns of a line, counted character by character: the one walker over
// code points that the check's positions and the language server's share.
#pragma once

#include <cstddef>
#include <string_view>

namespace vek::lint {

// How columns count: characters as editors count them (UTF-16 code units:
// one per character, two beyond U+FFFF; a tab is one, a byte that is no
// UTF-8 is one), or bytes (GCC's -fdiagnostics-column-unit=byte, and the
// protocol's "utf-8" position encoding).
enum class ColumnUnit { Char, Byte };

// The columns from `from` to `to` (both byte offsets of one line).
size_t columnsBetween(std::string_view text, size_t from, size_t to, ColumnUnit unit);

// The byte offset `columns` columns after `from`, never past `end`; a
// column inside a character beyond U+FFFF stands for the character's end.
size_t offsetAfterColumns(std::string_view text, size_t from, size_t end, size_t columns, ColumnUnit unit);

}  // namespace vek::lint
