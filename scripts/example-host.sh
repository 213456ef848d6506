#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 The VekGpuKalderExtensions Authors
# SPDX-License-Identifier: Apache-2.0
# Installs the project into a temporary prefix (or takes PREFIX, an
# installed tree or an unpacked release archive), builds examples/host
# against that tree only (find_package, and once more with pkg-config), runs
# it on every bundled example, and checks that it receives the same records
# as `vekhost run`.
# Usage: scripts/example-host.sh [PREFIX]
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh pkg-config python3
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
if [ $# -ge 1 ]; then
  prefix=$(cd "$1" && pwd)
else
  cmake --preset default > /dev/null
  cmake --build --preset default
  prefix="$work/prefix"
  cmake --install build/default --prefix "$prefix" > /dev/null
fi
cmake -S examples/host -B "$work/host" -G Ninja -DCMAKE_PREFIX_PATH="$prefix" > /dev/null
cmake --build "$work/host"

export PKG_CONFIG_PATH="$prefix/lib/pkgconfig"
# shellcheck disable=SC2046
c++ $(pkg-config --cflags VekGpuKalderExtensions) \
  -DVEK_PLUGIN_PATH="\"$(pkg-config --variable=plugin VekGpuKalderExtensions)\"" \
  examples/host/main.cpp -o "$work/host-pkg-config" -ldl

# vekhost's JSON, written as the example host writes the records.
as_lines='
import json, sys
r = json.load(sys.stdin)
text = lambda v: ("true" if v else "false") if isinstance(v, bool) else str(v)
for o in r["backendOptions"]: print("backend", o["number"], text(o["value"]))
for o in r["contextOptions"]: print("context", o["number"], text(o["value"]))
for g in r["graphs"]:
    print("graph", g["name"], g["precisionMode"], *(int(g[k]) for k in
          ("disableMemoryOptimizations", "disableNodeOptimizations", "disableQueueRecording")))
print("device", r["device"]["hwDeviceId"] if r["device"] else "default")
'
backend="$prefix/lib/libVekSubstituteBackend.so"
for config in "$prefix"/share/VekGpuKalderExtensions/examples/*.json; do
  for host in "$work/host/example-host" "$work/host-pkg-config"; do
    if ! diff <("$host" "$backend" "$config") <("$prefix/bin/vekhost" run --json "$config" 2> /dev/null | /usr/bin/python3 -c "$as_lines"); then
      echo "example host: $(basename "$host") on $(basename "$config") differs from vekhost run"; exit 1
    fi
  done
  echo "example host: $(basename "$config") matches vekhost run"
done
