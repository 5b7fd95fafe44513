"""The default skin: its six bitmaps and the 26 objects that use them."""

import controls as cs
import frames as fr
import theme as t
from sheet import ImageRef, Sheet
from skinsource import Bytes, Font, Rect, SkinObject, TextEffect

KEY_COLOUR = (255, 0, 255)
BIG5_CHARSET = 136
UI_FACE = 'PMingLiU'


# Without smoothing: twelve-pixel Chinese strokes are one pixel wide, and
# smoothed they never reach their colour (dark text drew at 2:1 on the chrome).
NONANTIALIASED_QUALITY = 3


def ui_font(colour=t.TEXT, height=-12):
    return Font(UI_FACE, height, colour, charset=BIG5_CHARSET, quality=NONANTIALIASED_QUALITY)


PIECE_KEYS = ('TOPLEFT', 'MIDDLETOP', 'TOPRIGHT', 'MIDDLELEFT', 'ClIENT', 'MIDDLERIGHT',
              'BOTTOMLEFt', 'BOTTOMMIDDLE', 'BOTtoMRIGHT')

# Caption button actions and show codes (when an element is shown).
ACTION_CLOSE, ACTION_MAXIMISE, ACTION_MINIMISE, ACTION_SYSTEM = 1, 3, 4, 5
SHOW_ALWAYS, SHOW_MINIMISED, SHOW_NOT_MINIMISED, SHOW_MAXIMISED, SHOW_NOT_MAXIMISED = 0, 1, 2, 3, 4
ANCHOR_LEFT, ANCHOR_RIGHT = 0, 4

MAIN_BUTTON = (28, 22)
DIALOG_BUTTON = (26, 20)


