#!/usr/bin/env python3
"""Draws the program's two pictures: the splash screen (splash.bmp) and the icon
(main.ico), next to this script.

Standard library only, and deterministic: the same script always writes the
same bytes, so the generated files can be kept in the repository and checked.

    python3 res/make_art.py

The splash is a 300 x 300 bitmap of 8 bits per pixel (256-colour palette,
uncompressed, bottom-up, 2834 pixels per metre); the icon holds one 32 x 32
image of 24 bits per pixel with its AND transparency mask.
"""

import math
import os
import struct

HERE = os.path.dirname(os.path.abspath(__file__))

# Colours. ACCENT is the program's medium blue, also the tooltips' background.
ACCENT = (64, 112, 176)
NAVY = (7, 18, 52)
DEEP = (14, 40, 96)
TEAL = (20, 132, 150)
WHITE = (255, 255, 255)
CURSOR_EDGE = (10, 20, 44)


def clamp(v, lo=0.0, hi=1.0):
    return lo if v < lo else hi if v > hi else v


def smoothstep(e0, e1, v):
    t = clamp((v - e0) / (e1 - e0))
    return t * t * (3.0 - 2.0 * t)


def mix(a, b, t):
    return (a[0] + (b[0] - a[0]) * t,
            a[1] + (b[1] - a[1]) * t,
            a[2] + (b[2] - a[2]) * t)


# ---------------------------------------------------------------------------
# Signed distances (negative inside), in pixels. Shapes are drawn by their
# distance, which gives each edge one pixel of anti-aliasing for free.

def sd_segment(px, py, ax, ay, bx, by):
    """Distance from a point to the segment a-b."""
    dx, dy = bx - ax, by - ay
    l2 = dx * dx + dy * dy
    t = 0.0 if l2 == 0.0 else clamp(((px - ax) * dx + (py - ay) * dy) / l2)
    ex, ey = px - ax - dx * t, py - ay - dy * t
    return math.sqrt(ex * ex + ey * ey)


def sd_polyline(px, py, pts):
    return min(sd_segment(px, py, *pts[i], *pts[i + 1]) for i in range(len(pts) - 1))


def sd_polygon(px, py, pts):
    """Signed distance to a closed polygon (even-odd inside test)."""
    d = float('inf')
    inside = False
    n = len(pts)
    for i in range(n):
        ax, ay = pts[i]
        bx, by = pts[(i + 1) % n]
        d = min(d, sd_segment(px, py, ax, ay, bx, by))
        if (ay > py) != (by > py) and px < ax + (py - ay) * (bx - ax) / (by - ay):
            inside = not inside
    return -d if inside else d


def sd_round_rect(px, py, x0, y0, x1, y1, r):
    cx, cy = (x0 + x1) / 2, (y0 + y1) / 2
    hx, hy = (x1 - x0) / 2 - r, (y1 - y0) / 2 - r
    qx, qy = abs(px - cx) - hx, abs(py - cy) - hy
    outside = math.hypot(max(qx, 0.0), max(qy, 0.0))
    return outside + min(max(qx, qy), 0.0) - r


class Canvas:
    """A true-colour picture of floats, painted with coverage-weighted blends."""

    def __init__(self, w, h, background):
        self.w, self.h = w, h
        self.px = [background(x + 0.5, y + 0.5) for y in range(h) for x in range(w)]

    def blend(self, x, y, colour, a):
        if a <= 0.0:
            return
        i = y * self.w + x
        self.px[i] = mix(self.px[i], colour, min(a, 1.0))

    def fill(self, bbox, sdf, colour, alpha=1.0, soft=1.0):
        """Paints where sdf < 0; `soft` widens the edge ramp for shadows and glows."""
        x0, y0, x1, y1 = bbox
        for y in range(max(0, int(y0)), min(self.h, int(math.ceil(y1)) + 1)):
            for x in range(max(0, int(x0)), min(self.w, int(math.ceil(x1)) + 1)):
                d = sdf(x + 0.5, y + 0.5)
                if d < soft:
                    self.blend(x, y, colour, alpha * clamp(0.5 - d / soft))

    def shade(self, bbox, shader):
        """Lets `shader(x, y)` return (colour, alpha) or None for each pixel."""
        x0, y0, x1, y1 = bbox
        for y in range(max(0, int(y0)), min(self.h, int(math.ceil(y1)) + 1)):
            for x in range(max(0, int(x0)), min(self.w, int(math.ceil(x1)) + 1)):
                r = shader(x + 0.5, y + 0.5)
                if r is not None:
                    self.blend(x, y, r[0], r[1])


