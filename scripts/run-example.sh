#!/usr/bin/env bash
# Installs what is missing, builds the plug-in and the host runner, and runs
# the runner on the bundled example configuration (or on the arguments given,
# which are passed to `vekhost run`).
set -euo pipefail
cd "$(dirname "$0")/.."

# Build chatter goes to standard error, so `--json` output stays pure JSON.
scripts/install-deps.sh >&2
cmake --preset default > /dev/null
cmake --build --preset default --target vekhost >&2
exec build/default/bin/vekhost run "$@"
