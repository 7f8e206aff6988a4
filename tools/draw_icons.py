#!/usr/bin/env python3
"""Draws the status window's icons from the shapes below and writes src/window/icons/*.ico.

The pictures are described here as signed-distance shapes (negative inside), so
they can be changed and redrawn at will: run  python3 tools/draw_icons.py  and
commit the .ico files it writes. Standard library only.

The status pictures are one 48 x 48 image in 256 colours each; the notification
area shows them at 16 x 16, so every picture is one bold shape with a dark rim
and one thick glyph, and the states differ in shape as well as in colour. The
program icon has 32 x 32 and 16 x 16 images in the 16 standard colours and a
48 x 48 image in 256 colours.
"""
import math
import os
import struct
import sys

# --- Shapes: functions of (x, y) in a 48-unit square, returning a signed distance.


def circle(cx, cy, r):
    return lambda x, y: math.hypot(x - cx, y - cy) - r


def capsule(ax, ay, bx, by, r):
    """A line from a to b drawn with a round pen of radius r."""
    def sd(x, y):
        dx, dy = bx - ax, by - ay
        t = ((x - ax) * dx + (y - ay) * dy) / (dx * dx + dy * dy)
        t = max(0.0, min(1.0, t))
        return math.hypot(x - ax - t * dx, y - ay - t * dy) - r
    return sd


def polyline(points, r):
    parts = [capsule(*points[i], *points[i + 1], r) for i in range(len(points) - 1)]
    return union(*parts)


def polygon(points, rounding=0.0):
    def sd(x, y):
        best = float("inf")
        inside = False
        n = len(points)
        for i in range(n):
            ax, ay = points[i]
            bx, by = points[i - 1]
            dx, dy = bx - ax, by - ay
            t = max(0.0, min(1.0, ((x - ax) * dx + (y - ay) * dy) / (dx * dx + dy * dy)))
            best = min(best, math.hypot(x - ax - t * dx, y - ay - t * dy))
            if (ay > y) != (by > y) and x < (bx - ax) * (y - ay) / (by - ay) + ax:
                inside = not inside
        return (-best if inside else best) - rounding
    return sd


def box(left, top, right, bottom, rounding=0.0):
    r = rounding
    return polygon([(left + r, top + r), (right - r, top + r), (right - r, bottom - r), (left + r, bottom - r)], r)


def regular(cx, cy, r, sides, turn):
    return polygon([(cx + r * math.cos(turn + 2 * math.pi * k / sides),
                     cy + r * math.sin(turn + 2 * math.pi * k / sides)) for k in range(sides)])


def union(*shapes):
    return lambda x, y: min(s(x, y) for s in shapes)


def grown(shape, by):
    return lambda x, y: shape(x, y) - by


# --- Colours (red, green, blue).

RIM = (24, 24, 28)
WHITE = (255, 255, 255)
INK = (16, 16, 16)
GREEN = (0, 156, 64)
BLUE = (0, 96, 210)
AMBER = (255, 186, 0)
RED = (214, 28, 28)
PURPLE = (122, 36, 168)
GREY = (168, 168, 176)
DARK_GREY = (88, 88, 96)

RIM_WIDTH = 2.0

# --- The pictures: (colour, shape) layers, painted in order, in 48-unit space.


def badge(body, fill, glyph, glyph_colour):
    return [(RIM, grown(body, RIM_WIDTH)), (fill, body), (glyph_colour, glyph)]


def ready():
    return badge(circle(24, 24, 21), GREEN, polyline([(12.5, 24.5), (20.5, 32.5), (35.5, 15.5)], 3.8), WHITE)


def notice():
    glyph = union(circle(24, 12, 4.0), capsule(24, 24, 24, 35, 3.6))
    return badge(circle(24, 24, 21), BLUE, glyph, WHITE)


def operator_error():
    body = polygon([(24, 5.5), (44, 41), (4, 41)], 2.5)
    glyph = union(capsule(24, 15, 24, 26, 3.6), circle(24, 36, 3.8))
    return badge(body, AMBER, glyph, INK)


def fault():
    glyph = union(capsule(15, 15, 33, 33, 4.0), capsule(33, 15, 15, 33, 4.0))
    return badge(circle(24, 24, 21), RED, glyph, WHITE)


def hardware_error():
    body = regular(24, 24, 22.5, 8, math.pi / 8)
    bolt = polygon([(26, 5), (34, 5), (27, 19), (36, 19), (18, 43), (22, 27), (13, 27)])
    return badge(body, PURPLE, bolt, WHITE)


def program():
    """A label printer with a label coming out of its front.

    Edges lie on multiples of 3 units, so that the 16 x 16 image (one pixel per
    3 units) keeps every rim one pixel wide.
    """
    return [
        (RIM, box(0, 12, 48, 39)),
        (GREY, box(3, 15, 45, 36)),
        (RIM, box(9, 3, 39, 15)),
        (WHITE, box(12, 6, 36, 15)),
        (RIM, box(6, 27, 42, 48)),
        (WHITE, box(9, 30, 39, 45)),
        (DARK_GREY, box(12, 33, 36, 36)),
        (DARK_GREY, box(12, 39, 27, 42)),
        (GREEN, circle(36, 21, 3.5)),
    ]


