#!/usr/bin/env python3
"""write_zip.py ZIP EPOCH FOLDER: packs the files of FOLDER into ZIP, inside a folder of
FOLDER's name, so that the same files give the same ZIP on every machine: the entries come in
the order of their names, each dated EPOCH (seconds since 1970, UTC; 1980 at the earliest,
the first date a ZIP can hold), with fixed attributes (rw-r--r-- for files, rwxr-xr-x for the
folder) and none of the owner, access times or other extra fields that archivers copy from
the disk."""

import os
import sys
import time
import zipfile

ZIP_EARLIEST = 315532800  # 1980-01-01 00:00:00 UTC
MSDOS_DIRECTORY = 0x10


def entry(name, epoch, mode, msdos=0):
    info = zipfile.ZipInfo(name, time.gmtime(max(epoch, ZIP_EARLIEST))[:6])
    info.create_system = 3  # Unix, so that unzip there keeps the modes
    info.external_attr = (mode << 16) | msdos
    return info


def main():
    if len(sys.argv) != 4:
        sys.exit(__doc__)
    target, epoch, folder = sys.argv[1], int(sys.argv[2]), sys.argv[3]
    top = os.path.basename(os.path.normpath(folder))
    names = sorted(os.listdir(folder))
    for name in names:
        if not os.path.isfile(os.path.join(folder, name)):
            sys.exit(f"{os.path.join(folder, name)} is not a file: the ZIP takes files only")
    with zipfile.ZipFile(target, "w") as archive:
        archive.writestr(entry(top + "/", epoch, 0o40755, MSDOS_DIRECTORY), b"")
        for name in names:
            with open(os.path.join(folder, name), "rb") as source:
                data = source.read()
            archive.writestr(entry(f"{top}/{name}", epoch, 0o100644), data,
                             compress_type=zipfile.ZIP_DEFLATED, compresslevel=9)


if __name__ == "__main__":
    main()
