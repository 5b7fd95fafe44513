"""Control art of the default skin: every piece sits in controls.bmp.

Which pieces may hold the key colour depends on how the engine draws them:
push buttons, check and radio boxes, tabs, the progress fill, slider thumbs
and toolbar buttons are drawn through the key; borders, tracks, arrows,
headers and bars are copied as they are, so their rounded corners are
blended into the face colour they sit on instead.
"""

from raster import Canvas, Mask, mix, ramp, sd_circle, sd_polyline, sd_round_rect
import theme as t


def _gradient(stops, top, bottom):
    return lambda x, y: ramp(stops, (y - top) / max(1, bottom - top - 1))


def push_button(face, border, ring=None, w=16, h=23):
    canvas = Canvas(w, h)
    canvas.underlay(lambda x, y: t.FACE)
    canvas.draw(sd_round_rect(0, 0, w, h, 4), border)
    inset = 1
    if ring:
        canvas.draw(sd_round_rect(1, 1, w - 1, h - 1, 3), ring)
        inset = 2
    canvas.draw(sd_round_rect(inset, inset, w - inset, h - inset, 4 - inset),
                _gradient(face, inset, h - inset))
    canvas.key_out()
    return canvas


PUSH_BUTTON_STATES = {
    'NORMAL': dict(face=(t.FIELD, mix(t.FACE, t.LINE, 0.25)), border=t.LINE),
    'PRESSED': dict(face=(t.PRESSED, mix(t.PRESSED, t.FIELD, 0.4)), border=t.PRESSED_LINE),
    'DEFAULT': dict(face=(t.FIELD, mix(t.FACE, t.LINE, 0.25)), border=t.ACCENT),
    'FOCUSED': dict(face=(t.FIELD, mix(t.FACE, t.LINE, 0.25)), border=t.ACCENT, ring=t.ACCENT_SOFT),
    'HIGHLIGHTED': dict(face=(mix(t.HOT, t.FIELD, 0.6), mix(t.HOT, t.SELECTION, 0.6)), border=t.LINE_HOT),
    'DISABLED': dict(face=(mix(t.FACE, t.FIELD, 0.3), t.FACE), border=t.LINE_DISABLED),
}

PUSH_BUTTON_TEXT = {'NORMAL': t.TEXT, 'PRESSED': t.ACCENT_DEEP, 'DEFAULT': t.TEXT,
                    'FOCUSED': t.TEXT, 'HIGHLIGHTED': t.ACCENT_DEEP, 'DISABLED': t.TEXT_DIM}

CHECK_PATH = [(3.4, 7.2), (6.0, 9.8), (10.8, 4.4)]


def check_box(fill, border, mark=None, size=14):
    canvas = Canvas(size, size)
    canvas.underlay(lambda x, y: t.FACE)
    canvas.round_box(0, 0, size, size, 3, fill, border)
    if mark:
        Mask(size, size).add(sd_polyline(CHECK_PATH, 1.9)).lay_on(canvas, mark)
    canvas.key_out()
    return canvas


def radio_box(fill, border, dot=None, size=14):
    canvas = Canvas(size, size)
    canvas.underlay(lambda x, y: t.FACE)
    c = size / 2.0
    canvas.draw(sd_circle(c, c, c), border)
    canvas.draw(sd_circle(c, c, c - 1.0), fill)
    if dot:
        canvas.draw(sd_circle(c, c, 3.2), dot)
    canvas.key_out()
    return canvas


BOX_BORDER = mix(t.LINE, t.GLYPH, 0.35)
SELECTED_HOT = mix(t.ACCENT, t.FIELD, 0.12)
GRAYED_FILL = mix(t.LINE_DISABLED, t.TEXT_DIM, 0.5)

