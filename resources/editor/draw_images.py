#!/usr/bin/env python3
"""Draws the Lens Editor's small images: the add and delete icons (bitmaps 123
and 122, 32 x 24, 16 colours), the comparison button's two faces (129 and 130,
28 x 28, 16 colours) and the drag cursor (135, 32 x 32, monochrome, hot spot at
the arrow's tip). Run it again after changing a drawing; it rewrites the files
beside it."""
import os
import struct

HERE = os.path.dirname(os.path.abspath(__file__))

# The standard 16-colour palette.
PALETTE = [(0, 0, 0), (128, 0, 0), (0, 128, 0), (128, 128, 0), (0, 0, 128), (128, 0, 128),
           (0, 128, 128), (192, 192, 192), (128, 128, 128), (255, 0, 0), (0, 255, 0),
           (255, 255, 0), (0, 0, 255), (255, 0, 255), (0, 255, 255), (255, 255, 255)]
BLACK, DARK_RED, GREY, DARK_GREY, RED, GREEN, YELLOW, BLUE, WHITE = 0, 1, 7, 8, 9, 10, 11, 12, 15


def canvas(width, height, colour):
    return [[colour] * width for _ in range(height)]


def line(img, x0, y0, x1, y1, colour):
    dx, dy = abs(x1 - x0), -abs(y1 - y0)
    sx, sy = (1 if x0 < x1 else -1), (1 if y0 < y1 else -1)
    err = dx + dy
    while True:
        if 0 <= y0 < len(img) and 0 <= x0 < len(img[0]):
            img[y0][x0] = colour
        if x0 == x1 and y0 == y1:
            return
        e2 = 2 * err
        if e2 >= dy:
            err += dy
            x0 += sx
        if e2 <= dx:
            err += dx
            y0 += sy


def rect(img, x0, y0, x1, y1, colour, fill=None):
    for y in range(y0, y1 + 1):
        for x in range(x0, x1 + 1):
            edge = x in (x0, x1) or y in (y0, y1)
            if edge:
                img[y][x] = colour
            elif fill is not None:
                img[y][x] = fill


def page(img, x, y):
    """A page 16 x 20 with a folded corner and lines of text."""
    rect(img, x, y, x + 15, y + 19, BLACK, WHITE)
    for i in range(5):  # the folded corner
        for j in range(5 - i):
            img[y + i][x + 15 - j] = GREY if j < 4 - i else BLACK
    line(img, x + 11, y, x + 11, y + 4, BLACK)
    line(img, x + 11, y + 4, x + 15, y + 4, BLACK)
    for row in range(y + 7, y + 17, 3):
        line(img, x + 3, row, x + 12, row, DARK_GREY)


def bmp16(img):
    """A 4-bit bitmap file, rows from the bottom."""
    height, width = len(img), len(img[0])
    stride = (width * 4 + 31) // 32 * 4
    rows = b""
    for y in range(height - 1, -1, -1):
        row = bytearray(stride)
        for x in range(width):
            row[x // 2] |= img[y][x] << (4 if x % 2 == 0 else 0)
        rows += bytes(row)
    table = b"".join(struct.pack("<BBBB", b, g, r, 0) for r, g, b in PALETTE)
    header = struct.pack("<IiiHHIIiiII", 40, width, height, 1, 4, 0, len(rows), 2835, 2835, 16, 0)
    offset = 14 + len(header) + len(table)
    return struct.pack("<2sIHHI", b"BM", offset + len(rows), 0, 0, offset) + header + table + rows


def add_icon():
    img = canvas(32, 24, WHITE)
    page(img, 4, 2)
    for i in range(5):  # the menu arrow beside the page
        line(img, 22 + i, 10 + i, 30 - i, 10 + i, BLACK)
    return img


def delete_icon():
    img = canvas(32, 24, WHITE)
    page(img, 8, 2)
    for t in (0, 1):
        line(img, 5 + t, 21, 27 + t, 1, RED)
        line(img, 5 + t, 1, 27 + t, 21, RED)
    return img


def compare_button(pressed):
    img = canvas(28, 28, GREY)
    light, dark = (BLACK, WHITE) if pressed else (WHITE, BLACK)
    line(img, 0, 0, 27, 0, light)
    line(img, 0, 0, 0, 27, light)
    line(img, 27, 0, 27, 27, dark)
    line(img, 0, 27, 27, 27, dark)
    s = 1 if pressed else 0
    rect(img, 5 + s, 6 + s, 22 + s, 20 + s, BLACK, BLUE)  # a small photograph: sky,
    for y in range(8, 12):                                # the sun
        for x in range(15, 19):
            img[y + s][x + s] = YELLOW
    for x in range(6, 22):                                # and hills
        top = 14 + abs((x % 8) - 4) // 2
        for y in range(top, 20):
            img[y + s][x + s] = GREEN
    return img


def cursor():
    """Arrow with its tip at (0, 0), carrying a small page: AND and XOR masks."""
    shape = [[0] * 32 for _ in range(32)]  # 1 = black
    mask = [[0] * 32 for _ in range(32)]   # 1 = drawn
    arrow = [(0, 0), (0, 15), (4, 11), (7, 17), (9, 16), (6, 10), (11, 10)]
    for y in range(18):
        for x in range(12):
            if inside(arrow, x + 0.5, y + 0.5):
                mask[y][x] = 1
    for y in range(14, 27):
        for x in range(12, 22):
            mask[y][x] = 1
    # Black outlines on white: the arrow's edge and the page's frame and lines.
    for y in range(32):
        for x in range(32):
            if mask[y][x] and any(not (0 <= y + dy < 32 and 0 <= x + dx < 32) or not mask[y + dy][x + dx]
                                  for dx, dy in ((1, 0), (-1, 0), (0, 1), (0, -1))):
                shape[y][x] = 1
    for row in (18, 21):
        for x in range(14, 20):
            shape[row][x] = 1
    shape[0][0] = 1
    and_rows = b"".join(bits([1 - v for v in mask[y]]) for y in range(31, -1, -1))
    xor_rows = b"".join(bits([1 if mask[y][x] and not shape[y][x] else 0 for x in range(32)])
                        for y in range(31, -1, -1))
    header = struct.pack("<IiiHHIIiiII", 40, 32, 64, 1, 1, 0, len(and_rows) * 2, 0, 0, 2, 0)
    table = struct.pack("<BBBBBBBB", 0, 0, 0, 0, 255, 255, 255, 0)
    image = header + table + xor_rows + and_rows
    directory = struct.pack("<HHH", 0, 2, 1) + struct.pack("<BBBBHHII", 32, 32, 2, 0, 0, 0,
                                                          len(image), 22)
    return directory + image


def inside(poly, x, y):
    result = False
    for (x0, y0), (x1, y1) in zip(poly, poly[1:] + poly[:1]):
        if (y0 > y) != (y1 > y) and x < x0 + (y - y0) * (x1 - x0) / (y1 - y0):
            result = not result
    return result


def bits(values):
    out = bytearray(4)
    for x, v in enumerate(values):
        if v:
            out[x // 8] |= 0x80 >> (x % 8)
    return bytes(out)


def main():
    files = {"add.bmp": bmp16(add_icon()), "delete.bmp": bmp16(delete_icon()),
             "compare_up.bmp": bmp16(compare_button(False)),
             "compare_down.bmp": bmp16(compare_button(True)), "drag.cur": cursor()}
    for name, data in files.items():
        with open(os.path.join(HERE, name), "wb") as f:
            f.write(data)


if __name__ == "__main__":
    main()
