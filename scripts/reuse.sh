#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 The VekGpuKalderExtensions Authors
# SPDX-License-Identifier: Apache-2.0
# Every file says who holds its copyright and under which licence (REUSE):
# a header in each source, .reuse/dep5 for the data files that cannot hold
# a comment.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh reuse
reuse lint
