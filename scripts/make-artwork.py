#!/usr/bin/env python3
"""Draws the program's artwork into platform/artwork/.

  icon32.png, icon16.png  the window icon: a customer card handing over to a database,
                          in the sixteen classic colours, transparent around
  picicon.png             the about box's picture (the icon at 32 x 32)
  *@2x.png                each of them at twice the size, for a screen of twice the density
  splash.png              the splash window's backdrop, 600 x 407 in 256 colours, light at the
                          top left where the title, the platform and the version stand; the
                          window shows its top left 506 x 283 pixels, so the scene is laid out
                          for that part

and the icon in the desktop's sizes into packaging/icons/ (16.png to 256.png), which an
installed copy carries for its menu entry.

Only the standard library is needed for the icons; the splash is reduced to 256 colours with
ImageMagick's convert. Run from anywhere: python3 scripts/make-artwork.py [icons]
("icons" writes the icons alone, without the splash).
"""
import math
import os
import struct
import subprocess
import sys
import tempfile
import zlib

ROOT = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..")
OUT = os.path.join(ROOT, "platform", "artwork")
DESKTOP_ICONS = os.path.join(ROOT, "packaging", "icons")
DESKTOP_SIZES = (16, 32, 48, 64, 128, 256)

# The sixteen colours of the classic palette, with index 0 kept for "transparent".
PALETTE = [
    (0, 0, 0),        # 0 transparent
    (0, 0, 0),        # 1 black
    (128, 0, 0),      # 2 maroon
    (0, 128, 0),      # 3 green
    (128, 128, 0),    # 4 olive
    (0, 0, 128),      # 5 navy
    (0, 128, 128),    # 6 teal
    (192, 192, 192),  # 7 silver
    (128, 128, 128),  # 8 grey
    (255, 0, 0),      # 9 red
    (0, 255, 0),      # 10 lime
    (255, 255, 0),    # 11 yellow
    (0, 0, 255),      # 12 blue
    (0, 255, 255),    # 13 aqua
    (255, 255, 255),  # 14 white
    (128, 0, 128),    # 15 purple
]
T, BLACK, MAROON, GREEN, OLIVE, NAVY, TEAL, SILVER, GREY, RED, LIME, YELLOW, BLUE, AQUA, WHITE, PURPLE = range(16)


def png_chunk(kind, data):
    body = kind + data
    return struct.pack(">I", len(data)) + body + struct.pack(">I", zlib.crc32(body) & 0xFFFFFFFF)


def write_indexed_png(path, width, height, pixels, palette, transparent_index=None):
    """pixels: rows of palette indices. Written with 4 bits per pixel (16 entries at most)."""
    raw = bytearray()
    for row in pixels:
        raw.append(0)
        for x in range(0, width, 2):
            hi = row[x]
            lo = row[x + 1] if x + 1 < width else 0
            raw.append((hi << 4) | lo)
    data = b"\x89PNG\r\n\x1a\n"
    data += png_chunk(b"IHDR", struct.pack(">IIBBBBB", width, height, 4, 3, 0, 0, 0))
    data += png_chunk(b"PLTE", b"".join(bytes(c) for c in palette))
    if transparent_index is not None:
        alpha = bytes(0 if i == transparent_index else 255 for i in range(transparent_index + 1))
        data += png_chunk(b"tRNS", alpha)
    data += png_chunk(b"IDAT", zlib.compress(bytes(raw), 9))
    data += png_chunk(b"IEND", b"")
    with open(path, "wb") as f:
        f.write(data)


