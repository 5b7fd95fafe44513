"""Window frames, caption buttons, menus and the menu bar of the default skin."""

from raster import Canvas, Mask, mix, ramp, sd_polyline, sd_round_rect, sd_segment
from sheet import ImageRef
import theme as t


class FrameGeometry:
    """A frame as designed: caption height, border widths, the widths of the
    caption corners and the size of the middle that the engine stretches.
    The nine design rectangles (parts 0 to 8) follow from it."""

    def __init__(self, caption, side, bottom, left_corner, right_corner,
                 bottom_corner, radius_top, radius_bottom, middle=24):
        self.caption, self.side, self.bottom = caption, side, bottom
        self.left_corner, self.right_corner = left_corner, right_corner
        self.bottom_corner = bottom_corner
        self.radius_top, self.radius_bottom = radius_top, radius_bottom
        self.width = left_corner + middle + right_corner
        self.height = caption + middle + bottom

    def design_rects(self):
        w, h, ch, s, b = self.width, self.height, self.caption, self.side, self.bottom
        lc, rc, bc = self.left_corner, self.right_corner, self.bottom_corner
        return [(0, 0, lc, ch), (lc, 0, w - rc, ch), (w - rc, 0, w, ch),
                (0, ch, s, h - b), (s, ch, w - s, h - b), (w - s, ch, w, h - b),
                (0, h - b, bc, h), (bc, h - b, w - bc, h), (w - bc, h - b, w, h)]


MAIN = FrameGeometry(caption=32, side=5, bottom=5, left_corner=40, right_corner=112,
                     bottom_corner=16, radius_top=8, radius_bottom=5)
DIALOG = FrameGeometry(caption=28, side=4, bottom=4, left_corner=12, right_corner=40,
                       bottom_corner=10, radius_top=6, radius_bottom=4)

# Pieces drawn once keep their shape (the rounded corners cut by the key
# colour); the edges and the client are uniform along their length, so
# stretching them is exact and costs one blit.
PIECE_MODES = (0, 2, 0, 2, 2, 2, 0, 2, 0)


def caption_colour(y, caption_height, active):
    look = t.CAPTION[active]
    if y <= 0:
        return look['edge']
    if y == 1:
        return look['highlight']
    if y >= caption_height - 1:
        return look['separator']
    return ramp(look['stops'], (y - 2) / max(1, caption_height - 4))


def frame_template(geometry, active, client):
    """The whole frame at its design size; the nine pieces are cut from it."""
    g = geometry
    look = t.CAPTION[active]
    canvas = Canvas(g.width, g.height)
    rt, rb = g.radius_top, g.radius_bottom

    def edge(x, y):
        return look['edge'] if y < g.caption else look['side_edge']

    def body(x, y):
        return caption_colour(y, g.caption, active) if y < g.caption else t.CHROME

    canvas.draw(sd_round_rect(0, 0, g.width, g.height, (rt, rt, rb, rb)), edge)
    canvas.draw(sd_round_rect(1, 1, g.width - 1, g.height - 1,
                              (rt - 1, rt - 1, rb - 1, rb - 1)), body)
    canvas.fill(g.side, g.caption, g.width - g.side, g.height - g.bottom, client)
    canvas.key_out()
    return canvas


def frame_pieces(sheet, geometry, active, client, label):
    """Places the frame template and returns its nine ImageRefs."""
    template = frame_template(geometry, active, client)
    ref = sheet.image(template, label)
    x0, y0 = ref.rect[0], ref.rect[1]
    return [ImageRef(sheet.name, (x0 + l, y0 + tp, x0 + r, y0 + b), mode)
            for (l, tp, r, b), mode in zip(geometry.design_rects(), PIECE_MODES)]


# Caption glyphs, drawn on a mask the size of the button, centred.

def glyph_close(w, h):
    cx, cy = w / 2.0, h / 2.0
    d = 4.5
    return (Mask(w, h).add(sd_segment(cx - d, cy - d, cx + d, cy + d, 1.45))
            .add(sd_segment(cx + d, cy - d, cx - d, cy + d, 1.45)))


