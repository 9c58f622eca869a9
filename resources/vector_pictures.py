"""The program's small pictures described as shapes (rectangles, discs, rings
and strokes) on the grid of their 100% form, and drawn at any size: the 150%
and 200% forms of the node icons, the toolbar and button glyphs and the
application icon are drawn at their own size from these descriptions, never
stretched from the 16-pixel art. make_pictures.py and make_search_pictures.py
write them."""
import math

BLACK, MAROON, GREEN, GREY, SILVER, RED, LIME, YELLOW, BLUE, FUCHSIA, AQUA, WHITE, NAVY, TEAL = (
    (0, 0, 0), (128, 0, 0), (0, 128, 0), (128, 128, 128), (192, 192, 192), (255, 0, 0), (0, 255, 0),
    (255, 255, 0), (0, 0, 255), (255, 0, 255), (0, 255, 255), (255, 255, 255), (0, 0, 128), (0, 128, 128))

# Each pixel is tested at 4 x 4 points; it takes a shape's colour when most lie inside.
SAMPLES = 4


class Canvas:
    """`width` x `height` pixels showing a grid of `units_x` x `units_y`."""

    def __init__(self, width, height, units_x, units_y, background=FUCHSIA):
        self.w, self.h = width, height
        self.sx, self.sy = width / units_x, height / units_y
        self.px = [[background] * width for _ in range(height)]
        # The width of an outline: one pixel at 100%, grown with the size.
        self.t = max(1, round(self.sx))

    def x(self, u):
        return round(u * self.sx)

    def y(self, v):
        return round(v * self.sy)

    def _put(self, x, y, colour):
        if 0 <= x < self.w and 0 <= y < self.h:
            self.px[y][x] = colour(x, y) if callable(colour) else colour

    def rect(self, u0, v0, u1, v1, colour, inset=0):
        """A rectangle with its edges on whole pixels, `inset` pixels inside them."""
        for y in range(self.y(v0) + inset, self.y(v1) - inset):
            for x in range(self.x(u0) + inset, self.x(u1) - inset):
                self._put(x, y, colour)

    def shape(self, inside, colour):
        """Every pixel mostly inside `inside(u, v)`, a test in grid units."""
        for y in range(self.h):
            for x in range(self.w):
                hits = sum(inside((x + (i + 0.5) / SAMPLES) / self.sx, (y + (j + 0.5) / SAMPLES) / self.sy)
                           for i in range(SAMPLES) for j in range(SAMPLES))
                if 2 * hits > SAMPLES * SAMPLES:
                    self._put(x, y, colour)

    def disc(self, cu, cv, r, colour):
        self.shape(lambda u, v: (u - cu) ** 2 + (v - cv) ** 2 <= r * r, colour)

    def ring(self, cu, cv, r0, r1, colour, angles=None):
        """A ring, or the part of it whose angles (degrees, 0 to the right,
        90 downward) `angles` accepts."""
        def inside(u, v):
            d = math.hypot(u - cu, v - cv)
            return r0 <= d <= r1 and (angles is None or angles(math.degrees(math.atan2(v - cv, u - cu))))
        self.shape(inside, colour)

    def line(self, u0, v0, u1, v1, width, colour):
        """A stroke with round ends."""
        du, dv = u1 - u0, v1 - v0
        length2 = du * du + dv * dv or 1e-9

        def inside(u, v):
            k = max(0.0, min(1.0, ((u - u0) * du + (v - v0) * dv) / length2))
            return math.hypot(u - u0 - k * du, v - v0 - k * dv) <= width / 2
        self.shape(inside, colour)

    def framed_box(self, u0, v0, u1, v1, edge, fill, light=None):
        """A box with an outline of `edge`, filled with `fill`, a `light` strip along its inner top."""
        self.rect(u0, v0, u1, v1, edge)
        self.rect(u0, v0, u1, v1, fill, self.t)
        if light:
            top = self.y(v0) + self.t
            for y in range(top, top + self.t):
                for x in range(self.x(u0) + self.t, self.x(u1) - self.t):
                    self._put(x, y, light)


def question_mark(c, cu, cv, size, colour):
    """A question mark whose bowl is centred at (cu, cv), `size` grid units high."""
    k = size / 8
    c.ring(cu, cv, 1.2 * k, 2.7 * k, colour, lambda a: a <= 50 or a >= 160)
    c.line(cu + 1.2 * k, cv + 2.0 * k, cu, cv + 3.4 * k, 1.5 * k, colour)
    c.disc(cu, cv + 5.3 * k, 0.95 * k, colour)


