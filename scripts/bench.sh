#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 The VekGpuKalderExtensions Authors
# SPDX-License-Identifier: Apache-2.0
# Builds the benchmarks (preset "bench"), runs them, the peak-memory probe
# and the instruction counts, and prints every ratio against its target.
# Usage: scripts/bench.sh [extra Google Benchmark flags]
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh libbenchmark-dev valgrind
cmake --preset bench > /dev/null
cmake --build --preset bench
out=build/bench
bin=$out/bin

"$bin/vek_bench" --benchmark_filter=-Lsp --benchmark_out="$out/results.json" --benchmark_out_format=json "$@"
# The language server against the check, in repetitions: each ratio is of
# two medians, as the runs of one benchmark swing on this VM.
"$bin/vek_bench" --benchmark_filter=Lsp --benchmark_repetitions=5 --benchmark_report_aggregates_only=true \
  --benchmark_out="$out/results-lsp.json" --benchmark_out_format=json "$@"
: > "$out/memory.txt"
for names in 1000 100000 1000000; do
  read -r bytes peak < <("$bin/vek_peak_memory" "${TMPDIR:-/tmp}/vek-bench-$names-names.json")
  echo "load $names $bytes $peak" >> "$out/memory.txt"
done
read -r bytes peak < <("$bin/vek_peak_memory" "${TMPDIR:-/tmp}/vek-bench-1000000-names.json" check)
echo "check 1000000 $bytes $peak" >> "$out/memory.txt"
# Every shape of file at a million members: the check's peak against the load's.
for shape in null graph_names pairs deep_null unknown_keys repeated_keys wrong_types warnings long_name long_value; do
  file=${TMPDIR:-/tmp}/vek-bench-$shape-1000000.json
  read -r bytes load < <("$bin/vek_peak_memory" "$file")
  read -r _ check < <("$bin/vek_peak_memory" "$file" check)
  echo "shape 0 $bytes $load $shape $check" >> "$out/memory.txt"
done
# The language server with such a file open, and a keystroke typed.
for shape in graph_names deep_null unknown_keys warnings long_name; do
  file=${TMPDIR:-/tmp}/vek-bench-$shape-1000000.json
  read -r bytes load < <("$bin/vek_peak_memory" "$file")
  read -r _ lsp < <("$bin/vek_peak_memory" "$file" lsp)
  echo "lsp 0 $bytes $load $shape $lsp" >> "$out/memory.txt"
done
# Many files in one call: a thousand rounds of load and check take no more
# than one.
read -r bytes one < <("$bin/vek_peak_memory" "$bin/examples/example.json" check 1)
read -r _ many < <("$bin/vek_peak_memory" "$bin/examples/example.json" check 1000)
echo "many 1000 $bytes $one $many" >> "$out/memory.txt"
# Instructions of one floor round and one load, counted by callgrind: the
# same on every run, whatever else the machine is doing.
count() {
  valgrind --tool=callgrind --collect-atstart=no --callgrind-out-file="$out/callgrind.out" \
    "$bin/vek_count_once" "$1" "$2" > /dev/null 2>&1
  awk '/^(summary|totals):/ { print $2; exit }' "$out/callgrind.out"
}
: > "$out/instructions.txt"
for file in "$bin"/examples/*.json "${TMPDIR:-/tmp}"/vek-bench-{1000,100000,1000000}-names.json; do
  echo "$(basename "$file") $(count floor "$file") $(count load "$file")" >> "$out/instructions.txt"
done
echo
"$bin/vek_bench_report" "$out/results.json" "$out/results-lsp.json" "$out/memory.txt" "$out/instructions.txt"