def glyph_maximise(w, h):
    x, y = w // 2 - 5, h // 2 - 5
    return Mask(w, h).outline(x, y, x + 10, y + 10).rect(x, y + 1, x + 10, y + 2)


def glyph_restore(w, h):
    x, y = w // 2 - 5, h // 2 - 5
    mask = Mask(w, h).outline(x + 2, y, x + 10, y + 8)
    mask.clear(x, y + 2, x + 8, y + 10)
    return mask.outline(x, y + 2, x + 8, y + 10).rect(x, y + 3, x + 8, y + 4)


def glyph_minimise(w, h):
    x, y = w // 2 - 5, h // 2 + 2
    return Mask(w, h).rect(x, y, x + 10, y + 2)


GLYPHS = {'close': glyph_close, 'maximise': glyph_maximise,
          'restore': glyph_restore, 'minimise': glyph_minimise}


def caption_button(w, h, glyph, state, backdrop, close=False):
    """One caption button look.  Idle and disabled buttons are a glyph on the
    caption (the rest is key colour); hot and pressed ones get a rounded plate."""
    canvas = Canvas(w, h)
    canvas.underlay(backdrop)
    plate = {'hot': t.CLOSE_HOT if close else t.BUTTON_HOT,
             'pressed': t.CLOSE_PRESSED if close else t.BUTTON_PRESSED}.get(state)
    if plate:
        canvas.round_box(0, 0, w, h, 4, plate)
    colour = t.BUTTON_GLYPH_DISABLED if state == 'disabled' else t.BUTTON_GLYPH[True]
    GLYPHS[glyph](w, h).lay_on(canvas, colour)
    canvas.key_out()
    return canvas


def card_glyph(canvas, cx, cy):
    """The program's mark: a citizen certificate card with its chip."""
    canvas.round_box(cx - 8, cy - 5.5, cx + 8, cy + 5.5, 2, t.CARD_BODY, t.CARD_LINE)
    canvas.round_box(cx - 6, cy - 2.5, cx - 1, cy + 1.5, 1, t.CARD_CHIP, t.CARD_CHIP_LINE)
    canvas.fill(int(cx + 1), int(cy - 2), int(cx + 6), int(cy - 1), t.CARD_LINE)
    canvas.fill(int(cx + 1), int(cy + 1), int(cx + 5), int(cy + 2), t.CARD_LINE)
    canvas.fill(int(cx - 6), int(cy + 3), int(cx + 2), int(cy + 4), mix(t.CARD_LINE, t.CARD_BODY, 0.4))


