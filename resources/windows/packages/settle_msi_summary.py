#!/usr/bin/env python3
# SPDX-License-Identifier: MIT
# Settles the three values of an MSI's summary information that wixl 0.101
# chooses itself, so that one version gives one package, byte for byte:
#   - the package code (revision number), which wixl makes at random: the
#     given one, derived from the version;
#   - the template's language, which wixl sets to 1033 whatever the product's:
#     the given one (1031, German);
#   - the times of creation and of the last save, which wixl takes from the
#     clock: SOURCE_DATE_EPOCH.
# The values keep their sizes, so they are written in place; the stream's
# layout is checked first, and anything unexpected is an error, never a guess.
#   settle_msi_summary.py MSI PACKAGE_CODE LANGUAGE EPOCH
import re
import struct
import sys

VT_LPSTR = 0x1E
VT_FILETIME = 0x40
SECONDS_1601_TO_1970 = 11644473600


def fail(message):
    print(f"settle_msi_summary: {message}", file=sys.stderr)
    sys.exit(1)


def main():
    path, package_code, language, epoch = sys.argv[1], sys.argv[2].upper(), sys.argv[3], int(sys.argv[4])
    if not re.fullmatch(r"[0-9A-F]{8}(-[0-9A-F]{4}){3}-[0-9A-F]{12}", package_code):
        fail(f"not a package code: {package_code}")
    data = bytearray(open(path, "rb").read())

    # Template ("x64;1033") and then the revision number ("{GUID}"), each a
    # VT_LPSTR property with its length, as the summary stream stores them.
    template = re.compile(rb"\x1e\x00\x00\x00(....)(x64;\d{4})\x00", re.S)
    found = [m for m in template.finditer(data) if struct.unpack("<I", m.group(1))[0] == len(m.group(2)) + 1]
    if len(found) != 1:
        fail(f"{len(found)} templates found, expected one")
    start, end = found[0].span(2)
    data[start:end] = b"x64;" + language.encode()[:4].rjust(4, b"0")

    revision = re.compile(rb"\x1e\x00\x00\x00\x27\x00\x00\x00(\{[0-9A-F-]{36}\})\x00")
    match = revision.search(data, end)
    if not match or match.start() - end > 64:
        fail("no revision number after the template")
    data[match.start(1):match.end(1)] = ("{" + package_code + "}").encode()

    # The two times that follow: creation and last save.
    filetime = struct.pack("<Q", (epoch + SECONDS_1601_TO_1970) * 10_000_000)
    position = match.end()
    for name in ("creation", "last save"):
        position = data.find(struct.pack("<I", VT_FILETIME), position, position + 16)
        if position < 0:
            fail(f"no time of {name} after the revision number")
        data[position + 4:position + 12] = filetime
        position += 12
    open(path, "wb").write(data)


main()
