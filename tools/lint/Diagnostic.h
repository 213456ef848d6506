// SPDX-FileCopyrightText: 2026 The VekGpuKalderExtensions Authors
// SPDX-License-Identifier: Apache-2.0
// One problem the check finds, as the formats show it.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "Rules.h"

namespace vek::lint {

// How columns count: characters as editors count them (UTF-16 code units:
// one per character, two beyond U+FFFF; a tab is one, a byte that is no
// UTF-8 is one), or bytes (GCC's -fdiagnostics-column-unit=byte).
enum class ColumnUnit { Char, Byte };

struct Position {
    size_t offset = 0;  // bytes from the start of the file
    size_t line = 1;    // from 1
    size_t column = 1;  // from 1, in the unit asked for
};

struct Diagnostic {
    RuleId rule = RuleId::InvalidJson;
    Severity severity = Severity::Error;
    Position begin;        // the first byte of the offending token: a key's name, a value, a bracket, a comma
    Position end;          // just past its last byte; the same as begin for the file as a whole
    std::string pointer;   // RFC 6901 JSON Pointer of the key or value; empty for the file as a whole
    std::string message;
    std::vector<std::string> allowed;  // the values allowed, where there is a list
};

}  // namespace vek::lint
