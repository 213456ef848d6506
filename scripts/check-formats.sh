#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 The VekGpuKalderExtensions Authors
# SPDX-License-Identifier: Apache-2.0
# The check's formats read by the tools they are made for: the SARIF log of
# every file of tests/lint, and of them all in one call, validated by
# Microsoft's SARIF validator (npm, pinned in scripts/npm-sarif with its
# integrity hash), which must report no error and no warning; and the
# pre-commit hook tried with Debian's pre-commit on a good and a refused
# file. Uses the default preset's build, building it when missing.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD

scripts/install-deps.sh pre-commit git
command -v npm > /dev/null || scripts/install-deps.sh npm
[ -x build/default/bin/vekhost ] || { cmake --preset default > /dev/null && cmake --build --preset default; }
export PATH=$root/build/default/bin:$PATH
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail() { echo "check-formats: $*" >&2; exit 1; }

(cd scripts/npm-sarif && npm ci --ignore-scripts --no-audit --no-fund --silent)
multitool=scripts/npm-sarif/node_modules/@microsoft/sarif-multitool-linux/Sarif.Multitool
# npm here does not run the package's own script that sets the run bit.
chmod u+x "$multitool"

mkdir -p "$work/logs"
(
  cd tests/lint
  for file in *.json; do
    vekhost check --format sarif "$file" > "$work/logs/${file%.json}.sarif" || true
  done
  vekhost check --format sarif --base-uri file:///src/configs/ ./*.json > "$work/logs/all-files.sarif" || true
)
# The validator exits 0 with warnings: its lines say.
for log in "$work"/logs/*.sarif; do
  rm -f "$work/validated.sarif"
  "$multitool" validate "$log" -o "$work/validated.sarif" > "$work/validate.txt" 2>&1 || true
  if grep -E "(error|warning) [A-Z]+[0-9]+" "$work/validate.txt" > /dev/null || ! grep -q "Analysis completed successfully" "$work/validate.txt"; then
    cat "$work/validate.txt" >&2
    fail "the SARIF validator finds fault with $(basename "$log")"
  fi
done
echo "check-formats: $(ls "$work"/logs/*.sarif | wc -l) SARIF logs valid, no warning"

# pre-commit, as a project using the hook runs it: on a good file it
# passes, on a refused one it fails with the check's lines.
export PRE_COMMIT_HOME=$work/pre-commit-home
mkdir "$work/project"
cp examples/tuning.json "$work/project/good.json"
cp tests/lint/several-mistakes.json "$work/project/refused.json"
git -C "$work/project" init -q
git -C "$work/project" add good.json refused.json
(cd "$work/project" && pre-commit try-repo "$root" vekhost-check --files good.json) > "$work/good.txt" 2>&1 \
  || { cat "$work/good.txt" >&2; fail "the pre-commit hook fails a good file"; }
if (cd "$work/project" && pre-commit try-repo "$root" vekhost-check --files refused.json) > "$work/refused.txt" 2>&1; then
  cat "$work/refused.txt" >&2
  fail "the pre-commit hook passes a refused file"
fi
grep -q "refused.json:4:3: error: \"tunning_mode\" is no configuration key" "$work/refused.txt" \
  || { cat "$work/refused.txt" >&2; fail "the pre-commit hook does not show the check's lines"; }
echo "check-formats: the pre-commit hook passes a good file and fails a refused one with the check's lines"
