#!/usr/bin/env python3
"""Writes the media part of the bundled data tree: the font file, the sound samples, the music,
the models with their textures and the scene's and the units' sprite sheets. Everything is
synthesised here; run from anywhere:

    python3 scripts/make_media_assets.py

The output is deterministic, so re-running it leaves the committed files unchanged.
"""
import math
import os
import struct

ROOT = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "data")


def write(relative, data):
    path = os.path.join(ROOT, relative)
    os.makedirs(os.path.dirname(path), exist_ok=True)
    with open(path, "wb") as f:
        f.write(data)


# Fonts: the engine reads 8-bit GBK text, CRLF line ends as a Windows editor leaves them.
FONTS = """[menu]
fontname=Arial
height=22
width=0
weight=700
italic=0

[chinese]
fontname=宋体
height=20
width=0
weight=400
italic=0

[small]
fontname=Arial
height=14
width=0
italic=0
"""


def wav(samples, rate=22050):
    data = b"".join(struct.pack("<h", max(-32767, min(32767, int(s)))) for s in samples)
    fmt = struct.pack("<HHIIHH", 1, 1, rate, rate * 2, 2, 16)
    return (b"RIFF" + struct.pack("<I", 36 + len(data)) + b"WAVE" + b"fmt " + struct.pack("<I", 16) + fmt +
            b"data" + struct.pack("<I", len(data)) + data)


def tone(freqs, seconds, volume=9000, rate=22050, decay=6.0):
    """A sum of sines with a short attack and an exponential decay."""
    n = int(seconds * rate)
    out = []
    for i in range(n):
        t = i / rate
        env = min(1.0, t * 200.0) * math.exp(-decay * t)
        out.append(volume * env * sum(math.sin(2 * math.pi * f * t) for f in freqs) / len(freqs))
    return out


def sweep(f0, f1, seconds, volume=8000, rate=22050):
    n = int(seconds * rate)
    out, phase = [], 0.0
    for i in range(n):
        t = i / n
        phase += 2 * math.pi * (f0 + (f1 - f0) * t) / rate
        env = min(1.0, i / 100.0) * (1.0 - t)
        out.append(volume * env * math.sin(phase))
    return out


def music(rate=22050):
    """Four bars of a soft arpeggio over a bass, two seconds each chord, made to loop."""
    chords = [(220.0, 261.6, 329.6), (174.6, 220.0, 261.6), (196.0, 246.9, 293.7), (164.8, 207.7, 246.9)]
    out = []
    beat = int(rate * 0.25)
    for root, third, fifth in chords:
        notes = [root * 2, third * 2, fifth * 2, third * 2] * 2
        for k, f in enumerate(notes):
            for i in range(beat):
                t = i / rate
                env = math.exp(-5.0 * t)
                bass = 0.5 * math.sin(2 * math.pi * root / 2 * (k * beat + i) / rate)
                out.append(5000 * (env * math.sin(2 * math.pi * f * t) + bass))
    return out


