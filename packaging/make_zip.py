#!/usr/bin/env python3
"""Writes a zip archive whose bytes depend only on its entries: the entries
in name order, every one dated SOURCE_DATE_EPOCH, no owners, no extra
fields, text files with Windows line ends.

    make_zip.py OUT.zip NAME=PATH [NAME=PATH ...]

NAME is the entry's name in the archive (a name ending in / is a folder, its
PATH ignored); an entry whose name ends in .txt is a text and gets CR LF.
"""

import os
import sys
import time
import zipfile

# Windows' attribute bits, for a zip made "on MS-DOS".
FILE_ATTRIBUTE_DIRECTORY = 0x10
FILE_ATTRIBUTE_ARCHIVE = 0x20


def entry_date():
    seconds = int(os.environ["SOURCE_DATE_EPOCH"])
    # A zip date counts from 1980, in two-second steps.
    return time.gmtime(max(seconds, 315532800))[:6]


def crlf(data):
    return data.replace(b"\r\n", b"\n").replace(b"\n", b"\r\n")


def main(out, entries):
    date = entry_date()
    with zipfile.ZipFile(out + ".part", "w") as archive:
        for name, path in sorted(entries):
            info = zipfile.ZipInfo(name, date)
            info.create_system = 0
            if name.endswith("/"):
                info.external_attr = FILE_ATTRIBUTE_DIRECTORY
                archive.writestr(info, b"")
                continue
            info.external_attr = FILE_ATTRIBUTE_ARCHIVE
            info.compress_type = zipfile.ZIP_DEFLATED
            with open(path, "rb") as f:
                data = f.read()
            archive.writestr(info, crlf(data) if name.endswith(".txt") else data, compresslevel=9)
    os.replace(out + ".part", out)


if __name__ == "__main__":
    if len(sys.argv) < 3 or any("=" not in arg for arg in sys.argv[2:]):
        sys.exit(__doc__)
    main(sys.argv[1], [tuple(arg.split("=", 1)) for arg in sys.argv[2:]])
