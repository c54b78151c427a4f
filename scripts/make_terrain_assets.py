#!/usr/bin/env python3
"""Writes the demo scene's terrain and particles: the height bitmaps (8-bit grey BMP) and
textures (DXT1 DDS) of the terrain blocks in data/terrain/blocks, and the snow flake texture
(32-bit TGA) in data/particles. Deterministic; run from anywhere:

    python3 scripts/make_terrain_assets.py
"""
import math
import struct

from make_media_assets import dds_dxt1, tga32, write

SIZE = 64  # height bitmap pixels a side; the finest grid has as many vertices


def bmp8(width, height, grey_at):
    """An 8-bit grey-palette BMP, bottom row first as the format stores it."""
    stride = (width + 3) & ~3
    rows = b"".join(bytes(grey_at(x, y) for x in range(width)).ljust(stride, b"\0")
                    for y in reversed(range(height)))
    palette = b"".join(bytes((g, g, g, 0)) for g in range(256))
    offset = 14 + 40 + len(palette)
    header = struct.pack("<2sIHHI", b"BM", offset + len(rows), 0, 0, offset)
    info = struct.pack("<IiiHHIIiiII", 40, width, height, 1, 8, 0, len(rows), 2835, 2835, 256, 0)
    return header + info + palette + rows


def bank(x):
    """The canyon's walls: flat in the middle, rising to white at both sides."""
    t = max(0.0, (abs(x / (SIZE - 1) - 0.5) * 2 - 0.4) / 0.6)
    return 255 * t ** 1.5


def inside(z):
    """0 at the near and far rows, 1 halfway: every block meets its neighbours on the walls alone."""
    return math.sin(math.pi * z / (SIZE - 1))


# The blocks' own relief, added to the walls and faded out toward their near and far edges.
RELIEF = {
    "plain": lambda x, z: 18 * (1 + math.sin(x * 0.5) * math.cos(z * 0.4)),
    "hills": lambda x, z: 150 * math.exp(-((x - 24) ** 2 + (z - 30) ** 2) / 90.0) +
                          110 * math.exp(-((x - 42) ** 2 + (z - 40) ** 2) / 60.0),
    "dunes": lambda x, z: 45 * (1 + math.sin(x * 0.35 + z * 0.15)),
    "ridge": lambda x, z: 160 * math.exp(-((z - 31.5) ** 2) / 40.0) * (0.6 + 0.4 * math.cos(x * 0.2)),
}


def height(name, x, z):
    return int(max(0, min(255, bank(x) + RELIEF[name](x, z) * inside(z))))


def ground_colour(grey, x, y):
    """Grass in the valley, rock on the slopes, snow on top, blended by height; a little grain
    per 4x4 block."""
    def mix(a, b, t):
        t = max(0.0, min(1.0, t))
        return [p + (q - p) * t for p, q in zip(a, b)]
    grass, rock, snow = (50, 110, 40), (115, 95, 60), (215, 215, 225)
    colour = mix(mix(grass, rock, (grey - 30) / 50.0), snow, (grey - 150) / 50.0)
    grain = ((x * 7 + y * 13) // 4 % 5) * 4
    return tuple(min(255, int(c) + grain) for c in colour)


def flake(x, y):
    d = math.hypot(x - 15.5, y - 15.5) / 15.5
    return (255, 255, 255, int(255 * max(0.0, 1.0 - d) ** 1.5))


def main():
    for name in RELIEF:
        write("terrain/blocks/%s.bmp" % name, bmp8(SIZE, SIZE, lambda x, y: height(name, x, y)))
        # The texture covers the block once, twice as fine as its height bitmap.
        write("terrain/blocks/%s.dds" % name,
              dds_dxt1(SIZE * 2, SIZE * 2, lambda x, y: ground_colour(height(name, x // 2, y // 2), x, y)))
    write("particles/flake.tga", tga32(32, 32, flake))


if __name__ == "__main__":
    main()