class DefaultSkin:
    def __init__(self):
        self.sheets = {name: Sheet(name, width) for name, width in (
            ('active.bmp', 124), ('controls.bmp', 256), ('dialogwindow.bmp', 112),
            ('main.bmp', 180), ('menuitems.bmp', 96), ('pw.bmp', 32))}
        self._field_border = None
        self._menubar = None
        # Built in the order the sheets should fill; stored in name order.
        built = [self.main_frame(), self.dialog(), self.popup_menu(), self.application(),
                 self.button(), self.check_box(), self.radio(), self.group_box(),
                 self.combo_box(), self.client_edge('EditSkin', 'Edit'),
                 self.client_edge('ListViewSkin', 'ListCtrl'),
                 self.client_edge('ListBoxSkin', 'Listbox'),
                 self.client_edge('RichEditSkin', 'RichEdit'),
                 self.client_edge('IpAddressSkin', 'ScrollControl'),
                 self.client_edge('TreeViewSkin', 'TreeCtrl'), self.scroll_bar(), self.spin(),
                 self.progress(), self.slider(), self.tab(), self.header(), self.status_bar(),
                 self.tool_bar(), self.rebar(), self.static(), self.animate()]
        self.objects = sorted(built, key=lambda o: o.name.encode('ascii'))

    def sheet(self, name):
        return self.sheets[name]

    def references(self):
        """(owner path, field, picture) for every picture the objects name."""
        found = []

        def visit(obj, path):
            for field, value in obj.fields:
                if isinstance(value, ImageRef):
                    found.append((path, field, value))
            for field, value in obj.menubar or []:
                if isinstance(value, ImageRef):
                    found.append((path + ' menu bar', field, value))
            for child in obj.children:
                visit(child, path + '/' + child.name)
        for obj in self.objects:
            visit(obj, obj.name)
        return found

    # Frames.

    def frame_fields(self, sheet, geometry, client, label):
        fields = []
        for prefix, active in (('ACTIVEFRAME', True), ('DEACTIVEFRAME', False)):
            pieces = fr.frame_pieces(sheet, geometry, active, client,
                                     '%s frame, %s' % (label, 'active' if active else 'inactive'))
            fields += [('%s.%s' % (prefix, key), ref) for key, ref in zip(PIECE_KEYS, pieces)]
        sheet.new_row()
        fields += [('designRect[%d]' % i, Rect(r)) for i, r in enumerate(geometry.design_rects())]
        fields += [('backColour', t.FACE), ('textColour', t.TEXT),
                   ('CAPTIONFONT', ui_font(t.CAPTION_TEXT)),
                   ('ACTIVEFRAME.COLOR', fr.caption_colour(geometry.caption // 2, geometry.caption, True)),
                   ('DEACTIVEFRAME.COLOR', fr.caption_colour(geometry.caption // 2, geometry.caption, False)),
                   ('clientColour', client),
                   ('captionEffect', TextEffect(t.CAPTION_TEXT)),
                   ('SKINCLIENT', 1)]
        return fields

    def caption_button(self, name, refs, placement, action, anchor, show=SHOW_ALWAYS):
        idle, hot, pressed, disabled = refs
        return SkinObject('CaptionButtonSkin', name, [
            ('placement', Rect(placement)), ('anchor', anchor), ('showCode', show),
            ('image', idle), ('hotImage', hot), ('pressedImage', pressed),
            ('disabledImage', disabled), ('action', action), ('toggle', 0)])

    def menubar(self):
        """The menu-bar look shared by both frames, placed once."""
        if self._menubar is None:
            self._menubar = self.place_menubar()
        return self._menubar

    def place_menubar(self):
        items = self.sheet('menuitems.bmp')
        bar = items.frame(fr.menubar_background(), 'menu bar background', (4, 2, 4, 3))
        hot = items.frame(fr.menubar_item(t.ACCENT_SOFT), 'menu bar item, hot', (0, 2, 12, 2))
        opened = items.frame(fr.menubar_item(t.ACCENT), 'menu bar item, open', (0, 2, 12, 2))
        items.new_row()
        mdi = fr.mdi_buttons(self.sheet('active.bmp'))
        return ([('backColour', t.CHROME), ('font', ui_font()),
                 ('idleEffect', TextEffect(t.TEXT)), ('secondEffect', TextEffect(t.TEXT)),
                 ('hotEffect', TextEffect(t.TEXT_LINK)), ('hotColour', t.CHROME), ('hotImage', hot),
                 ('openEffect', TextEffect(t.ACCENT_DEEP)), ('openColour', t.CHROME),
                 ('openImage', opened)]
                + [('mdiButton[%d]' % i, ref) for i, ref in enumerate(mdi)]
                + [('barBackground', bar)])

    def main_frame(self):
        main = self.sheet('main.bmp')
        fields = self.frame_fields(main, fr.MAIN, t.MAIN_CLIENT, 'main window')
        buttons = self.sheet('active.bmp')
        w, h = MAIN_BUTTON
        g = fr.MAIN
        top = (g.caption - h) // 2
        right = g.width - 6

        def slot(i):
            return (right - (i + 1) * w - i * 2, top, right - i * (w + 2), top + h)

        def row(glyph, close=False):
            return fr.caption_button_set(buttons, w, h, glyph, g, top, close)
        close, maximise, restore, minimise = row('close', True), row('maximise'), row('restore'), row('minimise')
        system = fr.caption_button_set(buttons, 20, 20, 'system', g, (g.caption - 20) // 2)
        sys_top = (g.caption - 20) // 2
        children = [
            self.caption_button('Close', close, slot(0), ACTION_CLOSE, ANCHOR_RIGHT),
            self.caption_button('Max', maximise, slot(1), ACTION_MAXIMISE, ANCHOR_RIGHT, SHOW_NOT_MAXIMISED),
            self.caption_button('MaxRestore', restore, slot(1), ACTION_MAXIMISE, ANCHOR_RIGHT, SHOW_MAXIMISED),
            self.caption_button('Min', minimise, slot(2), ACTION_MINIMISE, ANCHOR_RIGHT, SHOW_NOT_MINIMISED),
            self.caption_button('MinRestore', restore, slot(2), ACTION_MINIMISE, ANCHOR_RIGHT, SHOW_MINIMISED),
            self.caption_button('Sys', system, (10, sys_top, 30, sys_top + 20), ACTION_SYSTEM, ANCHOR_LEFT),
        ]
        return SkinObject('FrameSkin', 'MainFrame', fields, children, self.menubar())

    def dialog(self):
        sheet = self.sheet('dialogwindow.bmp')
        g = fr.DIALOG
        fields = self.frame_fields(sheet, g, t.FACE, 'dialog')
        w, h = DIALOG_BUTTON
        top = (g.caption - h) // 2
        close = fr.caption_button_set(sheet, w, h, 'close', g, top, close=True)
        placement = (g.width - 4 - w, top, g.width - 4, top + h)
        children = [self.caption_button('DialogCLose', close, placement, ACTION_CLOSE, ANCHOR_RIGHT)]
        return SkinObject('FrameSkin', 'Dialog', fields, children, self.menubar())

    def popup_menu(self):
        frame = self.sheet('pw.bmp')
        pieces = fr.popup_pieces(frame)
        items = self.sheet('menuitems.bmp')
        highlight = items.frame(fr.menu_highlight(), 'menu item, highlighted', (4, 3, 4, 3))
        separator = items.frame(fr.menu_separator(), 'menu separator', (6, 1, 6, 1))
        check = items.image(fr.menu_check(), 'menu check mark', mode=2)
        submenu = items.image(fr.menu_submenu_arrow(), 'submenu arrow', mode=2)
        items.new_row()
        fields = [('FRAME.%s' % key, ref) for key, ref in zip(PIECE_KEYS, pieces)]
        fields += [('designRect[%d]' % i, Rect(r)) for i, r in enumerate(fr.popup_design_rects())]
        fields += [('backColour', t.FIELD), ('textColour', t.TEXT), ('ITEM.FONT', ui_font()),
                   ('FRAME.COLOR', t.FIELD), ('inactiveColour', t.FIELD), ('clientColour', t.FIELD),
                   ('normalEffect', TextEffect(t.TEXT)), ('disabledEffect', TextEffect(t.TEXT_DIM)),
                   ('activeEffect', TextEffect(t.ACCENT_DEEP)),
                   ('ITEM.ACTIVECOLOR', t.SELECTION), ('ITEM.SEPARATORCOLOR', t.LINE_SOFT),
                   ('ITEM.SEPARATORIMAGE', separator), ('ITEM.ACTIVEIMAGE', highlight),
                   ('ITEM.SUBMENU', submenu), ('ITEM.CHECKIMAGE', check)]
        return SkinObject('PopupMenuSkin', 'PopupMenu', fields)

    def application(self):
        return SkinObject('SkinInfo', 'Application', [
            ('keyColour', KEY_COLOUR), ('AUTHOR', 'sso'),
            ('DESCRIPTION', 'Calm slate-blue default look'), ('APPLICATION', 'sso.exe'),
            ('USETRANSPARENTCOLOR', 1), ('EMAIL', ''), ('HOMEPAGE', '')])

    # Controls.

    def control_fields(self, colour=t.TEXT):
        return [('backColour', t.FACE), ('textColour', colour), ('FONT', ui_font(colour))]

    def button(self):
        sheet = self.sheet('controls.bmp')
        fields = self.control_fields()
        for state, look in cs.PUSH_BUTTON_STATES.items():
            ref = sheet.frame(cs.push_button(**look), 'push button, %s' % state.lower(), (5, 5, 5, 5))
            fields += [('%s.IMAGE' % state, ref),
                       ('%s.TEXTEFFECT' % state, TextEffect(cs.PUSH_BUTTON_TEXT[state]))]
        sheet.new_row()
        return SkinObject('ButtonSkin', 'Button', fields)

    def boxes(self, type_name, name, groups, draw):
        sheet = self.sheet('controls.bmp')
        background = sheet.frame(cs.flat(t.FACE), '%s background' % name.lower(), (0, 0, 0, 0))
        fields = self.control_fields() + [('NORMAL.BACKGROUNDIMAGE', background)]
        for group, look in groups.items():
            fields += [('%s.BOXIMAGE' % group, sheet.image(draw(*look), '%s, %s' % (name.lower(), group.lower()))),
                       ('%s.TEXTEFFECT' % group, TextEffect(cs.BOX_TEXT[group]))]
        sheet.new_row()
        return SkinObject(type_name, name, fields + [('TRANSPARENT', 1)])

    def check_box(self):
        return self.boxes('CheckBoxSkin', 'CheckBox', cs.CHECK_GROUPS, cs.check_box)

    def radio(self):
        return self.boxes('RadioSkin', 'Radio', cs.RADIO_GROUPS, cs.radio_box)

    def field_border(self):
        """One border for every edit-like control, placed once."""
        if self._field_border is None:
            self._field_border = self.sheet('controls.bmp').frame(cs.field_border(), 'field border', (2, 2, 2, 2))
        return self._field_border

    def client_edge(self, type_name, name):
        return SkinObject(type_name, name, [
            ('backColour', t.FIELD), ('textColour', t.TEXT), ('keyColour', t.FIELD_READONLY),
            ('FONT', ui_font()), ('BORDER', self.field_border())])

    def combo_box(self):
        sheet = self.sheet('controls.bmp')
        # COLOR.BACKCOLOR and COLOR.TEXTCOLOR are the common colours.
        fields = [('FONT', ui_font()), ('mainImage', self.field_border())]
        for state, (face, chevron) in cs.COMBO_STATES.items():
            fields.append(('THUMB.%s' % state, sheet.frame(cs.combo_button(face, chevron),
                                                             'combo button, %s' % state.lower(), (1, 5, 0, 5), 3)))
        sheet.new_row()
        return SkinObject('ComboBoxSkin', 'ComboBox', fields + [
            ('COLOR.BACKCOLOR', t.FIELD), ('COLOR.TEXTCOLOR', t.TEXT),
            ('COLOR.FOCUS', t.SELECTION), ('COLOR.FOCUSTEXTCOLOR', t.ACCENT_DEEP),
            ('COLOR.DISABLEDBACKGROUND', t.FIELD_READONLY), ('COLOR.DISABLEDTEXT', t.TEXT_DIM)])

    def group_box(self):
        sheet = self.sheet('controls.bmp')
        frame = sheet.frame(cs.outlined(12, 12, 3, t.LINE_SOFT, t.FACE), 'group frame', (3, 3, 3, 3))
        caption = sheet.frame(cs.flat(t.FACE, 12, 8), 'group caption', (4, 0, 4, 0))
        return SkinObject('GroupBoxSkin', 'GroupBox', self.control_fields() + [
            ('FRAMEIMAGE', frame), ('CAPTIONIMAGE', caption), ('CAPTIONCOLOR', t.FACE),
            ('TEXTEFFECT', TextEffect(t.ACCENT)), ('TRANSPARENT', 1)])

    def scroll_bar(self):
        sheet = self.sheet('controls.bmp')
        sheet.new_row()
        track = sheet.frame(cs.scroll_track(), 'scroll track', cs.SCROLL_TRACK_MARGINS)
        gripper = sheet.image(cs.scroll_gripper(), 'size grip')
        fields = self.control_fields()
        for state, look in cs.SCROLL_STATES.items():
            left = cs.scroll_arrow(look['plate'], look['glyph'])
            fields += [('%s.ARROW1' % state, sheet.image(left, 'scroll arrow 1, %s' % state.lower())),
                       ('%s.ARROW2' % state, sheet.image(left.mirrored(), 'scroll arrow 2, %s' % state.lower())),
                       ('%s.SCROLLBAR' % state, track),
                       ('%s.THUMB' % state, sheet.frame(cs.scroll_thumb(look['thumb']),
                                                         'scroll thumb, %s' % state.lower(), (6, 5, 6, 5)))]
        sheet.new_row()
        return SkinObject('ScrollBarSkin', 'ScrollBar', fields + [('GRIPPER', gripper)])

    def progress(self):
        sheet = self.sheet('controls.bmp')
        return SkinObject('ProgressSkin', 'ProgressBar', [
            ('backColour', cs.PROGRESS_TRACK), ('textColour', t.ACCENT), ('FONT', ui_font()),
            ('BACKGROUND', sheet.frame(cs.progress_background(), 'progress background', (3, 3, 3, 3))),
            ('PROGRESSIMAGE', sheet.frame(cs.progress_fill(), 'progress fill', (3, 3, 3, 3))),
            ('USEPERCENT', 0)])

    def slider(self):
        sheet = self.sheet('controls.bmp')
        thumb = cs.slider_thumb()
        return SkinObject('TrackBarSkin', 'Slider', self.control_fields() + [
            ('BACKGROUND', sheet.frame(cs.flat(t.FACE), 'slider background', (0, 0, 0, 0))),
            ('CHANNEL', sheet.frame(cs.slider_channel(), 'slider channel', (2, 2, 2, 2))),
            ('THUMB.HORIZONTAL', sheet.frame(thumb, 'slider thumb, horizontal', (5, 5, 5, 5))),
            ('THUMB.VERTICAL', sheet.frame(thumb.transposed(), 'slider thumb, vertical', (5, 5, 5, 5))),
            ('TRANSPARENT', 1)])

    def spin(self):
        sheet = self.sheet('controls.bmp')
        fields = self.control_fields()
        for state, (face, border, glyph) in cs.SPIN_STATES.items():
            for half, up in (('UP', True), ('DOWN', False)):
                art = cs.spin_half(face, border, glyph, up)
                fields.append(('%s.%s' % (state, half),
                               sheet.image(art, 'spin %s, %s' % (half.lower(), state.lower()), mode=2)))
        sheet.new_row()
        return SkinObject('SpinSkin', 'Spin', fields)

    def tab(self):
        sheet = self.sheet('controls.bmp')
        fields = self.control_fields() + [
            ('BACKGROUND', sheet.frame(cs.flat(t.FACE), 'tab control background', (0, 0, 0, 0))),
            ('FRAME', sheet.frame(cs.tab_page(), 'tab page', (2, 2, 2, 2)))]
        for state, look in cs.TAB_STATES.items():
            fields += [('%s.TABIMAGE' % state, sheet.frame(cs.tab(**look), 'tab, %s' % state.lower(), (4, 4, 4, 2))),
                       ('%s.TEXTEFFECT' % state, TextEffect(cs.TAB_TEXT[state]))]
        sheet.new_row()
        return SkinObject('TabSkin', 'Tab', fields + [('TRANSpARENT', 1)])

    def header(self):
        sheet = self.sheet('controls.bmp')
        return SkinObject('HeaderSkin', 'Header', self.control_fields(t.TEXT_SOFT) + [
            ('BACKGROUND', sheet.frame(cs.header_background(), 'header background', (6, 0, 6, 1))),
            ('ITEM', sheet.frame(cs.header_item(), 'header item', (2, 4, 2, 1))),
            ('TEXTEFFECT', TextEffect(t.TEXT_SOFT))])

    def status_bar(self):
        sheet = self.sheet('controls.bmp')
        return SkinObject('StatusBarSkin', 'StatusBar', self.control_fields(t.TEXT_SOFT) + [
            ('BACKIMAGE', sheet.frame(cs.status_background(), 'status bar', (0, 1, 0, 0))),
            ('ITEM.ITEMIMAGE', sheet.frame(cs.status_item(), 'status bar part', (6, 3, 6, 2)))])

    def tool_bar(self):
        sheet = self.sheet('controls.bmp')
        flat = sheet.frame(cs.toolbar_button(), 'toolbar button, normal and disabled', (4, 4, 4, 4))
        pressed = sheet.frame(cs.toolbar_button(t.TOOL_PRESSED, t.SELECTION_LINE), 'toolbar button, pressed', (4, 4, 4, 4))
        hot = sheet.frame(cs.toolbar_button(t.SELECTION, t.SELECTION_LINE), 'toolbar button, hot', (4, 4, 4, 4))
        spare = sheet.frame(cs.toolbar_button(t.TOOL_PRESSED, t.LINE_HOT), 'toolbar button, pressed and hot', (4, 4, 4, 4))
        return SkinObject('ToolBarSkin', 'ToolBar', self.control_fields(t.TEXT_SOFT) + [
            ('mainImage', sheet.frame(cs.toolbar_background(), 'toolbar background', (0, 0, 0, 1))),
            ('frameImage[0]', flat), ('frameImage[1]', pressed), ('frameImage[2]', hot),
            ('frameImage[3]', flat), ('frameImage[4]', spare)])

    def rebar(self):
        sheet = self.sheet('controls.bmp')
        return SkinObject('RebarSkin', 'Rebar', self.control_fields(t.TEXT_SOFT) + [
            ('BACKGROUND', sheet.frame(cs.flat(t.CHROME), 'rebar background', (0, 0, 0, 0))),
            ('BANDIMAGE', sheet.frame(cs.rebar_band(), 'rebar band', (10, 2, 2, 2), 3)),
            ('bytes16', Bytes(TextEffect(t.TEXT_SOFT).encoded()))])

    def static(self):
        sheet = self.sheet('controls.bmp')
        return SkinObject('StaticSkin', 'Static', self.control_fields() + [
            ('BACKIMAGE', sheet.frame(cs.flat(t.FACE), 'static background', (0, 0, 0, 0))),
            ('TRANSPARENT', 1), ('TEXTEFFECT', TextEffect(t.TEXT))])

    def animate(self):
        sheet = self.sheet('controls.bmp')
        return SkinObject('AnimateSkin', 'Animate', self.control_fields() + [
            ('BORDER', self.field_border()),
            ('BACKGROUND', sheet.image(cs.flat(t.FACE), 'animation background', mode=2))])

