"""Writes skin objects in the text form that `skinc build` reads
(docs/skin-source-format.md)."""

from sheet import ImageRef, FrameImageRef


class Rect(tuple):
    """Left, top, right, bottom: written as four numbers."""


class Bytes(bytes):
    """Written as <hex bytes>."""


class Font:
    def __init__(self, face, height, colour, weight=400, charset=0, quality=None):
        self.face, self.height, self.colour = face, height, colour
        self.weight, self.charset, self.quality = weight, charset, quality


class TextEffect:
    """A text colour; no shadow."""

    def __init__(self, colour):
        self.colour = colour

    def encoded(self):
        """The 16 record bytes, for fields the format only knows as bytes."""
        r, g, b = self.colour
        return Bytes(bytes(4) + bytes((r, g, b, 0)) + bytes(8))


class SkinObject:
    def __init__(self, type_name, name, fields=(), children=(), menubar=None):
        if len(name) > 50:
            raise ValueError('object name longer than 50 characters: ' + name)
        self.type_name, self.name = type_name, name
        self.fields = list(fields)
        self.children = list(children)
        self.menubar = menubar


def colour_text(rgb):
    return '#%02X%02X%02X' % rgb


def quoted(text):
    return '"%s"' % text.replace('\\', '\\\\').replace('"', '\\"')


def value_text(value):
    if isinstance(value, FrameImageRef):
        return '{ bitmap %s rect %d %d %d %d margins %d %d %d %d stretch %d }' % (
            (quoted(value.bitmap),) + value.rect + value.margins + (value.stretch,))
    if isinstance(value, ImageRef):
        return '{ bitmap %s rect %d %d %d %d mode %d }' % (
            (quoted(value.bitmap),) + value.rect + (value.mode,))
    if isinstance(value, Font):
        parts = ['face %s' % quoted(value.face), 'height %d' % value.height,
                 'weight %d' % value.weight, 'charset %d' % value.charset]
        if value.quality is not None:
            parts.append('quality %d' % value.quality)
        parts.append('color %s' % colour_text(value.colour))
        return '{ %s }' % ' '.join(parts)
    if isinstance(value, TextEffect):
        return '{ color %s offset 0 0 flags 0 }' % colour_text(value.colour)
    if isinstance(value, Rect):
        return '%d %d %d %d' % value
    if isinstance(value, Bytes):
        return '<%s>' % ' '.join('%02x' % b for b in value)
    if isinstance(value, tuple):
        return colour_text(value)
    if isinstance(value, bool):
        return '1' if value else '0'
    if isinstance(value, int):
        return str(value)
    if isinstance(value, str):
        return quoted(value)
    raise TypeError('no text form for %r' % (value,))


def object_lines(obj, keyword, depth):
    pad = '  ' * depth
    lines = ['%s%s %s %s' % (pad, keyword, obj.type_name, quoted(obj.name))]
    for field, value in obj.fields:
        lines.append('%s  %s = %s' % (pad, field, value_text(value)))
    for child in obj.children:
        lines += object_lines(child, 'child', depth + 1)
    if obj.menubar is not None:
        lines.append('%s  menubar' % pad)
        for field, value in obj.menubar:
            lines.append('%s    %s = %s' % (pad, field, value_text(value)))
        lines.append('%s  end' % pad)
    lines.append('%send' % pad)
    return lines


def source_text(header_comment, version, builder, objects, images):
    lines = ['; ' + line if line else ';' for line in header_comment.splitlines()]
    lines += ['', 'skin %s' % version, 'builder %s' % quoted(builder), '']
    for obj in objects:
        lines += object_lines(obj, 'object', 0) + ['']
    for name in images:
        lines += ['image %s' % quoted(name), '  file = %s' % quoted(name), 'end', '']
    return '\n'.join(lines)