class Canvas:
    """A grid of palette indices. Shapes are predicates over pixel centres in a 32-unit space,
    so one drawing serves every size; each shape is filled and given an outline, one pixel wide
    up to 32 x 32 and as wide as one unit of the drawing above that."""

    def __init__(self, size):
        self.size = size
        self.outline_width = max(1, size // 32)
        self.px = [[T] * size for _ in range(size)]

    def _inside(self, shape, x, y):
        s = 32.0 / self.size
        return shape((x + 0.5) * s, (y + 0.5) * s)

    def fill(self, shape, colour, outline=None):
        n = self.size
        inside = [[self._inside(shape, x, y) for x in range(n)] for y in range(n)]
        # The core is what stays inside after the outline's width of steps inwards; a pixel
        # beside the outside, or beside the picture's border, is a step from it.
        core = inside
        if outline is not None:
            for _ in range(self.outline_width):
                core = [[core[y][x] and all(0 <= x + dx < n and 0 <= y + dy < n and core[y + dy][x + dx]
                                            for dx, dy in ((1, 0), (-1, 0), (0, 1), (0, -1)))
                         for x in range(n)] for y in range(n)]
        for y in range(n):
            for x in range(n):
                if inside[y][x]:
                    self.px[y][x] = colour if core[y][x] else outline


def rect(x0, y0, x1, y1):
    return lambda x, y: x0 <= x < x1 and y0 <= y < y1


def ellipse(cx, cy, rx, ry):
    return lambda x, y: ((x - cx) / rx) ** 2 + ((y - cy) / ry) ** 2 <= 1.0


def polygon(points):
    def inside(x, y):
        result = False
        j = len(points) - 1
        for i in range(len(points)):
            xi, yi = points[i]
            xj, yj = points[j]
            if (yi > y) != (yj > y) and x < (xj - xi) * (y - yi) / (yj - yi) + xi:
                result = not result
            j = i
        return result
    return inside


def union(*shapes):
    return lambda x, y: any(s(x, y) for s in shapes)


# The small icon is drawn pixel by pixel; the drawing of the large one does not survive
# being halved.
ICON16 = [
    ".kkkkkkk........",
    ".kwwwwwkk.......",
    ".kwwnnwksk......",
    ".kwwnnwkkk......",
    ".kwwwwwwwk......",
    ".kwnnnnwwk......",
    ".kwnnnnwwnnnnnn.",
    ".kwggggwkaaaaaan",
    ".kwwwwwwkknnnnnn",
    ".kwkkkkkyykttttn",
    ".kwkyyyyyyyktttn",
    ".kwkyyyyyyyktttn",
    ".kwkkkkkyykttttn",
    ".kwwwwwwkknnnnnn",
    ".kkkkkkkkttttttn",
    ".........nnnnnn.",
]
LETTERS = {".": T, "k": BLACK, "w": WHITE, "s": SILVER, "g": GREY, "n": NAVY, "a": AQUA,
           "t": TEAL, "y": YELLOW}


def draw_icon(size):
    if size == 16:
        return [[LETTERS[ch] for ch in row] for row in ICON16]
    c = Canvas(size)
    # The customer card: a sheet with a folded corner, a head and shoulders and two lines.
    sheet = polygon([(2, 1), (14, 1), (19, 6), (19, 28), (2, 28)])
    c.fill(sheet, WHITE, BLACK)
    c.fill(polygon([(14, 1), (19, 6), (14, 6)]), SILVER, BLACK)
    c.fill(ellipse(8.5, 8.5, 3.4, 3.4), NAVY)
    c.fill(lambda x, y: ((x - 8.5) / 5.6) ** 2 + ((y - 18) / 4.8) ** 2 <= 1 and y < 16.5, NAVY)
    c.fill(rect(4, 19, 15, 20), GREY)
    # The database: a cylinder of three bands, its top lit.
    body = union(rect(16, 13, 31, 28), ellipse(23.5, 28, 7.5, 2.8))

    def below_arc(level):
        def inside(x, y):
            if not body(x, y):
                return False
            u = (x - 23.5) / 7.5
            return y >= level + 2.8 * math.sqrt(max(0.0, 1 - u * u))
        return inside

    c.fill(body, TEAL, NAVY)
    for level in (18, 23):
        c.fill(below_arc(level), TEAL, NAVY)
    c.fill(ellipse(23.5, 13, 7.5, 2.8), AQUA, NAVY)
    # The hand-over: a yellow arrow from the card into the database.
    arrow = polygon([(6, 21), (17, 21), (17, 17), (25, 23.5), (17, 30), (17, 26), (6, 26)])
    c.fill(arrow, YELLOW, BLACK)
    return c.px


def splash_rgb(width, height, scale=1):
    """A calm sky, light at the top left, over rolling hills of green and teal; a pale sun
    stands at the top right and a few flight lines cross the sky. The scene is laid out in
    width x height points and drawn with scale pixels to the point."""

    def mix(a, b, t):
        t = max(0.0, min(1.0, t))
        return tuple(a[i] + (b[i] - a[i]) * t for i in range(3))

    sky_top = (250, 248, 240)
    sky_low = (176, 208, 230)
    sun = (255, 243, 200)
    hills = [  # (base height, amplitude, wave length, phase, colour top, colour bottom)
        (212, 18, 420, 0.3, (150, 190, 160), (120, 165, 140)),
        (240, 14, 300, 1.7, (96, 150, 128), (72, 128, 112)),
        (266, 10, 230, 3.1, (48, 108, 104), (30, 84, 88)),
    ]
    seen_width, seen_height = 506, 283
    rows = []
    for py in range(height * scale):
        y = py / scale
        row = []
        for px in range(width * scale):
            x = px / scale
            # Sky: light along the top left, deepening towards the lower right.
            t = (0.75 * y / seen_height + 0.25 * x / seen_width) ** 1.2
            colour = mix(sky_top, sky_low, t * 1.25)
            # Thin flight lines sweeping up to the right, below the text and behind the sun.
            for k, (y0, slope) in enumerate(((168, -0.13), (178, -0.11), (188, -0.09))):
                yl = y0 + slope * (x - 180) + 7 * math.sin(x / 90.0 + k)
                fade = min(1.0, max(0.0, (x - 150) / 140.0))
                if fade > 0 and abs(y - yl) < 1.0:
                    colour = mix(colour, (255, 255, 255), 0.7 * fade * (1 - abs(y - yl)))
            # A soft sun with its glow.
            d = math.hypot(x - 440, y - 128)
            if d < 120:
                colour = mix(colour, sun, (1 - d / 120) ** 2 * 0.9)
            if d < 28:
                colour = mix(colour, (255, 250, 225), min(1.0, (28 - d) / 1.5))
            # Hills, the nearest last; edges softened over a pixel.
            for base, amp, length, phase, top, bottom in hills:
                edge = base + amp * math.sin(2 * math.pi * x / length + phase) \
                    + 0.4 * amp * math.sin(2 * math.pi * x / (length * 0.43) + 2 * phase)
                if y > edge - 1:
                    shade = mix(top, bottom, (y - edge) / (height - edge + 1))
                    colour = mix(colour, shade, min(1.0, y - edge + 1))
            row.append(tuple(int(round(v)) for v in colour))
        rows.append(row)
    return rows


def main():
    os.makedirs(OUT, exist_ok=True)
    # Each picture at 2x as well, which Qt takes on a screen of twice the density.
    for name, size in (("icon32.png", 32), ("icon32@2x.png", 64), ("icon16.png", 16), ("icon16@2x.png", 32),
                       ("picicon.png", 32), ("picicon@2x.png", 64)):
        write_indexed_png(os.path.join(OUT, name), size, size, draw_icon(size), PALETTE, transparent_index=T)
    os.makedirs(DESKTOP_ICONS, exist_ok=True)
    for size in DESKTOP_SIZES:
        write_indexed_png(os.path.join(DESKTOP_ICONS, "%d.png" % size), size, size, draw_icon(size), PALETTE,
                          transparent_index=T)
    if sys.argv[1:] == ["icons"]:
        print("icons written to", os.path.normpath(OUT), "and", os.path.normpath(DESKTOP_ICONS))
        return 0

    width, height = 600, 407
    for scale, name in ((1, "splash.png"), (2, "splash@2x.png")):
        rows = splash_rgb(width, height, scale)
        with tempfile.TemporaryDirectory() as tmp:
            ppm = os.path.join(tmp, "splash.ppm")
            with open(ppm, "wb") as f:
                f.write(b"P6 %d %d 255\n" % (width * scale, height * scale))
                f.write(bytes(v for row in rows for px in row for v in px))
            target = os.path.join(OUT, name)
            subprocess.run(["convert", ppm, "-treedepth", "8", "-dither", "FloydSteinberg", "-colors", "256",
                            "-strip", "PNG8:" + target], check=True)
    print("artwork written to", os.path.normpath(OUT), "and", os.path.normpath(DESKTOP_ICONS))
    return 0


if __name__ == "__main__":
    sys.exit(main())
