#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 The VekGpuKalderExtensions Authors
# SPDX-License-Identifier: Apache-2.0
# The project's own JSON files pass the check's JSON-level rules: valid JSON
# as the plug-in reads it, and no member given twice. The test inputs that
# are wrong on purpose (tests/lint, the fuzz seeds) are left out. Uses the
# default preset's build, building it when missing.
set -euo pipefail
cd "$(dirname "$0")/.."

[ -x build/default/bin/vekhost ] || { cmake --preset default > /dev/null && cmake --build --preset default; }
rules=utf16-file,invalid-json,nesting-limit,number-limit,lone-surrogate,nul-byte,repeated-key
mapfile -t files < <(git ls-files '*.json' | grep -v -E '^(tests/lint|fuzz/corpus)/')
build/default/bin/vekhost check --select "$rules" -- "${files[@]}"
echo "self-check: ${#files[@]} JSON files of the repository pass $rules"