# Group order of the check box and radio records.
CHECK_GROUPS = {
    'NORMAL': (t.FIELD, BOX_BORDER, None),
    'SELECTED': (t.ACCENT, t.ACCENT, t.FIELD),
    'DISABLED': (t.FIELD_READONLY, t.LINE_DISABLED, None),
    'GRAYEDNORMAL': (t.FIELD_READONLY, t.LINE_DISABLED, None),
    'GRAYEDSELECTED': (GRAYED_FILL, GRAYED_FILL, t.FIELD),
    'HIGHLIGHTEDNORMAL': (t.HOT, t.LINE_HOT, None),
    'HIGHLIGHTEDSELECTED': (SELECTED_HOT, SELECTED_HOT, t.FIELD),
}

RADIO_GROUPS = {
    'NORMAL': (t.FIELD, BOX_BORDER, None),
    'SELECTED': (t.FIELD, t.ACCENT, t.ACCENT),
    'DISABLED': (t.FIELD_READONLY, t.LINE_DISABLED, None),
    'GRAYEDNORMAL': (t.FIELD_READONLY, t.LINE_DISABLED, None),
    'GRAYEDSELECTED': (t.FIELD_READONLY, t.LINE_DISABLED, GRAYED_FILL),
    'HIGHLIGHTEDNORMAL': (t.HOT, t.LINE_HOT, None),
    'HIGHLIGHTEDSELECTED': (t.HOT, SELECTED_HOT, SELECTED_HOT),
}

BOX_TEXT = {'NORMAL': t.TEXT, 'SELECTED': t.TEXT, 'DISABLED': t.TEXT_DIM,
            'GRAYEDNORMAL': t.TEXT_DIM, 'GRAYEDSELECTED': t.TEXT_DIM,
            'HIGHLIGHTEDNORMAL': t.ACCENT_DEEP, 'HIGHLIGHTEDSELECTED': t.ACCENT_DEEP}


def flat(colour, w=8, h=8):
    return Canvas(w, h, colour, opaque=True)


def outlined(w, h, radius, border, fill, backdrop=t.FACE):
    """An opaque box whose rounded corners blend into the backdrop."""
    canvas = Canvas(w, h, backdrop, opaque=True)
    canvas.draw(sd_round_rect(0, 0, w, h, radius), border)
    canvas.draw(sd_round_rect(1, 1, w - 1, h - 1, max(0.0, radius - 1)), fill)
    return canvas


def field_border():
    """Edit, list and combo border: a one-pixel line and one pixel of field."""
    return outlined(8, 8, 1.5, t.LINE, t.FIELD)


def combo_button(face, chevron, w=16, h=18):
    canvas = Canvas(w, h, face, opaque=True)
    canvas.fill(0, 3, 1, h - 3, t.LINE_SOFT)
    Mask(w, h).add(sd_polyline([(5.5, 7.5), (8.5, 10.5), (11.5, 7.5)], 1.5)).lay_on(canvas, chevron)
    return canvas


COMBO_STATES = {
    'NORMAL': (t.FIELD, t.GLYPH),
    'PRESSED': (t.PRESSED, t.ACCENT_DEEP),
    'HOVERED': (t.HOT, t.ACCENT),
    'DISABLED': (t.FIELD_READONLY, t.GLYPH_DIM),
}

# Scroll bars are designed horizontal; the engine turns them for vertical bars.
SCROLL_SIZE = 16
SCROLL_STATES = {
    'NORMAL': dict(plate=None, glyph=t.GLYPH, thumb=t.SCROLL_THUMB),
    'PRESSED': dict(plate=mix(t.SCROLL_TRACK, t.LINE, 0.45), glyph=t.ACCENT_DEEP, thumb=t.SCROLL_THUMB_PRESSED),
    'HIGHLIGHTED': dict(plate=mix(t.SCROLL_TRACK, t.LINE, 0.2), glyph=t.ACCENT, thumb=t.SCROLL_THUMB_HOT),
    'DISABLED': dict(plate=None, glyph=t.GLYPH_DIM, thumb=mix(t.SCROLL_TRACK, t.SCROLL_THUMB, 0.5)),
}


