#!/usr/bin/env python3
"""Draws the Ovra Monitor icon and writes res/ovra.ico.

The picture is the sidebar logo: a rounded tile in the accent colour with a white pulse line,
drawn at 16, 24, 32, 48 and 256 pixels. Sizes up to 48 are stored as 32-bit DIBs, 256 as PNG,
which is what Windows expects of a modern icon. Only the standard library is used and nothing
depends on time or randomness, so every run writes the same bytes.

Usage: python3 tools/make_icon.py [output.ico]
"""

import math
import struct
import sys
import zlib
from pathlib import Path

SIZES = (16, 24, 32, 48, 256)
PNG_FROM = 256

ACCENT = (0x0D, 0x7A, 0x6A)
WHITE = (0xFF, 0xFF, 0xFF)

# The logo as the sidebar draws it: a 30 x 30 tile, corner radius 8, pen width 2.
LOGO_SIDE = 30.0
LOGO_RADIUS = 8.0
LOGO_PEN = 2.0
PULSE = ((5, 16), (11, 16), (14, 9), (18, 22), (21, 15), (25, 15))

# Below this the line breaks up into grey smudges on a 16-pixel tile.
MIN_PEN = 1.5

# Edge pixels are sampled on an 8 x 8 grid; pixels farther than half a diagonal from every
# edge are wholly in or out and need no samples.
GRID = 8
HALF_DIAGONAL = 0.7072


class Logo:
    """The logo scaled into a square image of `size` pixels, in pixel coordinates."""

    def __init__(self, size):
        self.margin = size // 16
        side = size - 2 * self.margin
        scale = side / LOGO_SIDE
        self.lo = float(self.margin)
        self.hi = float(self.margin + side)
        self.radius = LOGO_RADIUS * scale
        self.half_pen = max(LOGO_PEN * scale, MIN_PEN) / 2.0
        points = [(self.lo + x * scale, self.lo + y * scale) for x, y in PULSE]
        self.segments = list(zip(points, points[1:]))

    def tile_distance(self, x, y):
        """Signed distance to the tile's outline, negative inside."""
        centre = (self.lo + self.hi) / 2.0
        inner = (self.hi - self.lo) / 2.0 - self.radius
        dx = abs(x - centre) - inner
        dy = abs(y - centre) - inner
        outside = math.sqrt(max(dx, 0.0) ** 2 + max(dy, 0.0) ** 2)
        return outside + min(max(dx, dy), 0.0) - self.radius

    def pulse_distance(self, x, y):
        """Distance to the pulse line's centre line; caps and joins come out round."""
        best = math.inf
        for (ax, ay), (bx, by) in self.segments:
            vx, vy = bx - ax, by - ay
            t = ((x - ax) * vx + (y - ay) * vy) / (vx * vx + vy * vy)
            t = min(max(t, 0.0), 1.0)
            px, py = ax + t * vx - x, ay + t * vy - y
            best = min(best, px * px + py * py)
        return math.sqrt(best)


def coverage(distance_at, x, y):
    """Share of pixel (x, y) where distance_at(sample) <= 0."""
    centre = distance_at(x + 0.5, y + 0.5)
    if centre <= -HALF_DIAGONAL:
        return 1.0
    if centre >= HALF_DIAGONAL:
        return 0.0
    inside = 0
    for j in range(GRID):
        sy = y + (j + 0.5) / GRID
        for i in range(GRID):
            if distance_at(x + (i + 0.5) / GRID, sy) <= 0.0:
                inside += 1
    return inside / (GRID * GRID)


def to_byte(value):
    return min(255, max(0, int(value * 255.0 + 0.5)))


def render(size):
    """Rows of (r, g, b, a) bytes, top row first, colour not premultiplied."""
    logo = Logo(size)
    line = lambda x, y: logo.pulse_distance(x, y) - logo.half_pen
    rows = []
    for y in range(size):
        row = []
        for x in range(size):
            tile = coverage(logo.tile_distance, x, y)
            pen = coverage(line, x, y) if tile > 0.0 else 0.0
            # The white line over the tile, composited in premultiplied form.
            alpha = pen + tile * (1.0 - pen)
            if alpha <= 0.0:
                row.append((0, 0, 0, 0))
                continue
            colour = tuple((w * pen + a * tile * (1.0 - pen)) / alpha for w, a in zip(WHITE, ACCENT))
            row.append(tuple(to_byte(c / 255.0) for c in colour) + (to_byte(alpha),))
        rows.append(row)
    return rows


def dib_image(rows):
    """A BITMAPINFOHEADER, the BGRA pixels bottom-up and the AND mask."""
    size = len(rows)
    mask_stride = (size + 31) // 32 * 4
    pixels = bytearray()
    mask = bytearray()
    for row in reversed(rows):
        bits = bytearray(mask_stride)
        for x, (r, g, b, a) in enumerate(row):
            pixels += bytes((b, g, r, a))
            # Shows through where a reader ignores the alpha channel.
            if a < 128:
                bits[x // 8] |= 0x80 >> (x % 8)
        mask += bits
    # The header's height counts both the colour and the mask bitmap.
    header = struct.pack("<IiiHHIIiiII", 40, size, 2 * size, 1, 32, 0,
                         len(pixels) + len(mask), 0, 0, 0, 0)
    return header + bytes(pixels) + bytes(mask)


def png_chunk(kind, data):
    return (struct.pack(">I", len(data)) + kind + data
            + struct.pack(">I", zlib.crc32(kind + data) & 0xFFFFFFFF))


def png_image(rows):
    """An 8-bit RGBA PNG with no ancillary chunks, so no date ends up in the file."""
    size = len(rows)
    raw = bytearray()
    previous = bytes(size * 4)
    for row in rows:
        current = bytes(channel for pixel in row for channel in pixel)
        # Filter "Up": the flat tile repeats row after row, which compresses to almost nothing.
        raw.append(2)
        raw += bytes((c - p) & 0xFF for c, p in zip(current, previous))
        previous = current
    header = struct.pack(">IIBBBBB", size, size, 8, 6, 0, 0, 0)
    return (b"\x89PNG\r\n\x1a\n" + png_chunk(b"IHDR", header)
            + png_chunk(b"IDAT", zlib.compress(bytes(raw), 9)) + png_chunk(b"IEND", b""))


def icon_file(images):
    """ICONDIR, one 16-byte entry per image, then the images in the same order."""
    out = struct.pack("<HHH", 0, 1, len(images))
    offset = len(out) + 16 * len(images)
    for size, data in images:
        # A byte holds up to 255; 0 stands for 256.
        side = 0 if size >= 256 else size
        out += struct.pack("<BBBBHHII", side, side, 0, 0, 1, 32, len(data), offset)
        offset += len(data)
    for _, data in images:
        out += data
    return out


def main(argv):
    target = Path(argv[1]) if len(argv) > 1 else Path(__file__).resolve().parent.parent / "res" / "ovra.ico"
    images = []
    for size in SIZES:
        rows = render(size)
        images.append((size, png_image(rows) if size >= PNG_FROM else dib_image(rows)))
    target.write_bytes(icon_file(images))
    print(f"{target}: {', '.join(str(s) for s in SIZES)} px")
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
