#!/usr/bin/env python3
"""Draws the Tavu application icon and writes it as a Windows .ico file.

The picture is three cascaded window tiles of the same program, the newest in front with a
numbered badge: several copies of one program. Each size has its own layout, placed on whole
pixels so that the small sizes stay sharp; rounded corners and the badge are anti-aliased by
supersampling.

The file holds eight BMP-format images, in this order: 16x16 at 32 bpp; 24x24 and 32x32 at 8,
24 and 32 bpp; 48x48 at 32 bpp. 32 bpp images carry an alpha channel (plus the AND mask that
older readers expect); 24 and 8 bpp images are cut out by the AND mask alone, and 8 bpp images
bring a palette of their own.

Python 3 standard library only, so the icon can be rebuilt anywhere:
    python3 tools/make_icon.py                  # writes resources/tavu.ico
    python3 tools/make_icon.py --check FILE     # exit 1 if FILE differs from a fresh drawing
"""

import argparse
import math
import pathlib
import struct
import sys
from dataclasses import dataclass

REPO = pathlib.Path(__file__).resolve().parent.parent
DEFAULT_OUTPUT = REPO / "resources" / "tavu.ico"

# (size, bits per pixel) in the order they appear in the file.
IMAGES = [(16, 32), (24, 8), (24, 24), (24, 32), (32, 8), (32, 24), (32, 32), (48, 32)]

SUPERSAMPLING = 8  # samples per pixel along each axis

OUTLINE = (0x1B, 0x33, 0x57)
BODY = (0xF7, 0xFA, 0xFE)
# Title bars from the back tile to the front one: one hue, stronger towards the front.
TITLES = [(0xA6, 0xC8, 0xEE), (0x62, 0x9C, 0xE2), (0x1F, 0x6F, 0xD1)]
CONTENT = (0xC9, 0xD6, 0xE6)
BADGE_RING = (0xA8, 0x4B, 0x05)
BADGE = (0xF2, 0x86, 0x1C)
DIGIT = (0xFF, 0xFF, 0xFF)

# The badge's "3", one bitmap per badge size ("#" is a lit pixel).
DIGIT_THREE = {
    "small": ["###", "..#", ".##", "..#", "###"],
    "medium": ["####.", "....#", "....#", ".###.", "....#", "....#", "####."],
    "large": ["#####.", "######", "....##", "....##", ".####.",
              ".####.", "....##", "....##", "######", "#####."],
}


@dataclass(frozen=True)
class Layout:
    tile: int  # edge of each square tile, in pixels
    step: int  # diagonal offset from one tile to the next
    radius: float  # outer corner radius of a tile
    stroke: int  # outline width
    title: int  # title bar height below the top outline
    content_lines: int  # light text lines drawn in the front tile's body
    badge_radius: float = 0.0  # 0: no badge
    badge_digit: str = ""


# 16 px has no room for a legible badge: three tiles say enough there.
LAYOUTS = {
    16: Layout(tile=10, step=3, radius=2.0, stroke=1, title=2, content_lines=0),
    24: Layout(tile=14, step=4, radius=2.5, stroke=1, title=3, content_lines=0,
               badge_radius=5.5, badge_digit="small"),
    32: Layout(tile=19, step=5, radius=3.0, stroke=1, title=4, content_lines=2,
               badge_radius=6.5, badge_digit="medium"),
    48: Layout(tile=28, step=8, radius=4.5, stroke=2, title=5, content_lines=3,
               badge_radius=10.0, badge_digit="large"),
}


def in_rounded_rect(x, y, x0, y0, x1, y1, r):
    if not (x0 <= x < x1 and y0 <= y < y1):
        return False
    cx = min(max(x, x0 + r), x1 - r)
    cy = min(max(y, y0 + r), y1 - r)
    return (x - cx) ** 2 + (y - cy) ** 2 <= r * r


