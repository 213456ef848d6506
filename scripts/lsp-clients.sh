#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 The VekGpuKalderExtensions Authors
# SPDX-License-Identifier: Apache-2.0
# vekhost lsp with real clients: Microsoft's protocol client libraries
# (npm, pinned in scripts/npm-lsp with their integrity hashes, run by
# Debian's nodejs), started as VS Code's client starts it (--stdio), on
# every file of tests/lint, on hover, completion, quick fixes and edits,
# and on the requests VS Code sends beyond diagnostics; broken framing; and
# Neovim's built-in client (Debian's neovim, headless) reading a file's
# diagnostics, applying a quick fix and reading an inlay hint. Uses the
# default preset's build, building it when missing.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD

scripts/install-deps.sh neovim
command -v npm > /dev/null || scripts/install-deps.sh npm
[ -x build/default/bin/vekhost ] || { cmake --preset default > /dev/null && cmake --build --preset default; }
vekhost=$root/build/default/bin/vekhost
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail() { echo "lsp-clients: $*" >&2; exit 1; }

(cd scripts/npm-lsp && npm ci --ignore-scripts --no-audit --no-fund --silent)
export NODE_PATH=$root/scripts/npm-lsp/node_modules
timeout 600 node tests/lsp/vscode-client.cjs "$vekhost" "$root/tests/lint" 2>&1 || fail "the VS Code client libraries' test failed"
timeout 600 node tests/lsp/malformed.cjs "$vekhost" 2>&1 || fail "the malformed-message test failed"

# Neovim shows what vekhost check prints; its columns are bytes.
cd tests/lint
for file in several-mistakes.json column-after-non-ascii.json graph-identifiers.json; do
  VEKHOST=$vekhost VEK_CONFIG=$file VEK_OUT=$work/neovim.txt \
    timeout 120 nvim --headless --clean -c "luafile $root/tests/lsp/neovim.lua" < /dev/null > /dev/null 2>&1 || true
  "$vekhost" check --column-unit=byte "$file" > "$work/check.txt" 2>&1 || true
  diff <(sort "$work/check.txt") <(sort "$work/neovim.txt") || fail "Neovim shows other diagnostics than vekhost check for $file"
  echo "lsp-clients: Neovim shows vekhost check's $(wc -l < "$work/check.txt") diagnostics of $file"
done

# Neovim applies a quick fix and reads an inlay hint.
cd "$work"
printf '{\n  "graph_names": ["encoder-v2"],\n  "perf_hint": "HIGH"\n}\n' > fix.json
VEKHOST=$vekhost VEK_CONFIG=fix.json VEK_OUT=$work/actions.txt \
  timeout 120 nvim --headless --clean -c "luafile $root/tests/lsp/neovim-actions.lua" < /dev/null > /dev/null 2>&1 || true
printf '{\n  "graph_names": ["encoder-v2"],\n  "perf_hint": "high"\n}\n1:30 \342\206\222 encoder_v2\n' > expected.txt
diff expected.txt actions.txt || fail "Neovim's quick fix or inlay hint is not what the server offers"
echo "lsp-clients: Neovim applied the quick fix for \"HIGH\" and read the inlay hint of \"encoder-v2\""
