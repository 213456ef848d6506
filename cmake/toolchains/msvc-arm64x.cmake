# SPDX-FileCopyrightText: 2026 The VekGpuKalderExtensions Authors
# SPDX-License-Identifier: Apache-2.0
# One DLL serving both native ARM64 and ARM64EC processes (ARM64X). MSVC
# builds every object twice, once for ARM64 and once for ARM64EC
# (/arm64EC), and the linker joins both into one image (/MACHINE:ARM64X).
# Needs Visual Studio 2022 17.8 or later with the ARM64 and ARM64EC tools.
include(${CMAKE_CURRENT_LIST_DIR}/msvc-arm64.cmake)
set(VEK_ARM64X ON CACHE BOOL "Build the plug-in as an ARM64X DLL" FORCE)