class Canvas:
    """Straight-alpha RGBA pixels in floats; shapes are painted over each other."""

    def __init__(self, size):
        self.size = size
        self.pixels = [[(0.0, 0.0, 0.0, 0.0)] * size for _ in range(size)]

    def paint(self, colour, inside, box):
        """Paints colour wherever inside(x, y) holds, within box = (x0, y0, x1, y1)."""
        n = SUPERSAMPLING
        offsets = [(k + 0.5) / n for k in range(n)]
        x0, y0, x1, y1 = (int(v) for v in (max(box[0], 0), max(box[1], 0), box[2] + 1, box[3] + 1))
        for py in range(y0, min(y1, self.size)):
            for px in range(x0, min(x1, self.size)):
                hits = sum(inside(px + ox, py + oy) for oy in offsets for ox in offsets)
                if hits:
                    self.blend(px, py, colour, hits / (n * n))

    def blend(self, px, py, colour, coverage):
        r, g, b, a = self.pixels[py][px]
        out_a = coverage + a * (1.0 - coverage)
        mix = [(c / 255.0 * coverage + old * a * (1.0 - coverage)) / out_a
               for c, old in zip(colour, (r, g, b))]
        self.pixels[py][px] = (mix[0], mix[1], mix[2], out_a)


def rounded_rect(canvas, colour, x0, y0, x1, y1, r):
    canvas.paint(colour, lambda x, y: in_rounded_rect(x, y, x0, y0, x1, y1, r), (x0, y0, x1, y1))


def draw_tile(canvas, lay, index, is_front):
    x0 = y0 = index * lay.step  # the back tile sits in the top-left corner
    x1 = y1 = x0 + lay.tile
    s = lay.stroke
    inner_r = max(lay.radius - s, 0.5)
    rounded_rect(canvas, OUTLINE, x0, y0, x1, y1, lay.radius)
    rounded_rect(canvas, BODY, x0 + s, y0 + s, x1 - s, y1 - s, inner_r)
    title_bottom = y0 + s + lay.title
    canvas.paint(
        TITLES[index],
        lambda x, y: y < title_bottom and in_rounded_rect(x, y, x0 + s, y0 + s, x1 - s, y1 - s, inner_r),
        (x0, y0, x1, title_bottom),
    )
    if is_front:
        draw_content(canvas, lay, x0 + s, title_bottom, x1 - s)


def draw_content(canvas, lay, left, top, right):
    """A few short text lines in the front window, left of the badge."""
    pad = lay.stroke + 1
    gap = 2 if lay.stroke == 1 else 3
    lengths = [0.75, 0.55, 0.65]
    for k in range(lay.content_lines):
        y = top + pad + k * gap
        width = round((right - left - 2 * pad) * lengths[k])
        x0 = left + pad
        canvas.paint(CONTENT,
                     lambda px, py, y=y, x0=x0, w=width: x0 <= px < x0 + w and y <= py < y + lay.stroke,
                     (x0, y, x0 + width, y + lay.stroke))


def draw_badge(canvas, lay, size):
    if not lay.badge_radius:
        return
    r = lay.badge_radius
    c = size - r  # touches the bottom-right corner of the canvas
    ring = 1.0 if size < 48 else 1.5
    box = (c - r, c - r, c + r, c + r)
    canvas.paint(BADGE_RING, lambda x, y: (x - c) ** 2 + (y - c) ** 2 <= r * r, box)
    inner = r - ring
    canvas.paint(BADGE, lambda x, y: (x - c) ** 2 + (y - c) ** 2 <= inner * inner, box)
    glyph = DIGIT_THREE[lay.badge_digit]
    gw, gh = len(glyph[0]), len(glyph)
    # The badge centres are chosen so that the glyph lands on whole pixels.
    gx = math.floor(c - gw / 2 + 0.5)
    gy = math.floor(c - gh / 2 + 0.5)
    for row, line in enumerate(glyph):
        for col, lit in enumerate(line):
            if lit == "#":
                canvas.blend(gx + col, gy + row, DIGIT, 1.0)


def draw(size):
    lay = LAYOUTS[size]
    canvas = Canvas(size)
    for index in range(3):
        draw_tile(canvas, lay, index, is_front=index == 2)
    draw_badge(canvas, lay, size)
    return canvas


def to_rgba8(canvas):
    """Rows of (r, g, b, a) bytes, top row first."""
    return [[tuple(round(v * 255) for v in px) for px in row] for row in canvas.pixels]


# --- the palette of the 8 bpp images ----------------------------------------------------------


