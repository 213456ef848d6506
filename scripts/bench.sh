#!/usr/bin/env bash
# Builds the benchmarks (preset "bench"), runs them and the peak-memory
# probe, and prints every ratio against its target.
# Usage: scripts/bench.sh [extra Google Benchmark flags]
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh libbenchmark-dev
cmake --preset bench > /dev/null
cmake --build --preset bench
out=build/bench
bin=$out/bin

"$bin/vek_bench" --benchmark_out="$out/results.json" --benchmark_out_format=json "$@"
: > "$out/memory.txt"
for names in 1000 100000 1000000; do
  read -r bytes peak < <("$bin/vek_peak_memory" "${TMPDIR:-/tmp}/vek-bench-$names-names.json")
  echo "$names $bytes $peak" >> "$out/memory.txt"
done
echo
"$bin/vek_bench_report" "$out/results.json" "$out/memory.txt"
