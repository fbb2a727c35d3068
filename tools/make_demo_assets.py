#!/usr/bin/env python3
"""Makes the player's own art and the demo game, deterministically.

Writes, relative to the repository root:
  assets/scene.bmp           built-in scene picture (482 x 297, 24-bit BMP)
  assets/vorn.png            window icon (32 x 32 PNG)
  assets/vorn.ico            the same icon as a 16-colour Windows icon
  examples/demo/...          the demo game: back.bmp, text.bmp, mouse.ico,
                             scene pictures, theme.mid, night.mid, code.vrn

Standard library only; every picture is drawn procedurally and every piece of
music is written note by note, so running it again gives the same bytes.
Usage: python3 tools/make_demo_assets.py [REPO_ROOT]
"""

import math
import os
import struct
import sys
import zlib

# --------------------------------------------------------------------------
# Deterministic randomness and noise


class Rng:
    """xorshift32: small, fast and the same on every machine."""

    def __init__(self, seed):
        self.s = (seed * 2654435761 + 1) & 0xFFFFFFFF or 1

    def next(self):
        s = self.s
        s ^= (s << 13) & 0xFFFFFFFF
        s ^= s >> 17
        s ^= (s << 5) & 0xFFFFFFFF
        self.s = s
        return s / 4294967296.0

    def uniform(self, a, b):
        return a + (b - a) * self.next()


def _hash(i, j, seed):
    h = (i * 374761393 + j * 668265263 + seed * 2246822519) & 0xFFFFFFFF
    h = ((h ^ (h >> 13)) * 1274126177) & 0xFFFFFFFF
    return ((h ^ (h >> 16)) & 0xFFFFFF) / 16777216.0


def _smooth(t):
    return t * t * (3.0 - 2.0 * t)


def noise2(x, y, seed):
    ix = math.floor(x)
    iy = math.floor(y)
    fx = _smooth(x - ix)
    fy = _smooth(y - iy)
    a = _hash(ix, iy, seed)
    b = _hash(ix + 1, iy, seed)
    c = _hash(ix, iy + 1, seed)
    d = _hash(ix + 1, iy + 1, seed)
    top = a + (b - a) * fx
    bot = c + (d - c) * fx
    return top + (bot - top) * fy


def fbm2(x, y, seed, octaves=4):
    total = 0.0
    amp = 0.5
    norm = 0.0
    for o in range(octaves):
        total += amp * noise2(x, y, seed + o * 101)
        norm += amp
        x *= 2.03
        y *= 2.03
        amp *= 0.5
    return total / norm


def noise1(x, seed):
    ix = math.floor(x)
    f = _smooth(x - ix)
    a = _hash(ix, 0, seed)
    b = _hash(ix + 1, 0, seed)
    return a + (b - a) * f


def fbm1(x, seed, octaves=5):
    total = 0.0
    amp = 0.5
    norm = 0.0
    for o in range(octaves):
        total += amp * noise1(x, seed + o * 57)
        norm += amp
        x *= 2.1
        amp *= 0.5
    return total / norm


def clamp(v, lo=0.0, hi=1.0):
    return lo if v < lo else hi if v > hi else v


def mix(c1, c2, t):
    return (c1[0] + (c2[0] - c1[0]) * t,
            c1[1] + (c2[1] - c1[1]) * t,
            c1[2] + (c2[2] - c1[2]) * t)


def ramp(stops, t):
    """Colour at t along a list of (position, colour) stops."""
    if t <= stops[0][0]:
        return stops[0][1]
    for k in range(1, len(stops)):
        p1, c1 = stops[k]
        if t <= p1:
            p0, c0 = stops[k - 1]
            u = (t - p0) / (p1 - p0) if p1 > p0 else 1.0
            return mix(c0, c1, _smooth(u))
    return stops[-1][1]


def hexc(s):
    return (int(s[0:2], 16), int(s[2:4], 16), int(s[4:6], 16))


# --------------------------------------------------------------------------
# Canvas: float RGB pixels, antialiased polygons, glows


