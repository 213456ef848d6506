#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 The VekGpuKalderExtensions Authors
# SPDX-License-Identifier: Apache-2.0
# The VS Code extension's packages, from the release's packages in OUT-DIR:
# one .vsix per platform VS Code tells apart (win32-arm64, win32-x64,
# linux-x64, linux-arm64) with that platform's vekhost, plug-in, substitute
# backend and schemas, and one without them that finds vekhost on PATH or
# through its setting. The extension is bundled with esbuild and packed with
# vsce (npm, pinned in editors/vscode/package-lock.json) on Node 24
# (scripts/node-toolchain.sh, in CACHE-DIR); each .vsix is then given the
# same bytes whoever makes it (scripts/zip-normalize.py).
# Usage: scripts/vsix.sh OUT-DIR CACHE-DIR
set -euo pipefail
cd "$(dirname "$0")/.."
fail() { echo "vsix: $*" >&2; exit 1; }
[ $# -eq 2 ] || fail "usage: scripts/vsix.sh OUT-DIR CACHE-DIR"
out=$(cd "$1" && pwd)
version=$(sed -n 's/^project(VekGpuKalderExtensions VERSION \([0-9.]*\) .*/\1/p' CMakeLists.txt)
name=VekGpuKalderExtensions-$version
node_home=$(scripts/node-toolchain.sh "$2")
export PATH=$node_home/bin:$PATH
extension=$PWD/editors/vscode
grep -q "\"version\": \"$version\"" "$extension/package.json" || fail "editors/vscode/package.json does not say version $version"
(cd "$extension" && npm ci --ignore-scripts --no-audit --no-fund --silent && npm run -s build > /dev/null)

stage_root=$PWD/build/vsix
rm -rf "$stage_root"
pack() {  # pack TARGET [PACKAGE FOLDER-IN-IT]
  local target=$1 stage=$stage_root/$1 file
  mkdir -p "$stage"
  cp -r "$extension"/{package.json,README.md,CHANGELOG.md,language-configuration.json,images,syntaxes,dist} "$stage/"
  cp LICENSE THIRD-PARTY-NOTICES "$stage/"
  if [ $# -eq 3 ]; then
    # The installed tree's programs, libraries and data, as vekhost finds them beside it.
    mkdir -p "$stage_root/unpacked-$target" "$stage/server"
    case $2 in
      *.zip) (cd "$stage_root/unpacked-$target" && unzip -q "$out/$2") ;;
      *) tar -xzf "$out/$2" -C "$stage_root/unpacked-$target" ;;
    esac
    mkdir -p "$stage/server/share"
    cp -r "$stage_root/unpacked-$target/$3/bin" "$stage/server/"
    cp -r "$stage_root/unpacked-$target/$3/share/VekGpuKalderExtensions" "$stage/server/share/"
    # Linux keeps its libraries in lib/ (Windows's DLLs stand in bin/); not the CMake and pkg-config files.
    if compgen -G "$stage_root/unpacked-$target/$3/lib/*.so" > /dev/null; then
      mkdir -p "$stage/server/lib" && cp "$stage_root/unpacked-$target/$3"/lib/*.so "$stage/server/lib/"
    fi
    file=$name-vscode-$target.vsix
    set -- --target "$target"
  else
    file=$name-vscode.vsix
    set -- --allow-unused-files-pattern  # its server/ folder is the one pattern left unused
  fi
  # vsce says what a marketplace would object to as warnings: none may come.
  (cd "$stage" && "$extension/node_modules/.bin/vsce" package --no-dependencies "$@" --out "$out/$file") > "$stage_root/$target.log" 2>&1 \
    || { cat "$stage_root/$target.log"; fail "vsce could not pack $file"; }
  ! grep -i "warning" "$stage_root/$target.log" || fail "vsce warns about $file"
  python3 scripts/zip-normalize.py "$out/$file"
}
pack win32-arm64 "$name-windows-arm64.zip" "$name-windows-arm64"
pack win32-x64 "$name-windows-x86_64.zip" "$name-windows-x86_64"
pack linux-x64 "$name-linux-x86_64.tar.gz" "$name-linux-x86_64"
pack linux-arm64 "$name-linux-aarch64.tar.gz" "$name-linux-aarch64"
pack universal
