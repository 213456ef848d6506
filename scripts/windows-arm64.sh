#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 The VekGpuKalderExtensions Authors
# SPDX-License-Identifier: Apache-2.0
# Windows on ARM64 for real: links the whole tree (plug-in DLL, vekhost.exe,
# the substitute backend DLL, the test programs) for aarch64-windows-gnu with
# the Zig toolchain from npm, checks the plug-in DLL's machine, exports and
# imports, and runs the whole test suite as ARM64 Windows code: Debian's
# arm64 Wine, unpacked into a private folder (never installed, so the amd64
# Wine stays), run by qemu-user.
#
# Usage: scripts/windows-arm64.sh [CACHE-DIR]
#   CACHE-DIR keeps the downloads, the unpacked toolchain and Zig's build
#   cache between runs (default: build/windows-arm64-cache).
# Needs root: it mounts binfmt_misc and registers qemu-aarch64 for aarch64
# programs (Wine starts its child processes as such), and undoes both on
# every way out.
set -euo pipefail
cd "$(dirname "$0")/.."
source=$PWD

fail() { echo "windows-arm64: $*" >&2; exit 1; }
[ "$(id -u)" -eq 0 ] || fail "needs root (binfmt_misc registration for qemu-aarch64)"

scripts/install-deps.sh googletest qemu-user llvm openssl ca-certificates
cache=$(mkdir -p "${1:-build/windows-arm64-cache}" && cd "${1:-build/windows-arm64-cache}" && pwd)
build=$source/build/windows-arm64
mkdir -p "$build"

# --- The toolchain --------------------------------------------------------
zig_home=$(scripts/zig-toolchain.sh "$cache")

# --- Wine for ARM64 -------------------------------------------------------
source scripts/wine-arm64.sh
trap wine_arm64_cleanup EXIT
wine_arm64_start "$cache" "$build"

# --- Build, check the DLL, run the suite -----------------------------------
export VEK_ZIG_HOME=$zig_home VEK_WINE_ARM64=$wine
cmake --preset windows-arm64 > /dev/null
cmake --build --preset windows-arm64
dll=$build/bin/VekGpuKalderExtensions.dll
llvm-readobj --file-headers "$dll" | grep -q 'Machine: IMAGE_FILE_MACHINE_ARM64 (0xAA64)' || fail "$dll is no ARM64 image"
ctest --preset windows-arm64 -j "$(nproc)"
echo "windows-arm64: the suite passed as ARM64 Windows code"
wine_arm64_stop
