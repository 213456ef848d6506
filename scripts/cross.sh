#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 The VekGpuKalderExtensions Authors
# SPDX-License-Identifier: Apache-2.0
# The same test suite on the other platforms this machine can run: Windows
# x86-64 (MinGW-w64 build, run under Wine) and Linux aarch64 (run under
# qemu-user). Tests there load the DLLs with LoadLibrary and bind by module
# handle, so the Windows side of the platform layer runs for real.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh googletest g++-mingw-w64-x86-64-posix wine wine64 qemu-user g++-aarch64-linux-gnu
export WINEDEBUG=-all
for preset in mingw aarch64; do
  cmake --preset "$preset" > /dev/null
  cmake --build --preset "$preset"
  ctest --preset "$preset" -j "$(nproc)"
done
