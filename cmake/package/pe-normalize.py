#!/usr/bin/env python3
# SPDX-FileCopyrightText: 2026 The VekGpuKalderExtensions Authors
# SPDX-License-Identifier: Apache-2.0
"""Gives a Windows image the same bytes whenever it is linked: the linker of
the Zig toolchain stamps the COFF header and the debug directory with the
link time and gives the CodeView record a new GUID each time, and takes no
option against it. The stamps become SOURCE_DATE_EPOCH (0 without it), the
GUID a hash of the image with the stamps set and the GUID cleared.

Usage: pe-normalize.py IMAGE..."""
import hashlib
import os
import struct
import sys


def sections(data, header):
    count = struct.unpack_from("<H", data, header + 2)[0]
    optional_size = struct.unpack_from("<H", data, header + 16)[0]
    table = header + 20 + optional_size
    for i in range(count):
        size, rva, raw_size, raw = struct.unpack_from("<IIII", data, table + 40 * i + 8)
        yield rva, max(size, raw_size), raw


def file_offset(data, header, rva):
    for start, size, raw in sections(data, header):
        if start <= rva < start + size:
            return raw + rva - start
    raise ValueError(f"RVA {rva:#x} is in no section")


def normalize(path, stamp):
    data = bytearray(open(path, "rb").read())
    header = struct.unpack_from("<I", data, 0x3C)[0] + 4
    if data[header - 4:header] != b"PE\0\0":
        raise ValueError(f"{path} is no PE image")
    struct.pack_into("<I", data, header + 4, stamp)
    optional = header + 20
    magic = struct.unpack_from("<H", data, optional)[0]
    directories = optional + (112 if magic == 0x20B else 96)
    debug_rva, debug_size = struct.unpack_from("<II", data, directories + 6 * 8)
    guids = []
    if debug_size:
        entries = file_offset(data, header, debug_rva)
        for entry in range(entries, entries + debug_size, 28):
            struct.pack_into("<I", data, entry + 4, stamp)
            kind, size, _, raw = struct.unpack_from("<IIII", data, entry + 12)
            if kind == 2 and data[raw:raw + 4] == b"RSDS":
                data[raw + 4:raw + 20] = bytes(16)
                guids.append(raw + 4)
    digest = hashlib.sha256(data).digest()[:16]
    for guid in guids:
        data[guid:guid + 16] = digest
    open(path, "wb").write(data)


if __name__ == "__main__":
    if len(sys.argv) < 2:
        sys.exit(__doc__)
    epoch = int(os.environ.get("SOURCE_DATE_EPOCH", "0"))
    for image in sys.argv[1:]:
        normalize(image, epoch & 0xFFFFFFFF)
