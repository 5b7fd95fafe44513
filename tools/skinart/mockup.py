"""Mock-ups of skinned windows composed from the written bitmaps the way the
engine composes them: nine frame parts laid out for a window size, pieces
drawn once, tiled or stretched, caption buttons and highlights drawn through
the key colour, and the window's shape cut where the frame shows the key.
Text and the stacking of windows need ImageMagick (/usr/bin/convert) and a
CJK font; without them no mock-up is written."""

import os
import subprocess

from bmpio import decode_bmp8, encode_png
from raster import KEY

DESKTOP = (74, 96, 118)
TEXT_FONT = '/usr/share/fonts/truetype/wqy/wqy-microhei.ttc'
CONVERT = '/usr/bin/convert'
# Without dates in the file a rerun gives the same bytes.
STABLE_PNG = ['-define', 'png:exclude-chunks=date,time']

STRETCHED_PIECES = {1: set(range(9)), 2: {7}, 3: {4}, 4: {3}, 5: {1, 3, 5, 7}, 6: {5}, 7: {1}}


class Surface:
    def __init__(self, width, height, colour):
        self.width, self.height = width, height
        self.rows = [[colour] * width for _ in range(height)]

    def put(self, x, y, colour, keyed=False):
        if 0 <= x < self.width and 0 <= y < self.height and not (keyed and colour == KEY):
            self.rows[y][x] = colour

    def fill(self, rect, colour):
        l, t, r, b = rect
        for y in range(t, b):
            for x in range(l, r):
                self.put(x, y, colour)


class Painter:
    """The engine's ImageRef and FrameImageRef drawing, in software."""

    def __init__(self, bitmaps, target):
        self.bitmaps, self.target = bitmaps, target

    def pixel(self, bitmap, x, y):
        return self.bitmaps[bitmap][y][x]

    def image(self, rect, ref, keyed=False, source=None, mode=None):
        l, t, r, b = rect
        sl, st, sr, sb = source or ref.rect
        sw, sh = sr - sl, sb - st
        mode = ref.mode if mode is None else mode
        if sw <= 0 or sh <= 0 or r <= l or b <= t:
            return
        for y in range(t, b):
            for x in range(l, r):
                if mode == 0:
                    if x - l >= sw or y - t >= sh:
                        continue
                    sx, sy = sl + x - l, st + y - t
                elif mode == 1:
                    sx, sy = sl + (x - l) % sw, st + (y - t) % sh
                else:
                    sx = sl + (x - l) * sw // (r - l)
                    sy = st + (y - t) * sh // (b - t)
                self.target.put(x, y, self.pixel(ref.bitmap, sx, sy), keyed)

    def frame(self, rect, ref, keyed=False, centre=True):
        l, t, r, b = rect
        sl, st, sr, sb = ref.rect
        ml, mt, mr, mb = ref.margins
        dcols = [(l, l + ml), (l + ml, r - mr), (r - mr, r)]
        drows = [(t, t + mt), (t + mt, b - mb), (b - mb, b)]
        scols = [(sl, sl + ml), (sl + ml, sr - mr), (sr - mr, sr)]
        srows = [(st, st + mt), (st + mt, sb - mb), (sb - mb, sb)]
        stretched = STRETCHED_PIECES.get(ref.stretch, set())
        for k in range(9):
            if k == 4 and not centre:
                continue
            row, col = divmod(k, 3)
            self.image((dcols[col][0], drows[row][0], dcols[col][1], drows[row][1]), ref, keyed,
                       (scols[col][0], srows[row][0], scols[col][1], srows[row][1]),
                       2 if k in stretched else 1)


def fields(obj):
    return dict(obj.fields)


def layout_parts(design, w, h):
    w2, w5, w8 = (design[i][2] - design[i][0] for i in (2, 5, 8))
    h6 = design[6][3] - design[6][1]
    d = design
    return [d[0], (d[1][0], d[1][1], w - w2, d[1][3]), (w - w2, d[2][1], w, d[2][3]),
            (d[3][0], d[3][1], d[3][2], h - h6), (d[4][0], d[4][1], w - w5, h - h6),
            (w - w5, d[5][1], w, h - h6), (d[6][0], h - h6, d[6][2], h),
            (d[7][0], h - h6, w - w8, h), (w - w8, h - h6, w, h)]


