#!/usr/bin/env python3
"""Writes the main menu's textures into data/menu as 32-bit TGA files (standard library only).

Run from anywhere: python3 scripts/make_menu_textures.py
"""
import math
import os

from make_media_assets import tga32

OUT = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "data", "menu")


def write_tga(name, width, height, pixel):
    """pixel(x, y) -> (r, g, b, a), y counted from the top."""
    with open(os.path.join(OUT, name), "wb") as f:
        f.write(tga32(width, height, pixel))


def lerp(a, b, t):
    return a + (b - a) * t


def background(x, y):
    # A night sky from deep blue to violet, with a few fixed stars.
    t = y / 127.0
    r, g, b = lerp(10, 60, t), lerp(16, 24, t), lerp(48, 90, t)
    if (x * 73 + y * 151) % 257 == 0:
        r, g, b = 230, 230, 255
    return r, g, b, 255


def button(x, y, w=128, h=32):
    # A bevelled bar: light top edge, dark bottom edge, a soft vertical gradient between.
    if x == 0 or y == 0 or x == w - 1 or y == h - 1:
        return 20, 20, 30, 255
    if y <= 2:
        return 200, 210, 240, 255
    if y >= h - 3:
        return 40, 50, 90, 255
    t = y / (h - 1)
    return lerp(110, 50, t), lerp(130, 70, t), lerp(200, 140, t), 255


def title(x, y, w=256, h=64):
    # A banner that fades out at both ends.
    edge = min(x, w - 1 - x) / 40.0
    alpha = 255 * min(1.0, edge)
    glow = 0.5 + 0.5 * math.sin(math.pi * y / (h - 1))
    return lerp(120, 250, glow), lerp(60, 190, glow), 30, alpha


def field(x, y, w=128, h=32):
    # A recessed dark text field, so that a light caption reads on it.
    if x == 0 or y == 0:
        return 0, 0, 0, 255
    if x == w - 1 or y == h - 1:
        return 150, 160, 190, 255
    return 24, 28, 48, 255


def hint(x, y, w=128, h=16):
    # A translucent strip behind the hint line.
    return 0, 0, 0, 150


def main():
    os.makedirs(OUT, exist_ok=True)
    write_tga("background.tga", 128, 128, background)
    write_tga("button.tga", 128, 32, button)
    write_tga("title.tga", 256, 64, title)
    write_tga("field.tga", 128, 32, field)
    write_tga("hint.tga", 128, 16, hint)


if __name__ == "__main__":
    main()