# ---------------------------------------------------------------------------
# A small stroke font of our own: each glyph is a few polylines in units where
# the baseline is y = 0, the x-height 5 and the cap height 7 (y up). Round
# parts are arcs sampled into short segments.

def arc(cx, cy, rx, ry, a0, a1, steps=None):
    steps = steps or max(6, int(abs(a1 - a0) / 10))
    return [(cx + rx * math.cos(math.radians(a0 + (a1 - a0) * i / steps)),
             cy + ry * math.sin(math.radians(a0 + (a1 - a0) * i / steps)))
            for i in range(steps + 1)]


# glyph: (advance width, [polyline, ...]); a one-point polyline is a dot.
GLYPHS = {
    'N': (5.4, [[(0, 0), (0, 7), (5.4, 0), (5.4, 7)]]),
    'V': (5.6, [[(0, 7), (2.8, 0), (5.6, 7)]]),
    'b': (5.0, [[(0, 7.4), (0, 0)], arc(2.5, 2.5, 2.5, 2.5, 0, 360, 48)]),
    'e': (5.0, [[(0.05, 2.5), (5, 2.5)] + arc(2.5, 2.5, 2.5, 2.5, 0, 318, 44)[1:]]),
    'i': (0.0, [[(0, 0), (0, 5)], [(0, 6.75)]]),
    'l': (0.0, [[(0, 0), (0, 7.4)]]),
    'm': (6.4, [[(0, 0), (0, 5)],
                arc(1.6, 3.4, 1.6, 1.6, 180, 0, 16) + [(3.2, 0)],
                arc(4.8, 3.4, 1.6, 1.6, 180, 0, 16) + [(6.4, 0)]]),
    'o': (5.0, [arc(2.5, 2.5, 2.5, 2.5, 0, 360, 48)]),
    'r': (2.9, [[(0, 0), (0, 5)], arc(2.9, 2.1, 2.9, 2.9, 180, 88, 14)]),
    'v': (5.0, [[(0, 5), (2.5, 0), (5, 5)]]),
    'u': (5.0, [[(0, 5), (0, 2.5)] + arc(2.5, 2.5, 2.5, 2.5, 180, 360, 24)[1:],
                [(5, 5), (5, 0)]]),
    '0': (4.6, [arc(2.3, 3.5, 2.3, 3.5, 0, 360, 56)]),
    '1': (2.4, [[(0, 5.6), (2.4, 7), (2.4, 0)]]),
    '.': (1.0, [[(0.5, 0.05)]]),
}
SPACE = 3.2


def layout_text(text, scale, tracking):
    """Places the glyphs' strokes at `scale` pixels per unit; returns the strokes
    (pixel coordinates, y down, origin on the baseline), each with the index of
    its character, and the text's width."""
    strokes, pen = [], 0.0
    for i, ch in enumerate(text):
        if ch == ' ':
            pen += SPACE * scale
            continue
        adv, lines = GLYPHS[ch]
        for line in lines:
            strokes.append((i, [(pen + x * scale, -y * scale) for x, y in line]))
        pen += adv * scale + tracking
    return strokes, pen - tracking


def draw_text(canvas, text, cx, baseline, scale, tracking, weight, colours,
              shadow=None):
    """Centres `text` on cx with strokes `weight` pixels thick; `colours` gives
    each character's colour by its index."""
    strokes, width = layout_text(text, scale, tracking)
    ox = cx - width / 2
    placed = [(i, [(ox + x, baseline + y) for x, y in s]) for i, s in strokes]
    half = weight / 2
    layers = []
    if shadow:
        dx, dy, scol, salpha = shadow
        layers.append(([(i, [(x + dx, y + dy) for x, y in s]) for i, s in placed],
                       lambda i: scol, salpha, 2.2))
    layers.append((placed, colours, 1.0, 1.0))
    for group, colour_of, alpha, soft in layers:
        for i, s in group:
            xs, ys = [p[0] for p in s], [p[1] for p in s]
            bbox = (min(xs) - half - 3, min(ys) - half - 3, max(xs) + half + 3, max(ys) + half + 3)
            if len(s) == 1:
                sdf = (lambda x, y, p=s[0]: math.hypot(x - p[0], y - p[1]) - half * 1.25)
            else:
                sdf = (lambda x, y, s=s: sd_polyline(x, y, s) - half)
            canvas.fill(bbox, sdf, colour_of(i), alpha, soft)
    return ox, width