def scroll_arrow(plate, glyph):
    """The left arrow; the right one is its mirror image."""
    s = SCROLL_SIZE
    canvas = Canvas(s, s, t.SCROLL_TRACK, opaque=True)
    if plate:
        canvas.draw(sd_round_rect(1, 1, s - 1, s - 1, 3), plate)
    Mask(s, s).add(sd_polyline([(9.3, 4.6), (5.9, 8.0), (9.3, 11.4)], 1.6)).lay_on(canvas, glyph)
    return canvas


def scroll_track():
    return Canvas(SCROLL_SIZE, SCROLL_SIZE, t.SCROLL_TRACK, opaque=True)


SCROLL_TRACK_MARGINS = (0, 2, 0, 2)


def scroll_thumb(colour):
    """Drawn inside the track's top and bottom margins: 16 long, 12 thick."""
    h = SCROLL_SIZE - SCROLL_TRACK_MARGINS[1] - SCROLL_TRACK_MARGINS[3]
    canvas = Canvas(SCROLL_SIZE, h, t.SCROLL_TRACK, opaque=True)
    canvas.draw(sd_round_rect(1, 0, SCROLL_SIZE - 1, h, 5), colour)
    return canvas


def scroll_gripper():
    s = SCROLL_SIZE
    canvas = Canvas(s, s, t.SCROLL_TRACK, opaque=True)
    for row in range(3):
        for col in range(row + 1):
            x, y = 12 - 3 * (row - col), 12 - 3 * col
            canvas.fill(x, y, x + 2, y + 2, t.LINE)
    return canvas


PROGRESS_TRACK = mix(t.CHROME, t.LINE_SOFT, 0.3)


def progress_background():
    return outlined(12, 12, 3, t.LINE, PROGRESS_TRACK)


def progress_fill():
    """The fill is drawn through the key over the whole bar, so its outer
    ring is key colour and the background's outline stays visible."""
    canvas = Canvas(12, 12)
    canvas.underlay(lambda x, y: PROGRESS_TRACK)
    canvas.draw(sd_round_rect(1, 1, 11, 11, 2), _gradient(t.PROGRESS, 1, 11))
    canvas.key_out()
    return canvas


def slider_channel():
    return outlined(8, 6, 2, t.LINE, mix(t.LINE_SOFT, t.FIELD, 0.4))


def slider_thumb(w=11, h=20):
    canvas = Canvas(w, h)
    canvas.underlay(lambda x, y: t.FACE)
    canvas.draw(sd_round_rect(0, 0, w, h, 5), t.LINE_HOT)
    canvas.draw(sd_round_rect(1, 1, w - 1, h - 1, 4), _gradient((t.FIELD, t.SELECTION), 1, h - 1))
    canvas.key_out()
    return canvas


SPIN_STATES = {
    'NORMAL': ((t.FIELD, mix(t.FACE, t.LINE, 0.2)), t.LINE, t.GLYPH),
    'HOVER': ((t.HOT, t.SELECTION), t.LINE_HOT, t.ACCENT),
    'PRESSED': ((t.PRESSED, t.PRESSED), t.PRESSED_LINE, t.ACCENT_DEEP),
    'DISABLED': ((t.FIELD_READONLY, t.FIELD_READONLY), t.LINE_DISABLED, t.GLYPH_DIM),
}


def spin_half(face, border, glyph, up, w=16, h=10):
    """Upper half (rounded top, no bottom line) or lower half (rounded
    bottom, with the line the two halves share)."""
    canvas = Canvas(w, h, t.FACE, opaque=True)
    if up:
        box = (0, 0, w, h + 1, (3, 3, 0, 0))
        points = [(5.0, 6.5), (8.0, 3.5), (11.0, 6.5)]
    else:
        box = (0, 0, w, h, (0, 0, 3, 3))
        points = [(5.0, 3.5), (8.0, 6.5), (11.0, 3.5)]
    x0, y0, x1, y1, r = box
    canvas.draw(sd_round_rect(x0, y0, x1, y1, r), border)
    inner = tuple(max(0.0, v - 1) for v in r)
    canvas.draw(sd_round_rect(x0 + 1, y0 + 1, x1 - 1, y1 - 1, inner), _gradient(face, 1, h - 1))
    Mask(w, h).add(sd_polyline(points, 1.5)).lay_on(canvas, glyph)
    return canvas


