"""Small anti-aliased raster canvas for drawing skin art with the standard library.

Shapes are signed distance functions (negative inside, in pixels); a pixel's
coverage is taken from the distance at its centre, which gives a one-pixel
soft edge without supersampling.  Every canvas also tracks opacity, so that a
sprite meant to be drawn through the colour key can turn the pixels its
shapes barely touch into the key colour afterwards (`key_out`).
"""

import math

KEY = (255, 0, 255)


def clamp01(v):
    return 0.0 if v < 0.0 else 1.0 if v > 1.0 else v


def mix(a, b, t):
    """Colour between a (t = 0) and b (t = 1)."""
    return (round(a[0] + (b[0] - a[0]) * t),
            round(a[1] + (b[1] - a[1]) * t),
            round(a[2] + (b[2] - a[2]) * t))


def hex_colour(text):
    text = text.lstrip('#')
    return (int(text[0:2], 16), int(text[2:4], 16), int(text[4:6], 16))


def ramp(stops, t):
    """Colour at t in 0..1 along evenly spaced colour stops."""
    if len(stops) == 1:
        return stops[0]
    t = clamp01(t) * (len(stops) - 1)
    i = min(int(t), len(stops) - 2)
    return mix(stops[i], stops[i + 1], t - i)


# Signed distance functions.  Each returns a function of the point (x, y).

def sd_round_rect(x0, y0, x1, y1, radius):
    """Rounded rectangle with edges at x0..x1, y0..y1; radius is one number
    or four (top-left, top-right, bottom-right, bottom-left)."""
    radii = radius if isinstance(radius, tuple) else (radius,) * 4
    cx, cy = (x0 + x1) / 2.0, (y0 + y1) / 2.0
    hx, hy = (x1 - x0) / 2.0, (y1 - y0) / 2.0

    def sd(x, y):
        dx, dy = x - cx, y - cy
        if dy < 0:
            r = radii[0] if dx < 0 else radii[1]
        else:
            r = radii[3] if dx < 0 else radii[2]
        qx = abs(dx) - (hx - r)
        qy = abs(dy) - (hy - r)
        outside = math.hypot(max(qx, 0.0), max(qy, 0.0))
        return outside + min(max(qx, qy), 0.0) - r
    return sd


def sd_circle(cx, cy, r):
    return lambda x, y: math.hypot(x - cx, y - cy) - r


def sd_segment(ax, ay, bx, by, width):
    """A stroke of the given width from a to b with round caps."""
    vx, vy = bx - ax, by - ay
    length2 = vx * vx + vy * vy or 1e-9
    half = width / 2.0

    def sd(x, y):
        t = clamp01(((x - ax) * vx + (y - ay) * vy) / length2)
        return math.hypot(x - ax - vx * t, y - ay - vy * t) - half
    return sd


def sd_polyline(points, width):
    strokes = [sd_segment(a[0], a[1], b[0], b[1], width)
               for a, b in zip(points, points[1:])]
    return lambda x, y: min(s(x, y) for s in strokes)





