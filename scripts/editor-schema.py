# SPDX-FileCopyrightText: 2026 The VekGpuKalderExtensions Authors
# SPDX-License-Identifier: Apache-2.0
"""Validates configuration files with an off-the-shelf draft-04 validator
against the editor schema, and checks that it agrees with the plug-in's
verdict, except where the README says it cannot.

usage: editor-schema.py SCHEMA VEKHOST FILE...
"""
import json
import re
import subprocess
import sys

import jsonschema

schema_path, vekhost, files = sys.argv[1], sys.argv[2], sys.argv[3:]
schema = json.load(open(schema_path))
validator = jsonschema.Draft4Validator(schema)
known = set(schema["properties"])


def reasons_it_may_differ(raw):
    """The listed places where the editor schema cannot follow the plug-in."""
    reasons = []
    text = raw.decode("utf-8", errors="replace")
    if re.search(r"-?\d[\d.eE+-]{4096,}|[eE][+-]?0*[1-9]\d{5,}", text) or text.count("[") + text.count("{") > 256:
        reasons.append("nesting and number limits")
    if "\ufffd" in text or re.search(r"\\u[dD][c-fC-F]", text):
        reasons.append("text that is not UTF-8, or a lone surrogate")

    def pairs(items):
        if len({name for name, _ in items}) < len(items):
            reasons.append("repeated keys")
        return dict(items)

    try:
        document = json.loads(text, object_pairs_hook=pairs)
    except ValueError:
        return reasons
    if isinstance(document, dict):
        for name, value in document.items():
            if name not in known and value in (None, {}, []):
                reasons.append("unknown keys whose value is null or empty")
    return reasons


def reject_constant(name):
    raise ValueError("not JSON: " + name)


disagreements = 0
for path in files:
    raw = open(path, "rb").read()
    try:
        instance = json.loads(raw.decode("utf-8"), parse_constant=reject_constant)
        editor_valid = validator.is_valid(instance)
    except (ValueError, RecursionError):
        editor_valid = False
    plugin_valid = subprocess.run([vekhost, "check", path], capture_output=True).returncode == 0
    if editor_valid != plugin_valid:
        reasons = list(dict.fromkeys(reasons_it_may_differ(raw)))
        print(f"{path}: the editor schema {'takes' if editor_valid else 'refuses'} it, the plug-in does not"
              f" ({', '.join(reasons) or 'NO LISTED REASON'})")
        disagreements += not reasons
print(f"editor schema: {len(files)} files, {disagreements} unexplained disagreements")
sys.exit(1 if disagreements else 0)