class Window:
    """A skinned frame at (x, y) of the given size on a surface."""

    def __init__(self, frame_object, x, y, w, h, prefix='ACTIVEFRAME', keys=None):
        self.obj, self.x, self.y, self.w, self.h = frame_object, x, y, w, h
        f = fields(frame_object)
        self.design = [tuple(f['designRect[%d]' % i]) for i in range(9)]
        names = keys or ['%s.%s' % (prefix, k) for k in
                         ('TOPLEFT', 'MIDDLETOP', 'TOPRIGHT', 'MIDDLELEFT', 'ClIENT',
                          'MIDDLERIGHT', 'BOTTOMLEFt', 'BOTTOMMIDDLE', 'BOTtoMRIGHT')]
        self.pieces = [f[n] for n in names]
        self.parts = [self.moved(r) for r in layout_parts(self.design, w, h)]

    def moved(self, rect):
        return (rect[0] + self.x, rect[1] + self.y, rect[2] + self.x, rect[3] + self.y)

    def paint(self, painter, menubar_height=0):
        # The region leaves out the key-coloured pixels of the frame pieces,
        # so drawing them through the key shows the desktop there.
        for i in (3, 5, 0, 1, 2, 6, 7, 8):
            painter.image(self.parts[i], self.pieces[i], keyed=True)
        client = self.parts[4]
        painter.image((client[0], client[1] + menubar_height, client[2], client[3]), self.pieces[4])

    def element_rect(self, child):
        f = fields(child)
        l, t, r, b = f['placement']
        if f.get('anchor') == 4:
            dw = self.w - self.design[2][2]
            l, r = l + dw, r + dw
        return self.moved((l, t, r, b))


class Texts:
    """Text drawn afterwards by ImageMagick: (x, y, size, colour, text)."""

    def __init__(self):
        self.items = []

    def add(self, x, y, text, colour=(30, 43, 56), size=12):
        self.items.append((x, y, size, colour, text))

    def apply(self, png_path):
        if not self.items:
            return
        args = [CONVERT, png_path, '-font', TEXT_FONT]
        for x, y, size, colour, text in self.items:
            args += ['-pointsize', str(size), '-fill', '#%02X%02X%02X' % colour,
                     '-annotate', '+%d+%d' % (x, y), text]
        subprocess.run(args + STABLE_PNG + [png_path], check=True)


def child(obj, name):
    return next(c for c in obj.children if c.name == name)


def main_window_mockup(skin, bitmaps):
    objs = {o.name: o for o in skin.objects}
    surface = Surface(640, 400, DESKTOP)
    painter = Painter(bitmaps, surface)
    texts = Texts()
    win = Window(objs['MainFrame'], 20, 16, 560, 340)
    menubar = dict(objs['MainFrame'].menubar)
    bar_margins = menubar['barBackground'].margins
    row = 16 + 4 + 2
    bar_height = row + bar_margins[1] + bar_margins[3]
    win.paint(painter, bar_height)
    bar = (win.parts[3][2], win.parts[0][3], win.parts[5][0], win.parts[0][3] + bar_height)
    painter.frame(bar, menubar['barBackground'])
    x = bar[0] + bar_margins[0] + 4
    top = bar[1] + bar_margins[1]
    for text, width, state in (('檔案', 26, 'open'), ('幫助', 26, 'hot')):
        item = (x, top, x + width + 12, top + 20)
        if state:
            painter.frame(item, menubar['%sImage' % state], centre=False)
        texts.add(item[0], item[1] + 15, text, (23, 63, 102) if state == 'open' else (31, 90, 146))
        x = item[2]
    for name in ('Sys', 'Min', 'Max', 'Close'):
        button = child(objs['MainFrame'], name)
        f = fields(button)
        look = f['hotImage'] if name == 'Close' else f['image']
        painter.image(win.element_rect(button), look, keyed=True)
    caption = win.parts[1]
    texts.add(caption[0], caption[1] + 21, 'Tavren 自然人憑證安裝情形檢查程式', (255, 255, 255))
    report = ['Tavren 自然人憑證檢查程式 v3.1   2005/08/15', '', '檢查讀卡機',
              '      共有 1 台讀卡機', '       第 1 台讀卡機: Generic USB Smart Card Reader -- 有插卡',
              '', '檢查根憑證', '      有安裝自然人根憑證', '', '檢查CSP及驅動程式',
              '      有安裝自然人憑證 HiCOS PKI Smart Card CSP。']
    for i, line in enumerate(report):
        texts.add(win.parts[4][0] + 10, bar[3] + 22 + 18 * i, line)
    layer = Surface(surface.width, surface.height, None)
    popup_texts = Texts()
    popup_mockup(objs['PopupMenu'], Painter(bitmaps, layer), popup_texts,
                 bar[0] + bar_margins[0] + 4, bar[3] - 1)
    return [(surface, texts), (layer, popup_texts)]


