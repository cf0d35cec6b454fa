#!/usr/bin/env python3
"""Turns a binary PPM picture (P6, 8 bits), such as the end-to-end tests'
screenshots, into a PNG, with nothing but the standard library.

    ppm_to_png.py [--bits N] <picture.ppm> <picture.png>

Each row takes the PNG filter that leaves the smallest sum of differences,
which keeps drawn pictures small. --bits keeps only the N high bits of each
colour (copied down into the low ones, so white stays white): 6 bits look
the same to the eye and make a drawn screen a third smaller."""
import struct
import sys
import zlib


def read_ppm(path):
    data = open(path, "rb").read()
    fields = []
    at = 0
    while len(fields) < 4:
        while data[at:at + 1].isspace():
            at += 1
        if data[at:at + 1] == b"#":
            at = data.index(b"\n", at)
            continue
        end = at
        while not data[end:end + 1].isspace():
            end += 1
        fields.append(data[at:end])
        at = end
    if fields[0] != b"P6" or int(fields[3]) != 255:
        sys.exit("ppm_to_png: %s is not an 8-bit binary PPM" % path)
    width, height = int(fields[1]), int(fields[2])
    pixels = data[at + 1:at + 1 + width * height * 3]
    if len(pixels) != width * height * 3:
        sys.exit("ppm_to_png: %s is cut short" % path)
    return width, height, pixels


def paeth(a, b, c):
    p = a + b - c
    pa, pb, pc = abs(p - a), abs(p - b), abs(p - c)
    if pa <= pb and pa <= pc:
        return a
    return b if pb <= pc else c


def filtered_rows(width, height, pixels):
    stride = width * 3
    previous = bytes(stride)
    out = bytearray()
    for y in range(height):
        row = pixels[y * stride:(y + 1) * stride]
        left = bytes(3) + row[:-3]
        up_left = bytes(3) + previous[:-3]
        candidates = [
            (0, row),
            (1, bytes((r - l) & 0xFF for r, l in zip(row, left))),
            (2, bytes((r - u) & 0xFF for r, u in zip(row, previous))),
            (3, bytes((r - ((l + u) >> 1)) & 0xFF for r, l, u in zip(row, left, previous))),
            (4, bytes((r - paeth(l, u, c)) & 0xFF for r, l, u, c in zip(row, left, previous, up_left))),
        ]
        kind, best = min(candidates, key=lambda c: sum(v if v < 128 else 256 - v for v in c[1]))
        out.append(kind)
        out += best
        previous = row
    return bytes(out)


def keep_bits(pixels, bits):
    if bits >= 8:
        return pixels
    mask = (0xFF << (8 - bits)) & 0xFF
    table = bytes((v & mask) | ((v & mask) >> bits) for v in range(256))
    return pixels.translate(table)


def chunk(kind, body):
    return struct.pack(">I", len(body)) + kind + body + struct.pack(">I", zlib.crc32(kind + body) & 0xFFFFFFFF)


def main(argv):
    bits = 8
    if len(argv) == 5 and argv[1] == "--bits" and argv[2].isdigit() and 1 <= int(argv[2]) <= 8:
        bits = int(argv[2])
        argv = argv[:1] + argv[3:]
    if len(argv) != 3:
        sys.stderr.write(__doc__)
        return 2
    width, height, pixels = read_ppm(argv[1])
    pixels = keep_bits(pixels, bits)
    png = (b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", struct.pack(">IIBBBBB", width, height, 8, 2, 0, 0, 0)) +
           chunk(b"IDAT", zlib.compress(filtered_rows(width, height, pixels), 9)) + chunk(b"IEND", b""))
    with open(argv[2], "wb") as stream:
        stream.write(png)
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
