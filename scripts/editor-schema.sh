#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 The VekGpuKalderExtensions Authors
# SPDX-License-Identifier: Apache-2.0
# Validates every example, every seed of the fuzz corpus and every file the
# tests hold or write with python3-jsonschema (draft-04) against the editor schema,
# and checks that it agrees with the plug-in's verdict (vekhost check)
# except in the places the README lists.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh python3 python3-jsonschema
cmake --preset default > /dev/null
cmake --build --preset default
files=$(mktemp -d)
trap 'rm -rf "$files"' EXIT
VEK_TEST_FILES_DIR="$files" ctest --preset default -j "$(nproc)" > /dev/null
mapfile -d '' written < <(find "$files" examples fuzz/corpus/config tests/lint -type f -name "*.json" -print0)
# Debian's own interpreter, where python3-jsonschema lands.
/usr/bin/python3 scripts/editor-schema.py BackendExtensions/GPUBackendExtensions/configSchema.editor.json \
  build/default/bin/vekhost "${written[@]}"