def popup_mockup(popup_object, painter, texts, x, y):
    f = fields(popup_object)
    win = Window(popup_object, x, y, 150, 4 + 3 * 24 + 4,
                 keys=['FRAME.%s' % k for k in ('TOPLEFT', 'MIDDLETOP', 'TOPRIGHT', 'MIDDLELEFT',
                                                'ClIENT', 'MIDDLERIGHT', 'BOTTOMLEFt',
                                                'BOTTOMMIDDLE', 'BOTtoMRIGHT')])
    win.paint(painter)
    client = win.parts[4]
    height = 24
    items = [('再檢查', 'F5', True), (None, None, False), ('結束', '', False)]
    margins = f['ITEM.ACTIVEIMAGE'].margins
    for i, (text, accel, hot) in enumerate(items):
        rect = (client[0], client[1] + i * height, client[2], client[1] + (i + 1) * height)
        if text is None:
            sep = f['ITEM.SEPARATORIMAGE']
            pad = (height - sep.height) // 2
            painter.frame((rect[0], rect[1] + pad, rect[2], rect[3] - pad), sep, keyed=True)
            continue
        if hot:
            painter.frame(rect, f['ITEM.ACTIVEIMAGE'], keyed=True)
        texts.add(rect[0] + margins[0] + height + 1, rect[1] + 17, text,
                  (23, 63, 102) if hot else (30, 43, 56))
    cell = height - margins[1] - margins[3] - 2
    check = (client[0] + margins[0] + 1, client[1] + margins[1] + 1)
    painter.image((check[0], check[1], check[0] + cell - 1, check[1] + cell), f['ITEM.CHECKIMAGE'], keyed=True)


