#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 The VekGpuKalderExtensions Authors
# SPDX-License-Identifier: Apache-2.0
# The whole suite built with clang 19, warnings as errors, against RapidJSON's
# current sources (../shared/rapidjson-master beside the checkout): RapidJSON
# 1.1.0 does not compile with clang 19. Also shows that configuring clang 19
# against 1.1.0 stops with the message that says so.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh clang-19 lld-19
rapidjson=../shared/rapidjson-master/include
[ -f "$rapidjson/rapidjson/document.h" ] || { echo "clang19: no RapidJSON sources in $rapidjson" >&2; exit 1; }

refused=$(mktemp -d)
trap 'rm -rf "$refused"' EXIT
if cmake -S . -B "$refused" -G Ninja -DCMAKE_CXX_COMPILER=clang++-19 -DCMAKE_C_COMPILER=clang-19 \
     -DRAPIDJSON_INCLUDE_DIR=/usr/include > "$refused/log" 2>&1 || ! grep -q "do not compile with Clang 19" "$refused/log"; then
  cat "$refused/log"; echo "clang19: configuring against RapidJSON 1.1.0 did not stop with its message" >&2; exit 1
fi

cmake --preset clang19 > /dev/null
cmake --build --preset clang19
ctest --preset clang19 -j "$(nproc)"
