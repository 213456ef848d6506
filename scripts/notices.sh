#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 The VekGpuKalderExtensions Authors
# SPDX-License-Identifier: Apache-2.0
# Writes THIRD-PARTY-NOTICES from the licences of what the binaries contain,
# read where each piece comes from: RapidJSON's sources, Debian's CLI11, the
# Zig toolchain (Windows on ARM64), Debian's MinGW-w64 toolchain (Windows
# x86-64) and the npm packages the VS Code extension bundles (as npm ci put
# them in editors/vscode/node_modules). With --check, fails when the
# committed file differs.
# Usage: scripts/notices.sh [--check] [ZIG-HOME]
set -euo pipefail
cd "$(dirname "$0")/.."
check=0
[ "${1:-}" = --check ] && { check=1; shift; }
zig_home=${1:-build/windows-arm64-cache/zig-0.11.0}
rapidjson=../shared/rapidjson-master

fail() { echo "notices: $*" >&2; exit 1; }
need() { [ -f "$1" ] || fail "missing $1 (${2})"; }
need "$rapidjson/license.txt" "RapidJSON's sources"
need /usr/include/CLI/CLI.hpp "scripts/install-deps.sh"
need "$zig_home/lib/libcxx/LICENSE.TXT" "scripts/windows-arm64.sh installs Zig"
need /usr/share/doc/mingw-w64-common/copyright "scripts/cross.sh installs MinGW-w64"
need /usr/share/doc/gcc-mingw-w64-base/copyright "scripts/cross.sh installs MinGW-w64"
extension=editors/vscode
need "$extension/node_modules/vscode-languageclient/package.json" "scripts/vsix.sh installs the extension's packages"

section() { printf '\n%s\n%s\n\n' "$1" "$(printf '%*s' ${#1} '' | tr ' ' '=')"; }
# A Debian copyright file's licence paragraph: its lines unindented, " ." as blank.
debian_licence() {
  awk -v name="$2" '
    $0 == "License: " name { on = 1; next }
    on && /^[^ ]/ { exit }
    on { sub(/^ /, ""); if ($0 == ".") $0 = ""; print }' "$1"
}
# The versions of what Zig 0.11.0 ships, from its headers.
llvm_version() {
  local v
  v=$(sed -n 's/^# *define _LIBCPP_VERSION \([0-9]*\)$/\1/p' "$zig_home/lib/libcxx/include/__config")
  echo "$((v / 10000)).$((v / 100 % 100)).$((v % 100))"
}
mingw_version() {
  local header=$zig_home/lib/libc/include/any-windows-any/_mingw_mac.h part versions=()
  for part in MAJOR MINOR BUGFIX; do versions+=("$(sed -n "s/^#define __MINGW64_VERSION_$part \([0-9]*\)$/\1/p" "$header")"); done
  (IFS=.; echo "${versions[*]}")
}

notices() {
  cat <<'TEXT'
Third-party notices
===================

VekGpuKalderExtensions is licensed under the Apache License 2.0 (LICENSE).
Its binaries contain the following third-party software, each under its own
licence, reproduced below:

- every plug-in (VekGpuKalderExtensions.dll, libVekGpuKalderExtensions.so):
  RapidJSON, header-only, compiled in;
- vekhost (vekhost.exe): RapidJSON and CLI11, header-only, compiled in;
- the Windows on ARM64 binaries: the C++ runtime (LLVM libc++ and libc++abi),
  the unwinder (LLVM libunwind), the MinGW-w64 runtime and Zig's compiler
  runtime, linked in statically by the Zig 0.11.0 toolchain;
- the Windows x86-64 binaries: GCC's C++ and support runtimes (libstdc++,
  libgcc), the MinGW-w64 runtime and winpthreads, linked in statically by
  Debian's MinGW-w64 GCC;
- the VS Code extension (the .vsix packages): vscode-languageclient and the
  npm packages it needs, bundled into dist/extension.js, besides the
  binaries of its platform.

The Linux binaries use the system's C and C++ runtimes, which they do not
contain.
TEXT
  section "RapidJSON (MIT License; sources at commit $(grep -o '[0-9a-f]\{40\}' "$rapidjson/README" | head -1))"
  cat "$rapidjson/license.txt"
  section "CLI11 $(dpkg-query -W -f='${Version}' libcli11-dev | sed 's/+.*//') (BSD-3-Clause)"
  sed -n '1,3p' /usr/include/CLI/CLI.hpp | sed 's|^// ||'
  echo
  debian_licence /usr/share/doc/libcli11-dev/copyright BSD-3-clause
  section "LLVM libc++, libc++abi and libunwind $(llvm_version), as Zig 0.11.0 ships them (Apache-2.0 WITH LLVM-exception)"
  for piece in libcxx libcxxabi libunwind; do
    printf -- '--- %s (lib/%s/LICENSE.TXT) ---\n\n' "${piece/libcxx/libc++}" "$piece"
    cat "$zig_home/lib/$piece/LICENSE.TXT"
    echo
  done
  section "MinGW-w64 runtime, as Zig 0.11.0 ships it (mingw-w64 $(mingw_version))"
  cat "$zig_home/lib/libc/mingw/COPYING"
  section "Zig 0.11.0's compiler runtime (MIT License)"
  cat "$zig_home/LICENSE"
  section "MinGW-w64 runtime and winpthreads (Debian's mingw-w64 $(dpkg-query -W -f='${Version}' mingw-w64-common))"
  cat /usr/share/doc/mingw-w64-common/copyright
  section "GCC runtime libraries: libstdc++ and libgcc (GPL-3.0 WITH GCC-exception-3.1), Debian's gcc-mingw-w64 $(dpkg-query -W -f='${Version}' gcc-mingw-w64-base)"
  cat /usr/share/doc/gcc-mingw-w64-base/copyright
  # The packages the extension runs with, as its lock file pins them.
  python3 -c '
import json, sys
for path, entry in json.load(open(sys.argv[1]))["packages"].items():
    if path and not entry.get("dev"):
        print(path, entry["version"], entry["license"])' "$extension/package-lock.json" |
  while read -r path version licence; do
    section "${path#node_modules/} $version, bundled into the VS Code extension ($licence)"
    cat "$(find "$extension/$path" -maxdepth 1 -iname 'LICENSE*' | sort | head -1)"
  done
}

if [ $check = 1 ]; then
  notices | diff -u THIRD-PARTY-NOTICES - > /dev/null || fail "THIRD-PARTY-NOTICES differs from what the toolchains say: run scripts/notices.sh"
  echo "notices: THIRD-PARTY-NOTICES names every piece the binaries contain"
else
  notices > THIRD-PARTY-NOTICES
fi
