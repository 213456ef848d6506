#!/usr/bin/env bash
# Installs what is missing, builds the plug-in and the host runner, and runs
# the runner on the bundled example configuration (or on the arguments given,
# which are passed to `vekhost run`).
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh
cmake --preset default > /dev/null
cmake --build --preset default --target vekhost
exec build/default/bin/vekhost run "$@"