TAB_LINE = mix(t.LINE_SOFT, t.LINE, 0.4)
TAB_STATES = {
    'NORMAL': dict(fill=mix(t.CHROME, t.LINE_SOFT, 0.2), border=TAB_LINE),
    'PRESSED': dict(fill=t.PAGE, border=TAB_LINE, accent=t.ACCENT, open_bottom=True),
    'DISABLED': dict(fill=mix(t.FACE, t.CHROME, 0.5), border=t.LINE_DISABLED),
    'HOVERED': dict(fill=t.HOT, border=mix(TAB_LINE, t.LINE_HOT, 0.5)),
}
TAB_TEXT = {'NORMAL': t.TEXT_SOFT, 'PRESSED': t.TEXT, 'DISABLED': t.TEXT_DIM, 'HOVERED': t.ACCENT}


def tab(fill, border, accent=None, open_bottom=False, w=16, h=22):
    """A top tab; its last row continues the page's top line, or opens into
    the page for the selected tab."""
    canvas = Canvas(w, h)
    canvas.underlay(lambda x, y: t.FACE)
    canvas.draw(sd_round_rect(0, 0, w, h + 3, (4, 4, 0, 0)), border)
    canvas.draw(sd_round_rect(1, 1, w - 1, h + 3, (3, 3, 0, 0)), fill)
    if accent:
        canvas.draw(sd_round_rect(1, 1, w - 1, 4, (3, 3, 0, 0)), accent)
        canvas.fill(1, 3, w - 1, 4, mix(accent, fill, 0.55))
    if open_bottom:
        canvas.fill(1, h - 1, w - 1, h, fill)
    else:
        canvas.fill(0, h - 1, w, h, border)
    canvas.key_out()
    return canvas


def tab_page():
    canvas = Canvas(8, 8, TAB_LINE, opaque=True)
    canvas.fill(1, 1, 7, 7, t.PAGE)
    return canvas


def header_background(w=16, h=24):
    canvas = Canvas(w, h, opaque=True)
    canvas.vgradient(0, 0, w, h - 1, (t.FIELD, mix(t.FACE, t.CHROME, 0.6)))
    canvas.fill(0, h - 1, w, h, t.LINE_SOFT)
    return canvas


def header_item(w=16, h=24):
    canvas = header_background(w, h)
    canvas.fill(w - 1, 4, w, h - 4, t.LINE_SOFT)
    return canvas


def status_background(w=16, h=22):
    canvas = Canvas(w, h, t.CHROME, opaque=True)
    canvas.fill(0, 0, w, 1, t.LINE_SOFT)
    return canvas


def status_item(w=16, h=22):
    canvas = Canvas(w, h, t.CHROME, opaque=True)
    canvas.fill(w - 1, 4, w, h - 4, t.LINE_SOFT)
    return canvas


def toolbar_background(w=16, h=26):
    canvas = Canvas(w, h, t.CHROME, opaque=True)
    canvas.fill(0, h - 1, w, h, t.LINE_SOFT)
    return canvas


def toolbar_button(fill=None, border=None, size=12):
    """Flat buttons: the idle and disabled looks are all key colour, so the
    bar shows through; hot and pressed get a rounded plate."""
    canvas = Canvas(size, size)
    if fill:
        canvas.underlay(lambda x, y: t.CHROME)
        canvas.round_box(0, 0, size, size, 3, fill, border)
    canvas.key_out()
    return canvas


def rebar_band(w=40, h=24):
    canvas = Canvas(w, h, t.CHROME, opaque=True)
    for y in range(3, h - 3, 3):
        canvas.fill(3, y, 5, y + 1, t.LINE)
        canvas.fill(6, y + 1, 8, y + 2, t.LINE)
    return canvas
