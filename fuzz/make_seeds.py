#!/usr/bin/env python3
"""Writes a small seed corpus for every harness into the folder given (one sub-folder each)."""
import os
import struct
import sys
import zlib


def sgi(width, height, rle=False, channels=4, seed=1):
    header = bytearray(512)
    struct.pack_into(">HBBHHHH", header, 0, 474, 1 if rle else 0, 1, 3, width, height, channels)
    struct.pack_into(">II", header, 12, 0, 255)
    planes = [[(seed * 37 + z * 11 + i * 7) & 255 for i in range(width * height)] for z in range(channels)]
    if not rle:
        body = bytearray()
        for plane in planes:
            body += bytes(plane)
        return bytes(header + body)
    starts, lengths, data = [], [], bytearray()
    table_end = 512 + 8 * height * channels
    for plane in planes:
        for y in range(height):
            row = plane[y * width:(y + 1) * width]
            packet = bytearray()
            if y % 2:
                packet += bytes([0x80 | len(row)]) + bytes(row) if row else b""
            else:
                for value in row:
                    packet += bytes([1, value])
            packet += b"\x00"
            starts.append(table_end + len(data))
            lengths.append(len(packet))
            data += packet
    table = b"".join(struct.pack(">I", s) for s in starts) + b"".join(struct.pack(">I", n) for n in lengths)
    return bytes(header + table + data)


def sprite(width, height, key=0, origin=(0, 0), fill=None):
    cells = bytes(fill if fill is not None else ((x * 3 + y * 5) % 7) for y in range(height) for x in range(width))
    return bytes([width, height, origin[0], origin[1], key]) + cells


def pak(entries):
    directory_size = 16 * (len(entries) + 1)
    offset = directory_size
    directory, body = bytearray(), bytearray()
    for name, data in entries:
        directory += name.encode().ljust(12, b"\0")[:12] + struct.pack("<i", offset)
        body += data
        offset += len(data)
    directory += bytes(16)
    return bytes(directory + body)


def chunk(kind, body):
    return struct.pack(">I", len(body)) + kind + body + struct.pack(">I", zlib.crc32(kind + body))


def png(width, height, colour_type, depth, rows, extra=b"", interlace=0):
    """A PNG of unfiltered rows; extra chunks go before the image data."""
    header = struct.pack(">IIBBBBB", width, height, depth, colour_type, 0, 0, interlace)
    data = zlib.compress(b"".join(b"\0" + row for row in rows))
    return b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", header) + extra + chunk(b"IDAT", data) + chunk(b"IEND", b"")


def palette():
    return bytes((i * (c + 1)) % 64 for i in range(256) for c in range(3))


def main(out):
    seeds = {
        "fuzz_sgi": {
            "verbatim": sgi(3, 2),
            "rle": sgi(5, 3, rle=True),
            "rgb": sgi(2, 2, channels=3),
            "empty": sgi(0, 4),
        },
        "fuzz_pak": {
            "editor": pak([("KOBA.VPL", palette()), ("CURSOR.VSF", sprite(3, 3, origin=(1, 1))),
                           ("41.VFF", sprite(4, 6, fill=255)), ("20.VFF", sprite(3, 6))]),
            "empty": bytes(16),
            "skipped": pak([("x.vsf", sprite(1, 1)), ("A.B.VSF", sprite(2, 2)), ("VPL", palette())]),
        },
        "fuzz_register": {
            "small": sprite(2, 2),
            "wide": sprite(200, 3, key=3),
            "dot": sprite(1, 1, fill=5),
            "keyed": bytes([3, 3, 1, 1, 0]) + bytes([0, 5, 0, 5, 5, 5, 0, 5, 0]),
        },
        "fuzz_palette": {"palette": palette(), "short": palette()[:100], "bright": bytes([255]) * 768},
        "fuzz_png": {
            "indexed": png(3, 2, 3, 8, [bytes([0, 1, 2])] * 2, chunk(b"PLTE", bytes(range(9))) + chunk(b"tRNS", b"\xff\0")
                           + chunk(b"grAb", struct.pack(">ii", 1, -1))),
            "grey2": png(4, 1, 0, 2, [bytes([0x1B])]),
            "rgb16": png(1, 1, 2, 16, [bytes(range(6))]),
            "rgba": png(2, 2, 6, 8, [bytes(8)] * 2),
        },
        "fuzz_document": {"fresh": sprite(16, 16, fill=0), "zero": bytes([0, 7, 0, 0, 0]),
                          "big": sprite(255, 2, origin=(200, 1))},
    }
    for harness, files in seeds.items():
        folder = os.path.join(out, harness)
        os.makedirs(folder, exist_ok=True)
        for name, data in files.items():
            with open(os.path.join(folder, name), "wb") as f:
                f.write(data)


if __name__ == "__main__":
    main(sys.argv[1])