# ---------------------------------------------------------------------------
# The globe: a sphere lit from the upper left, tilted toward the viewer, with
# its lines of latitude and longitude.

def rotate_to_globe(x, y, z, tilt, turn):
    """Screen direction (x right, y up, z toward the viewer) to globe axes."""
    ct, st = math.cos(tilt), math.sin(tilt)
    y, z = y * ct - z * st, y * st + z * ct
    cu, su = math.cos(turn), math.sin(turn)
    return x * cu - z * su, y, x * su + z * cu


def lat_lon(x, y, z, tilt, turn):
    gx, gy, gz = rotate_to_globe(x, y, z, tilt, turn)
    return math.asin(clamp(gy, -1.0, 1.0)), math.atan2(gx, gz)


def grid_distance(angle, step):
    """Angular distance to the nearest grid line every `step` radians."""
    k = angle / step
    return abs(k - round(k)) * step


def globe_shader(cx, cy, r, tilt, turn, ocean_lit, ocean_dark, line, light,
                 width=0.6, back=0.0, strength=1.0):
    """Returns shader(px, py) -> (colour, coverage) or None outside the disc.
    Grid lines are `width` pixels from their centre on screen, whatever the
    globe's size; `back` is the opacity of the far side's lines seen through, `strength`
    scales the near side's."""
    step = math.radians(30)
    lx, ly, lz = light
    hx, hy, hz = lx, ly, lz + 1.0
    hn = math.sqrt(hx * hx + hy * hy + hz * hz)
    hx, hy, hz = hx / hn, hy / hn, hz / hn

    def point(px, py, side):
        x, y = (px - cx) / r, -(py - cy) / r
        return x, y, side * math.sqrt(max(0.0, 1.0 - x * x - y * y))

    def grid(px, py, side):
        """Opacity of the grid at a pixel, from the pixel's distance to the
        nearest line: angular distance over the angle's change per pixel."""
        lat, lon = lat_lon(*point(px, py, side), tilt, turn)
        lat_x, lon_x = lat_lon(*point(px + 0.5, py, side), tilt, turn)
        lat_y, lon_y = lat_lon(*point(px, py + 0.5, side), tilt, turn)
        g_lat = 2.0 * math.hypot(lat_x - lat, lat_y - lat) + 1e-6
        dlon_x = (lon_x - lon + math.pi) % (2 * math.pi) - math.pi
        dlon_y = (lon_y - lon + math.pi) % (2 * math.pi) - math.pi
        g_lon = 2.0 * math.hypot(dlon_x, dlon_y) + 1e-6
        a_lat = clamp(width + 0.5 - grid_distance(lat, step) / g_lat)
        a_lon = clamp(width + 0.5 - grid_distance(lon, step) / g_lon)
        # Meridians stop short of the poles instead of knotting there.
        a_lon *= smoothstep(math.radians(80), math.radians(68), abs(lat))
        return max(a_lat, a_lon)

    def shader(px, py):
        x, y, z = point(px, py, 1.0)
        rho = math.hypot(x, y)
        edge = clamp((1.0 - rho) * r + 0.5)
        if edge <= 0.0:
            return None
        diffuse = max(0.0, x * lx + y * ly + z * lz)
        col = mix(ocean_dark, ocean_lit, diffuse ** 1.2)
        if back > 0.0:
            col = mix(col, line, back * grid(px, py, -1.0) * (1.0 - 0.6 * diffuse))
        # A thin bright rim, as if the atmosphere caught the light.
        col = mix(col, (120, 220, 240), 0.55 * (1.0 - z) ** 4)
        near = grid(px, py, 1.0) * (0.30 + 0.45 * z ** 0.7) * (0.6 + 0.4 * diffuse)
        col = mix(col, line, min(1.0, strength * near))
        shine = max(0.0, x * hx + y * hy + z * hz) ** 60
        col = mix(col, WHITE, 0.7 * shine)
        return col, edge

    return shader


# ---------------------------------------------------------------------------
# The mouse pointer: the familiar arrow, tip at the origin, 12 x 19 units.

ARROW = [(0, 0), (0, 16.5), (3.9, 12.9), (6.6, 19.0), (9.3, 17.9), (6.7, 11.9), (11.6, 11.9)]


