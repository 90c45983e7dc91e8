#!/usr/bin/env python3
"""Packs the UI resources (res/archive/) into the ZIP that the exe embeds.

Every entry is deflated and encrypted with the traditional PKWARE scheme under
the archive password, which the program's reader is built with. The output is
byte-for-byte reproducible: entries are sorted, timestamps are fixed, and the
random bytes of each encryption header come from a generator seeded by the
entry's name and content. Licence texts (*.LICENSE) and README files stay out.

usage: packres.py --password PW --source DIR --output FILE
"""

import argparse
import hashlib
import os
import random
import struct
import sys
import zlib

# 2026-01-01 00:00:00 in MS-DOS form.
DOS_TIME = 0
DOS_DATE = ((2026 - 1980) << 9) | (1 << 5) | 1
VERSION = 20  # 2.0: deflate and traditional encryption
FLAG_ENCRYPTED = 0x0001
METHOD_DEFLATED = 8


def _crc_table():
    table = []
    for i in range(256):
        c = i
        for _ in range(8):
            c = (0xEDB88320 ^ (c >> 1)) if c & 1 else c >> 1
        table.append(c)
    return table


CRC_TABLE = _crc_table()


class ZipCrypto:
    """Keys of the traditional PKWARE stream cipher."""

    def __init__(self, password):
        self.k0, self.k1, self.k2 = 0x12345678, 0x23456789, 0x34567890
        for b in password:
            self._update(b)

    def _update(self, b):
        self.k0 = CRC_TABLE[(self.k0 ^ b) & 0xFF] ^ (self.k0 >> 8)
        self.k1 = ((self.k1 + (self.k0 & 0xFF)) * 134775813 + 1) & 0xFFFFFFFF
        self.k2 = CRC_TABLE[(self.k2 ^ (self.k1 >> 24)) & 0xFF] ^ (self.k2 >> 8)

    def encrypt(self, data):
        out = bytearray(len(data))
        for i, b in enumerate(data):
            t = (self.k2 | 2) & 0xFFFF
            out[i] = b ^ (((t * (t ^ 1)) >> 8) & 0xFF)
            self._update(b)
        return bytes(out)


def packed_files(source):
    """(entry name, path) of every file to pack, sorted by entry name."""
    found = []
    for root, dirs, files in os.walk(source):
        dirs.sort()
        for name in files:
            if name.endswith(".LICENSE") or name.startswith("README"):
                continue
            path = os.path.join(root, name)
            entry = os.path.relpath(path, source).replace(os.sep, "/")
            found.append((entry, path))
    found.sort()
    return found


def deflate(data):
    c = zlib.compressobj(9, zlib.DEFLATED, -15, 9)
    return c.compress(data) + c.flush()


def build_archive(source, password):
    body = bytearray()
    central = bytearray()
    files = packed_files(source)
    for entry, path in files:
        with open(path, "rb") as f:
            content = f.read()
        name = entry.encode("utf-8")
        crc = zlib.crc32(content) & 0xFFFFFFFF
        seed = hashlib.sha256(name + b"\0" + content).digest()
        header = bytes(random.Random(seed).getrandbits(8) for _ in range(11)) + bytes([crc >> 24])
        data = ZipCrypto(password).encrypt(header + deflate(content))
        offset = len(body)
        body += struct.pack("<IHHHHHIIIHH", 0x04034B50, VERSION, FLAG_ENCRYPTED, METHOD_DEFLATED,
                            DOS_TIME, DOS_DATE, crc, len(data), len(content), len(name), 0)
        body += name + data
        central += struct.pack("<IHHHHHHIIIHHHHHII", 0x02014B50, VERSION, VERSION, FLAG_ENCRYPTED,
                               METHOD_DEFLATED, DOS_TIME, DOS_DATE, crc, len(data), len(content),
                               len(name), 0, 0, 0, 0, 0, offset)
        central += name
    end = struct.pack("<IHHHHIIH", 0x06054B50, 0, 0, len(files), len(files), len(central),
                      len(body), 0)
    return bytes(body + central + end), files


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--password", required=True)
    parser.add_argument("--source", required=True)
    parser.add_argument("--output", required=True)
    args = parser.parse_args()

    password = args.password.encode("ascii")
    if not os.path.isdir(args.source):
        sys.exit(f"packres: no folder {args.source}")
    archive, files = build_archive(args.source, password)
    if not files:
        sys.exit(f"packres: nothing to pack in {args.source}")
    os.makedirs(os.path.dirname(os.path.abspath(args.output)), exist_ok=True)
    temp = args.output + ".tmp"
    with open(temp, "wb") as f:
        f.write(archive)
    os.replace(temp, args.output)
    print(f"packres: {len(files)} entries, {len(archive)} bytes -> {args.output}")


if __name__ == "__main__":
    main()
