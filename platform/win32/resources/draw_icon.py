#!/usr/bin/env python3
"""Draws slidesaver's icon, two slides of a show one in front of the other, and writes it as a
Windows .ico: 16, 24, 32 and 48 pixels as 32-bit bitmaps with alpha (which Windows XP reads) and
256 pixels as PNG for later Windows. Plain arithmetic, so every run writes the same bytes.

    draw_icon.py OUTPUT.ico
"""
import math
import struct
import sys
import zlib

SIZES = (16, 24, 32, 48, 256)


def samples(size):
    """Samples per pixel and axis: antialiased edges from 64 samples a pixel, 16 at 256."""
    return 4 if size >= 256 else 8


def rounded_box(left, top, right, bottom, radius):
    """Inside test of a rectangle with rounded corners, in units of the icon's side."""
    def inside(x, y):
        if not (left <= x < right and top <= y < bottom):
            return False
        dx = max(left + radius - x, 0.0, x - (right - radius))
        dy = max(top + radius - y, 0.0, y - (bottom - radius))
        return dx * dx + dy * dy <= radius * radius
    return inside


def disc(cx, cy, r):
    return lambda x, y: (x - cx) ** 2 + (y - cy) ** 2 <= r * r


def below_ridge(points):
    """Inside test of the land below a ridge line through `points` (x ascending)."""
    def inside(x, y):
        for (x0, y0), (x1, y1) in zip(points, points[1:]):
            if x0 <= x <= x1:
                return y >= y0 + (y1 - y0) * (x - x0) / (x1 - x0)
        return False
    return inside


def mix(a, b, t):
    return tuple(round(p + (q - p) * t) for p, q in zip(a, b))


def slide_layers(left, top, right, bottom, pixel, photo):
    """A slide: a dark outline one pixel wide, a light mount, and the picture inside, its
    straight edges on pixel boundaries so that they stay sharp."""
    def snap(v):
        return round(v / pixel) * pixel
    left, top, right, bottom = snap(left), snap(top), snap(right), snap(bottom)
    radius = max(1.5 * pixel, 0.04)
    mount = max(pixel, snap(0.055))
    outline = rounded_box(left, top, right, bottom, radius)
    paper = rounded_box(left + pixel, top + pixel, right - pixel, bottom - pixel, radius - pixel)
    inner = (left + pixel + mount, top + pixel + mount, right - pixel - mount,
             bottom - pixel - mount)
    box = rounded_box(*inner, 0.0)
    layers = [(outline, lambda x, y: (40, 52, 78)), (paper, lambda x, y: (246, 244, 238))]
    layers += [(lambda x, y, s=shape: box(x, y) and s(x, y), colour) for shape, colour in
               photo(*inner)]
    return layers


def landscape(left, top, right, bottom):
    """Sky, sun and two hills filling the given box."""
    w, h = right - left, bottom - top
    sky = lambda x, y: mix((38, 96, 200), (150, 200, 245), (y - top) / h)
    return [
        (lambda x, y: True, sky),
        (disc(left + 0.68 * w, top + 0.30 * h, 0.16 * min(w, h)), lambda x, y: (255, 200, 60)),
        (below_ridge([(left, top + 0.62 * h), (left + 0.30 * w, top + 0.38 * h),
                      (left + 0.62 * w, top + 0.80 * h), (right, top + 0.58 * h)]),
         lambda x, y: (46, 140, 84)),
        (below_ridge([(left, top + 0.92 * h), (left + 0.55 * w, top + 0.70 * h),
                      (right, top + 0.86 * h)]),
         lambda x, y: (28, 100, 60)),
    ]


def evening(left, top, right, bottom):
    """The slide behind: a dusk sky over the sea."""
    h = bottom - top
    return [
        (lambda x, y: True, lambda x, y: mix((70, 50, 130), (240, 140, 90), (y - top) / h)),
        (lambda x, y: y >= top + 0.62 * h, lambda x, y: (40, 60, 120)),
    ]


def draw(size):
    """The icon at `size` pixels as rows of (r, g, b, a), top row first."""
    pixel = 1.0 / size
    layers = slide_layers(0.30, 0.06, 0.96, 0.60, pixel, evening)
    layers += slide_layers(0.04, 0.30, 0.80, 0.92, pixel, landscape)
    layers.reverse()  # the top layer first: a sample takes the first layer it is inside
    n = samples(size)
    rows = []
    for py in range(size):
        row = []
        for px in range(size):
            r = g = b = a = 0.0
            for sy in range(n):
                for sx in range(n):
                    x = (px + (sx + 0.5) / n) * pixel
                    y = (py + (sy + 0.5) / n) * pixel
                    colour = next((paint(x, y) for inside, paint in layers if inside(x, y)), None)
                    if colour:
                        r += colour[0]
                        g += colour[1]
                        b += colour[2]
                        a += 1
            # Colours averaged over the covered samples only, so edges don't darken.
            row.append((round(r / a), round(g / a), round(b / a), round(255 * a / (n * n))) if a
                       else (0, 0, 0, 0))
        rows.append(row)
    return rows


def bitmap_image(rows):
    """An icon image as Windows stores it: a BITMAPINFOHEADER of twice the height, the BGRA
    rows bottom-up, then the AND mask (1 where fully transparent), rows padded to 32 bits."""
    size = len(rows)
    mask_stride = (size + 31) // 32 * 4
    pixels = b"".join(bytes((b, g, r, a)) for row in reversed(rows) for r, g, b, a in row)
    mask = bytearray()
    for row in reversed(rows):
        line = bytearray(mask_stride)
        for x, (_, _, _, a) in enumerate(row):
            if a == 0:
                line[x // 8] |= 0x80 >> (x % 8)
        mask += line
    header = struct.pack("<IiiHHIIiiII", 40, size, 2 * size, 1, 32, 0,
                         len(pixels) + len(mask), 0, 0, 0, 0)
    return header + pixels + bytes(mask)


def png_image(rows):
    def chunk(kind, data):
        return (struct.pack(">I", len(data)) + kind + data +
                struct.pack(">I", zlib.crc32(kind + data) & 0xFFFFFFFF))
    size = len(rows)
    raw = b"".join(b"\0" + bytes(c for p in row for c in p) for row in rows)
    return (b"\x89PNG\r\n\x1a\n" +
            chunk(b"IHDR", struct.pack(">IIBBBBB", size, size, 8, 6, 0, 0, 0)) +
            chunk(b"IDAT", zlib.compress(raw, 9)) + chunk(b"IEND", b""))


def main():
    images = [(size, png_image(draw(size)) if size >= 256 else bitmap_image(draw(size)))
              for size in SIZES]
    out = struct.pack("<HHH", 0, 1, len(images))
    offset = 6 + 16 * len(images)
    for size, data in images:
        out += struct.pack("<BBBBHHII", size % 256, size % 256, 0, 0, 1, 32, len(data), offset)
        offset += len(data)
    out += b"".join(data for _, data in images)
    with open(sys.argv[1], "wb") as f:
        f.write(out)


if __name__ == "__main__":
    main()
