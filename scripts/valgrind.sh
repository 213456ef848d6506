#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 The VekGpuKalderExtensions Authors
# SPDX-License-Identifier: Apache-2.0
# The host runner on every example under valgrind memcheck: no error, no leak.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh valgrind
cmake --preset default > /dev/null
cmake --build --preset default --target vekhost

failed=0
for config in examples/*.json; do
  if valgrind -q --error-exitcode=9 --leak-check=full --show-leak-kinds=all --errors-for-leak-kinds=all \
       build/default/bin/vekhost run --log-level debug "$config" > /dev/null 2> build/default/valgrind.log; then
    echo "valgrind: $config clean"
  else
    echo "valgrind: $config FAILED"; cat build/default/valgrind.log; failed=1
  fi
done
exit $failed
