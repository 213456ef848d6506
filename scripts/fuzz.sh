#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 The VekGpuKalderExtensions Authors
# SPDX-License-Identifier: Apache-2.0
# Builds the libFuzzer target with clang and runs it for a bounded time
# from the seed corpus in fuzz/corpus. Any finding fails the run and leaves
# its input in build/fuzz/findings.
# Usage: scripts/fuzz.sh [seconds per target, default 60]
set -euo pipefail
cd "$(dirname "$0")/.."
seconds="${1:-60}"

scripts/install-deps.sh clang libclang-rt-14-dev
cmake --preset fuzz > /dev/null
cmake --build --preset fuzz

mkdir -p build/fuzz/findings
for target in FuzzConfigFile:config FuzzLspServer:lsp; do
  binary="${target%%:*}"; seeds="fuzz/corpus/${target##*:}"
  work="build/fuzz/corpus-${target##*:}"
  mkdir -p "$work"
  echo "fuzz: $binary for ${seconds}s"
  log="build/fuzz/$binary.log"
  if ! build/fuzz/bin/"$binary" -max_total_time="$seconds" -print_final_stats=1 \
      -artifact_prefix=build/fuzz/findings/ "$work" "$seeds" > "$log" 2>&1; then
    tail -n 60 "$log"
    echo "fuzz: $binary found a problem; its input is in build/fuzz/findings"; exit 1
  fi
  grep -E "^(Done|stat::number_of_executed_units)" "$log"
done
