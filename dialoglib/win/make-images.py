#!/usr/bin/env python3
"""Writes morvel's bitmaps, icons and cursors as plain geometric pictures.

Usage: make-images.py OUTPUT_FOLDER
The build runs it; the resource script names the files it writes. Every
picture is computed here from shapes and colours, so nothing is drawn by hand.
"""
import os
import struct
import sys

OUT = sys.argv[1] if len(sys.argv) > 1 else "."

# Colours as (red, green, blue).
BLACK = (0, 0, 0)
WHITE = (255, 255, 255)
LIGHT_GREY = (0xC0, 0xC0, 0xC0)  # the mask colour of image lists, and button face
DARK_GREY = (0x80, 0x80, 0x80)
RED = (0xC0, 0x20, 0x20)
GREEN = (0x20, 0x90, 0x30)
BLUE = (0x20, 0x40, 0xC0)
YELLOW = (0xF0, 0xD0, 0x20)
TEAL = (0x20, 0x90, 0x90)
PURPLE = (0x80, 0x30, 0xA0)
ACCENTS = [RED, GREEN, BLUE, YELLOW, TEAL, PURPLE, DARK_GREY, BLACK]


def row_bytes(width, bits):
    return ((width * bits + 31) // 32) * 4


def info_header(width, height, bits, colours_used=0, image_size=0):
    return struct.pack("<IiiHHIIiiII", 40, width, height, 1, bits, 0, image_size, 2835, 2835, colours_used, 0)


def pack_rows(pixels, width, height, bits):
    """pixels[y][x] holds palette indexes (bits <= 8) or (r, g, b); rows bottom-up."""
    out = bytearray()
    for y in range(height - 1, -1, -1):
        row = bytearray()
        if bits == 24:
            for x in range(width):
                r, g, b = pixels[y][x]
                row += bytes((b, g, r))
        elif bits == 32:
            for x in range(width):
                r, g, b, a = pixels[y][x]
                row += bytes((b, g, r, a))
        else:
            acc, used = 0, 0
            for x in range(width):
                acc = (acc << bits) | pixels[y][x]
                used += bits
                if used == 8:
                    row.append(acc)
                    acc, used = 0, 0
            if used:
                row.append(acc << (8 - used))
        row += bytes(row_bytes(width, bits) - len(row))
        out += row
    return bytes(out)


def palette_bytes(colours):
    return b"".join(bytes((b, g, r, 0)) for (r, g, b) in colours)


def write(name, data):
    with open(os.path.join(OUT, name), "wb") as f:
        f.write(data)


def bitmap_file(width, height, bits, pixels, colours=None):
    table = palette_bytes(colours) if colours else b""
    used = len(colours) if colours and len(colours) < (1 << bits) else 0
    bits_data = pack_rows(pixels, width, height, bits)
    info = info_header(width, height, bits, used, len(bits_data))
    offset = 14 + len(info) + len(table)
    head = b"BM" + struct.pack("<IHHI", offset + len(bits_data), 0, 0, offset)
    return head + info + table + bits_data


def grid(width, height, fn):
    return [[fn(x, y) for x in range(width)] for y in range(height)]


def tool_strip():
    """1212: eight 16 x 16 tool pictures side by side on the mask colour."""
    colours = [LIGHT_GREY] + ACCENTS

    def pixel(x, y):
        image, ix = divmod(x, 16)
        inside = 2 <= ix <= 13 and 2 <= y <= 13
        if not inside:
            return 0
        shape = image % 4
        if shape == 0:
            return 1 + image
        if shape == 1:
            return 1 + image if (ix - 8) ** 2 + (y - 8) ** 2 <= 30 else 0
        if shape == 2:
            return 1 + image if y - 2 >= abs(ix - 8) * 2 - 1 else 0
        return 1 + image if (ix + y) % 4 < 2 else 0

    return bitmap_file(128, 16, 8, grid(128, 16, pixel), colours)


def palette_picture(index, bits):
    """Palette pictures: stripes and rings in a few colours."""
    width, height = 64, 48
    count = 1 << bits
    colours = [WHITE, BLACK] + ACCENTS + [LIGHT_GREY, DARK_GREY]
    colours = (colours + [(i * 16 % 256, i * 32 % 256, i * 64 % 256) for i in range(256)])[:count]
    if bits == 8:
        colours = colours[:20]  # a short colour table, counted in the header

    def pixel(x, y):
        if bits == 1:
            return 1 if (x // 8 + y // 8 + index) % 2 else 0
        ring = int(((x - 32) ** 2 + (y - 24) ** 2) ** 0.5) // 6
        return (ring + index) % len(colours)

    return bitmap_file(width, height, bits, grid(width, height, pixel), colours)


def button_picture(index):
    """3-D button faces in the four colours that are mapped to system colours."""
    width, height = 32, 24
    colours = [BLACK, DARK_GREY, LIGHT_GREY, WHITE] + [ACCENTS[index % len(ACCENTS)]]

    def pixel(x, y):
        if x == 0 or y == 0:
            return 3
        if x == width - 1 or y == height - 1:
            return 0
        if x == width - 2 or y == height - 2:
            return 1
        return 4 if 8 <= x < 24 and 8 <= y < 16 else 2

    return bitmap_file(width, height, 4, grid(width, height, pixel), colours)


def true_colour_picture(index):
    width, height = 48, 32

    def pixel(x, y):
        return ((x * 5 + index * 40) % 256, (y * 8) % 256, (index * 60 + x + y) % 256)

    return bitmap_file(width, height, 24, grid(width, height, pixel))


def icon_image(size, fn):
    """One 32-bit icon image with its AND mask; fn(x, y, size) gives (r, g, b, a) or None."""
    pixels = grid(size, size, lambda x, y: fn(x, y, size) or (0, 0, 0, 0))
    xor = pack_rows(pixels, size, size, 32)
    mask = pack_rows(grid(size, size, lambda x, y: 0 if fn(x, y, size) else 1), size, size, 1)
    return info_header(size, size * 2, 32) + xor + mask


def icon_file(fn, sizes=(16, 32)):
    images = [icon_image(s, fn) for s in sizes]
    head = struct.pack("<HHH", 0, 1, len(images))
    offset = 6 + 16 * len(images)
    entries = b""
    for s, data in zip(sizes, images):
        entries += struct.pack("<BBBBHHII", s % 256, s % 256, 0, 0, 1, 32, len(data), offset)
        offset += len(data)
    return head + entries + b"".join(images)


def solid(colour):
    return colour + (255,)


def icon_shape(number):
    """Plain glyphs told apart by colour and shape."""
    colour = ACCENTS[number % len(ACCENTS)]
    shape = number % 5

    def fn(x, y, size):
        u, v = x * 16 // size, y * 16 // size
        if shape == 0:
            inside = 1 <= u <= 14 and 1 <= v <= 14
        elif shape == 1:
            inside = (u - 7.5) ** 2 + (v - 7.5) ** 2 <= 49
        elif shape == 2:
            inside = v >= 1 and abs(u - 7.5) <= (v - 1) / 2 + 0.5 and v <= 14
        elif shape == 3:
            inside = abs(u - 7.5) + abs(v - 7.5) <= 7
        else:
            inside = (3 <= u <= 12 and 1 <= v <= 14) or (1 <= u <= 14 and 5 <= v <= 10)
        if not inside:
            return None
        edge = u in (0, 1, 14, 15) or v in (0, 1, 14, 15)
        return solid(BLACK) if edge and shape == 0 else solid(colour)

    return fn


def marker(pointing_up):
    """Ruler markers: a triangle 9 pixels wide, black edge, white fill."""

    def fn(x, y, size):
        u, v = x * 16 // size, y * 16 // size
        if u > 8 or v > 8:
            return None
        depth = v if pointing_up else 8 - v
        if abs(u - 4) > depth / 2:
            return None
        border = abs(u - 4) >= depth / 2 - 0.5 or v in (0, 8)
        return solid(BLACK) if border else solid(WHITE)

    return fn


def cursor_file(number):
    """32 x 32 monochrome cursors: an arrow with a plain badge that tells them apart."""
    size = 32
    hotspot = (0, 0)

    def arrow(x, y):
        return y < 20 and x <= y // 1.4 and x < 14

    def arrow_edge(x, y):
        return arrow(x, y) and not (arrow(x - 1, y) and arrow(x + 1, y) and arrow(x, y - 1) and arrow(x, y + 1))

    def badge(x, y):
        if x < 16 or y < 16 or x > 30 or y > 30:
            return False
        kind = number % 4
        if kind == 0:
            return True
        if kind == 1:
            return (x - 23) ** 2 + (y - 23) ** 2 <= 36
        if kind == 2:
            return abs(x - 23) <= 1 or abs(y - 23) <= 1
        return abs(x - y) <= 1 or abs(x + y - 46) <= 1

    def hand(x, y, closed):
        # a palm with fingers; closed fingers are short
        palm = 6 <= x <= 22 and 14 <= y <= 28
        finger_top = 9 if closed else 2
        finger = any(fx <= x <= fx + 2 for fx in (7, 11, 15, 19)) and finger_top <= y <= 16
        thumb = 2 <= x <= 7 and 16 <= y <= 20
        return palm or finger or thumb

    if number in (1111, 1112):
        shape = (lambda x, y: hand(x, y, number == 1112))
        hotspot = (12, 2 if number == 1111 else 9)
    else:
        shape = (lambda x, y: arrow(x, y) or badge(x, y))

    def edge(x, y):
        if not shape(x, y):
            return False
        return not all(shape(x + dx, y + dy) for dx, dy in ((1, 0), (-1, 0), (0, 1), (0, -1)))

    xor = pack_rows(grid(size, size, lambda x, y: 1 if shape(x, y) and not edge(x, y) else 0), size, size, 1)
    mask = pack_rows(grid(size, size, lambda x, y: 0 if shape(x, y) else 1), size, size, 1)
    image = info_header(size, size * 2, 1) + palette_bytes([BLACK, WHITE]) + xor + mask
    head = struct.pack("<HHH", 0, 2, 1)
    entry = struct.pack("<BBBBHHII", size, size, 2, 0, hotspot[0], hotspot[1], len(image), 6 + 16)
    return head + entry + image


def main():
    os.makedirs(OUT, exist_ok=True)
    write("bitmap1212.bmp", tool_strip())
    for number, bits in ((1501, 8), (1503, 1), (1504, 4), (1506, 8), (1507, 4), (1508, 8)):
        write("bitmap%d.bmp" % number, palette_picture(number, bits))
    for number in range(1510, 1516):
        write("bitmap%d.bmp" % number, button_picture(number))
    for number in range(1520, 1525):
        write("bitmap%d.bmp" % number, true_colour_picture(number))
    for number in list(range(1201, 1208)) + [1213, 1214, 1220] + list(range(1250, 1289)):
        write("icon%d.ico" % number, icon_file(icon_shape(number)))
    write("icon1208.ico", icon_file(marker(False)))
    write("icon1209.ico", icon_file(marker(True)))
    for number in range(1100, 1113):
        write("cursor%d.cur" % number, cursor_file(number))


main()