class Canvas:
    def __init__(self, w, h, color=(0, 0, 0)):
        self.w = w
        self.h = h
        self.p = [float(color[0]), float(color[1]), float(color[2])] * (w * h)

    def get(self, x, y):
        i = (y * self.w + x) * 3
        p = self.p
        return (p[i], p[i + 1], p[i + 2])

    def put(self, x, y, c):
        i = (y * self.w + x) * 3
        p = self.p
        p[i] = c[0]
        p[i + 1] = c[1]
        p[i + 2] = c[2]

    def blend(self, x, y, c, a):
        if a <= 0.0 or x < 0 or y < 0 or x >= self.w or y >= self.h:
            return
        if a > 1.0:
            a = 1.0
        i = (y * self.w + x) * 3
        p = self.p
        p[i] += (c[0] - p[i]) * a
        p[i + 1] += (c[1] - p[i + 1]) * a
        p[i + 2] += (c[2] - p[i + 2]) * a

    def screen(self, x, y, c, a):
        """Lighten like light falling on the pixel (no clipping to white)."""
        if a <= 0.0 or x < 0 or y < 0 or x >= self.w or y >= self.h:
            return
        i = (y * self.w + x) * 3
        p = self.p
        for k in range(3):
            add = c[k] * a
            p[i + k] = 255.0 - (255.0 - p[i + k]) * (255.0 - min(add, 255.0)) / 255.0

    def fill_fn(self, fn, x0=0, y0=0, x1=None, y1=None):
        x1 = self.w if x1 is None else min(x1, self.w)
        y1 = self.h if y1 is None else min(y1, self.h)
        for y in range(max(0, y0), y1):
            for x in range(max(0, x0), x1):
                self.put(x, y, fn(x, y))

    def vgradient(self, stops, y0=0, y1=None):
        y1 = self.h if y1 is None else y1
        for y in range(max(0, y0), min(y1, self.h)):
            c = ramp(stops, (y - y0) / max(1, (y1 - y0 - 1)))
            for x in range(self.w):
                self.put(x, y, c)

    def coverage(self, pts, sub=4):
        """Exact horizontal, sub-sampled vertical coverage of a polygon
        (even-odd rule). Returns (x0, y0, rows)."""
        xs = [p[0] for p in pts]
        ys = [p[1] for p in pts]
        x0 = max(0, int(math.floor(min(xs))))
        x1 = min(self.w - 1, int(math.ceil(max(xs))))
        y0 = max(0, int(math.floor(min(ys))))
        y1 = min(self.h - 1, int(math.ceil(max(ys))))
        rows = []
        if x1 < x0 or y1 < y0:
            return x0, y0, rows
        n = len(pts)
        edges = []
        for k in range(n):
            ax, ay = pts[k]
            bx, by = pts[(k + 1) % n]
            if ay != by:
                edges.append((ax, ay, bx, by))
        width = x1 - x0 + 1
        inv = 1.0 / sub
        for py in range(y0, y1 + 1):
            row = [0.0] * width
            for s in range(sub):
                sy = py + (s + 0.5) * inv
                cross = []
                for ax, ay, bx, by in edges:
                    if (ay <= sy < by) or (by <= sy < ay):
                        cross.append(ax + (sy - ay) * (bx - ax) / (by - ay))
                if not cross:
                    continue
                cross.sort()
                for k in range(0, len(cross) - 1, 2):
                    a = max(cross[k], x0)
                    b = min(cross[k + 1], x1 + 1)
                    if b <= a:
                        continue
                    ia = int(a)
                    ib = int(b)
                    if ia == ib:
                        row[ia - x0] += (b - a) * inv
                    else:
                        row[ia - x0] += (ia + 1 - a) * inv
                        for q in range(ia + 1, min(ib, x1 + 1)):
                            row[q - x0] += inv
                        if ib <= x1:
                            row[ib - x0] += (b - ib) * inv
            rows.append(row)
        return x0, y0, rows

    def poly(self, pts, color, alpha=1.0):
        """Fill a polygon; color may be a function (x, y) -> colour."""
        x0, y0, rows = self.coverage(pts)
        fn = color if callable(color) else None
        for j, row in enumerate(rows):
            y = y0 + j
            for i, cov in enumerate(row):
                if cov > 0.001:
                    x = x0 + i
                    self.blend(x, y, fn(x, y) if fn else color, cov * alpha)

    def rect(self, x0, y0, x1, y1, color, alpha=1.0):
        self.poly([(x0, y0), (x1, y0), (x1, y1), (x0, y1)], color, alpha)

    def line(self, x0, y0, x1, y1, width, color, alpha=1.0):
        dx = x1 - x0
        dy = y1 - y0
        d = math.hypot(dx, dy) or 1.0
        nx = -dy / d * width / 2
        ny = dx / d * width / 2
        self.poly([(x0 + nx, y0 + ny), (x1 + nx, y1 + ny),
                   (x1 - nx, y1 - ny), (x0 - nx, y0 - ny)], color, alpha)

    def disc(self, cx, cy, r, color, alpha=1.0):
        for y in range(int(cy - r - 1), int(cy + r + 2)):
            for x in range(int(cx - r - 1), int(cx + r + 2)):
                d = math.hypot(x + 0.5 - cx, y + 0.5 - cy)
                cov = clamp(r - d + 0.5)
                if cov > 0:
                    self.blend(x, y, color(x, y) if callable(color) else color,
                               cov * alpha)

    def glow(self, cx, cy, r, color, strength=1.0, reach=3.0):
        """Soft light: a Gaussian falloff of radius r, screened on."""
        R = r * reach
        for y in range(int(cy - R), int(cy + R) + 1):
            for x in range(int(cx - R), int(cx + R) + 1):
                d2 = ((x + 0.5 - cx) ** 2 + (y + 0.5 - cy) ** 2) / (r * r)
                a = strength * math.exp(-d2)
                if a > 0.004:
                    self.screen(x, y, color, a)

    def darken_fn(self, fn):
        """Multiply each pixel by fn(x, y), a factor in 0..1 (vignettes)."""
        p = self.p
        for y in range(self.h):
            for x in range(self.w):
                f = fn(x, y)
                i = (y * self.w + x) * 3
                p[i] *= f
                p[i + 1] *= f
                p[i + 2] *= f

    def bytes_rgb(self):
        """8-bit rows top to bottom, ordered dithering against banding."""
        bayer = (0, 8, 2, 10, 12, 4, 14, 6, 3, 11, 1, 9, 15, 7, 13, 5)
        out = []
        p = self.p
        for y in range(self.h):
            row = bytearray(self.w * 3)
            for x in range(self.w):
                t = (bayer[(y & 3) * 4 + (x & 3)] + 0.5) / 16.0
                i = (y * self.w + x) * 3
                for k in range(3):
                    v = int(p[i + k] + t)
                    row[x * 3 + k] = 0 if v < 0 else 255 if v > 255 else v
            out.append(bytes(row))
        return out


