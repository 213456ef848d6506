// SPDX-FileCopyrightText: 2026 The VekGpuKalderExtensions Authors
// SPDX-License-Identifier: Apache-2.0
// The digits a byte is written with where it is escaped (%HH in a URI,
// \xHH in a message): the plug-in's schema report and the tools' texts.
#pragma once

namespace vek::tools::kalder {

inline constexpr char kHexDigits[] = "0123456789ABCDEF";

}  // namespace vek::tools::kalder