class Canvas:
    """RGB pixels plus an opacity plane, rows top-down."""

    def __init__(self, width, height, background=KEY, opaque=False):
        if width <= 0 or height <= 0:
            raise ValueError('empty canvas %dx%d' % (width, height))
        self.width = width
        self.height = height
        self.px = [background] * (width * height)
        self.opacity = [1.0 if opaque else 0.0] * (width * height)

    def get(self, x, y):
        return self.px[y * self.width + x]

    def set(self, x, y, colour, opacity=1.0):
        i = y * self.width + x
        self.px[i] = colour
        self.opacity[i] = opacity

    def fill(self, x0, y0, x1, y1, colour):
        """Opaque fill; colour may be a function of (x, y)."""
        x0, y0 = max(0, x0), max(0, y0)
        x1, y1 = min(self.width, x1), min(self.height, y1)
        paint = colour if callable(colour) else (lambda x, y: colour)
        for y in range(y0, y1):
            for x in range(x0, x1):
                self.set(x, y, paint(x, y))

    def vgradient(self, x0, y0, x1, y1, stops):
        h = max(1, y1 - y0 - 1)
        self.fill(x0, y0, x1, y1, lambda x, y: ramp(stops, (y - y0) / h))

    def draw(self, shape, colour, bbox=None):
        """Blends colour (or colour(x, y)) wherever the shape covers a pixel."""
        x0, y0, x1, y1 = bbox or (0, 0, self.width, self.height)
        x0, y0 = max(0, int(x0)), max(0, int(y0))
        x1, y1 = min(self.width, int(math.ceil(x1))), min(self.height, int(math.ceil(y1)))
        paint = colour if callable(colour) else (lambda x, y: colour)
        for y in range(y0, y1):
            for x in range(x0, x1):
                cover = clamp01(0.5 - shape(x + 0.5, y + 0.5))
                if cover <= 0.0:
                    continue
                self.blend_at(y * self.width + x, paint(x, y), cover)

    def underlay(self, colour):
        """Colours the still transparent pixels with the backdrop the sprite is
        meant to sit on (colour(x, y)), so soft edges blend towards it."""
        for y in range(self.height):
            for x in range(self.width):
                i = y * self.width + x
                if self.opacity[i] == 0.0:
                    self.px[i] = colour(x, y)

    def blend_at(self, i, colour, cover):
        old = self.px[i]
        # A transparent pixel without backdrop has no colour to blend with.
        base = colour if old == KEY and self.opacity[i] == 0.0 else old
        self.px[i] = mix(base, colour, cover)
        self.opacity[i] = self.opacity[i] + cover * (1.0 - self.opacity[i])

    def round_box(self, x0, y0, x1, y1, radius, fill, border=None):
        """A rounded box with an optional one-pixel border."""
        box = (x0 - 1, y0 - 1, x1 + 1, y1 + 1)
        if border is None:
            self.draw(sd_round_rect(x0, y0, x1, y1, radius), fill, box)
            return
        self.draw(sd_round_rect(x0, y0, x1, y1, radius), border, box)
        inner = tuple(max(0.0, r - 1.0) for r in radius) if isinstance(radius, tuple) \
            else max(0.0, radius - 1.0)
        self.draw(sd_round_rect(x0 + 1, y0 + 1, x1 - 1, y1 - 1, inner), fill, box)

    def key_out(self, threshold=0.5):
        """Pixels that no shape covered enough become the key colour."""
        for i, o in enumerate(self.opacity):
            if o < threshold:
                self.px[i] = KEY

    def blit(self, source, x, y):
        for sy in range(source.height):
            row = (y + sy) * self.width + x
            srow = sy * source.width
            self.px[row:row + source.width] = source.px[srow:srow + source.width]
            self.opacity[row:row + source.width] = source.opacity[srow:srow + source.width]

    def transposed(self):
        """Mirror along the main diagonal: a horizontal look becomes vertical."""
        out = Canvas(self.height, self.width)
        for y in range(self.height):
            for x in range(self.width):
                out.set(y, x, self.get(x, y), self.opacity[y * self.width + x])
        return out

    def mirrored(self):
        out = Canvas(self.width, self.height)
        for y in range(self.height):
            for x in range(self.width):
                out.set(self.width - 1 - x, y, self.get(x, y), self.opacity[y * self.width + x])
        return out


class Mask:
    """Coverage plane for glyphs: shapes are added and cut before the glyph
    is laid on a canvas in one colour."""

    def __init__(self, width, height):
        self.width = width
        self.height = height
        self.cover = [0.0] * (width * height)

    def add(self, shape):
        for y in range(self.height):
            for x in range(self.width):
                c = clamp01(0.5 - shape(x + 0.5, y + 0.5))
                i = y * self.width + x
                self.cover[i] = max(self.cover[i], c)
        return self

    def rect(self, x0, y0, x1, y1):
        """Crisp axis-aligned bar on whole pixels."""
        for y in range(max(0, y0), min(self.height, y1)):
            for x in range(max(0, x0), min(self.width, x1)):
                self.cover[y * self.width + x] = 1.0
        return self

    def clear(self, x0, y0, x1, y1):
        for y in range(max(0, y0), min(self.height, y1)):
            for x in range(max(0, x0), min(self.width, x1)):
                self.cover[y * self.width + x] = 0.0
        return self

    def outline(self, x0, y0, x1, y1):
        """One-pixel rectangle outline on whole pixels, x1 and y1 exclusive."""
        self.rect(x0, y0, x1, y0 + 1).rect(x0, y1 - 1, x1, y1)
        return self.rect(x0, y0, x0 + 1, y1).rect(x1 - 1, y0, x1, y1)

    def lay_on(self, canvas, colour):
        """Blends the glyph onto a canvas of the same size."""
        if (canvas.width, canvas.height) != (self.width, self.height):
            raise ValueError('mask and canvas differ in size')
        for i, c in enumerate(self.cover):
            if c > 0.0:
                canvas.blend_at(i, colour, c)