# --- Rasterising.

SUPERSAMPLE = 4


def render(layers, size, smooth):
    """Pixels of the picture at size x size: a colour, or None where transparent.

    A pixel is opaque when most of it is covered; inside, the layers blend by
    coverage (smooth) or the pixel centre decides (not smooth, for 16 colours).
    """
    scale = 48.0 / size
    steps = SUPERSAMPLE if smooth else 1
    pixels = []
    for py in range(size):
        row = []
        for px in range(size):
            samples = []
            for sy in range(steps):
                for sx in range(steps):
                    x = (px + (sx + 0.5) / steps) * scale
                    y = (py + (sy + 0.5) / steps) * scale
                    colour = None
                    for fill, shape in layers:
                        if shape(x, y) < 0:
                            colour = fill
                    samples.append(colour)
            covered = [c for c in samples if c is not None]
            if len(covered) * 2 < len(samples):
                row.append(None)
            else:
                row.append(tuple(round(sum(c[i] for c in covered) / len(covered)) for i in range(3)))
        pixels.append(row)
    return pixels


# The 16 standard colours, in their usual order.
STANDARD_16 = [
    (0, 0, 0), (128, 0, 0), (0, 128, 0), (128, 128, 0), (0, 0, 128), (128, 0, 128), (0, 128, 128), (192, 192, 192),
    (128, 128, 128), (255, 0, 0), (0, 255, 0), (255, 255, 0), (0, 0, 255), (255, 0, 255), (0, 255, 255), (255, 255, 255),
]


def blend_palette(layers):
    """The layers' colours and 15 steps between every two of them: at most 256 entries."""
    base = []
    for fill, _ in layers:
        if fill not in base:
            base.append(fill)
    palette = [(0, 0, 0)] + base
    for i in range(len(base)):
        for j in range(i + 1, len(base)):
            for k in range(1, 16):
                palette.append(tuple(round(base[i][c] + (base[j][c] - base[i][c]) * k / 16) for c in range(3)))
    if len(palette) > 256:
        sys.exit("too many colours in one picture")
    return palette + [(0, 0, 0)] * (256 - len(palette))


def nearest(palette, colour):
    return min(range(len(palette)), key=lambda i: sum((palette[i][c] - colour[c]) ** 2 for c in range(3)))


def row_bytes(bits_per_row):
    return (bits_per_row + 31) // 32 * 4


def icon_image(layers, size, bits):
    """One icon image: header, palette, colour bitmap and transparency mask, bottom row first."""
    pixels = render(layers, size, smooth=(bits == 8))
    palette = blend_palette(layers) if bits == 8 else STANDARD_16
    cache = {}
    colour_rows, mask_rows = [], []
    for row in reversed(pixels):
        indices = []
        mask = bytearray(row_bytes(size))
        for x, colour in enumerate(row):
            if colour is None:
                indices.append(0)
                mask[x // 8] |= 0x80 >> (x % 8)
            else:
                if colour not in cache:
                    cache[colour] = nearest(palette, colour)
                indices.append(cache[colour])
        packed = bytearray(row_bytes(size * bits))
        for x, index in enumerate(indices):
            if bits == 8:
                packed[x] = index
            else:
                packed[x // 2] |= index << (4 if x % 2 == 0 else 0)
        colour_rows.append(bytes(packed))
        mask_rows.append(bytes(mask))
    data = b"".join(colour_rows) + b"".join(mask_rows)
    header = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, bits, 0, len(data), 0, 0, 0, 0)
    table = b"".join(struct.pack("<BBBB", b, g, r, 0) for (r, g, b) in palette)
    return header + table + data


def icon_file(layers, formats):
    images = [(size, bits, icon_image(layers, size, bits)) for size, bits in formats]
    directory = struct.pack("<HHH", 0, 1, len(images))
    offset = 6 + 16 * len(images)
    entries, blobs = b"", b""
    for size, bits, image in images:
        colours = 16 if bits == 4 else 0
        entries += struct.pack("<BBBBHHII", size, size, colours, 0, 1, bits, len(image), offset)
        offset += len(image)
        blobs += image
    return directory + entries + blobs


STATUS_FORMAT = [(48, 8)]
PROGRAM_FORMATS = [(32, 4), (16, 4), (48, 8)]

ICONS = {
    "ready.ico": (ready, STATUS_FORMAT),
    "notice.ico": (notice, STATUS_FORMAT),
    "operator_error.ico": (operator_error, STATUS_FORMAT),
    "fault.ico": (fault, STATUS_FORMAT),
    "hardware_error.ico": (hardware_error, STATUS_FORMAT),
    "program.ico": (program, PROGRAM_FORMATS),
}


def main():
    here = os.path.dirname(os.path.abspath(__file__))
    out = os.path.join(here, os.pardir, "src", "window", "icons")
    os.makedirs(out, exist_ok=True)
    for name, (picture, formats) in ICONS.items():
        with open(os.path.join(out, name), "wb") as f:
            f.write(icon_file(picture(), formats))
        print("wrote", os.path.normpath(os.path.join(out, name)))


if __name__ == "__main__":
    main()
