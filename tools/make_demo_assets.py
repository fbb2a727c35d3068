#!/usr/bin/env python3
"""Makes the player's own art and the demo game, deterministically.

Writes, relative to the repository root:
  assets/scene.bmp           built-in scene picture (482 x 297, 24-bit BMP)
  assets/vorn.png            window icon (32 x 32 PNG)
  assets/vorn.ico            the same icon as a 16-colour Windows icon
  assets/icons/vorn-N.png    the icon drawn smooth at the desktop's other sizes
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


# --------------------------------------------------------------------------
# Shapes


def ridge(w, base, amp, freq, seed, bottom, sharp=0.5, step=2, x_off=0.0):
    """Polygon of a mountain ridge: base is the lowest line, amp the height."""
    pts = [(-2, bottom)]
    for x in range(-2, w + step + 2, step):
        pts.append((x, ridge_y(x, base, amp, freq, seed, sharp, x_off)))
    pts.append((w + step + 2, bottom))
    return pts


def ridge_y(x, base, amp, freq, seed, sharp=0.5, x_off=0.0):
    n = fbm1((x + x_off) * freq, seed)
    peak = 1.0 - abs(2.0 * fbm1((x + x_off) * freq * 0.7, seed + 9) - 1.0)
    return base - amp * (n * (1 - sharp) + peak * sharp)


def cedar(cv, cx, base, height, width, color, seed, tiers=7):
    rng = Rng(seed)
    top = base - height
    fh = height * 0.9
    left = [(cx, top)]
    right = [(cx, top)]
    for k in range(tiers):
        t = (k + 1) / tiers
        y = top + fh * t
        hw = width / 2 * (0.18 + 0.82 * t ** 0.85) * rng.uniform(0.85, 1.1)
        inner = hw * rng.uniform(0.45, 0.62)
        left.append((cx - hw, y + rng.uniform(-1, 1)))
        right.append((cx + hw * rng.uniform(0.9, 1.08), y + rng.uniform(-1, 1)))
        if k < tiers - 1:
            left.append((cx - inner, y - fh / tiers * 0.25))
            right.append((cx + inner, y - fh / tiers * 0.25))
    pts = left + list(reversed(right))
    cv.poly(pts, color)
    tw = max(1.2, width * 0.07)
    cv.rect(cx - tw / 2, top + fh * 0.85, cx + tw / 2, base, color)


def blob(cx, cy, rx, ry, seed, bumps=0.18, n=48):
    pts = []
    for k in range(n):
        a = 2 * math.pi * k / n
        f = 1.0 + bumps * (noise1(k * 0.45, seed) - 0.5) * 2
        if math.sin(a) > 0:          # flatter underside, like a pine pad
            f *= 0.85
        pts.append((cx + math.cos(a) * rx * f, cy + math.sin(a) * ry * f))
    return pts


def torii(cv, cx, base, height, body, top=None, foot=None, shade=None):
    """A myojin torii. body/top/foot are colours or colour functions."""
    H = height
    top = top or body
    foot = foot or top
    span = H * 0.92
    pw = H * 0.08
    lean = H * 0.025
    ptop = base - H * 0.86
    for s in (-1, 1):
        xb = cx + s * span / 2
        xt = cx + s * (span / 2 - lean)
        cv.poly([(xb - pw / 2, base), (xb + pw / 2, base),
                 (xt + pw * 0.42, ptop), (xt - pw * 0.42, ptop)], body)
        cv.poly([(xb - pw * 0.6, base), (xb + pw * 0.6, base),
                 (xb + pw * 0.56, base - H * 0.07), (xb - pw * 0.56, base - H * 0.07)], foot)
    # nuki: the lower tie beam, through the pillars
    ny = base - H * 0.64
    nl = span / 2 + H * 0.13
    cv.rect(cx - nl, ny, cx + nl, ny + H * 0.055, body)
    # gakuzuka: the strut at the centre
    cv.rect(cx - H * 0.035, base - H * 0.86, cx + H * 0.035, ny, body)
    # shimaki: under the top beam
    sl = span / 2 + H * 0.2
    cv.poly([(cx - sl, ptop - H * 0.06), (cx + sl, ptop - H * 0.06),
             (cx + sl - H * 0.01, ptop + H * 0.01), (cx - sl + H * 0.01, ptop + H * 0.01)], body)
    # kasagi: the curved top beam
    L = span / 2 + H * 0.3
    th = H * 0.068
    upper = []
    lower = []
    n = 40
    for k in range(n + 1):
        u = -1 + 2 * k / n
        lift = H * 0.06 * abs(u) ** 2.4
        x = cx + u * L
        yt = base - H * 1.0 - lift
        upper.append((x, yt))
        lower.append((x, yt + th * (1 - 0.35 * abs(u) ** 3)))
    cv.poly(upper + list(reversed(lower)), top)


def toro(cv, cx, base, h, stone, light=None, glow=True):
    """A stone lantern; light is the colour of its lit window."""
    def r(x0, y0, x1, y1, c=stone):
        cv.rect(cx + x0 * h, base - y1 * h, cx + x1 * h, base - y0 * h, c)
    r(-0.26, 0.0, 0.26, 0.08)
    r(-0.2, 0.08, 0.2, 0.13)
    r(-0.09, 0.13, 0.09, 0.5)
    r(-0.24, 0.5, 0.24, 0.58)
    r(-0.17, 0.58, 0.17, 0.78)
    if light:
        r(-0.09, 0.62, 0.09, 0.74, light)
    # roof with lifted corners
    pts = []
    for k in range(21):
        u = -1 + k / 10
        pts.append((cx + u * 0.38 * h, base - (0.78 + 0.04 * abs(u) ** 3) * h))
    pts += [(cx + 0.12 * h, base - 0.92 * h), (cx - 0.12 * h, base - 0.92 * h)]
    cv.poly(pts, stone)
    cv.disc(cx, base - 0.96 * h, 0.055 * h, stone)
    if light and glow:
        cv.glow(cx, base - 0.68 * h, h * 0.22, light, 0.55)


def chochin(cv, cx, cy, rx, ry, body, cap, light_strength=0.5):
    """A hanging paper lantern, lit from inside."""
    cv.glow(cx, cy, rx * 2.2, body, light_strength)

    def shade(x, y):
        u = (x + 0.5 - cx) / rx
        v = (y + 0.5 - cy) / ry
        core = clamp(1.0 - 0.55 * (u * u + v * v))
        c = mix((body[0] * 0.6, body[1] * 0.45, body[2] * 0.4), (255, 190, 110), core ** 1.5 * 0.5)
        rib = 0.88 if int((y - cy) / max(1.0, ry / 4)) % 2 else 1.0
        return (c[0] * rib, c[1] * rib, c[2] * rib)
    pts = [(cx + math.cos(a) * rx, cy + math.sin(a) * ry)
           for a in [2 * math.pi * k / 40 for k in range(40)]]
    cv.poly(pts, shade)
    cv.rect(cx - rx * 0.55, cy - ry - ry * 0.2, cx + rx * 0.55, cy - ry * 0.85, cap)
    cv.rect(cx - rx * 0.55, cy + ry * 0.85, cx + rx * 0.55, cy + ry * 1.2, cap)


def hall(cv, cx, base, w, h, wood, roof, trim=None, doors=None, door_glow=0.0):
    """A shrine hall: raised floor, body, sweeping roof with chigi and katsuogi."""
    trim = trim or wood
    body_top = base - h * 0.55
    cv.rect(cx - w * 0.42, base - h * 0.1, cx + w * 0.42, base, trim)   # floor
    cv.rect(cx - w * 0.38, body_top, cx + w * 0.38, base - h * 0.1, wood)
    if doors:
        for k in range(4):
            x0 = cx - w * 0.32 + k * w * 0.16
            cv.rect(x0 + w * 0.01, body_top + h * 0.06, x0 + w * 0.14, base - h * 0.14, doors)
            if door_glow:
                cv.glow(x0 + w * 0.075, body_top + h * 0.2, w * 0.06, doors, door_glow, reach=2.5)
        for k in range(5):     # pillars between the doors
            x0 = cx - w * 0.33 + k * w * 0.16
            cv.rect(x0, body_top, x0 + w * 0.018, base - h * 0.1, trim)
    # roof: a concave sweep from the ridge down to lifted eaves
    ridge_y = base - h
    eave_y = body_top + h * 0.04
    half = w / 2
    top_edge = []
    low_edge = []
    n = 40
    for k in range(n + 1):
        u = -1 + 2 * k / n
        x = cx + u * half
        au = abs(u)
        lift = h * 0.1 * au ** 4
        ridge_part = 0.32
        if au <= ridge_part:
            yt = ridge_y
        else:
            t = (au - ridge_part) / (1 - ridge_part)
            yt = ridge_y + (eave_y - h * 0.04 - ridge_y) * (1 - (1 - t) ** 1.7) - lift
        top_edge.append((x, yt))
        low_edge.append((x, eave_y + h * 0.03 * (1 - au ** 2) - lift * 1.1))
    cv.poly(top_edge + list(reversed(low_edge)), roof)
    # chigi (crossed boards) and katsuogi (logs) on the ridge
    for s in (-1, 1):
        x = cx + s * half * 0.32
        cv.line(x, ridge_y + h * 0.02, x + s * h * 0.08, ridge_y - h * 0.13, h * 0.025, roof)
        cv.line(x, ridge_y + h * 0.02, x - s * h * 0.05, ridge_y - h * 0.12, h * 0.025, roof)
    for k in range(-2, 3):
        x = cx + k * half * 0.11
        cv.rect(x - h * 0.035, ridge_y - h * 0.05, x + h * 0.035, ridge_y + h * 0.01, roof)



def stars(cv, count, seed, ymax, strength_fn, x0=0, x1=None):
    rng = Rng(seed)
    x1 = cv.w if x1 is None else x1
    for _ in range(count):
        x = rng.uniform(x0, x1)
        y = rng.uniform(0, ymax)
        b = rng.next() ** 2.2
        s = strength_fn(x, y)
        if s <= 0:
            continue
        col = mix((255, 255, 255), (255, 230, 190), rng.next() * 0.6)
        ix, iy = int(x), int(y)
        cv.screen(ix, iy, col, (0.35 + 0.65 * b) * s)
        if b > 0.55:
            for dx, dy in ((1, 0), (-1, 0), (0, 1), (0, -1)):
                cv.screen(ix + dx, iy + dy, col, 0.28 * b * s)
        if b > 0.93:
            cv.glow(x, y, 2.2, col, 0.25 * s)


def crescent(cv, cx, cy, r, color, phase_dx, phase_dy, seed):
    cv.glow(cx, cy, r * 2.2, (255, 230, 190), 0.28)
    r2 = r * 1.02
    for y in range(int(cy - r - 2), int(cy + r + 3)):
        for x in range(int(cx - r - 2), int(cx + r + 3)):
            d1 = math.hypot(x + 0.5 - cx, y + 0.5 - cy)
            d2 = math.hypot(x + 0.5 - cx - phase_dx, y + 0.5 - cy - phase_dy)
            cov = clamp(r - d1 + 0.5) * (1 - clamp(r2 - d2 + 0.5))
            if cov > 0:
                tex = 0.9 + 0.1 * fbm2(x / 5.0, y / 5.0, seed, 3)
                cv.blend(x, y, (color[0] * tex, color[1] * tex, color[2] * tex), cov)


def full_moon(cv, cx, cy, r, seed, halo=0.45):
    cv.glow(cx, cy, r * 1.6, (190, 200, 230), halo, reach=3.5)
    cv.glow(cx, cy, r * 1.1, (255, 250, 225), halo * 0.6)
    for y in range(int(cy - r - 2), int(cy + r + 3)):
        for x in range(int(cx - r - 2), int(cx + r + 3)):
            dx = (x + 0.5 - cx) / r
            dy = (y + 0.5 - cy) / r
            d = math.hypot(dx, dy)
            cov = clamp((1 - d) * r + 0.5)
            if cov <= 0:
                continue
            limb = math.sqrt(max(0.0, 1 - min(1.0, d) ** 2))
            m = fbm2(dx * 2.2 + 5, dy * 2.2 + 5, seed, 5)
            maria = clamp((m - 0.5) * 3.2)
            crater = fbm2(dx * 9, dy * 9, seed + 3, 3)
            base = mix((255, 250, 232), (196, 196, 196), maria * 0.75)
            base = mix(base, (235, 232, 220), clamp((crater - 0.6) * 2.5) * 0.5)
            f = 0.78 + 0.22 * limb
            cv.blend(x, y, (base[0] * f, base[1] * f, base[2] * f), cov)


def clouds(cv, seed, y0, y1, sx, sy, threshold, lit, shadow, alpha=1.0,
           light_from=None, octaves=5, x0=0, x1=None):
    """Soft clouds in the band y0..y1; lit on their upper side."""
    x1 = cv.w if x1 is None else x1
    mid = (y0 + y1) / 2
    half = (y1 - y0) / 2
    for y in range(max(0, int(y0)), min(cv.h, int(y1))):
        band = clamp(1 - abs(y - mid) / half) ** 0.6
        for x in range(x0, x1):
            n = fbm2(x / sx, y / sy, seed, octaves)
            dens = clamp((n - threshold) / 0.16) * band
            if dens <= 0.01:
                continue
            above = fbm2(x / sx, (y - 3) / sy, seed, octaves)
            litness = clamp(0.5 + (n - above) * 7)
            c = mix(shadow, lit, litness)
            if light_from:
                lx, ly, lr, lc = light_from
                d = math.hypot(x - lx, y - ly)
                c = mix(c, lc, clamp(1 - d / lr) ** 2 * 0.9)
            cv.blend(x, y, c, dens * alpha)


def mist(cv, y, thick, color, alpha, seed, x0=0, x1=None):
    x1 = cv.w if x1 is None else x1
    for yy in range(max(0, int(y - thick * 2.5)), min(cv.h, int(y + thick * 2.5))):
        g = math.exp(-((yy - y) / thick) ** 2)
        for x in range(x0, x1):
            n = fbm2(x / 60.0, yy / 9.0, seed, 3)
            cv.blend(x, yy, color, alpha * g * (0.45 + 0.9 * n))


def bird(cv, x, y, s, color):
    cv.line(x - s, y - s * 0.45, x, y, s * 0.22, color)
    cv.line(x, y, x + s, y - s * 0.5, s * 0.22, color)


def vignette(cv, amount):
    w, h = cv.w, cv.h

    def f(x, y):
        dx = (x - w / 2) / (w / 2)
        dy = (y - h / 2) / (h / 2)
        return 1 - amount * clamp((dx * dx + dy * dy) * 0.5) ** 1.5
    cv.darken_fn(f)


# --------------------------------------------------------------------------
# Scenes


def reflect(cv, hy, seed, darken=0.72, tint=(30, 40, 90), tint_amt=0.25):
    """Mirror everything above the waterline hy into the water below it."""
    W, H = cv.w, cv.h
    src = list(cv.p)
    for y in range(hy, H):
        depth = (y - hy) / max(1, H - hy)
        for x in range(W):
            wob = (noise2(x / 40.0, y / 2.2, seed) - 0.5) * (2 + 9 * depth)
            sx = int(clamp(x + wob, 0, W - 1))
            sy = int(clamp(2 * hy - y - 1 + (noise2(x / 9.0, y / 1.5, seed + 1) - 0.5) * 3 * depth, 0, hy - 1))
            i = (sy * W + sx) * 3
            c = (src[i], src[i + 1], src[i + 2])
            c = mix(c, tint, tint_amt + 0.2 * depth)
            f = darken * (1 - 0.35 * depth)
            cv.put(x, y, (c[0] * f, c[1] * f, c[2] * f))


def glints(cv, cx, y0, y1, spread, color, seed, count=60):
    rng = Rng(seed)
    for _ in range(count):
        y = rng.uniform(y0, y1)
        t = (y - y0) / max(1, y1 - y0)
        x = cx + (rng.next() - 0.5) * spread * (0.4 + t)
        ln = rng.uniform(3, 10) * (0.6 + t)
        cv.line(x - ln / 2, y, x + ln / 2, y, 0.9, color, rng.uniform(0.15, 0.5) * (1 - t * 0.6))


def reeds(cv, x0, x1, base, height, color, seed, count=40):
    rng = Rng(seed)
    for _ in range(count):
        x = rng.uniform(x0, x1)
        h = height * rng.uniform(0.4, 1.0)
        bend = rng.uniform(-0.25, 0.25) * h
        cv.line(x, base, x + bend, base - h, rng.uniform(0.8, 1.6), color)
        if rng.next() < 0.3:
            cv.line(x + bend, base - h, x + bend * 1.1, base - h - h * 0.18, 2.2, color)


def pine(cv, x, base, h, color, seed):
    """A windswept pine: a curving trunk with flat foliage pads."""
    pts_l = []
    pts_r = []
    n = 12
    for k in range(n + 1):
        t = k / n
        px = x + math.sin(t * 2.4) * h * 0.22 * t
        py = base - t * h * 0.85
        wdt = h * 0.05 * (1 - 0.7 * t)
        pts_l.append((px - wdt, py))
        pts_r.append((px + wdt, py))
    cv.poly(pts_l + list(reversed(pts_r)), color)
    rng = Rng(seed)
    tops = [(1.0, 0.06, 0.12), (0.8, 0.44, 0.12), (0.64, -0.32, 0.1), (0.48, 0.34, 0.095)]
    for k, (t, dx, ry) in enumerate(tops):
        px = x + math.sin(t * 2.4) * h * 0.22 * t + dx * h * 0.55
        py = base - t * h * 0.85
        tx = x + math.sin(t * 2.4) * h * 0.22 * t
        cv.line(tx, py + h * 0.03, px, py, h * 0.025, color)
        cv.poly(blob(px, py - ry * h * 0.3, h * rng.uniform(0.22, 0.28), ry * h, seed + k, 0.3), color)


def scene_builtin():
    """The player's own start picture: a lake at dusk under a young moon."""
    W, H = 482, 297
    cv = Canvas(W, H)
    hy = 196
    cv.vgradient([(0.0, hexc("121838")), (0.3, hexc("2e2f62")), (0.58, hexc("6f4a7c")),
                  (0.78, hexc("d2716a")), (0.91, hexc("f4a968")), (1.0, hexc("ffd894"))], 0, hy)
    cv.glow(300, hy, 110, (255, 196, 130), 0.32)
    stars(cv, 170, 11, hy * 0.6, lambda x, y: clamp(1 - y / (hy * 0.6)) ** 1.1)
    clouds(cv, 21, 84, 172, 95.0, 8.0, 0.56, (255, 178, 150), (112, 72, 118), 0.85,
           light_from=(300, hy, 230, (255, 210, 160)))
    crescent(cv, 118, 56, 14, (255, 243, 210), -6.5, -4.5, 3)
    far = ridge(W, hy - 3, 62, 1 / 150.0, 5, hy, sharp=0.65)
    cv.poly(far, lambda x, y: mix(hexc("8d6f9c"), hexc("c98e92"), clamp((y - (hy - 65)) / 65)))
    mist(cv, hy - 10, 9, (250, 190, 170), 0.3, 41)
    mid = ridge(W, hy + 1, 30, 1 / 85.0, 7, hy + 1, sharp=0.4, x_off=400)
    cv.poly(mid, lambda x, y: mix(hexc("5a4778"), hexc("7d5a84"), clamp((y - (hy - 30)) / 30)))
    mist(cv, hy - 2, 5, (255, 205, 170), 0.28, 43)
    # the near hill with its torii and pine
    hill = [(-2, hy + 1)]
    for x in range(-2, 232, 2):
        y = hy - 74 * math.exp(-((x - 104) / 78.0) ** 2) - 6 * (fbm1(x / 25.0, 2) - 0.5)
        hill.append((x, y))
    hill.append((232, hy + 1))
    dark = hexc("1d1730")
    cv.poly(hill, dark)
    torii(cv, 100, hy - 72, 40, hexc("2a1424"), foot=dark)
    pine(cv, 150, hy - 53, 54, dark, 17)
    cedar(cv, 34, hy - 30, 46, 20, dark, 5)
    cedar(cv, 52, hy - 36, 38, 16, dark, 6)
    # the far shore on the right with a farmhouse
    bank = [(300, hy + 1)]
    for x in range(300, W + 4, 2):
        bank.append((x, hy - 6 - 7 * clamp((x - 300) / 60.0) - 3 * fbm1(x / 20.0, 3)))
    bank.append((W + 4, hy + 1))
    cv.poly(bank, dark)
    bx, by = 398, hy - 12
    cv.rect(bx - 20, by - 22, bx + 20, by, dark)
    cv.poly([(bx - 27, by - 20), (bx + 27, by - 20), (bx + 12, by - 42), (bx - 12, by - 42)], dark)
    cv.rect(bx - 14, by - 16, bx - 5, by - 8, hexc("ffcf7a"))
    cv.glow(bx - 9.5, by - 12, 8, (255, 190, 100), 0.45)
    for k, (tx, th) in enumerate(((446, 58), (466, 70), (430, 44), (478, 52))):
        cedar(cv, tx, hy - 12, th, th * 0.42, dark, 30 + k)
    reflect(cv, hy, 7)
    glints(cv, 300, hy + 2, H - 40, 160, (255, 214, 160), 8, 80)
    cv.glow(bx - 9.5, hy + 14, 6, (255, 180, 90), 0.25)
    # reeds in the foreground
    shore = [(-2, H + 1)]
    for x in range(-2, 130, 2):
        shore.append((x, H - 16 - 10 * math.exp(-((x - 10) / 60.0) ** 2) - 2 * fbm1(x / 9.0, 4)))
    shore.append((130, H + 1))
    cv.poly(shore, hexc("0e0c18"))
    reeds(cv, 0, 120, H - 12, 60, hexc("0e0c18"), 12, 45)
    reeds(cv, 420, 482, H, 40, hexc("0e0c18"), 13, 25)
    vignette(cv, 0.3)
    return cv