def dds_dxt1(width, height, colour_at):
    """A DXT1 texture whose 4x4 blocks are each one colour (565), one level."""
    header = struct.pack("<4sIIIIIII44x", b"DDS ", 124, 0x81007, height, width, (width // 4) * (height // 4) * 8,
                         0, 1)
    pixel_format = struct.pack("<II4sIIIII", 32, 0x4, b"DXT1", 0, 0, 0, 0, 0)
    caps = struct.pack("<IIII4x", 0x1000, 0, 0, 0)
    blocks = bytearray()
    for by in range(height // 4):
        for bx in range(width // 4):
            r, g, b = colour_at(bx * 4, by * 4)
            c = ((r >> 3) << 11) | ((g >> 2) << 5) | (b >> 3)
            blocks += struct.pack("<HHI", c, c, 0)
    return header + pixel_format + caps + bytes(blocks)


def crate_colour(x, y):
    border = x < 8 or y < 8 or x >= 56 or y >= 56
    diagonal = abs(x - y) < 8 or abs(x + y - 60) < 8
    if border or diagonal:
        return (150, 96, 40)
    return (200, 150, 80)


def stone_colour(x, y):
    v = 120 + ((x // 8 + y // 8) % 2) * 50
    return (v, v - 10, v - 30)


def tga32(width, height, pixel):
    """An uncompressed 32-bit TGA, top row first; pixel(x, y) -> (r, g, b, a)."""
    header = struct.pack("<BBBHHBHHHHBB", 0, 0, 2, 0, 0, 0, 0, 0, width, height, 32, 0x28)
    rows = bytearray()
    for y in range(height):
        for x in range(width):
            r, g, b, a = (max(0, min(255, int(round(c)))) for c in pixel(x, y))
            rows += bytes((b, g, r, a))
    return header + bytes(rows)


def effects_sheet(x, y):
    """Two strips of eight 32 x 32 frames: an expanding fiery ring, then a pulsing blue glow."""
    frame, fx, fy = x // 32, x % 32 - 15.5, y % 32 - 15.5
    d = math.hypot(fx, fy)
    if y < 32:
        radius = 3.0 + frame * 1.7
        ring = math.exp(-((d - radius) / 2.2) ** 2) + max(0.0, 1.0 - d / radius) * 0.5 * (1 - frame / 8)
        fade = 1.0 - frame / 9.0
        return 255, 140 + 115 * (1 - frame / 8) * min(1.0, ring), 40, 255 * min(1.0, ring) * fade
    glow = max(0.0, 1.0 - d / 15.0) ** 1.5 * (0.6 + 0.4 * math.cos(frame * math.pi / 4))
    return 120, 190, 255, 255 * glow


# A unit cube centred at the origin, 24 corners so each face has its own normal; faces are
# quads (the reader fans them), two materials: sides and top/bottom.
CUBE_FACES = [
    ((0, 0, -1), [(-1, 1, -1), (1, 1, -1), (1, -1, -1), (-1, -1, -1)]),
    ((0, 0, 1), [(1, 1, 1), (-1, 1, 1), (-1, -1, 1), (1, -1, 1)]),
    ((-1, 0, 0), [(-1, 1, 1), (-1, 1, -1), (-1, -1, -1), (-1, -1, 1)]),
    ((1, 0, 0), [(1, 1, -1), (1, 1, 1), (1, -1, 1), (1, -1, -1)]),
    ((0, 1, 0), [(-1, 1, 1), (1, 1, 1), (1, 1, -1), (-1, 1, -1)]),
    ((0, -1, 0), [(-1, -1, -1), (1, -1, -1), (1, -1, 1), (-1, -1, 1)]),
]
UVS = [(0, 0), (1, 0), (1, 1), (0, 1)]


def crate_x():
    lines = ["xof 0302txt 0032", "// A wooden crate, one unit wide.", "",
             "Frame Crate {", " FrameTransformMatrix {",
             "  1.000000,0.000000,0.000000,0.000000,", "  0.000000,1.000000,0.000000,0.000000,",
             "  0.000000,0.000000,1.000000,0.000000,", "  0.000000,0.500000,0.000000,1.000000;;", " }",
             " Mesh CrateMesh {", "  24;"]
    verts = [c for _, corners in CUBE_FACES for c in corners]
    lines += ["  %.6f;%.6f;%.6f;%s" % (x * 0.5, y * 0.5, z * 0.5, ";" if i == 23 else ",")
              for i, (x, y, z) in enumerate(verts)]
    lines.append("  6;")
    lines += ["  4;%d,%d,%d,%d;%s" % (4 * f, 4 * f + 1, 4 * f + 2, 4 * f + 3, ";" if f == 5 else ",")
              for f in range(6)]
    lines += ["  MeshNormals {", "   6;"]
    lines += ["   %.6f;%.6f;%.6f;%s" % (n[0], n[1], n[2], ";" if f == 5 else ",")
              for f, (n, _) in enumerate(CUBE_FACES)]
    lines.append("   6;")
    lines += ["   4;%d,%d,%d,%d;%s" % (f, f, f, f, ";" if f == 5 else ",") for f in range(6)]
    lines += ["  }", "  MeshTextureCoords {", "   24;"]
    lines += ["   %.6f;%.6f;%s" % (UVS[i % 4][0], UVS[i % 4][1], ";" if i == 23 else ",") for i in range(24)]
    lines += ["  }", "  MeshMaterialList {", "   2;", "   6;", "   0,0,0,0,1,1;;",
              "   Material Sides {", "    1.000000;1.000000;1.000000;1.000000;;", "    8.000000;",
              "    0.200000;0.200000;0.200000;;", "    0.000000;0.000000;0.000000;;",
              "    TextureFilename { \"crate.dds\"; }", "   }",
              "   Material Lids {", "    0.900000;0.900000;0.900000;1.000000;;", "    8.000000;",
              "    0.200000;0.200000;0.200000;;", "    0.000000;0.000000;0.000000;;",
              "    TextureFilename { \"crate.dds\"; }", "   }", "  }", " }", "}", ""]
    return "\r\n".join(lines).encode("ascii")


class BinaryX:
    """The binary encoding: 16-bit token codes with their payloads."""

    def __init__(self):
        self.data = bytearray(b"xof 0302bin 0032")

    def name(self, text):
        self.data += struct.pack("<HI", 1, len(text)) + text.encode("ascii")

    def string(self, text):
        self.data += struct.pack("<HI", 2, len(text)) + text.encode("ascii") + struct.pack("<I", 20)

    def ints(self, values):
        self.data += struct.pack("<HI", 6, len(values)) + struct.pack("<%dI" % len(values), *values)

    def floats(self, values):
        self.data += struct.pack("<HI", 7, len(values)) + struct.pack("<%df" % len(values), *values)

    def open(self):
        self.data += struct.pack("<H", 10)

    def close(self):
        self.data += struct.pack("<H", 11)


def pyramid_x():
    """A four-sided pyramid, base 1 x 1 and height 1, in the binary encoding."""
    apex, base = (0.0, 1.0, 0.0), [(-0.5, 0, -0.5), (0.5, 0, -0.5), (0.5, 0, 0.5), (-0.5, 0, 0.5)]
    positions, uvs, faces, normals = [], [], [], []
    for i in range(4):
        a, b = base[i], base[(i + 1) % 4]
        e1 = [b[k] - a[k] for k in range(3)]
        e2 = [apex[k] - a[k] for k in range(3)]
        n = [e2[1] * e1[2] - e2[2] * e1[1], e2[2] * e1[0] - e2[0] * e1[2], e2[0] * e1[1] - e2[1] * e1[0]]
        length = math.sqrt(sum(c * c for c in n))
        normals.append([c / length for c in n])
        start = len(positions)
        positions += [apex, b, a]
        uvs += [(0.5, 0.0), (1.0, 1.0), (0.0, 1.0)]
        faces.append([start, start + 1, start + 2])
    start = len(positions)
    positions += base
    uvs += [(0, 0), (1, 0), (1, 1), (0, 1)]
    faces.append([start, start + 1, start + 2, start + 3])
    normals.append([0.0, -1.0, 0.0])

    x = BinaryX()
    x.name("Frame")
    x.name("Pyramid")
    x.open()
    x.name("Mesh")
    x.open()
    x.ints([len(positions)])
    x.floats([c for p in positions for c in p])
    x.ints([len(faces)] + [v for f in faces for v in [len(f)] + f])
    x.name("MeshNormals")
    x.open()
    x.ints([len(normals)])
    x.floats([c for n in normals for c in n])
    x.ints([len(faces)] + [v for i, f in enumerate(faces) for v in [len(f)] + [i] * len(f)])
    x.close()
    x.name("MeshTextureCoords")
    x.open()
    x.ints([len(uvs)])
    x.floats([c for uv in uvs for c in uv])
    x.close()
    x.name("MeshMaterialList")
    x.open()
    x.ints([1, len(faces)] + [0] * len(faces))
    x.name("Material")
    x.open()
    x.floats([1, 1, 1, 1, 4, 0.1, 0.1, 0.1, 0, 0, 0])
    x.name("TextureFilename")
    x.open()
    x.string("pyramid.dds")
    x.close()
    x.close()
    x.close()
    x.close()
    x.close()
    return bytes(x.data)


def unit_effects(x, y):
    """The units' sprite sheet, 256 x 64: eight 32 x 32 frames a row. Row 0 a spark that flares
    and fades, row 1 a puff of dust that spreads and thins."""
    frame, u, v = x // 32, x % 32 - 15.5, y % 32 - 15.5
    t = frame / 7.0
    r = math.sqrt(u * u + v * v)
    if y < 32:
        star = max(0.0, 1.0 - min(abs(u), abs(v)) / 2.5) * max(0.0, 1.0 - r / (6 + 10 * (1 - t)))
        core = max(0.0, 1.0 - r / (4 + 3 * (1 - t)))
        a = 255 * min(1.0, star + core) * (1.0 - 0.8 * t)
        return 255, 230 - 80 * t, 90 - 60 * t, a
    ring = 3 + 11 * t
    a = 200 * max(0.0, 1.0 - abs(r - ring) / (3 + 3 * t)) * (1.0 - t) + 60 * max(0.0, 1.0 - r / ring) * (1.0 - t)
    return 190, 175, 150, a


def main():
    write("GlobalFonts.txt", FONTS.replace("\n", "\r\n").encode("gbk"))
    write("sound/click.wav", wav(tone([1200, 1800], 0.08, decay=40.0)))
    write("sound/hover.wav", wav(tone([660], 0.06, volume=5000, decay=50.0)))
    write("sound/confirm.wav", wav(tone([523.3, 659.3, 784.0], 0.35, decay=8.0)))
    write("sound/cancel.wav", wav(sweep(700, 300, 0.2)))
    write("sound/explosion.wav", wav([8000 * math.exp(-6 * i / 22050) * math.sin(i * i * 0.0007) *
                                      math.sin(2 * math.pi * 60 * i / 22050) for i in range(int(22050 * 0.5))]))
    write("music/theme.wav", wav(music()))
    write("Models/crate.x", crate_x())
    write("Models/crate.dds", dds_dxt1(64, 64, crate_colour))
    write("Models/pyramid.x", pyramid_x())
    write("Models/pyramid.dds", dds_dxt1(32, 32, stone_colour))
    write("scene/anim/effects.tga", tga32(256, 64, effects_sheet))
    write("units/effects.tga", tga32(256, 64, unit_effects))


if __name__ == "__main__":
    main()
