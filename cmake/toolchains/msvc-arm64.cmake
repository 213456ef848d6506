# SPDX-FileCopyrightText: 2026 The VekGpuKalderExtensions Authors
# SPDX-License-Identifier: Apache-2.0
# Native Windows on ARM64 with MSVC (Visual Studio 2022, "ARM64" tools).
# Use from a "Developer Command Prompt for VS 2022" set up for arm64, or an
# x64 prompt with the ARM64 cross tools (vcvarsall.bat x64_arm64).
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR ARM64)
set(CMAKE_C_COMPILER cl)
set(CMAKE_CXX_COMPILER cl)