def bezier(p0, p1, p2, p3, t):
    u = 1 - t
    return (u ** 3 * p0[0] + 3 * u * u * t * p1[0] + 3 * u * t * t * p2[0] + t ** 3 * p3[0],
            u ** 3 * p0[1] + 3 * u * u * t * p1[1] + 3 * u * t * t * p2[1] + t ** 3 * p3[1])


def path_poly(ctrl, w_near, w_far, n=40):
    """A road seen in perspective along a Bezier centre line (near end first)."""
    left = []
    right = []
    for k in range(n + 1):
        t = k / n
        x, y = bezier(*ctrl, t)
        w = w_near + (w_far - w_near) * t ** 0.7
        left.append((x - w / 2, y))
        right.append((x + w / 2, y))
    return left + list(reversed(right))


def tree_row(cv, seed, count, x0, x1, base, hmin, hmax, color, gap=None, wscale=0.36):
    rng = Rng(seed)
    for k in range(count):
        x = x0 + (x1 - x0) * (k + rng.uniform(0.1, 0.9)) / count
        if gap and gap[0] < x < gap[1]:
            continue
        h = rng.uniform(hmin, hmax)
        cedar(cv, x, base + rng.uniform(-3, 3), h, h * wscale * rng.uniform(0.8, 1.15), color,
              seed * 100 + k, tiers=int(rng.uniform(6, 10)))


