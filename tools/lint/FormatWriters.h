// SPDX-FileCopyrightText: 2026 The VekGpuKalderExtensions Authors
// SPDX-License-Identifier: Apache-2.0
// Each format's formatter, made by makeFormatter.
#pragma once

#include "Formats.h"

namespace vek::lint {

std::unique_ptr<Formatter> makeTextFormatter(std::FILE* out);
std::unique_ptr<Formatter> makeJsonFormatter(std::FILE* out, std::function<void(JsonWriter&)> endOfFile);
std::unique_ptr<Formatter> makeSarifFormatter(std::FILE* out, const FormatOptions& options);
std::unique_ptr<Formatter> makeGithubFormatter(std::FILE* out);

}  // namespace vek::lint
