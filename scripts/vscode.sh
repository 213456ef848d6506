#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 The VekGpuKalderExtensions Authors
# SPDX-License-Identifier: Apache-2.0
# The VS Code extension where it runs: its own logic's tests (node:test, and
# TypeScript's check of its sources), then the Linux x86-64 .vsix of the
# release (build/release, which scripts/release-check.sh leaves; built
# when missing) installed into a real VS Code, code-server (npm, pinned in
# scripts/npm-vscode with integrity hashes, its native modules built here
# on Node 24 from npm), and used as a person does through Debian's Chromium,
# driven by puppeteer-core (editors/vscode/test/e2e.cjs). Everything listens
# on 127.0.0.1 only, the marketplace is off, every folder it writes is a
# temporary one, and every process it starts is ended, by its process group,
# whichever way the job ends. Screenshots go to build/vscode-e2e/.
# Usage: scripts/vscode.sh [CACHE-DIR]   (the toolchains' cache, as release.sh takes it)
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
fail() { echo "vscode: $*" >&2; exit 1; }
scripts/install-deps.sh chromium fonts-dejavu-core build-essential python3 pkg-config libkrb5-dev unzip
cache=$(mkdir -p "${1:-build/windows-arm64-cache}" && cd "${1:-build/windows-arm64-cache}" && pwd)
version=$(sed -n 's/^project(VekGpuKalderExtensions VERSION \([0-9.]*\) .*/\1/p' CMakeLists.txt)
vsix=$root/build/release/VekGpuKalderExtensions-$version-vscode-linux-x64.vsix
[ -f "$vsix" ] || scripts/release.sh build/release "$cache"
node_home=$(scripts/node-toolchain.sh "$cache")
export PATH=$node_home/bin:$PATH npm_config_nodedir=$node_home
# Node's headers are in the package: no module downloads them, and none
# fetches a prebuilt binary from outside.
export npm_config_build_from_source=true

(cd editors/vscode && npm ci --ignore-scripts --no-audit --no-fund --silent && npm run -s typecheck && npm test 2>&1 | tail -n 9)
(cd scripts/npm-vscode && npm ci --no-audit --no-fund --silent --loglevel=error)

out=$root/build/vscode-e2e
rm -rf "$out" && mkdir -p "$out"
# The test's own modules (puppeteer-core) come from that folder.
NODE_PATH=$root/scripts/npm-vscode/node_modules setsid node editors/vscode/test/e2e.cjs "$root/scripts/npm-vscode/node_modules/.bin/code-server" "$vsix" "$root/tests/lint" "$out" &
test_pid=$!
# Whatever way the job ends, the test's process group goes, and with it
# code-server, Chromium, the extension host and vekhost lsp; then anything
# that left the group but still names the test's folders.
cleanup() {
  kill -- -"$test_pid" 2> /dev/null || true
  pkill -KILL -f "vek-vscode-" 2> /dev/null || true
}
trap cleanup EXIT
wait "$test_pid" || fail "the extension in VS Code did not do what it should (screenshots in $out)"
echo "vscode: the extension in VS Code attached, checked, hovered, completed, fixed and showed what the backend receives; untrusted settings ran nothing (screenshots in $out)"