def arrow_at(tx, ty, scale):
    return [(tx + x * scale, ty + y * scale) for x, y in ARROW]


def draw_arrow(canvas, tx, ty, scale):
    pts = arrow_at(tx, ty, scale)
    xs, ys = [p[0] for p in pts], [p[1] for p in pts]
    bbox = (min(xs) - 6, min(ys) - 6, max(xs) + 8, max(ys) + 8)
    shadow = [(x + 2.0, y + 3.0) for x, y in pts]
    canvas.fill(bbox, lambda x, y: sd_polygon(x, y, shadow) - 0.5, (0, 6, 20), 0.45, 3.5)
    canvas.fill(bbox, lambda x, y: sd_polygon(x, y, pts) - 0.7, CURSOR_EDGE)
    canvas.fill(bbox, lambda x, y: sd_polygon(x, y, pts) + 0.75, WHITE)


def bezier(p0, p1, p2, p3, t):
    u = 1.0 - t
    return (u ** 3 * p0[0] + 3 * u * u * t * p1[0] + 3 * u * t * t * p2[0] + t ** 3 * p3[0],
            u ** 3 * p0[1] + 3 * u * u * t * p1[1] + 3 * u * t * t * p2[1] + t ** 3 * p3[1])


def dotted_path(canvas, ctrl, spacing, r0, r1, a0, a1, colour):
    """Dots at equal distances along a cubic curve, growing toward its end."""
    samples = [bezier(*ctrl, i / 400) for i in range(401)]
    lengths = [0.0]
    for i in range(1, len(samples)):
        lengths.append(lengths[-1] + math.dist(samples[i - 1], samples[i]))
    total = lengths[-1]
    count = int(total / spacing)
    j = 0
    for k in range(count + 1):
        s = k * spacing
        while j < len(lengths) - 2 and lengths[j + 1] < s:
            j += 1
        t = (s - lengths[j]) / max(1e-9, lengths[j + 1] - lengths[j])
        x = samples[j][0] + (samples[j + 1][0] - samples[j][0]) * t
        y = samples[j][1] + (samples[j + 1][1] - samples[j][1]) * t
        f = s / total
        rad = r0 + (r1 - r0) * f
        canvas.fill((x - rad - 2, y - rad - 2, x + rad + 2, y + rad + 2),
                    lambda px, py, x=x, y=y, rad=rad: math.hypot(px - x, py - y) - rad,
                    colour, a0 + (a1 - a0) * f)


# ---------------------------------------------------------------------------
# The splash picture.

SPLASH_SIZE = 300
GLOBE = (150.0, 112.0, 74.0)  # centre x, centre y, radius
LIGHT = (-0.45, 0.55, 0.70)
GLOBE_TILT = math.radians(-22)  # north pole leaning toward the viewer
GLOBE_TURN = math.radians(18)


def splash_background(x, y):
    """Deep blue at the edges to teal in a glow behind the globe. The outermost
    pixels all settle on one dark colour, a quiet frame inside the splash's
    thin border line."""
    gx, gy, _ = GLOBE
    d = math.hypot((x - gx) / 1.05, (y - gy) / 1.0) / 190.0
    col = mix(TEAL, DEEP, smoothstep(0.0, 0.85, d))
    col = mix(col, NAVY, smoothstep(0.55, 1.25, d))
    # A touch of diagonal light so the field is not perfectly round.
    col = mix(col, (30, 90, 160), 0.18 * clamp(1.0 - (x + y) / 330.0))
    edge = min(x, y, SPLASH_SIZE - x, SPLASH_SIZE - y)
    return mix(NAVY, col, smoothstep(0.0, 14.0, edge))