def dialog_mockup(skin, bitmaps):
    objs = {o.name: o for o in skin.objects}
    surface = Surface(520, 330, DESKTOP)
    painter = Painter(bitmaps, surface)
    texts = Texts()
    win = Window(objs['Dialog'], 16, 14, 480, 300)
    win.paint(painter)
    close = child(objs['Dialog'], 'DialogCLose')
    painter.image(win.element_rect(close), fields(close)['image'], keyed=True)
    texts.add(win.parts[1][0], win.parts[1][1] + 19, '關於本程式', (255, 255, 255))
    cx, cy = win.parts[4][0], win.parts[4][1]

    button = fields(objs['Button'])
    for i, state in enumerate(('NORMAL', 'DEFAULT', 'HIGHLIGHTED', 'PRESSED', 'DISABLED')):
        rect = (cx + 14 + i * 86, cy + 14, cx + 14 + i * 86 + 76, cy + 14 + 24)
        painter.frame(rect, button['%s.IMAGE' % state], keyed=True)
        texts.add(rect[0] + 26, rect[1] + 17, '確定', button['%s.TEXTEFFECT' % state].colour)

    group = fields(objs['GroupBox'])
    g = (cx + 14, cy + 56, cx + 220, cy + 200)
    painter.frame((g[0], g[1] + 8, g[2], g[3]), group['FRAMEIMAGE'], centre=False)
    painter.target.fill((g[0] + 8, g[1], g[0] + 70, g[1] + 16), fields(objs['Dialog'])['clientColour'])
    texts.add(g[0] + 12, g[1] + 13, '檢查項目', group['TEXTEFFECT'].colour)
    boxes = [('CheckBox', 'SELECTED', '讀卡機'), ('CheckBox', 'HIGHLIGHTEDNORMAL', '根憑證'),
             ('CheckBox', 'NORMAL', '驅動程式'), ('Radio', 'SELECTED', 'HiCOS'),
             ('Radio', 'NORMAL', 'SafeSign'), ('Radio', 'DISABLED', '其他')]
    for i, (kind, state, text) in enumerate(boxes):
        ref = fields(objs[kind])['%s.BOXIMAGE' % state]
        bx, by = g[0] + 14, g[1] + 24 + i * 19
        painter.image((bx, by, bx + ref.width, by + ref.height), ref, keyed=True)
        texts.add(bx + ref.width + 6, by + 12, text,
                  fields(objs[kind])['%s.TEXTEFFECT' % state].colour)

    edit = fields(objs['Edit'])
    e = (cx + 236, cy + 62, cx + 440, cy + 84)
    painter.target.fill(e, (255, 255, 255))
    painter.frame(e, edit['BORDER'], centre=False)
    texts.add(e[0] + 5, e[1] + 16, 'A123456789')
    combo = fields(objs['ComboBox'])
    c = (cx + 236, cy + 94, cx + 440, cy + 116)
    painter.frame(c, combo['mainImage'], centre=False)
    painter.target.fill((c[0] + 2, c[1] + 2, c[2] - 2, c[3] - 2), (255, 255, 255))
    painter.frame((c[2] - 18, c[1] + 2, c[2] - 2, c[3] - 2), combo['THUMB.HOVERED'])
    texts.add(c[0] + 5, c[1] + 16, 'HiCOS PKI Smart Card')

    progress = fields(objs['ProgressBar'])
    p = (cx + 236, cy + 128, cx + 440, cy + 144)
    painter.frame(p, progress['BACKGROUND'])
    painter.frame((p[0], p[1], p[0] + 130, p[3]), progress['PROGRESSIMAGE'], keyed=True)

    slider = fields(objs['Slider'])
    s = (cx + 240, cy + 164, cx + 436, cy + 168)
    painter.frame(s, slider['CHANNEL'])
    painter.frame((cx + 300, cy + 156, cx + 311, cy + 176), slider['THUMB.HORIZONTAL'], keyed=True)

    tab = fields(objs['Tab'])
    page = (cx + 236, cy + 205, cx + 440, cy + 262)
    painter.frame(page, tab['FRAME'])
    for i, state in enumerate(('NORMAL', 'PRESSED', 'HOVERED')):
        rect = (page[0] + 2 + i * 62, page[1] - 21, page[0] + 2 + i * 62 + 60, page[1] + 1)
        if state == 'PRESSED':
            rect = (rect[0] - 2, rect[1] - 2, rect[2] + 2, rect[3])
        painter.frame(rect, tab['%s.TABIMAGE' % state], keyed=True)
        texts.add(rect[0] + 16, rect[1] + 16, ('一般', '憑證', '讀卡機')[i], tab['%s.TEXTEFFECT' % state].colour)

    scroll = fields(objs['ScrollBar'])
    v = (cx + 14, cy + 214, cx + 214, cy + 230)
    painter.frame(v, scroll['NORMAL.SCROLLBAR'])
    painter.image((v[0], v[1], v[0] + 16, v[3]), scroll['NORMAL.ARROW1'])
    painter.image((v[2] - 16, v[1], v[2], v[3]), scroll['HIGHLIGHTED.ARROW2'])
    margins = scroll['NORMAL.SCROLLBAR'].margins
    painter.frame((v[0] + 60, v[1] + margins[1], v[0] + 110, v[3] - margins[3]), scroll['HIGHLIGHTED.THUMB'])
    return [(surface, texts)]


def write_layers(layers, path):
    """Writes the first layer, then lays each further one over it."""
    for i, (surface, texts) in enumerate(layers):
        target = path if i == 0 else path + '.layer.png'
        with open(target, 'wb') as f:
            f.write(encode_png(surface.width, surface.height, surface.rows))
        texts.apply(target)
        if i:
            subprocess.run([CONVERT, path, target, '-composite'] + STABLE_PNG + [path], check=True)
            os.remove(target)


def write_mockups(skin, skin_dir, docs_dir):
    if not (os.path.exists(CONVERT) and os.path.exists(TEXT_FONT)):
        print('mock-ups skipped: %s or %s missing' % (CONVERT, TEXT_FONT))
        return
    bitmaps = {}
    for name in skin.sheets:
        with open(os.path.join(skin_dir, name), 'rb') as f:
            bitmaps[name] = decode_bmp8(f.read())[4]
    for name, build in (('mockup-main.png', main_window_mockup), ('mockup-dialog.png', dialog_mockup)):
        write_layers(build(skin, bitmaps), os.path.join(docs_dir, name))