def scene_forest():
    """Dusk on the cedar road, stone lanterns lit along the way."""
    W, H = 482, 297
    cv = Canvas(W, H)
    cv.vgradient([(0.0, hexc("3b3566")), (0.35, hexc("8c5a7c")), (0.7, hexc("e58f6c")),
                  (1.0, hexc("ffd49a"))], 0, 180)
    cv.glow(250, 170, 70, (255, 210, 150), 0.5)
    clouds(cv, 61, 30, 110, 80.0, 10.0, 0.55, (255, 190, 160), (130, 80, 120), 0.7,
           light_from=(250, 170, 200, (255, 215, 170)))
    far_hills = ridge(W, 175, 30, 1 / 110.0, 61, 200, sharp=0.3)
    cv.poly(far_hills, hexc("b07a8c"))
    tree_row(cv, 2, 34, -10, W + 10, 182, 40, 70, hexc("9c6e86"), gap=(225, 275))
    mist(cv, 176, 8, (255, 200, 170), 0.45, 62)
    # ground
    cv.poly([(-2, 178), (W + 2, 178), (W + 2, H + 1), (-2, H + 1)],
            lambda x, y: mix(hexc("6a4a5a"), hexc("211822"), clamp((y - 178) / 110.0)))
    tree_row(cv, 3, 22, -20, W + 20, 196, 80, 125, hexc("6a4862"), gap=(205, 300))
    mist(cv, 192, 7, (240, 170, 160), 0.35, 63)
    # the road, winding up to the light
    road = path_poly([(260, H + 4), (150, 250), (300, 210), (250, 178)], 190, 6)
    cv.poly(road, lambda x, y: mix(hexc("e2ab86"), hexc("5b3f46"), clamp((y - 178) / 120.0) ** 0.7))
    rng = Rng(64)
    for _ in range(140):                     # gravel on the road
        t = rng.next()
        x, y = bezier((260, H + 4), (150, 250), (300, 210), (250, 178), t)
        w = (190 + (6 - 190) * t ** 0.7) * 0.9
        px = x + (rng.next() - 0.5) * w
        cv.disc(px, y, 0.5 + 1.2 * (1 - t), hexc("3a2a30"), 0.35)
    tree_row(cv, 4, 8, -40, W + 40, 232, 170, 240, hexc("2c2036"), gap=(120, 380), wscale=0.4)
    mist(cv, 232, 6, (200, 140, 150), 0.2, 65)
    # stone lanterns, near ones larger
    stone = hexc("2a2030")
    lamp = hexc("ffcc7a")
    for x, base, h in ((222, 190, 16), (283, 193, 15), (196, 206, 24),
                       (330, 213, 28), (100, 252, 58), (392, 262, 66)):
        toro(cv, x, base, h, stone, lamp)
    # big trunks framing the view
    for x0, w, seed in ((-8, 34, 71), (452, 40, 72), (30, 14, 73)):
        cv.poly([(x0, H + 1), (x0 + w, H + 1), (x0 + w * 0.86, -1), (x0 + w * 0.14, -1)],
                lambda x, y, x0=x0, w=w: mix(hexc("1e1521"), hexc("120c15"),
                                             clamp(abs(x - x0 - w / 2) / (w / 2))))
    rng = Rng(75)
    for _ in range(14):                      # fireflies
        x = rng.uniform(60, 420)
        y = rng.uniform(160, 270)
        cv.glow(x, y, 2.4, (220, 255, 140), 0.5, reach=2.5)
        cv.screen(int(x), int(y), (240, 255, 190), 0.8)
    vignette(cv, 0.35)
    return cv


