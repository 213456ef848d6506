// SPDX-FileCopyrightText: 2026 The VekGpuKalderExtensions Authors
// SPDX-License-Identifier: Apache-2.0
#include "Columns.h"

#include <algorithm>

#include "Text.h"

namespace vek::lint {
namespace {

// The bytes and UTF-16 code units of the character at `at`.
struct Step {
    size_t bytes, units;
};

Step stepAt(std::string_view text, size_t at) {
    if (static_cast<unsigned char>(text[at]) < 0x80) return {1, 1};  // ASCII, the usual case
    const size_t length = utf8Length(text.substr(at, 4));
    if (length == 0) return {1, 1};
    return {length, length == 4 ? size_t{2} : size_t{1}};
}

}  // namespace

size_t columnsBetween(std::string_view text, size_t from, size_t to, ColumnUnit unit) {
    if (unit == ColumnUnit::Byte) return to - from;
    size_t count = 0;
    while (from < to) {
        const Step step = stepAt(text, from);
        count += step.units;
        from += step.bytes;
    }
    return count;
}

size_t offsetAfterColumns(std::string_view text, size_t from, size_t end, size_t columns, ColumnUnit unit) {
    if (unit == ColumnUnit::Byte) return std::min(end, from + std::min(columns, end - from));
    size_t counted = 0;
    while (from < end && counted < columns) {
        const Step step = stepAt(text, from);
        counted += step.units;
        from += step.bytes;
    }
    return std::min(from, end);
}

}  // namespace vek::lint
