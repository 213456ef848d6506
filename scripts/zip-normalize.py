#!/usr/bin/env python3
# SPDX-FileCopyrightText: 2026 The VekGpuKalderExtensions Authors
# SPDX-License-Identifier: Apache-2.0
"""Gives a zip archive (a .vsix) the same bytes whoever makes it: each entry,
in its order, dated SOURCE_DATE_EPOCH, with the mode 0755 (an entry the
packer marked executable) or 0644, compressed at level 9. Packers stamp
entries with the files' times and modes, which differ between clones.

Usage: zip-normalize.py ARCHIVE..."""
import datetime
import os
import sys
import zipfile


def normalize(path, stamp):
    with zipfile.ZipFile(path) as archive:
        entries = [(info, archive.read(info)) for info in archive.infolist()]
    with zipfile.ZipFile(path + ".partial", "w") as archive:
        for old, data in entries:
            info = zipfile.ZipInfo(old.filename, date_time=stamp)
            info.create_system = 3  # Unix, so the mode counts
            executable = (old.external_attr >> 16) & 0o111
            info.external_attr = (0o100755 if executable else 0o100644) << 16
            info.compress_type = zipfile.ZIP_DEFLATED
            archive.writestr(info, data, compresslevel=9)
    os.replace(path + ".partial", path)


if __name__ == "__main__":
    if len(sys.argv) < 2:
        sys.exit(__doc__)
    epoch = max(int(os.environ.get("SOURCE_DATE_EPOCH", "0")), 315532800)  # zip dates start in 1980
    moment = datetime.datetime.fromtimestamp(epoch, datetime.timezone.utc)
    for archive in sys.argv[1:]:
        normalize(archive, (moment.year, moment.month, moment.day, moment.hour, moment.minute, moment.second))