# --- node icons and the application icon: the folder ------------------------------
def folder(c):
    t = c.t
    dither = lambda x, y: YELLOW if (x + y) % 2 else SILVER
    c.rect(1, 3, 6.5, 6, GREY)
    c.rect(1, 3, 6.5, 6, WHITE, t)
    c.rect(0, 5.5, 15, 15, BLACK)
    # Grey top and left, black bottom and right.
    for y in range(c.y(5.5), c.y(15) - t):
        for x in range(c.x(0), c.x(15) - t):
            c.px[y][x] = GREY
    c.rect(0, 5.5, 15, 15, WHITE, t)
    for y in range(c.y(5.5) + 2 * t, c.y(15) - 2 * t):
        for x in range(c.x(0) + 2 * t, c.x(15) - 2 * t):
            c.px[y][x] = dither(x, y)


def node_strip(side):
    """The three node icons side by side, `side` pixels each: normal, broken, doubtful."""
    icons = []
    for kind in range(3):
        c = Canvas(side, side, 16, 16)
        folder(c)
        if kind == 1:
            c.line(15.4, 0.6, 0.6, 15.4, 1.7, RED)
            c.line(3.6, 4.6, 13.6, 14.6, 1.7, RED)
        elif kind == 2:
            question_mark(c, 8, 7.9, 8.5, BLUE)
        icons.append(c.px)
    return [icons[0][y] + icons[1][y] + icons[2][y] for y in range(side)]


def app_icon(side):
    c = Canvas(side, side, 16, 16)
    folder(c)
    question_mark(c, 8, 7.9, 8.5, BLUE)
    return c.px


# --- toolbar and button glyphs --------------------------------------------------------
def find_glyph(c):
    """Binoculars."""
    for left in (0, 10):
        c.rect(left + 2, 1, left + 5, 3.5, BLACK)
        c.rect(left + 1, 3, left + 6, 8, BLACK)
        c.rect(left, 7, left + 6, 13, BLACK)
        c.rect(left + 1, 13, left + 5, 14, BLACK)
        c.line(left + 1.8, 8.6, left + 1.8, 11.6, 0.9, GREY)
        c.line(left + 2.8, 8.4, left + 2.8, 9.2, 0.9, SILVER)
        c.line(left + 2.6, 4.4, left + 2.6, 6.4, 0.9, GREY)
    c.rect(5, 5, 11, 9.5, BLACK)
    c.rect(6.5, 6, 7.5, 8, GREY)
    c.rect(8.5, 6, 9.5, 8, GREY)


def regedit_glyph(c):
    """The registry's blocks."""
    for box in ((1, 1, 9, 5), (1, 4, 9, 8), (8, 4, 15, 8), (2, 7, 10, 11), (9, 7, 15, 11), (1, 10, 10, 15),
                (9, 10, 15, 15)):
        c.framed_box(*box, BLACK, TEAL, AQUA)


def cross(c, a, b, width, colour, shadow, offset):
    """A cross from corner `a` to corner `b` of its square, its shadow to the right."""
    for du, stroke in ((offset, shadow), (0, colour)):
        c.line(a + du, a, b + du, b, width, stroke)
        c.line(b + du, a, a + du, b, width, stroke)


def delete_glyph(c):
    cross(c, 3, 15, 2.3, BLACK, TEAL, 0.9)


def cancel_glyph(c):
    cross(c, 3.2, 12.3, 2.1, RED, MAROON, 0.7)


def help_glyph(c):
    """A round sign with a question mark."""
    c.disc(7.6, 7.9, 6.0, GREY)
    c.line(9.8, 11.5, 11.3, 15.2, 1.3, GREY)
    c.disc(6.9, 7.2, 6.0, WHITE)
    c.line(9.3, 11.2, 10.6, 14.4, 1.2, WHITE)
    c.ring(6.9, 7.2, 5.2, 6.0, YELLOW, lambda a: int((a + 180) // 30) % 2 == 0)
    question_mark(c, 7.0, 5.7, 7.5, NAVY)


def ok_glyph(c):
    """A tick."""
    for width, colour in ((3.0, GREEN), (1.5, LIME)):
        c.line(1.9, 7.9, 5.0, 11.2, width, colour)
        c.line(5.0, 11.2, 12.2, 4.0, width, colour)


# The glyphs and the grid of their 100% form (its size in pixels).
GLYPHS = {"find": (find_glyph, 16, 16), "regedit": (regedit_glyph, 16, 16), "delete": (delete_glyph, 19, 18),
          "help": (help_glyph, 14, 16), "ok": (ok_glyph, 16, 16), "cancel": (cancel_glyph, 16, 16)}


def glyph(name, scale):
    """The glyph drawn at `scale` (1.5 for 150%, 2 for 200%) of its 100% size."""
    draw, w, h = GLYPHS[name]
    c = Canvas(round(w * scale), round(h * scale), w, h)
    draw(c)
    return c.px


# The scales the larger pictures are drawn for, and the suffix of their files.
SCALES = ((1.5, "150"), (2, "200"))