def system_button(w, h, state, backdrop):
    canvas = Canvas(w, h)
    canvas.underlay(backdrop)
    plate = {'hot': t.BUTTON_HOT, 'pressed': t.BUTTON_PRESSED}.get(state)
    if plate:
        canvas.round_box(0, 0, w, h, 4, plate)
    card_glyph(canvas, w / 2.0, h / 2.0)
    if state == 'disabled':
        for i, p in enumerate(canvas.px):
            if canvas.opacity[i] > 0.0:
                canvas.px[i] = mix(p, backdrop(0, h // 2), 0.55)
    canvas.key_out()
    return canvas


STATES = ('idle', 'hot', 'pressed', 'disabled')


def caption_button_set(sheet, w, h, glyph, geometry, top, close=False):
    """Idle, hot, pressed and disabled looks in one row; returns four ImageRefs."""
    def backdrop(x, y):
        return caption_colour(top + y, geometry.caption, True)
    refs = []
    for state in STATES:
        art = system_button(w, h, state, backdrop) if glyph == 'system' \
            else caption_button(w, h, glyph, state, backdrop, close)
        refs.append(sheet.image(art, '%s %s' % (glyph, state)))
    sheet.new_row()
    return refs


# Menus.

def popup_template():
    """The popup menu window at a small design size with 4-pixel borders."""
    size, radius = 24, 4
    canvas = Canvas(size, size)
    canvas.round_box(0, 0, size, size, radius, t.FIELD, mix(t.LINE, t.GLYPH, 0.3))
    canvas.key_out()
    return canvas


POPUP_BORDER = 4


def popup_design_rects():
    s, b = 24, POPUP_BORDER
    return [(0, 0, b, b), (b, 0, s - b, b), (s - b, 0, s, b),
            (0, b, b, s - b), (b, b, s - b, s - b), (s - b, b, s, s - b),
            (0, s - b, b, s), (b, s - b, s - b, s), (s - b, s - b, s, s)]


def popup_pieces(sheet):
    ref = sheet.image(popup_template(), 'popup frame')
    x0, y0 = ref.rect[0], ref.rect[1]
    return [ImageRef(sheet.name, (x0 + l, y0 + tp, x0 + r, y0 + b), mode)
            for (l, tp, r, b), mode in zip(popup_design_rects(), PIECE_MODES)]


def menu_highlight():
    canvas = Canvas(12, 10)
    canvas.underlay(lambda x, y: t.FIELD)
    canvas.round_box(0, 0, 12, 10, 3, t.SELECTION, t.SELECTION_LINE)
    canvas.key_out()
    return canvas


def menu_separator():
    canvas = Canvas(16, 3)
    canvas.fill(6, 1, 10, 2, t.LINE_SOFT)
    return canvas


def menu_check(w=13, h=14):
    canvas = Canvas(w, h)
    canvas.underlay(lambda x, y: t.FIELD)
    mask = Mask(w, h)
    mask.add(sd_polyline([(2.5, 7.5), (5.2, 10.2), (10.5, 3.5)], 1.8))
    mask.lay_on(canvas, t.ACCENT)
    canvas.key_out()
    return canvas


def menu_submenu_arrow(w=13, h=14):
    canvas = Canvas(w, h)
    canvas.underlay(lambda x, y: t.FIELD)
    Mask(w, h).add(sd_polyline([(5.0, 3.5), (8.5, 7.0), (5.0, 10.5)], 1.4)).lay_on(canvas, t.GLYPH)
    canvas.key_out()
    return canvas


# Menu bar.  The bar's margins are padding added to its height; the hot and
# open items draw only their border pieces, so their look is an underline in
# the bottom margin.  Their left margin is 0 because an idle item's text
# starts at the item's left edge and must not move when the item lights up.

def menubar_background():
    canvas = Canvas(16, 13, t.CHROME, opaque=True)
    canvas.fill(0, 12, 16, 13, t.LINE_SOFT)
    return canvas


def menubar_item(underline):
    canvas = Canvas(16, 10, t.CHROME, opaque=True)
    if underline:
        canvas.fill(0, 8, 4, 10, underline)
    return canvas


def mdi_button(glyph, state):
    w = h = 16
    canvas = Canvas(w, h, t.CHROME, opaque=True)
    plate = {'hot': t.SELECTION, 'pressed': t.PRESSED}.get(state)
    if plate:
        canvas.round_box(0, 0, w, h, 3, plate, t.SELECTION_LINE)
    if glyph == 'system':
        card_glyph(canvas, 8.0, 8.0)
    else:
        small = {'minimise': lambda m: m.rect(4, 10, 12, 12),
                 'restore': lambda m: m.outline(6, 3, 13, 10).clear(3, 6, 10, 13)
                 .outline(3, 6, 10, 13).rect(3, 7, 10, 8),
                 'close': lambda m: m.add(sd_segment(4.5, 4.5, 11.5, 11.5, 1.4))
                 .add(sd_segment(11.5, 4.5, 4.5, 11.5, 1.4))}[glyph]
        small(Mask(w, h)).lay_on(canvas, t.TEXT_SOFT)
    return canvas


def mdi_buttons(sheet):
    """Minimise, restore, close and system menu, each normal, hot, pressed."""
    refs = []
    for glyph in ('minimise', 'restore', 'close', 'system'):
        for state in ('normal', 'hot', 'pressed'):
            refs.append(sheet.image(mdi_button(glyph, state), 'mdi %s %s' % (glyph, state)))
    sheet.new_row()
    return refs

