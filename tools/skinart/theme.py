"""Colours of the default skin: a calm slate-blue caption over light chrome.

The caption is dark enough for white Chinese text at twelve pixels (contrast
above 5:1 active, above 3.5:1 inactive); everything else stays light and flat
so that the report text is what the eye finds first.
"""

from raster import hex_colour as c

ACCENT = c('2D6A9F')
ACCENT_DEEP = c('173F66')
ACCENT_SOFT = c('8DB4DA')

# Caption: gradient top to bottom, a highlight under the outer edge and a
# darker last row where the caption meets the menu bar.
CAPTION = {
    True: dict(stops=(c('3D7AB1'), c('2D659B')), highlight=c('6597C6'),
               edge=c('1D4873'), separator=c('275886'), side_edge=c('43709C')),
    False: dict(stops=(c('7E94AA'), c('6E859C')), highlight=c('97AABD'),
                edge=c('5E7488'), separator=c('667D93'), side_edge=c('9AA9B8')),
}
CAPTION_TEXT = c('FFFFFF')

CHROME = c('E7ECF1')         # window borders, menu bar, status bar, toolbars
MAIN_CLIENT = c('FFFFFF')    # the report area of the main window
FACE = c('F3F5F8')           # dialog and control face
PAGE = c('FBFCFD')           # tab pages
FIELD = c('FFFFFF')          # edit fields and lists
FIELD_READONLY = c('EEF1F5')

TEXT = c('1E2B38')
TEXT_SOFT = c('4A5866')
TEXT_DIM = c('A3ADB8')
TEXT_LINK = c('1F5A92')

LINE = c('A7B5C4')           # control outlines
LINE_SOFT = c('C9D3DD')      # separators and group frames
LINE_HOT = c('6C9ACB')
LINE_DISABLED = c('CDD4DB')

SELECTION = c('DDEAF7')
SELECTION_LINE = c('A9C8E6')
PRESSED = c('D2E1F0')
PRESSED_LINE = c('4F80B2')
HOT = c('EAF2FA')
TOOL_PRESSED = c('CADCEF')

GLYPH = c('5B6B7B')
GLYPH_DIM = c('BAC3CC')

# Caption buttons.
BUTTON_GLYPH = {True: c('FFFFFF'), False: c('FFFFFF')}
BUTTON_GLYPH_DISABLED = c('8EAFD0')
BUTTON_HOT = c('5A90C4')
BUTTON_PRESSED = c('245688')
CLOSE_HOT = c('D64B47')
CLOSE_PRESSED = c('A83430')

CARD_BODY = c('F5F8FB')
CARD_LINE = c('9DB2C6')
CARD_CHIP = c('E2B449')
CARD_CHIP_LINE = c('A97E1F')

SCROLL_TRACK = c('EEF1F4')
SCROLL_TRACK_PRESSED = c('E1E7ED')
SCROLL_THUMB = c('C3CDD8')
SCROLL_THUMB_HOT = c('A6B4C3')
SCROLL_THUMB_PRESSED = c('7F93A8')

PROGRESS = (c('4A8BC7'), c('2D6A9F'))