def draw_splash():
    c = Canvas(SPLASH_SIZE, SPLASH_SIZE, splash_background)
    gx, gy, gr = GLOBE

    # Soft halo around the globe.
    c.fill((gx - gr - 30, gy - gr - 30, gx + gr + 30, gy + gr + 30),
           lambda x, y: math.hypot(x - gx, y - gy) - gr, (70, 190, 225), 0.30, 22.0)
    # Shadow cast below it.
    c.fill((gx - gr, gy + gr - 10, gx + gr, gy + gr + 30),
           lambda x, y: math.hypot((x - gx) / 3.2, (y - gy - gr - 8) / 0.8) - 14,
           (0, 8, 24), 0.35, 10.0)
    c.shade((gx - gr - 1, gy - gr - 1, gx + gr + 1, gy + gr + 1),
            globe_shader(gx, gy, gr, GLOBE_TILT, GLOBE_TURN, (70, 185, 215), (16, 52, 120),
                         (215, 245, 255), LIGHT, width=0.55, back=0.22))

    # The pointer's journey: in from the lower left, across the globe's face.
    tip = (gx + 36.0, gy + 8.0)
    path = ((26.0, 196.0), (44.0, 148.0), (92.0, 170.0), (tip[0] - 8.0, tip[1] + 8.0))
    dotted_path(c, path, 8.5, 0.9, 2.3, 0.25, 0.95, (225, 248, 255))
    draw_arrow(c, tip[0], tip[1], 1.85)

    # Word mark: the maker's name in a light tint, the product's in white.
    tint = (160, 218, 240)
    draw_text(c, "Nimbrel Veruvo", 150.0, 240.0, 3.0, 3.4, 3.0,
              lambda i: tint if i < 7 else WHITE, shadow=(1.2, 1.8, (0, 6, 22), 0.6))
    # The version on a pill in the accent colour.
    bw, bh, by = 48.0, 20.0, 253.0
    pill = (150 - bw / 2, by, 150 + bw / 2, by + bh)
    box = (pill[0] - 3, pill[1] - 3, pill[2] + 3, pill[3] + 3)
    c.fill(box, lambda x, y: sd_round_rect(x, y, *pill, bh / 2), ACCENT)
    c.fill(box, lambda x, y: abs(sd_round_rect(x, y, *pill, bh / 2) + 0.6) - 0.6,
           (130, 180, 230), 0.7)
    draw_text(c, "1.0", 150.0, by + bh / 2 + 5.4, 1.55, 2.6, 2.0, lambda i: WHITE)
    return c


# ---------------------------------------------------------------------------
# Palette reduction: median cut on the picture's colours, refined by a few
# rounds of k-means, then each pixel mapped to its nearest palette entry.

def median_cut(hist, n):
    boxes = [list(hist.items())]

    def spread(box):
        best = (0, 0)
        for ch in range(3):
            vals = [c[ch] for c, _ in box]
            best = max(best, (max(vals) - min(vals), ch))
        weight = sum(w for _, w in box)
        return best[0] * best[0] * weight, best[1]

    while len(boxes) < n:
        scored = [(spread(b), i) for i, b in enumerate(boxes) if len(b) > 1]
        if not scored:
            break
        (score, ch), i = max(scored)
        if score == 0:
            break
        box = sorted(boxes.pop(i), key=lambda cw: (cw[0][ch], cw[0]))
        half, acc, cut = sum(w for _, w in box) / 2, 0, 1
        for k, (_, w) in enumerate(box):
            acc += w
            if acc >= half:
                cut = min(max(k, 1), len(box) - 1)
                break
        boxes += [box[:cut], box[cut:]]
    return [mean_colour(b) for b in boxes]


def mean_colour(box):
    weight = sum(w for _, w in box)
    return tuple(sum(c[ch] * w for c, w in box) / weight for ch in range(3))


def nearest(palette, c):
    best, bi = float('inf'), 0
    r, g, b = c
    for i, (pr, pg, pb) in enumerate(palette):
        d = (pr - r) ** 2 * 3 + (pg - g) ** 2 * 4 + (pb - b) ** 2 * 2
        if d < best:
            best, bi = d, i
    return bi


def quantise(canvas, n=256, rounds=3):
    pixels = [tuple(int(round(clamp(v, 0, 255))) for v in p) for p in canvas.px]
    hist = {}
    for p in pixels:
        hist[p] = hist.get(p, 0) + 1
    palette = median_cut(hist, n)
    for _ in range(rounds):
        sums = [[0.0, 0.0, 0.0, 0] for _ in palette]
        for c, w in hist.items():
            s = sums[nearest(palette, c)]
            s[0] += c[0] * w
            s[1] += c[1] * w
            s[2] += c[2] * w
            s[3] += w
        palette = [(s[0] / s[3], s[1] / s[3], s[2] / s[3]) if s[3] else p
                   for s, p in zip(sums, palette)]
    palette = sorted({tuple(int(round(v)) for v in p) for p in palette},
                     key=lambda p: (0.3 * p[0] + 0.59 * p[1] + 0.11 * p[2], p))
    palette += [(0, 0, 0)] * (n - len(palette))
    index = {c: nearest(palette, c) for c in hist}
    return palette, [index[p] for p in pixels]