def hedge(cv, seed, x0, x1, base, height, color, top_color=None):
    """A clipped shrub hedge with a rounded, lumpy top."""
    pts = [(x0, base)]
    for k in range(int(x1 - x0) // 2 + 1):
        x = x0 + k * 2
        lump = abs(math.sin((x - x0) / 11.0 + noise1(x / 30.0, seed) * 3))
        pts.append((x, base - height * (0.72 + 0.28 * lump)))
    pts.append((x1, base))
    if top_color:
        cv.poly(pts, lambda x, y: mix(top_color, color, clamp((y - (base - height)) / (height * 0.6))))
    else:
        cv.poly(pts, color)


def gravel(cv, x0, y0, x1, y1, seed, amount):
    for y in range(y0, y1):
        for x in range(x0, x1):
            f = 1 + amount * (_hash(x, y, seed) - 0.5) + amount * (fbm2(x / 6.0, y / 3.0, seed, 2) - 0.5)
            c = cv.get(x, y)
            cv.put(x, y, (c[0] * f, c[1] * f, c[2] * f))


def scene_shrine():
    """The shrine at the top of the steps, seen through its torii at sunset."""
    W, H = 482, 297
    cv = Canvas(W, H)
    cv.vgradient([(0.0, hexc("3d3a70")), (0.35, hexc("9a5a78")), (0.7, hexc("ee946a")),
                  (1.0, hexc("ffd998"))], 0, 196)
    cv.glow(300, 170, 60, (255, 220, 160), 0.6)
    clouds(cv, 81, 20, 120, 110.0, 12.0, 0.55, (255, 196, 150), (140, 84, 118), 0.75,
           light_from=(300, 170, 220, (255, 220, 170)))
    cv.poly(ridge(W, 186, 40, 1 / 120.0, 82, 200, sharp=0.5), hexc("a0708a"))
    mist(cv, 182, 7, (255, 205, 170), 0.4, 83)
    grove = hexc("3c2838")
    tree_row(cv, 84, 12, -10, 150, 196, 70, 120, grove)
    tree_row(cv, 85, 12, 332, W + 10, 196, 70, 120, grove)
    # courtyard and the stone approach
    cv.poly([(-2, 190), (W + 2, 190), (W + 2, H + 1), (-2, H + 1)],
            lambda x, y: mix(hexc("a98079"), hexc("3f2a33"), clamp((y - 190) / 100.0)))
    gravel(cv, 0, 190, W, H, 88, 0.16)
    hall(cv, 241, 192, 190, 88, hexc("5a2e2a"), hexc("2c2c36"), trim=hexc("3a1e1e"),
         doors=hexc("f2b878"), door_glow=0.25)
    cv.rect(226, 186, 256, 193, hexc("3a1e1e"))           # offering box
    sando = [(150, H + 1), (332, H + 1), (262, 193), (220, 193)]
    cv.poly(sando, lambda x, y: mix(hexc("f0c4a0"), hexc("7a5a5c"), clamp((y - 193) / 104.0) ** 0.8))
    y = 193.0
    step = 3.0
    while y < H:                                 # joints between the paving stones
        t = (y - 193) / (H - 193)
        xl = 220 + (150 - 220) * t
        xr = 262 + (332 - 262) * t
        cv.line(xl, y, xr, y, 0.6 + 0.8 * t, hexc("5e4248"), 0.55)
        y += step
        step *= 1.22
    stone = hexc("2e2230")
    lamp = hexc("ffcf80")
    toro(cv, 200, 204, 22, stone, lamp)
    toro(cv, 284, 204, 22, stone, lamp)
    toro(cv, 120, 246, 50, stone, lamp)
    toro(cv, 362, 246, 50, stone, lamp)
    hedge(cv, 86, -4, 176, 214, 14, hexc("2a1c28"), hexc("5a3a48"))
    hedge(cv, 87, 306, W + 4, 214, 14, hexc("2a1c28"), hexc("5a3a48"))

    def verm(x, y):
        t = clamp((y - 40) / 230.0)
        rim = clamp(1 - abs(x - 241) / 140.0) * 0.25
        return mix(mix(hexc("d8472c"), hexc("8a2418"), t), (255, 160, 110), rim)
    torii(cv, 241, 266, 218, verm, top=hexc("241616"), foot=hexc("1c1212"))
    # the last steps up, in the foreground
    for k, (y0, y1) in enumerate(((266, 276), (276, 287), (287, 298))):
        cv.rect(-2, y0, W + 2, y0 + 2.2, mix(hexc("d8a890"), hexc("8a6464"), k / 3))
        cv.rect(-2, y0 + 2.2, W + 2, y1, mix(hexc("5a3c44"), hexc("2c1e26"), k / 3))
    vignette(cv, 0.35)
    return cv


def pool(cv, cx, cy, rx, ry, color, strength):
    """An elliptic pool of lamplight on the ground."""
    for y in range(int(cy - ry * 2), int(cy + ry * 2) + 1):
        for x in range(int(cx - rx * 2), int(cx + rx * 2) + 1):
            d2 = ((x - cx) / rx) ** 2 + ((y - cy) / ry) ** 2
            a = strength * math.exp(-d2)
            if a > 0.004:
                cv.screen(x, y, color, a)


def scene_night():
    """The shrine at night: lanterns lit, the moon hidden behind clouds."""
    W, H = 482, 297
    cv = Canvas(W, H)
    cv.vgradient([(0.0, hexc("070a1c")), (0.5, hexc("141c40")), (1.0, hexc("2c3868"))], 0, 214)
    stars(cv, 320, 91, 200, lambda x, y: clamp(1 - y / 220.0) ** 0.6)
    cv.glow(372, 44, 26, (200, 210, 255), 0.55, reach=4)
    clouds(cv, 92, -10, 150, 70.0, 16.0, 0.5, (150, 160, 200), hexc("141a34"), 0.97,
           light_from=(372, 44, 120, (210, 220, 250)))
    cv.poly(ridge(W, 206, 34, 1 / 100.0, 93, 220, sharp=0.5), hexc("1a2040"))
    grove = hexc("161c3a")
    tree_row(cv, 94, 26, -10, W + 10, 216, 80, 150, grove, gap=(150, 370))
    tree_row(cv, 95, 6, 160, 360, 214, 110, 130, grove)
    cv.poly([(-2, 212), (W + 2, 212), (W + 2, H + 1), (-2, H + 1)],
            lambda x, y: mix(hexc("242a4c"), hexc("0b0c18"), clamp((y - 212) / 85.0)))
    gravel(cv, 0, 212, W, H, 96, 0.2)
    hall(cv, 262, 214, 236, 104, hexc("2a1f30"), hexc("141626"), trim=hexc("1a1220"),
         doors=hexc("e8a060"), door_glow=0.3)
    pool(cv, 262, 226, 110, 12, (255, 170, 90), 0.35)
    # hanging lanterns along the eaves
    for k in range(6):
        x = 170 + k * 37
        cv.line(x, 168, x, 176, 1.0, hexc("141626"))
        chochin(cv, x, 186, 7, 9, (236, 96, 48), hexc("1a1010"), 0.45)
    stone = hexc("161424")
    lamp = hexc("ffc070")
    for x, base, h in ((150, 246, 44), (392, 250, 48)):
        pool(cv, x, base + 2, 42, 8, (255, 170, 90), 0.4)
        toro(cv, x, base, h, stone, lamp)
        cv.glow(x, base - 0.68 * h, h * 0.5, (255, 150, 70), 0.3)
    torii(cv, 62, 240, 128, hexc("05060f"))
    hedge(cv, 97, 300, W + 4, 262, 16, hexc("0c0e1c"), hexc("1e2440"))
    rng = Rng(98)
    for _ in range(26):                      # fireflies
        x = rng.uniform(10, 470)
        y = rng.uniform(190, 290)
        cv.glow(x, y, rng.uniform(1.6, 3.2), (200, 255, 120), 0.55, reach=2.5)
        cv.screen(int(x), int(y), (230, 255, 180), 0.9)
    vignette(cv, 0.4)
    return cv


def pine_bough(cv, seed, color):
    """A pine branch reaching in from the lower left, needles in fans."""
    rng = Rng(seed)
    pts = [(-10, 178), (40, 160), (90, 150), (130, 136)]
    for k in range(len(pts) - 1):
        cv.line(pts[k][0], pts[k][1], pts[k + 1][0], pts[k + 1][1], 6 - k * 1.5, color)
    cv.line(60, 156, 88, 176, 3, color)
    cv.line(90, 150, 110, 120, 2.5, color)
    for cx, cy, r in ((130, 136, 18), (112, 118, 15), (88, 178, 16), (60, 152, 17),
                      (25, 170, 18), (150, 144, 13), (100, 140, 13), (42, 182, 14)):
        for k in range(48):
            a = math.pi * (0.8 + 1.4 * k / 47) + rng.uniform(-0.06, 0.06)
            ln = r * rng.uniform(0.55, 1.0)
            down = math.sin(a) > 0
            ln *= 0.6 if down else 1.0
            cv.line(cx, cy, cx + math.cos(a) * ln, cy + math.sin(a) * ln * 0.75, 0.9, color)
        cv.disc(cx, cy, 2.5, color)


def scene_moon():
    """The moon breaking through the clouds; a smaller picture (300 x 200)."""
    W, H = 300, 200
    cv = Canvas(W, H)
    cv.vgradient([(0.0, hexc("050818")), (0.6, hexc("16204a")), (1.0, hexc("2a3a70"))])
    stars(cv, 110, 101, H, lambda x, y: 0.9)
    full_moon(cv, 186, 82, 44, 102)
    clouds(cv, 103, 100, 210, 60.0, 14.0, 0.5, (200, 206, 235), hexc("1a2246"), 0.95,
           light_from=(186, 82, 140, (235, 236, 250)))
    clouds(cv, 104, -20, 40, 70.0, 10.0, 0.55, (170, 180, 220), hexc("121a3a"), 0.8,
           light_from=(186, 82, 120, (220, 225, 250)))
    pine_bough(cv, 105, hexc("04050c"))
    vignette(cv, 0.3)
    return cv


def scene_dawn():
    """Morning over the mountains: the ending picture."""
    W, H = 482, 297
    cv = Canvas(W, H)
    cv.vgradient([(0.0, hexc("6e7fb4")), (0.35, hexc("b8a4c4")), (0.62, hexc("f2c0b0")),
                  (0.85, hexc("ffdcae")), (1.0, hexc("fff0c8"))], 0, 200)
    sun = (318, ridge_y(318, 150, 54, 1 / 170.0, 112, 0.55) - 3)
    cv.glow(sun[0], sun[1], 90, (255, 220, 160), 0.55)
    cv.disc(sun[0], sun[1], 15, (255, 250, 228))
    cv.glow(sun[0], sun[1], 22, (255, 246, 210), 0.7)
    clouds(cv, 111, 40, 130, 120.0, 7.0, 0.57, (255, 236, 214), (178, 150, 178), 0.8,
           light_from=(sun[0], sun[1], 200, (255, 240, 200)))
    layers = ((150, 54, 1 / 170.0, hexc("b8a6c0"), hexc("e8c8c0")),
              (178, 50, 1 / 130.0, hexc("8d86ae"), hexc("c8b4c4")),
              (210, 46, 1 / 105.0, hexc("66638e"), hexc("a396b4")),
              (246, 50, 1 / 90.0, hexc("45446e"), hexc("7d7398")),
              (286, 46, 1 / 80.0, hexc("2a2a4a"), hexc("544c70")))
    for k, (base, amp, freq, top, low) in enumerate(layers):
        cv.poly(ridge(W, base, amp, freq, 112 + k, H + 2, sharp=0.55, x_off=k * 300),
                lambda x, y, base=base, amp=amp, top=top, low=low:
                mix(top, low, clamp((y - (base - amp)) / (amp + 30.0))))
        mist(cv, base + 4, 8 + k * 2, (255, 236, 226), 0.5 - k * 0.06, 120 + k)
        if k == 3:
            # a small torii on the near ridge, greeting the sun
            tx = max(range(40, 200), key=lambda x: -ridge_y(x, base, amp, freq, 112 + k, 0.55, k * 300))
            ty = ridge_y(tx, base, amp, freq, 112 + k, 0.55, k * 300)
            torii(cv, tx, ty + 2, 22, hexc("b8402c"), top=hexc("3a2424"))
    for x, y, s in ((150, 70, 5), (166, 62, 4), (178, 76, 3.5), (396, 48, 4), (410, 56, 3)):
        bird(cv, x, y, s, hexc("4a4060"))
    vignette(cv, 0.2)
    return cv


# --------------------------------------------------------------------------
# The demo's frame, choice box, cursor; the player's icon

SCENE_BOX = (79, 27, 561, 324)     # where the player puts its scene picture
TEXT_BOX = (64, 340, 576, 405)     # the black text box


def seigaiha(x, y, R):
    """Distance (in px) to the nearest arc of the wave pattern."""
    best = None
    j0 = int(math.floor(y / (R / 2.0)))
    for j in range(j0, j0 + 4):
        cy = j * R / 2.0
        off = (j % 2) * R
        cx = round((x - off) / (2.0 * R)) * 2 * R + off
        d = math.hypot(x - cx, y - cy)
        if d < R:
            best = d           # later (lower) rows are in front
    if best is None:
        return 99.0
    step = R / 4.0
    return abs(best - round(best / step) * step)


def frame(cv, box, widths, colors):
    """Concentric bands outside box, from the inside out."""
    x0, y0, x1, y1 = box
    edge = 0.0
    for w, c in zip(widths, colors):
        o = edge + w
        for a, b in (((x0 - o, y0 - o), (x1 + o, y0 - edge)),
                     ((x0 - o, y1 + edge), (x1 + o, y1 + o)),
                     ((x0 - o, y0 - edge), (x0 - edge, y1 + edge)),
                     ((x1 + edge, y0 - edge), (x1 + o, y1 + edge))):
            cv.rect(a[0], a[1], b[0], b[1], c)
        edge = o
    return edge


def sakura_mon(cv, cx, cy, R, gold, ground):
    cv.disc(cx, cy, R + 4, gold)
    cv.disc(cx, cy, R + 2.4, ground)
    for k in range(5):
        a = -math.pi / 2 + k * 2 * math.pi / 5
        pts = []
        for q in range(32):
            t = 2 * math.pi * q / 32
            px = 0.52 * R + math.cos(t) * 0.46 * R
            py = math.sin(t) * 0.3 * R
            pts.append((cx + px * math.cos(a) - py * math.sin(a),
                        cy + px * math.sin(a) + py * math.cos(a)))
        cv.poly(pts, gold)
        tip = (cx + 0.98 * R * math.cos(a), cy + 0.98 * R * math.sin(a))
        nx, ny = -math.sin(a), math.cos(a)
        inner = (cx + 0.8 * R * math.cos(a), cy + 0.8 * R * math.sin(a))
        cv.poly([(tip[0] + nx * 0.12 * R + math.cos(a) * 2, tip[1] + ny * 0.12 * R + math.sin(a) * 2),
                 inner,
                 (tip[0] - nx * 0.12 * R + math.cos(a) * 2, tip[1] - ny * 0.12 * R + math.sin(a) * 2)],
                ground)
    cv.disc(cx, cy, R * 0.16, ground)
    for k in range(5):
        a = -math.pi / 2 + (k + 0.5) * 2 * math.pi / 5
        cv.disc(cx + math.cos(a) * R * 0.2, cy + math.sin(a) * R * 0.2, R * 0.045, gold)


def corner_knots(cv, box, out, gold, dark, top=True, bottom=True):
    x0, y0, x1, y1 = box
    corners = []
    if top:
        corners += [(x0 - out / 2, y0 - out / 2), (x1 + out / 2, y0 - out / 2)]
    if bottom:
        corners += [(x0 - out / 2, y1 + out / 2), (x1 + out / 2, y1 + out / 2)]
    for cx, cy in corners:
        s = out * 0.95
        cv.rect(cx - s, cy - s, cx + s, cy + s, dark)
        cv.rect(cx - s + 1.2, cy - s + 1.2, cx + s - 1.2, cy + s - 1.2, gold)
        d = s * 0.62
        cv.poly([(cx, cy - d), (cx + d, cy), (cx, cy + d), (cx - d, cy)], dark)
        cv.disc(cx, cy, s * 0.22, gold)


def back_picture():
    """The window background: wave-patterned indigo with lacquer frames."""
    W, H = 632, 425
    cv = Canvas(W, H)
    ground_top = hexc("1d2448")
    ground_low = hexc("10142c")
    line_col = hexc("34406e")

    def fill(x, y):
        base = mix(ground_top, ground_low, y / H)
        a = clamp(1 - seigaiha(x + 0.5, y + 0.5, 18.0) / 0.9) * 0.7
        return mix(base, line_col, a)
    cv.fill_fn(fill)
    gold = hexc("d8b06a")
    dark = hexc("140a0c")
    red = hexc("a8321f")
    # the scene window: a dark, finely hatched panel for pictures smaller than it
    sx0, sy0, sx1, sy1 = SCENE_BOX
    cv.fill_fn(lambda x, y: hexc("1a1626") if (x + y) % 6 == 0 else hexc("0e0c16"),
               sx0, sy0, sx1, sy1)
    out = frame(cv, SCENE_BOX, (1, 1.2, 3, 1.2, 1.6), (dark, gold, red, gold, dark))
    corner_knots(cv, SCENE_BOX, out, gold, dark, bottom=False)
    cv.fill_fn(lambda x, y: (0, 0, 0), *TEXT_BOX)
    out2 = frame(cv, TEXT_BOX, (1, 1.2, 2.6, 1.2, 1.4), (dark, gold, red, gold, dark))
    corner_knots(cv, TEXT_BOX, out2, gold, dark, top=False)
    # crests in the side margins
    ground = hexc("161b38")
    for cx in (sx0 / 2 - 2, (sx1 + W) / 2 + 2):
        sakura_mon(cv, cx, (sy0 + sy1) / 2 + 20, 19, gold, ground)
        for k in range(6):           # a cord of beads above and below the crest
            for s in (-1, 1):
                y = (sy0 + sy1) / 2 + 20 + s * (34 + k * 9)
                cv.disc(cx, y, 2.2 if k % 3 else 3.0, gold if k % 3 else red)
    # soft shadow of the frames onto the pattern
    vignette(cv, 0.25)
    return cv


def choice_picture():
    """The choice box: washi paper with a thin double border."""
    W, H = 160, 101
    cv = Canvas(W, H)

    def paper(x, y):
        n = fbm2(x / 9.0, y / 9.0, 131, 3)
        fib = fbm2(x / 2.0, y / 14.0, 132, 2)
        f = 0.94 + 0.06 * n + 0.05 * (fib - 0.5)
        edge = min(x, y, 151 - x, H - 1 - y)
        f *= 1 - 0.1 * clamp(1 - edge / 10.0) ** 2
        return (246 * f, 236 * f, 212 * f)
    cv.fill_fn(paper)
    rng = Rng(133)
    for _ in range(40):                     # long fibres in the paper
        x = rng.uniform(0, W)
        y = rng.uniform(0, H)
        a = rng.uniform(0, math.pi)
        ln = rng.uniform(4, 12)
        cv.line(x, y, x + math.cos(a) * ln, y + math.sin(a) * ln, 0.6,
                (255, 250, 236) if rng.next() < 0.6 else (214, 200, 170), 0.5)
    ink = hexc("7a2a20")
    # the right edge of this box runs under the window's edge: keep the frame
    # within the part that shows
    for inset, wdt in ((3.5, 1.4), (6.5, 0.7)):
        x0, y0, x1, y1 = inset, inset, 152 - inset, H - inset
        cv.rect(x0, y0, x1, y0 + wdt, ink)
        cv.rect(x0, y1 - wdt, x1, y1, ink)
        cv.rect(x0, y0, x0 + wdt, y1, ink)
        cv.rect(x1 - wdt, y0, x1, y1, ink)
    for cx, cy in ((5, 5), (147, 5), (5, H - 5), (147, H - 5)):
        cv.poly([(cx, cy - 3), (cx + 3, cy), (cx, cy + 3), (cx - 3, cy)], ink)
    return cv


def icon_pixels(draw, palette, size=32, ss=8):
    """Render draw(colour, alpha, ss) at ss times the size, then give each
    pixel the palette colour that most of its sub-pixels have: crisp pixel
    art with no stray in-between colours. Index 0 is left for transparency.
    Returns (index rows, mask rows with True = transparent)."""
    big = Canvas(size * ss, size * ss, (0, 0, 0))
    alpha = Canvas(size * ss, size * ss, (0, 0, 0))
    draw(big, alpha, ss)
    cache = {}

    def nearest(c):
        key = (int(c[0]) >> 2, int(c[1]) >> 2, int(c[2]) >> 2)
        if key not in cache:
            cache[key] = min(range(1, len(palette)), key=lambda k: (
                (palette[k][0] - c[0]) ** 2 * 0.3 + (palette[k][1] - c[1]) ** 2 * 0.59 +
                (palette[k][2] - c[2]) ** 2 * 0.11))
        return cache[key]
    idx = []
    mask = []
    for y in range(size):
        irow = []
        mrow = []
        for x in range(size):
            votes = {}
            opaque = 0
            for yy in range(y * ss, y * ss + ss):
                for xx in range(x * ss, x * ss + ss):
                    if alpha.get(xx, yy)[0] >= 128:
                        opaque += 1
                        k = nearest(big.get(xx, yy))
                        votes[k] = votes.get(k, 0) + 1
            if opaque * 2 < ss * ss:
                irow.append(0)
                mrow.append(True)
            else:
                irow.append(max(sorted(votes), key=lambda k: votes[k]))
                mrow.append(False)
        idx.append(irow)
        mask.append(mrow)
    return idx, mask


ICON_PALETTE = [hexc(c) for c in (
    "000000", "10142e", "1e2650", "34407a", "56609e", "fff4cc", "f0cc7a", "b08a48",
    "e6432a", "a82a1c", "641812", "2a1e22", "ffffff", "8a8aa6", "4a3e5a", "ff9a5a")]


def icon_art(cv, alpha, s):
    """The player's icon: a vermilion torii before a full moon, on night blue."""
    S = 32 * s

    def rounded(x, y, r):
        cx = min(max(x, r), S - r)
        cy = min(max(y, r), S - r)
        return math.hypot(x - cx, y - cy) <= r
    cv.fill_fn(lambda x, y: hexc("10142e") if y < 9 * s else hexc("1e2650"))
    alpha.fill_fn(lambda x, y: (255, 0, 0) if rounded(x + 0.5, y + 0.5, 5 * s) else (0, 0, 0))
    cv.disc(21.5 * s, 11.5 * s, 8.5 * s, hexc("f0cc7a"))
    cv.disc(21.5 * s, 11.5 * s, 7.2 * s, hexc("fff4cc"))
    cv.rect(0, 27 * s, S, S, hexc("2a1e22"))
    # the torii, drawn on the pixel grid so every beam stays whole
    red = hexc("e6432a")

    def px(x0, y0, x1, y1, c):
        cv.rect(x0 * s, y0 * s, x1 * s, y1 * s, c)
    px(3, 7, 6, 9, hexc("a82a1c"))
    px(24, 7, 27, 9, hexc("a82a1c"))
    px(5, 8, 25, 10, hexc("a82a1c"))
    px(6, 10, 24, 11, red)
    px(14, 11, 16, 14, red)
    px(4, 14, 26, 16, red)
    px(8, 11, 10, 28, red)
    px(20, 11, 22, 28, red)
    px(7, 25, 11, 28, hexc("2a1e22"))
    px(19, 25, 23, 28, hexc("2a1e22"))


ICON_SIZES = (16, 22, 24, 48, 64, 128, 256)


def icon_smooth(size):
    """The icon at any size, antialiased instead of snapped to palette pixels:
    rendered at several times the size, each pixel the alpha-weighted mean
    of its sub-pixels. Returns rows of (r, g, b, a)."""
    ss = max(2, -(-512 // size))
    big = Canvas(size * ss, size * ss, (0, 0, 0))
    alpha = Canvas(size * ss, size * ss, (0, 0, 0))
    icon_art(big, alpha, size * ss / 32)
    rows = []
    for y in range(size):
        row = []
        for x in range(size):
            r = g = b = a = 0.0
            for yy in range(y * ss, y * ss + ss):
                for xx in range(x * ss, x * ss + ss):
                    w = alpha.get(xx, yy)[0] / 255.0
                    c = big.get(xx, yy)
                    r += c[0] * w
                    g += c[1] * w
                    b += c[2] * w
                    a += w
            if a <= 0.0:
                row.append((0, 0, 0, 0))
            else:
                row.append((int(r / a + 0.5), int(g / a + 0.5), int(b / a + 0.5),
                            int(a * 255.0 / (ss * ss) + 0.5)))
        rows.append(row)
    return rows


def cursor_art(cv, alpha, s):
    """An arrow whose tip is the icon's centre, where the player puts the hot spot."""
    tip = (16 * s, 16 * s)
    shape = [(0, 0), (0, 14.5), (3.6, 11.3), (6.2, 16.8), (8.6, 15.7), (6.1, 10.3), (10.6, 10.3)]
    outer = [(tip[0] + x * s, tip[1] + y * s) for x, y in shape]
    alpha.poly(outer, (255, 0, 0))
    cv.poly(outer, hexc("1a0e0e"))
    inner = [(0.95, 2.4), (0.95, 12.1), (3.9, 9.5), (6.6, 15.3), (7.4, 14.9), (4.7, 9.3), (8.3, 9.3)]
    cv.poly([(tip[0] + x * s, tip[1] + y * s) for x, y in inner], hexc("fff6e0"))


CURSOR_PALETTE = [hexc(c) for c in (
    "000000", "1a0e0e", "fff6e0", "e6432a", "000000", "000000", "000000", "000000",
    "000000", "000000", "000000", "000000", "000000", "000000", "000000", "000000")]


# --------------------------------------------------------------------------
# Music: Standard MIDI Files, format 1

PPQ = 480


def vlq(n):
    out = [n & 0x7F]
    n >>= 7
    while n:
        out.append(0x80 | (n & 0x7F))
        n >>= 7
    return bytes(reversed(out))


class Track:
    def __init__(self, name, channel=0):
        self.ch = channel
        self.events = []          # (tick, order, bytes); note-offs sort first
        self.meta(0, 0x03, name.encode("ascii"))

    def add(self, beat, data, order=1):
        self.events.append((int(round(beat * PPQ)), order, bytes(data)))

    def meta(self, beat, kind, body):
        self.add(beat, bytes((0xFF, kind)) + vlq(len(body)) + body, order=0)

    def program(self, beat, prog):
        self.add(beat, (0xC0 | self.ch, prog), order=0)

    def cc(self, beat, num, val):
        self.add(beat, (0xB0 | self.ch, num, int(clamp(val, 0, 127))), order=0)

    def bend(self, beat, value):
        v = int(clamp(value, 0, 16383))
        self.add(beat, (0xE0 | self.ch, v & 0x7F, v >> 7), order=0)

    def note(self, beat, dur, pitch, vel):
        self.add(beat, (0x90 | self.ch, pitch, int(clamp(vel, 1, 127))), order=2)
        self.add(beat + dur, (0x80 | self.ch, pitch, 64), order=1)

    def encode(self, end_beat):
        end = int(round(end_beat * PPQ))
        data = bytearray()
        now = 0
        for tick, _, ev in sorted(self.events, key=lambda e: (e[0], e[1])):
            assert tick <= end, "event after the end of the piece"
            data += vlq(tick - now) + ev
            now = tick
        data += vlq(end - now) + b"\xFF\x2F\x00"
        return b"MTrk" + struct.pack(">I", len(data)) + bytes(data)


def smf(tracks, end_beat):
    out = b"MThd" + struct.pack(">IHHH", 6, 1, len(tracks), PPQ)
    for t in tracks:
        out += t.encode(end_beat)
    return out


def conductor(name, bpm, key_sf, minor=False):
    t = Track(name)
    t.meta(0, 0x51, struct.pack(">I", int(60000000 / bpm))[1:])
    t.meta(0, 0x58, bytes((4, 2, 24, 8)))
    t.meta(0, 0x59, struct.pack(">bB", key_sf, 1 if minor else 0))
    return t


def setup(track, prog, volume, pan, reverb, chorus=0):
    track.program(0, prog)
    track.cc(0, 7, volume)
    track.cc(0, 10, pan)
    track.cc(0, 91, reverb)
    track.cc(0, 93, chorus)
    track.cc(0, 11, 127)


def note_name(n):
    names = {"C": 0, "D": 2, "E": 4, "F": 5, "G": 7, "A": 9, "B": 11}
    pitch = names[n[0]]
    rest = n[1:]
    if rest.startswith("b"):
        pitch -= 1
        rest = rest[1:]
    elif rest.startswith("#"):
        pitch += 1
        rest = rest[1:]
    return pitch + 12 * (int(rest) + 1)


def melody(track, start, notes, vel, legato=0.95, accent=None):
    """notes: 'C5:1 A4:.5 r:1 ...' (note:beats). Returns the end beat."""
    beat = start
    for k, item in enumerate(notes.split()):
        name, dur = item.split(":")
        dur = float(dur)
        if name != "r":
            v = vel + (accent(k, beat) if accent else 0)
            track.note(beat, dur * legato, note_name(name), v)
        beat += dur
    return beat


def theme_music():
    """'Lantern Road': a gentle tune in F for piano and strings, 10 bars."""
    bpm = 72
    cond = conductor("Lantern Road", bpm, -1)
    rh = Track("Piano melody", 0)
    lh = Track("Piano accompaniment", 1)
    st = Track("Strings", 2)
    setup(rh, 0, 104, 58, 60)
    setup(lh, 0, 88, 70, 60)
    setup(st, 49, 74, 50, 80, 30)
    tune = [
        "C5:1 A4:.5 C5:.5 D5:1.5 C5:.5",
        "A4:1.5 G4:.5 F4:2",
        "D5:1 F5:1 D5:1 C5:1",
        "A4:1 G4:1 C5:2",
        "C5:1 A4:.5 C5:.5 F5:1.5 E5:.5",
        "D5:1 C5:1 A4:2",
        "F4:1 G4:1 A4:1 C5:1",
        "D5:2 C5:1 A4:1",
        "D5:1 C5:1 G4:1.5 A4:.5",
        "F4:3 r:1",
    ]

    def lilt(k, beat):
        return 8 if beat % 4 == 0 else (-6 if beat % 1 else 0)
    for bar, line in enumerate(tune):
        melody(rh, bar * 4, line, 74, 0.92, lilt)
    # chords: (bar, beats, bass note, quality)
    chords = [(0, 4, "F2", "maj"), (1, 4, "D2", "min"), (2, 4, "Bb1", "maj"), (3, 4, "C2", "maj"),
              (4, 4, "F2", "maj"), (5, 4, "A1", "min"), (6, 2, "Bb1", "maj"), (6.5, 2, "C2", "maj"),
              (7, 4, "D2", "min"), (8, 2, "Bb1", "maj"), (8.5, 2, "C2", "sus"), (9, 3, "F2", "maj")]
    voicing = {"F2": ("F3", "A3", "C4"), "D2": ("F3", "A3", "D4"), "Bb1": ("F3", "Bb3", "D4"),
               "C2": ("E3", "G3", "C4"), "A1": ("E3", "A3", "C4")}
    for bar, beats, bass, quality in chords:
        b0 = bar * 4
        root = note_name(bass)
        third = 3 if quality == "min" else 5 if quality == "sus" else 4
        if bar == 9:
            # the close: a rolled tonic chord, let ring
            for k, p in enumerate((root, root + 7, root + 12, root + 16, root + 19)):
                lh.note(b0 + k * 0.12, 3.4 - k * 0.12, p, 58 - k * 3)
        else:
            pattern = [root, root + 7, root + 12, root + 12 + third,
                       root + 19, root + 12 + third, root + 12, root + 7]
            for k in range(int(beats * 2)):
                lh.note(b0 + k * 0.5, 0.9, pattern[k % 8], 52 if k % 4 == 0 else 42)
        lh.cc(b0, 64, 0)
        lh.cc(b0 + 0.05, 64, 110)
        pitches = voicing[bass]
        if quality == "sus":
            pitches = ("F3", "G3", "C4")
        for p in pitches:
            st.note(b0, beats - (0.6 if bar == 9 else 0.02), note_name(p), 46 if bar < 9 else 40)
    for k in range(10):       # a gentle swell in every bar, fading at the close
        b0 = k * 4
        top = 112 if k < 9 else 96
        for q in range(8):
            st.cc(b0 + q * 0.5, 11, top - 18 + 18 * math.sin(math.pi * q / 8))
    for q in range(7):
        st.cc(36 + q * 0.5, 11, 96 - q * 14)
    lh.cc(39.9, 64, 0)
    return smf([cond, rh, lh, st], 40)


def night_music():
    """'Night at the Shrine': koto and shakuhachi in the in scale, slow, 8 bars."""
    bpm = 58
    cond = conductor("Night at the Shrine", bpm, 0, True)
    koto = Track("Koto", 0)
    fue = Track("Shakuhachi", 1)
    pad = Track("Night air", 2)
    bell = Track("Temple chime", 3)
    setup(koto, 107, 100, 44, 70)
    setup(fue, 77, 92, 80, 90)
    setup(pad, 89, 62, 64, 90, 40)
    setup(bell, 112, 54, 90, 100)
    # koto: eighth-note figures; '.' holds
    figures = [
        "E3 . B3 E4 F4 . E4 .",
        "F3 . A3 C4 B3 . A3 .",
        "E3 . B3 E4 A4 . F4 E4",
        "A3 . F3 E3 B3 . . .",
        "E3 . B3 E4 F4 . E4 .",
        "F3 . C4 F4 E4 . C4 B3",
        "A3 . E4 A4 B4 . A4 F4",
        None,
    ]
    for bar, fig in enumerate(figures):
        b0 = bar * 4
        if fig is None:
            # the close: a falling sweep, then the low open strings
            sweep = ["E5", "C5", "B4", "A4", "F4", "E4", "C4", "B3"]
            for k, n in enumerate(sweep):
                koto.note(b0 + k * 0.125, 1.2, note_name(n), 70 - k * 3)
            koto.note(b0 + 1.25, 2.6, note_name("E3"), 72)
            koto.note(b0 + 1.25, 2.6, note_name("B3"), 62)
            continue
        items = fig.split()
        for k, n in enumerate(items):
            if n == ".":
                continue
            hold = 1
            while k + hold < len(items) and items[k + hold] == ".":
                hold += 1
            koto.note(b0 + k * 0.5, hold * 0.5 + 0.4, note_name(n), 76 if k == 0 else 62)
    # shakuhachi: long breaths with a slight bend up into each note
    breaths = [
        (4, "B4:2 A4:1 F4:1"),
        (8, "E4:3 F4:1"),
        (12, "A4:2 B4:1 C5:1"),
        (16, "B4:3 A4:1"),
        (20, "F4:2 E4:2"),
        (24, "C5:1 B4:1 A4:1 F4:1"),
        (28, "E4:3.2"),
    ]
    for start, line in breaths:
        beat = start
        for item in line.split():
            name, dur = item.split(":")
            dur = float(dur)
            p = note_name(name)
            fue.bend(beat, 8192 - 900)
            for q in range(1, 5):
                fue.bend(beat + q * 0.06, 8192 - 900 + 225 * q)
            fue.note(beat, dur * 0.96, p, 72)
            steps = max(2, int(dur * 4))
            for q in range(steps + 1):
                t = q / steps
                fue.cc(beat + t * dur * 0.96, 11, 70 + 50 * math.sin(math.pi * min(1.0, t * 1.3)) ** 0.8)
            beat += dur
    fue.bend(31.8, 8192)
    # the night air: a low drone that shifts once
    for b0, beats, notes in ((0, 8, ("E2", "B2")), (8, 4, ("F2", "C3")), (12, 8, ("E2", "B2")),
                             (20, 4, ("F2", "A2")), (24, 4, ("A2", "E3")), (28, 3.6, ("E2", "B2"))):
        for n in notes:
            pad.note(b0, beats - 0.05, note_name(n), 48)
    for q in range(8):
        pad.cc(28 + q * 0.5, 11, 120 - q * 13)
    for b0 in (0, 16, 29.25):
        bell.note(b0, 2, note_name("E6"), 46)
        bell.note(b0 + 0.5, 2, note_name("B6"), 36)
    return smf([cond, koto, fue, pad, bell], 32)


# --------------------------------------------------------------------------
# The demo script. Saved in code page 932 with CR LF line ends (jumps find
# their marker lines only by carriage returns).
#
# How it keeps to the interpreter's rules:
# - A chosen branch is played in branch mode, where the branch table and the
#   main table take turns. Every branch here is either one page, or starts
#   with a set command (which begins a fresh cycle, so the page after it is
#   again taken by the branch table); the page therefore leaves the menu's
#   option count alone, and the branch's "}" skips the branches behind it.
# - The walk-again branch shows a picture (branch table), starts the music
#   (main table), then sets two flags, each of which begins a fresh cycle.
# - "New" ends any choice under way but keeps the flags, so the script
#   clears its flags first.
# - Labels and loose text hold no command characters.

SCRIPT = r"""-A1--A2--A3--B1--C1-
[theme.mid]
<forest.bmp>
"THE LANTERN ROAD   灯籠の道\A short story for the VORN player.\Click this box to read on.   クリックで次へ。"
"Dusk. A traveller walks a forest road between tall cedars,
a paper lantern swinging in one hand.
夕暮れ。旅人がひとり、提灯を手に杉の森をゆく。"
*walk*
-A1--A2--A3--B1-
<shrine.bmp>
!C1! "At the top of a long flight of stone steps stands\a red torii, and behind it a small, quiet shrine.\長い石段の上に、赤い鳥居と小さな社があった。"
=C1= "Once more you climb the stone steps to the red torii.\The shrine waits for you, just as before.\もう一度、石段を上る。社は変わらずそこにあった。"
"表参道の灯籠に、ひとつずつ灯がともる。\社の前では、ロウソクの火が風にゆれている。\(Along the approach the lanterns light one by one,\ and a candle flickers before the shrine.)"
"Before the offering box hangs a thick bell rope.\What will you do?\賽銭箱の前に、鈴の緒が下がっている。どうしよう？"
(3 鈴 Ring bell,賽銭 Offer coin,休む Just rest)
{~A1~"You pull the rope. The bell rings out, clear and bright,\and its voice rolls away over the darkening hills.\鈴を鳴らすと、澄んだ音が山々に響いていった。"}
{~A2~"You drop a coin into the box, bow twice and clap twice.\Somewhere in the grass, something small rustles.\賽銭を入れて二礼二拍手。草むらで何かが動いた。"}
{~A3~"You sit down on the cool stone steps and close your eyes.\The cicadas sing, and the day slips quietly away.\石段に腰を下ろし、そっと目を閉じる。"}
[night.mid]
<night.bmp>
"Night comes down over the shrine, and the lanterns glow.\夜が社をつつみ、灯籠の明かりがあたたかい。"
=A1= <pictures/Moon.bmp>
=A1= "The bell's voice seems to have parted the clouds:\a great round moon looks down on the shrine.\鈴の音に雲が晴れ、大きな月が顔を出した。"
!A1! "Clouds cover the sky, and the night stays dark.\Only the lanterns light your way.\空は雲におおわれ、灯籠だけが道を照らす。"
=A2= "A small white fox sits by the offering box, watching you.\It bows its head, then slips away into the dark.\白い狐が一匹こちらを見て、闇に消えた。"
=A3= "In your short sleep you dreamed of home,\and you woke with a light heart.\うたた寝の夢に、ふるさとを見た。"
"The night is long. Will you walk the lantern road again,\or rest here until morning?\もう一度歩こうか。それとも朝まで休もうか。"
(2 再び Walk again,休む Rest here)
{<forest.bmp>[theme.mid]~B1~~C1~"You take up your lantern and go back down the steps,\into the cedar forest once more.\提灯を手に、もう一度森の道へ。"}
{"You spread your cloak beneath the torii and lie down.\The lanterns keep watch while you sleep.\鳥居の下にマントを広げて、横になる。"}
=B1= >walk<
[theme.mid]
<dawn.bmp>
!C1! >once<
"Morning. You have walked the lantern road more than once,\and each time the shrine showed you something new.\朝。何度も歩いた道が、今はなつかしい。"
>end<
*once*
"Morning comes, gold over the hills.\You shoulder your pack and go on your way.\朝が来た。旅人はまた歩き出す。"
*end*
"THE END   おわり\Thank you for playing. Right click the frame for New or Quit.\遊んでくれて、ありがとう。"
"""


def script_bytes():
    data = SCRIPT.replace("\n", "\r\n").encode("cp932")
    # the demo must show a double-byte character whose second byte is "\"
    assert any(0x5C in ch.encode("cp932")[1:] for ch in SCRIPT if ord(ch) > 127)
    return data


# --------------------------------------------------------------------------


def write(root, rel, data):
    path = os.path.join(root, *rel.split("/"))
    os.makedirs(os.path.dirname(path), exist_ok=True)
    with open(path, "wb") as f:
        f.write(data)
    print("wrote", rel, len(data), "bytes")


def main():
    root = sys.argv[1] if len(sys.argv) > 1 else os.path.dirname(
        os.path.dirname(os.path.abspath(__file__)))
    write(root, "assets/scene.bmp", bmp24(scene_builtin()))
    idx, mask = icon_pixels(icon_art, ICON_PALETTE)
    write(root, "assets/vorn.ico", ico4(ICON_PALETTE, idx, mask))
    rgba = [[(0, 0, 0, 0) if m else ICON_PALETTE[i] + (255,) for i, m in zip(ir, mr)]
            for ir, mr in zip(idx, mask)]
    write(root, "assets/vorn.png", png_rgba(32, 32, rgba))
    for size in ICON_SIZES:
        write(root, "assets/icons/vorn-%d.png" % size, png_rgba(size, size, icon_smooth(size)))
    demo = "examples/demo/"
    write(root, demo + "back.bmp", bmp24(back_picture()))
    write(root, demo + "text.bmp", bmp24(choice_picture()))
    idx, mask = icon_pixels(cursor_art, CURSOR_PALETTE[:3])
    write(root, demo + "mouse.ico", ico4(CURSOR_PALETTE, idx, mask))
    write(root, demo + "forest.bmp", bmp24(scene_forest()))
    write(root, demo + "shrine.bmp", bmp24(scene_shrine()))
    write(root, demo + "night.bmp", bmp24(scene_night()))
    write(root, demo + "dawn.bmp", bmp24(scene_dawn()))
    # in a folder of its own, and of another size than the other scenes
    write(root, demo + "pictures/Moon.bmp", bmp24(scene_moon()))
    write(root, demo + "theme.mid", theme_music())
    write(root, demo + "night.mid", night_music())
    write(root, demo + "code.vrn", script_bytes())


if __name__ == "__main__":
    main()
