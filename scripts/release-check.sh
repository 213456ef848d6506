#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 The VekGpuKalderExtensions Authors
# SPDX-License-Identifier: Apache-2.0
# The release tried as its users would:
# - scripts/release.sh here, and again from a fresh clone in a folder of
#   another depth with a toolchain cache of its own, as a second user would:
#   the same SHA256SUMS (diffoscope shows why where they differ);
# - THIRD-PARTY-NOTICES as the toolchains' licences say (scripts/notices.sh);
# - every SBOM valid CycloneDX 1.6 (the CycloneDX library's validator, from
#   npm, pinned in scripts/npm/package-lock.json with integrity hashes);
# - the Windows on ARM64 zip unpacked into an empty folder: vekhost.exe run
#   and check under the arm64 Wine answer as vekhost does on Linux, and every
#   image carries the version resource;
# - examples/host built against the unpacked Linux x86-64 archive;
# - the .deb installed with dpkg -i, vekhost run from PATH, lintian without
#   an error, and dpkg -r leaving none of its files behind.
# Needs root (dpkg, and binfmt_misc for the arm64 Wine).
# Usage: scripts/release-check.sh [ZIG-CACHE-DIR]
set -euo pipefail
cd "$(dirname "$0")/.."
source=$PWD
fail() { echo "release-check: $*" >&2; exit 1; }
[ "$(id -u)" -eq 0 ] || fail "needs root (dpkg -i, binfmt_misc)"
scripts/install-deps.sh diffoscope-minimal lintian nodejs
command -v npm > /dev/null || scripts/install-deps.sh npm
cache=$(mkdir -p "${1:-build/windows-arm64-cache}" && cd "${1:-build/windows-arm64-cache}" && pwd)
work=$(mktemp -d)
source scripts/wine-arm64.sh
trap 'wine_arm64_cleanup; rm -rf "$work"' EXIT
build=$source/build/release-check
rm -rf "$build" && mkdir -p "$build"

# --- Twice, from two folders ------------------------------------------------
scripts/release.sh build/release "$cache"
version=$(sed -n 's/^project(VekGpuKalderExtensions VERSION \([0-9.]*\) .*/\1/p' CMakeLists.txt)
name=VekGpuKalderExtensions-$version
second=$work/second/a/folder/deeper
mkdir -p "$second"
git clone -q "$source" "$second/main"
# The clone holds the commit; what the work tree changed beyond it goes along.
git diff HEAD | (cd "$second/main" && git apply --allow-empty)
ln -s "$(cd ../shared && pwd)" "$second/shared"
"$second/main/scripts/release.sh" "$second/out" "$second/toolchains" > "$build/second.log" 2>&1 \
  || { tail -40 "$build/second.log"; fail "the second release build failed"; }
if ! diff -u build/release/SHA256SUMS "$second/out/SHA256SUMS"; then
  while read -r sum file; do
    grep -q "^$sum " "$second/out/SHA256SUMS" || diffoscope --text - "build/release/$file" "$second/out/$file" | head -80 || true
  done < build/release/SHA256SUMS
  fail "the two builds differ"
fi
echo "release-check: two folders of different depth, each with its own toolchains, the same bytes"
# Each VS Code package holds its platform's vekhost, and says its platform.
# (Each listing is read whole first: grep -q stops reading, which pipefail would count.)
for target in win32-arm64:vekhost.exe win32-x64:vekhost.exe linux-x64:vekhost linux-arm64:vekhost; do
  vsix=build/release/$name-vscode-${target%%:*}.vsix
  listing=$(unzip -l "$vsix")
  manifest=$(unzip -p "$vsix" extension.vsixmanifest)
  grep -q " extension/server/bin/${target#*:}$" <<< "$listing" || fail "$vsix holds no server/bin/${target#*:}"
  grep -q "TargetPlatform=\"${target%%:*}\"" <<< "$manifest" || fail "$vsix names no target platform"
done
listing=$(unzip -l "build/release/$name-vscode.vsix")
! grep -q " extension/server/" <<< "$listing" || fail "the VS Code package without binaries holds some"
echo "release-check: five VS Code packages, four with their platform's binaries"
scripts/notices.sh --check "$(scripts/zig-toolchain.sh "$cache")"
(cd build/release && sha256sum --quiet -c SHA256SUMS)