def palette_for(opaque_colours):
    """Index 0 is black: transparent pixels use it, so the XOR pass leaves the screen alone.

    The artwork has few colours, so every one gets an entry of its own; should a redesign need
    more, fail here rather than quietly dither the small images."""
    distinct = sorted(set(opaque_colours) - {(0, 0, 0)})
    if len(distinct) > 255:
        raise SystemExit(f"{len(distinct)} colours do not fit an 8 bpp palette; simplify the artwork")
    return [(0, 0, 0)] + distinct


# --- BMP-format icon images ---------------------------------------------------------------------


def padded(row):
    return row + b"\0" * (-len(row) % 4)


def and_mask(rows, transparent):
    """1 bpp mask, bottom row first: a set bit lets the screen show through."""
    out = b""
    for row in reversed(rows):
        bits = 0
        for px in row:
            bits = bits << 1 | (1 if transparent(px) else 0)
        width = len(row)
        bits <<= -width % 8
        out += padded(bits.to_bytes((width + 7) // 8, "big"))
    return out


def bitmap_header(size, bpp, image_bytes):
    # biHeight counts the colour bitmap and the AND mask together.
    return struct.pack("<IiiHHIIiiII", 40, size, 2 * size, 1, bpp, 0, image_bytes, 0, 0, 0, 0)


def image_32(rows):
    # Straight (not premultiplied) alpha; fully transparent pixels are all zero.
    xor = b"".join(bytes(v for r, g, b, a in row for v in ((b, g, r, a) if a else (0, 0, 0, 0)))
                   for row in reversed(rows))
    mask = and_mask(rows, lambda px: px[3] == 0)
    return bitmap_header(len(rows), 32, len(xor) + len(mask)) + xor + mask


def opaque(px):
    return px[3] >= 128


def image_24(rows):
    # Half-covered edge pixels keep their own colour rather than a blend with some guessed background.
    def bgr(px):
        return (px[2], px[1], px[0]) if opaque(px) else (0, 0, 0)

    xor = b"".join(padded(bytes(v for px in row for v in bgr(px))) for row in reversed(rows))
    mask = and_mask(rows, lambda px: not opaque(px))
    return bitmap_header(len(rows), 24, len(xor) + len(mask)) + xor + mask


def image_8(rows):
    palette = palette_for([px[:3] for row in rows for px in row if opaque(px)])
    index = {colour: i for i, colour in enumerate(palette)}
    xor = b"".join(padded(bytes(index[px[:3]] if opaque(px) else 0 for px in row)) for row in reversed(rows))
    mask = and_mask(rows, lambda px: not opaque(px))
    quads = b"".join(bytes((b, g, r, 0)) for r, g, b in palette) + b"\0" * (4 * (256 - len(palette)))
    return bitmap_header(len(rows), 8, len(xor) + len(mask)) + quads + xor + mask


ENCODERS = {32: image_32, 24: image_24, 8: image_8}


def build_ico():
    rows_by_size = {size: to_rgba8(draw(size)) for size in sorted({s for s, _ in IMAGES})}
    images = [ENCODERS[bpp](rows_by_size[size]) for size, bpp in IMAGES]
    out = struct.pack("<HHH", 0, 1, len(images))
    offset = len(out) + 16 * len(images)
    for (size, bpp), data in zip(IMAGES, images):
        # Colour count 0: 8 bpp and deeper images have no count that fits in a byte.
        out += struct.pack("<BBBBHHII", size, size, 0, 0, 1, bpp, len(data), offset)
        offset += len(data)
    return out + b"".join(images)


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("-o", "--output", type=pathlib.Path, default=DEFAULT_OUTPUT)
    parser.add_argument("--check", type=pathlib.Path, metavar="FILE",
                        help="compare FILE with a fresh drawing instead of writing")
    args = parser.parse_args()
    data = build_ico()
    if args.check:
        if args.check.read_bytes() != data:
            print(f"{args.check} differs from what tools/make_icon.py draws; rerun it", file=sys.stderr)
            return 1
        print(f"{args.check} is up to date")
        return 0
    args.output.write_bytes(data)
    print(f"wrote {args.output} ({len(data)} bytes)")
    return 0


if __name__ == "__main__":
    sys.exit(main())
