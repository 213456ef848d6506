// SPDX-FileCopyrightText: 2026 The VekGpuKalderExtensions Authors
// SPDX-License-Identifier: Apache-2.0
// One problem the check finds, as the formats show it, with what an editor
// can do about it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "Columns.h"
#include "Rules.h"

namespace vek::lint {

struct Position {
    size_t offset = 0;  // bytes from the start of the file
    size_t line = 1;    // from 1
    size_t column = 1;  // from 1, in the unit asked for
};

// Bytes of the checked text, replaced by `text`.
struct Edit {
    size_t begin = 0, end = 0;
    std::string text;
};

// A change that mends the problem: what an editor offers as a quick fix.
struct Fix {
    std::string title;         // "Rename to \"tuning_mode\""
    std::vector<Edit> edits;   // in the text's order, none overlapping
};

// Another place of the text the diagnostic speaks of.
struct Related {
    size_t begin = 0, end = 0;  // bytes
    std::string message;
};

struct Diagnostic {
    RuleId rule = RuleId::InvalidJson;
    Severity severity = Severity::Error;
    Position begin;        // the first byte of the offending token: a key's name, a value, a bracket, a comma
    Position end;          // just past its last byte; the same as begin for the file as a whole
    std::string pointer;   // RFC 6901 JSON Pointer of the key or value; empty for the file as a whole
    std::string message;
    std::vector<std::string> allowed;  // the values allowed, where there is a list
    // Made only when asked for (an editor wants them; the formats do not).
    std::vector<Fix> fixes;        // the preferred one first
    std::vector<Related> related;
};

}  // namespace vek::lint
