#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 The VekGpuKalderExtensions Authors
# SPDX-License-Identifier: Apache-2.0
# Installs what is missing, builds the plug-in and the host runner, and runs
# the runner on the bundled example configuration (or on the arguments given,
# which are passed to `vekhost run` as they are: paths are taken from where
# you run this).
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"

# Build chatter goes to standard error, so `--json` output stays pure JSON.
"$root/scripts/install-deps.sh" >&2
(cd "$root" && cmake --preset default > /dev/null && cmake --build --preset default --target vekhost >&2)
exec "$root/build/default/bin/vekhost" run "$@"