# ---------------------------------------------------------------------------
# File formats.

def write_bmp8(path, w, h, palette, indices):
    row = (w + 3) & ~3
    pixels = bytearray()
    for y in range(h - 1, -1, -1):  # bottom-up
        pixels += bytes(indices[y * w:(y + 1) * w]) + bytes(row - w)
    pal = b''.join(struct.pack('<BBBB', b, g, r, 0) for r, g, b in palette)
    offset = 14 + 40 + len(pal)
    info = struct.pack('<IiiHHIIiiII', 40, w, h, 1, 8, 0, len(pixels), 2834, 2834,
                       len(palette), 0)
    head = struct.pack('<2sIHHI', b'BM', offset + len(pixels), 0, 0, offset)
    with open(path, 'wb') as f:
        f.write(head + info + pal + pixels)


def write_ico24(path, size, colours, opaque):
    """One image: the BGR colours bottom-up, then the AND mask (1 = transparent).
    Transparent pixels are black, so the mask alone decides what shows."""
    xor = bytearray()
    for y in range(size - 1, -1, -1):
        for x in range(size):
            r, g, b = colours[y * size + x] if opaque[y * size + x] else (0, 0, 0)
            xor += bytes((b, g, r))
        xor += bytes((-size * 3) % 4)
    mask_row = ((size + 31) // 32) * 4
    mask = bytearray()
    for y in range(size - 1, -1, -1):
        bits = bytearray(mask_row)
        for x in range(size):
            if not opaque[y * size + x]:
                bits[x // 8] |= 0x80 >> (x % 8)
        mask += bits
    info = struct.pack('<IiiHHIIiiII', 40, size, size * 2, 1, 24, 0,
                       len(xor) + len(mask), 0, 0, 0, 0)
    image = info + xor + mask
    head = struct.pack('<HHH', 0, 1, 1)
    entry = struct.pack('<BBBBHHII', size, size, 0, 0, 1, 24, len(image), 6 + 16)
    with open(path, 'wb') as f:
        f.write(head + entry + image)


# ---------------------------------------------------------------------------
# The icon: the same globe and pointer at 32 x 32. The mask has no partial
# transparency, so each pixel is rendered from 8 x 8 samples: it is opaque when
# most samples hit the picture, and its colour is the mean of those that do,
# so the edge never carries a fringe of some assumed background.

ICON_SIZE = 32
ICON_GLOBE = (13.0, 13.0, 12.4)
ICON_TIP = (14.6, 11.6)
ICON_ARROW_SCALE = 1.0
ICON_ARROW = arrow_at(*ICON_TIP, ICON_ARROW_SCALE)
ICON_GLOBE_SHADER = globe_shader(*ICON_GLOBE, GLOBE_TILT, GLOBE_TURN, (85, 200, 230),
                                 (16, 56, 130), (225, 248, 255), LIGHT, width=0.6,
                                 strength=1.5)


def icon_sample(x, y):
    d = sd_polygon(x, y, ICON_ARROW)
    if d < -0.6:
        return WHITE
    if d < 0.6:
        return CURSOR_EDGE
    gx, gy, gr = ICON_GLOBE
    rho = math.hypot(x - gx, y - gy)
    if rho > gr:
        return None
    if rho > gr - 0.9:  # a dark rim keeps the disc crisp on light and dark desktops
        return (10, 38, 96)
    return ICON_GLOBE_SHADER(x, y)[0]


def draw_icon(samples=8):
    colours, opaque = [], []
    for py in range(ICON_SIZE):
        for px in range(ICON_SIZE):
            hits = []
            for j in range(samples):
                for i in range(samples):
                    c = icon_sample(px + (i + 0.5) / samples, py + (j + 0.5) / samples)
                    if c is not None:
                        hits.append(c)
            is_opaque = len(hits) * 2 >= samples * samples
            opaque.append(is_opaque)
            colours.append(tuple(int(round(sum(h[ch] for h in hits) / len(hits)))
                                 for ch in range(3)) if is_opaque else (0, 0, 0))
    return colours, opaque


def main():
    splash = draw_splash()
    palette, indices = quantise(splash)
    write_bmp8(os.path.join(HERE, 'splash.bmp'), SPLASH_SIZE, SPLASH_SIZE, palette, indices)
    colours, opaque = draw_icon()
    write_ico24(os.path.join(HERE, 'main.ico'), ICON_SIZE, colours, opaque)


if __name__ == '__main__':
    main()
