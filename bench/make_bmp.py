#!/usr/bin/env python3
"""Writes the benchmark's input bitmaps: make_bmp.py KIND WIDTH HEIGHT OUT.bmp

KIND is rgb24 (24-bit), pal8 (8-bit with a 256-colour palette) or rgba32 (32-bit with an
alpha mask in a V4 header). The pictures are deterministic: smooth gradients crossed by fine
noise, so neither tool meets a trivially uniform picture, and the same run always makes the
same bytes (the reference checksums of the outputs depend on that).
"""
import random
import struct
import sys


def tape(length, seed):
    # A strip of pixels longer than a row; row y is the strip shifted by y, so rows differ
    # without a per-pixel Python loop over the whole picture.
    rnd = random.Random(seed)
    noise = rnd.randbytes(length)
    return bytes((i * 7 // 5 + noise[i] // 8) & 0xFF for i in range(length))


def rows(kind, width, height):
    step = {"rgb24": 3, "pal8": 1, "rgba32": 4}[kind]
    span = width + height
    channels = [tape(span * 2, seed) for seed in range(min(step, 3))]
    if step == 4:
        # Alpha from fully transparent to opaque, shifted from row to row.
        channels.append(bytes(i * 255 // (span * 2 - 1) for i in range(span * 2)))
    for y in range(height):
        start = (y * 3) % span
        parts = [c[start:start + width] for c in channels]
        if step == 1:
            line = parts[0]
        else:
            line = bytearray(width * step)
            for i, p in enumerate(parts):
                line[i::step] = p
        yield bytes(line) + b"\0" * (-len(line) % 4)


def write(kind, width, height, path):
    bpp = {"rgb24": 24, "pal8": 8, "rgba32": 32}[kind]
    pitch = (width * bpp // 8 + 3) // 4 * 4
    if kind == "rgba32":
        info = struct.pack("<IiiHHIIiiII", 108, width, height, 1, 32, 3, pitch * height, 2835, 2835, 0, 0)
        info += struct.pack("<IIII", 0x00FF0000, 0x0000FF00, 0x000000FF, 0xFF000000)
        info += struct.pack("<I", 0x73524742) + b"\0" * 36 + b"\0" * 12  # sRGB, no endpoints or gamma
    else:
        info = struct.pack("<IiiHHIIiiII", 40, width, height, 1, bpp, 0, pitch * height, 2835, 2835,
                           256 if bpp == 8 else 0, 0)
    palette = b""
    if bpp == 8:
        palette = b"".join(struct.pack("BBBB", (i * 3) & 0xFF, (255 - i), (i * 5 // 2) & 0xFF, 0) for i in range(256))
    offset = 14 + len(info) + len(palette)
    with open(path, "wb") as out:
        out.write(b"BM" + struct.pack("<IHHI", offset + pitch * height, 0, 0, offset))
        out.write(info)
        out.write(palette)
        for line in rows(kind, width, height):
            out.write(line)


if __name__ == "__main__":
    if len(sys.argv) != 5:
        sys.exit(__doc__)
    write(sys.argv[1], int(sys.argv[2]), int(sys.argv[3]), sys.argv[4])
