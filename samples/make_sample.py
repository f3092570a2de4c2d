#!/usr/bin/env python3
"""Writes samples/sample.bmp: a 96 x 64 24-bit picture with colour bands and a gradient."""
import os
import struct

WIDTH, HEIGHT = 96, 64


def pixel(x, y):
    if y < 16:  # colour bands along the top
        bands = [(255, 0, 0), (255, 128, 0), (255, 255, 0), (0, 160, 0), (0, 255, 255), (0, 0, 255)]
        return bands[x * len(bands) // WIDTH]
    return (x * 255 // (WIDTH - 1), (y - 16) * 255 // (HEIGHT - 17), 160)


def main():
    row_size = (WIDTH * 3 + 3) & ~3
    rows = []
    for y in reversed(range(HEIGHT)):  # bottom row first
        row = bytearray()
        for x in range(WIDTH):
            r, g, b = pixel(x, y)
            row += bytes((b, g, r))
        row += b"\0" * (row_size - len(row))
        rows.append(bytes(row))
    data = b"".join(rows)
    header = struct.pack("<2sIHHI", b"BM", 54 + len(data), 0, 0, 54)
    info = struct.pack("<IiiHHIIiiII", 40, WIDTH, HEIGHT, 1, 24, 0, len(data), 2835, 2835, 0, 0)
    path = os.path.join(os.path.dirname(os.path.abspath(__file__)), "sample.bmp")
    with open(path, "wb") as out:
        out.write(header + info + data)


if __name__ == "__main__":
    main()
