#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 The VekGpuKalderExtensions Authors
# SPDX-License-Identifier: Apache-2.0
# The whole test suite built with GCC against RapidJSON's current sources
# (../shared/rapidjson-master beside the checkout), which is what a host
# gets from vcpkg or a recent Conan package; scripts/test.sh builds against
# Debian's RapidJSON 1.1.0.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh
rapidjson=../shared/rapidjson-master/include
[ -f "$rapidjson/rapidjson/document.h" ] || { echo "rapidjson-current: no RapidJSON sources in $rapidjson" >&2; exit 1; }
cmake --preset rapidjson-current > /dev/null
cmake --build --preset rapidjson-current
ctest --preset rapidjson-current -j "$(nproc)"
