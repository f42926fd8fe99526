#!/usr/bin/env python3
"""Draws the OpenFX plug-ins' icons, one 128 x 128 PNG per plug-in named after
its identifier, as applications look for them in the bundle's Resources
folder: a flare over a dark tile, one light for Glarewright, three for the
Showcase edition, and one with a row of preset swatches for the Quick edition.
Run it again after changing a drawing; it rewrites the files beside it."""
import math
import os
import struct
import zlib

HERE = os.path.dirname(os.path.abspath(__file__))
SIZE = 128


def tile():
    """A dark tile with rounded corners, transparent outside them."""
    img = [[[0.0, 0.0, 0.0, 0.0] for _ in range(SIZE)] for _ in range(SIZE)]
    r = 18.0
    for y in range(SIZE):
        for x in range(SIZE):
            cx = min(max(x + 0.5, r), SIZE - r)
            cy = min(max(y + 0.5, r), SIZE - r)
            d = math.hypot(x + 0.5 - cx, y + 0.5 - cy)
            a = min(max(r - d + 0.5, 0.0), 1.0)
            shade = 0.06 + 0.10 * (1.0 - y / SIZE)
            img[y][x] = [shade, shade, shade * 1.4, a]
    return img


def add(img, x, y, rgb, amount):
    if 0 <= x < SIZE and 0 <= y < SIZE and img[y][x][3] > 0.0:
        for c in range(3):
            img[y][x][c] += rgb[c] * amount


def glow(img, cx, cy, radius, rgb, strength=1.0):
    for y in range(SIZE):
        for x in range(SIZE):
            d = math.hypot(x + 0.5 - cx, y + 0.5 - cy) / radius
            if d < 3.0:
                add(img, x, y, rgb, strength * math.exp(-d * d * 2.2))


def rays(img, cx, cy, length, count, rgb, phase=0.0):
    for i in range(count):
        a = phase + math.pi * 2.0 * i / count
        for s in range(int(length * 4)):
            t = s / 4.0
            x, y = cx + math.cos(a) * t, cy + math.sin(a) * t
            fade = (1.0 - t / length) ** 2
            for dx in (-1, 0, 1):
                add(img, int(x) + dx, int(y), rgb, 0.22 * fade * (1.0 if dx == 0 else 0.35))


def ring(img, cx, cy, radius, width, rgb, strength):
    for y in range(SIZE):
        for x in range(SIZE):
            d = abs(math.hypot(x + 0.5 - cx, y + 0.5 - cy) - radius) / width
            if d < 2.0:
                add(img, x, y, rgb, strength * math.exp(-d * d * 3.0))


def flare(img, cx, cy, scale):
    glow(img, cx, cy, 9.0 * scale, (1.0, 0.85, 0.6), 1.6)
    glow(img, cx, cy, 2.5 * scale, (1.0, 1.0, 1.0), 1.2)
    rays(img, cx, cy, 40.0 * scale, 6, (1.0, 0.9, 0.75), 0.3)


def ghosts(img, cx, cy, scale):
    """Ghosts along the axis from the light through the tile's centre."""
    for t, radius, rgb in ((0.55, 7.0, (0.3, 0.9, 0.6)), (1.35, 12.0, (0.35, 0.5, 1.0)),
                           (1.7, 5.0, (1.0, 0.45, 0.3))):
        gx = cx + (SIZE / 2 - cx) * t
        gy = cy + (SIZE / 2 - cy) * t
        ring(img, gx, gy, radius * scale, 1.6 * scale, rgb, 0.55)
        glow(img, gx, gy, radius * scale * 0.7, rgb, 0.18)


def swatches(img):
    colours = ((1.0, 0.55, 0.2), (0.4, 0.8, 1.0), (1.0, 0.3, 0.5), (0.6, 1.0, 0.4))
    for i, rgb in enumerate(colours):
        x0 = 22 + i * 22
        for y in range(100, 112):
            for x in range(x0, x0 + 16):
                add(img, x, y, rgb, 0.85)


def write_png(path, img):
    rows = b""
    for row in img:
        rows += b"\x00"
        for r, g, b, a in row:
            tone = [min(max(v / (1.0 + v * 0.15), 0.0), 1.0) for v in (r, g, b)]
            rows += bytes(int(v * 255.0 + 0.5) for v in tone + [a])

    def chunk(kind, data):
        body = kind + data
        return struct.pack(">I", len(data)) + body + struct.pack(">I", zlib.crc32(body))

    header = struct.pack(">IIBBBBB", SIZE, SIZE, 8, 6, 0, 0, 0)
    with open(path, "wb") as f:
        f.write(b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", header) +
                chunk(b"IDAT", zlib.compress(rows, 9)) + chunk(b"IEND", b""))


def main():
    full = tile()
    flare(full, 44, 42, 1.0)
    ghosts(full, 44, 42, 1.0)
    write_png(os.path.join(HERE, "org.glarewright.Glarewright.png"), full)

    showcase = tile()
    for cx, cy, s in ((34, 40, 0.7), (88, 34, 0.55), (64, 90, 0.8)):
        flare(showcase, cx, cy, s)
    write_png(os.path.join(HERE, "org.glarewright.GlarewrightShowcase.png"), showcase)

    quick = tile()
    flare(quick, 64, 50, 0.9)
    ghosts(quick, 64, 50, 0.6)
    swatches(quick)
    write_png(os.path.join(HERE, "org.glarewright.GlarewrightQuick.png"), quick)


if __name__ == "__main__":
    main()
