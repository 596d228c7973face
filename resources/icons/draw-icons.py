#!/usr/bin/env python3
"""Draws the icons of the programs and of the toolbar band's button and writes
them as PNG files beside this script. Each icon is a stack of filled shapes, sampled
4 x 4 times a pixel for smooth edges. Run it again after changing a drawing; the PNG
files are what the builds embed."""

import math
import os
import struct
import zlib

SAMPLES = 4


def png(path, width, height, pixels):
    """Writes RGBA pixels (rows of (r, g, b, a) tuples) as a PNG file."""
    raw = b"".join(b"\x00" + bytes(c for p in row for c in p) for row in pixels)

    def chunk(kind, data):
        body = kind + data
        return struct.pack(">I", len(data)) + body + struct.pack(">I", zlib.crc32(body) & 0xFFFFFFFF)

    header = struct.pack(">IIBBBBB", width, height, 8, 6, 0, 0, 0)
    with open(path, "wb") as out:
        out.write(b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", header) +
                  chunk(b"IDAT", zlib.compress(raw, 9)) + chunk(b"IEND", b""))


# --- Shapes: each a test of a point (x, y) in pixel units, the pixel grid's corners at
# whole numbers. ---

def disc(cx, cy, r):
    return lambda x, y: (x - cx) ** 2 + (y - cy) ** 2 <= r * r


def ring(cx, cy, inner, outer):
    return lambda x, y: inner * inner <= (x - cx) ** 2 + (y - cy) ** 2 <= outer * outer


def ellipse(cx, cy, rx, ry, angle=0.0):
    c, s = math.cos(angle), math.sin(angle)

    def inside(x, y):
        dx, dy = x - cx, y - cy
        u, v = dx * c + dy * s, -dx * s + dy * c
        return (u / rx) ** 2 + (v / ry) ** 2 <= 1
    return inside


def rect(left, top, right, bottom):
    return lambda x, y: left <= x <= right and top <= y <= bottom


def line(x0, y0, x1, y1, width):
    def inside(x, y):
        dx, dy = x1 - x0, y1 - y0
        t = max(0.0, min(1.0, ((x - x0) * dx + (y - y0) * dy) / (dx * dx + dy * dy)))
        px, py = x0 + t * dx, y0 + t * dy
        return (x - px) ** 2 + (y - py) ** 2 <= (width / 2) ** 2
    return inside


def polygon(points):
    def inside(x, y):
        hit = False
        for (ax, ay), (bx, by) in zip(points, points[1:] + points[:1]):
            if (ay > y) != (by > y) and x < ax + (y - ay) * (bx - ax) / (by - ay):
                hit = not hit
        return hit
    return inside


def both(first, second):
    return lambda x, y: first(x, y) and second(x, y)


def draw(size, layers, smooth=True):
    """layers: (shape, (r, g, b)) painted in order over a transparent field."""
    pixels = []
    steps = SAMPLES if smooth else 1
    for py in range(size):
        row = []
        for px in range(size):
            r = g = b = a = 0.0
            for sy in range(steps):
                for sx in range(steps):
                    x = px + (sx + 0.5) / steps
                    y = py + (sy + 0.5) / steps
                    colour = None
                    for shape, fill in layers:
                        if shape(x, y):
                            colour = fill
                    if colour is not None:
                        r += colour[0]
                        g += colour[1]
                        b += colour[2]
                        a += 1
            n = steps * steps
            if a == 0:
                row.append((0, 0, 0, 0))
            else:
                row.append((round(r / a), round(g / a), round(b / a), round(255 * a / n)))
        pixels.append(row)
    return pixels


WHITE = (255, 255, 255)
BLACK = (0, 0, 0)
BLUE = (32, 90, 180)
DARK_BLUE = (22, 56, 120)
SKY = (150, 200, 240)
GREEN = (60, 154, 60)
SUN = (242, 193, 46)
BROWN = (120, 80, 20)


def picture(left, top, right, bottom):
    """A framed landscape: sky, a sun and hills."""
    w, h = right - left, bottom - top
    hills = polygon([(left, bottom), (left, top + 0.7 * h), (left + 0.3 * w, top + 0.45 * h),
                     (left + 0.55 * w, top + 0.68 * h), (left + 0.8 * w, top + 0.5 * h),
                     (right, top + 0.62 * h), (right, bottom)])
    return [
        (rect(left, top, right, bottom), DARK_BLUE),
        (rect(left + 2, top + 2, right - 2, bottom - 2), SKY),
        (disc(left + 0.72 * w, top + 0.3 * h, 0.1 * w), SUN),
        (both(hills, rect(left + 2, top + 2, right - 2, bottom - 2)), GREEN),
    ]


def tallowmere():
    """A note on a round blue field."""
    return [(disc(16, 16, 15), DARK_BLUE), (disc(16, 16, 13.5), BLUE),
            (ellipse(13, 22, 4.6, 3.4, -0.4), WHITE), (rect(16.2, 7, 18.2, 22), WHITE),
            (polygon([(18.2, 7), (24, 11), (24, 14), (18.2, 10.5)]), WHITE)]


def sollet():
    """A picture and the pointer that clicks it once."""
    arrow = [(18, 14), (18, 30), (21.5, 26.5), (24.5, 31.5), (27, 30), (24, 25), (29, 25)]
    inner = [(19.3, 17.2), (19.3, 27), (21.8, 24.5), (24.9, 29.7), (25.3, 29.5), (22.3, 24.2),
             (25.8, 24.2)]
    return picture(1, 3, 27, 23) + [(polygon(arrow), BLACK), (polygon(inner), WHITE)]


def brisquel():
    """A globe and the arrow that opens it."""
    globe = disc(14, 16, 12)
    return [(globe, DARK_BLUE), (disc(14, 16, 10.8), BLUE),
            (both(ring(14, 16, 5.2, 6.4), globe), SKY),
            (both(rect(2, 15.4, 26, 16.6), globe), SKY), (both(rect(13.4, 4, 14.6, 28), globe), SKY),
            (line(17, 19, 27, 9, 3.2), SUN), (polygon([(21, 5.5), (30.5, 5.5), (30.5, 15)]), SUN)]


def ambrevin():
    """A picture under a magnifying glass."""
    return picture(1, 1, 25, 21) + [
        (line(21, 21, 29.5, 29.5, 4.2), BROWN),
        (disc(17, 17, 8.2), DARK_BLUE), (disc(17, 17, 6.4), (210, 235, 250)),
        (disc(15, 15, 1.8), WHITE)]


def wrenlow_extract():
    """The Extract button's picture, 16 x 16 pixel by pixel: a frame with a landscape."""
    layers = []
    for y in range(1, 15):
        for x in range(1, 15):
            frame = x in (1, 14) or y in (1, 14)
            wave = x % 7 if x % 7 < 4 else 7 - x % 7
            if frame:
                colour = (31, 78, 154)
            elif y > 9 - wave:
                colour = GREEN
            elif 9 <= x <= 11 and 3 <= y <= 5:
                colour = SUN
            else:
                colour = WHITE
            layers.append((rect(x, y, x + 0.99, y + 0.99), colour))
    return layers


ICONS = [
    ("tallowmere", 32, tallowmere, True),
    ("sollet", 32, sollet, True),
    ("brisquel", 32, brisquel, True),
    ("ambrevin", 32, ambrevin, True),
    ("wrenlow-extract", 16, wrenlow_extract, False),
]

if __name__ == "__main__":
    here = os.path.dirname(os.path.abspath(__file__))
    for name, size, layers, smooth in ICONS:
        png(os.path.join(here, name + ".png"), size, size, draw(size, layers(), smooth))