# --------------------------------------------------------------------------
# File writers


def bmp24(canvas):
    """Windows BMP, BITMAPINFOHEADER, 24 bits, uncompressed, bottom-up."""
    rows = canvas.bytes_rgb()
    stride = (canvas.w * 3 + 3) & ~3
    pad = b"\0" * (stride - canvas.w * 3)
    data = bytearray()
    for row in reversed(rows):
        bgr = bytearray(len(row))
        bgr[0::3] = row[2::3]
        bgr[1::3] = row[1::3]
        bgr[2::3] = row[0::3]
        data += bgr + pad
    header = struct.pack("<IiiHHIIiiII", 40, canvas.w, canvas.h, 1, 24, 0,
                         len(data), 3780, 3780, 0, 0)
    filehdr = struct.pack("<2sIHHI", b"BM", 14 + 40 + len(data), 0, 0, 54)
    return filehdr + header + bytes(data)


def png_rgba(w, h, pixels):
    """pixels: rows of (r, g, b, a) tuples."""
    def chunk(kind, body):
        return (struct.pack(">I", len(body)) + kind + body +
                struct.pack(">I", zlib.crc32(kind + body) & 0xFFFFFFFF))
    raw = bytearray()
    for row in pixels:
        raw.append(0)
        for r, g, b, a in row:
            raw += bytes((r, g, b, a))
    return (b"\x89PNG\r\n\x1a\n" +
            chunk(b"IHDR", struct.pack(">IIBBBBB", w, h, 8, 6, 0, 0, 0)) +
            chunk(b"IDAT", zlib.compress(bytes(raw), 9)) +
            chunk(b"IEND", b""))


def ico4(palette, index_rows, mask_rows):
    """32 x 32 Windows icon, 16-colour palette BMP with an AND mask.
    index_rows: palette indices top to bottom; mask_rows: True = transparent."""
    w = len(index_rows[0])
    h = len(index_rows)
    xor = bytearray()
    for row in reversed(index_rows):
        line = bytearray()
        for x in range(0, w, 2):
            line.append((row[x] << 4) | row[x + 1])
        while len(line) % 4:
            line.append(0)
        xor += line
    andm = bytearray()
    for row in reversed(mask_rows):
        line = bytearray()
        for x in range(0, w, 8):
            byte = 0
            for b in range(8):
                if row[x + b]:
                    byte |= 0x80 >> b
            line.append(byte)
        while len(line) % 4:
            line.append(0)
        andm += line
    pal = bytearray()
    for r, g, b in palette:
        pal += bytes((b, g, r, 0))
    info = struct.pack("<IiiHHIIiiII", 40, w, h * 2, 1, 4, 0,
                       len(xor) + len(andm), 0, 0, 16, 0)
    image = info + bytes(pal) + bytes(xor) + bytes(andm)
    icondir = struct.pack("<HHH", 0, 1, 1)
    entry = struct.pack("<BBBBHHII", w, h, 16, 0, 1, 4, len(image), 6 + 16)
    return icondir + entry + image
