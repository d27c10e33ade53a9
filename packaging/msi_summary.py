#!/usr/bin/env python3
"""msi_summary.py MSI EPOCH PACKAGE_CODE: gives the Windows Installer package MSI the package
code PACKAGE_CODE ({...}, upper case) and dates its creation and last save by EPOCH (seconds
since 1970), in place. wixl takes both from the moment it runs and a random number, so that
without this no two builds of one commit would give the same package.

The summary information is a property set stream of the package's compound file; its values
are rewritten where they stand, each with a value of the same size, so that nothing else in
the file moves."""
import struct
import sys

FREE, END_OF_CHAIN = 0xFFFFFFFF, 0xFFFFFFFE
PID_REVNUMBER, PID_CREATE_DTM, PID_LASTSAVE_DTM = 9, 12, 13
VT_LPSTR, VT_FILETIME = 30, 64
STREAM_NAME = "\x05SummaryInformation"


def fail(message):
    sys.exit(f"msi_summary.py: {sys.argv[1]}: {message}")


def chain(table, start):
    sectors = []
    while start not in (FREE, END_OF_CHAIN):
        if start >= len(table) or len(sectors) > len(table):
            fail("its compound file has a broken sector chain")
        sectors.append(start)
        start = table[start]
    return sectors


def stream_offsets(data):
    """The file offsets of each byte of the summary information stream."""
    if data[:8] != bytes.fromhex("D0CF11E0A1B11AE1"):
        fail("not a compound file")
    shift, mini_shift = struct.unpack_from("<HH", data, 30)
    size, mini_size = 1 << shift, 1 << mini_shift
    fat_count, directory_start = struct.unpack_from("<II", data, 44)
    mini_cutoff, mini_fat_start, _, difat_start, difat_count = struct.unpack_from(
        "<IIIII", data, 56)
    if difat_count or difat_start not in (FREE, END_OF_CHAIN):
        fail("its compound file is larger than this script reads")

    def offset(sector):
        return (sector + 1) * size

    fat_sectors = struct.unpack_from(f"<{fat_count}I", data, 76)
    fat = []
    for sector in fat_sectors:
        fat.extend(struct.unpack_from(f"<{size // 4}I", data, offset(sector)))
    mini_fat = []
    for sector in chain(fat, mini_fat_start):
        mini_fat.extend(struct.unpack_from(f"<{size // 4}I", data, offset(sector)))

    entries = []
    for sector in chain(fat, directory_start):
        for at in range(offset(sector), offset(sector) + size, 128):
            name_length = struct.unpack_from("<H", data, at + 64)[0]
            name = data[at:at + max(name_length - 2, 0)].decode("utf-16-le")
            start, length = struct.unpack_from("<IQ", data, at + 116)
            entries.append((name, start, length))
    root_start = entries[0][1]
    found = [entry for entry in entries if entry[0] == STREAM_NAME]
    if not found:
        fail("it has no summary information")
    _, start, length = found[0]
    if length >= mini_cutoff:
        places = [offset(sector) + i for sector in chain(fat, start) for i in range(size)]
    else:
        container = [offset(sector) + i for sector in chain(fat, root_start)
                     for i in range(size)]
        places = [container[sector * mini_size + i] for sector in chain(mini_fat, start)
                  for i in range(mini_size)]
    return places[:length]


def main():
    path, epoch, code = sys.argv[1], int(sys.argv[2]), sys.argv[3]
    data = bytearray(open(path, "rb").read())
    places = stream_offsets(data)
    stream = bytearray(data[place] for place in places)
    # The property set: its header, then the offset of its one section.
    section = struct.unpack_from("<I", stream, 44)[0]
    count = struct.unpack_from("<I", stream, section + 4)[0]
    # FILETIME: 100-nanosecond steps since 1601.
    filetime = struct.pack("<Q", (epoch + 11644473600) * 10000000)
    changed = set()
    for index in range(count):
        pid, at = struct.unpack_from("<II", stream, section + 8 + index * 8)
        at += section
        kind = struct.unpack_from("<I", stream, at)[0]
        if pid in (PID_CREATE_DTM, PID_LASTSAVE_DTM) and kind == VT_FILETIME:
            stream[at + 4:at + 12] = filetime
            changed.add(pid)
        elif pid == PID_REVNUMBER and kind == VT_LPSTR:
            length = struct.unpack_from("<I", stream, at + 4)[0]
            value = code.encode("ascii") + b"\0"
            if len(value) != length:
                fail(f"its package code takes {length} bytes, not {len(value)}")
            stream[at + 8:at + 8 + length] = value
            changed.add(pid)
    if changed != {PID_REVNUMBER, PID_CREATE_DTM, PID_LASTSAVE_DTM}:
        fail("its summary information lacks the package code or its dates")
    for place, byte in zip(places, stream):
        data[place] = byte
    open(path, "wb").write(data)


main()