# --- SBOMs -------------------------------------------------------------------
(cd scripts/npm && npm ci --ignore-scripts --no-audit --no-fund --silent)
node scripts/npm/validate-sbom.js build/release/*.cdx.json

# --- The Windows on ARM64 zip ------------------------------------------------
wine_arm64_start "$cache" "$build"
zip_dir=$work/windows-arm64
mkdir -p "$zip_dir" && (cd "$zip_dir" && unzip -q "$source/build/release/$name-windows-arm64.zip")
bin=$zip_dir/$name-windows-arm64/bin
for image in "$bin"/*.exe "$bin"/*.dll; do
  resources=$(llvm-readobj --coff-resources "$image")
  texts=$(strings -el "$image")
  grep -q "Type: VERSIONINFO (ID 16)" <<< "$resources" && grep -qxF "$version" <<< "$texts" \
    || fail "$(basename "$image") has no version resource of $version"
done
linux=build/release-linux-x86_64/bin
# The same answers as on Linux: exit status and output, line ends aside.
# vekhost.exe is started by its Windows path (Z: is the root), as a user
# starts it: Wine hands a program started by a Unix path a module name
# vekhost cannot look beside.
same() {  # same NAME ARGS...: vekhost.exe and vekhost, from the folders they stand in
  local status_win=0 status_linux=0
  (cd "$work" && "$wine" "Z:$bin/vekhost.exe" "$@") > "$build/$1.win" 2> "$build/$1.win.err" || status_win=$?
  (cd "$work" && "$source/$linux/vekhost" "$@") > "$build/$1.linux" 2> /dev/null || status_linux=$?
  [ "$status_win" = "$status_linux" ] || { cat "$build/$1.win.err"; fail "vekhost.exe $* exits $status_win, vekhost $status_linux"; }
  diff <(tr -d '\r' < "$build/$1.win") "$build/$1.linux" || fail "vekhost.exe $* answers otherwise than vekhost"
  echo "release-check: vekhost.exe $* answers as on Linux (exit $status_win)"
}
cp examples/example.json "$work/good.json"
cp tests/lint/several-mistakes.json "$work/refused.json"
# Without a file, run takes the bundled example from the unpacked tree.
(cd "$work" && "$wine" "Z:$bin/vekhost.exe" run) > "$build/bundled.win" 2>&1 || { cat "$build/bundled.win"; fail "vekhost.exe run failed"; }
grep -q "^Device:" "$build/bundled.win" || { cat "$build/bundled.win"; fail "vekhost.exe run printed no device"; }
# ... and names it as Windows writes a path: backslashes, no "..".
grep -q '^Configuration: Z:\\[^/]*\\share\\VekGpuKalderExtensions\\examples\\example.json' "$build/bundled.win" && ! grep -q '^Configuration:.*\.\.' "$build/bundled.win" \
  || { grep "^Configuration" "$build/bundled.win"; fail "vekhost.exe run names the bundled example by no Windows path"; }
echo "release-check: vekhost.exe run takes the bundled example, by its Windows path"
same run --json good.json
same check good.json
same check refused.json
wine_arm64_stop

# --- The Linux x86-64 archive ------------------------------------------------
mkdir -p "$work/linux" && tar -xzf "build/release/$name-linux-x86_64.tar.gz" -C "$work/linux"
scripts/example-host.sh "$work/linux/$name-linux-x86_64"

# --- The .deb ------------------------------------------------------------------
deb=build/release/vekgpukalderextensions_${version}_amd64.deb
lintian --no-tag-display-limit "$deb" > "$build/lintian.log" 2>&1 || true
cat "$build/lintian.log"
! grep -q "^E: " "$build/lintian.log" || fail "lintian reports errors"
dpkg -i "$deb" > /dev/null
mapfile -t files < <(dpkg -L vekgpukalderextensions | while read -r f; do [ -f "$f" ] && echo "$f"; done)
(cd "$work" && PATH=/usr/bin:/bin vekhost run > "$build/deb-run.txt") || fail "vekhost run from PATH failed"
grep -q "^Device:" "$build/deb-run.txt" || fail "vekhost run from PATH printed no device"
dpkg -r vekgpukalderextensions > /dev/null
for f in "${files[@]}"; do [ ! -e "$f" ] || fail "dpkg -r left $f"; done
echo "release-check: the .deb installs (${#files[@]} files), runs from PATH and removes cleanly"
