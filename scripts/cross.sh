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
# Wine gets a prefix of its own, made before the tests start, and a server
# that stays up until the job ends: tests started in parallel on a prefix
# still being made, or just as an idle server exits, fail to connect to it
# ("recvmsg: Connection reset by peer").
export WINEDEBUG=-all WINEPREFIX=$PWD/build/mingw-wine-prefix
mkdir -p "$WINEPREFIX"
trap 'wineserver -k > /dev/null 2>&1 || true; wineserver -w 2> /dev/null || true' EXIT
wineserver -p
wineboot -i > /dev/null 2>&1
for preset in mingw aarch64; do
  cmake --preset "$preset" > /dev/null
  cmake --build --preset "$preset"
  ctest --preset "$preset" -j "$(nproc)"
done
