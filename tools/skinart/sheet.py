"""Sprite sheets: where every piece of art sits in which skin bitmap."""

from raster import Canvas, KEY


class ImageRef:
    """One rectangle of a skin bitmap drawn once (0), tiled (1) or stretched (2)."""

    def __init__(self, bitmap, rect, mode):
        self.bitmap, self.rect, self.mode = bitmap, rect, mode

    @property
    def width(self):
        return self.rect[2] - self.rect[0]

    @property
    def height(self):
        return self.rect[3] - self.rect[1]


class FrameImageRef(ImageRef):
    """A rectangle cut into nine pieces by margins (left, top, right, bottom)."""

    def __init__(self, bitmap, rect, margins, stretch):
        super().__init__(bitmap, rect, None)
        self.margins, self.stretch = margins, stretch


class Sheet:
    """Packs sprites left to right in rows and records their rectangles."""

    GAP = 2

    def __init__(self, name, width):
        self.name = name
        self.width = width
        self.sprites = []  # (x, y, canvas, label)
        self.x = self.y = self.row_height = 0

    def place(self, canvas, label):
        """Returns the rectangle (left, top, right, bottom) of the new sprite."""
        if canvas.width > self.width:
            raise ValueError('%s: %s is %d wide, the sheet only %d'
                             % (self.name, label, canvas.width, self.width))
        if self.x and self.x + canvas.width > self.width:
            self.new_row()
        rect = (self.x, self.y, self.x + canvas.width, self.y + canvas.height)
        self.sprites.append((self.x, self.y, canvas, label))
        self.x += canvas.width + self.GAP
        self.row_height = max(self.row_height, canvas.height)
        return rect

    def new_row(self):
        if self.x:
            self.y += self.row_height + self.GAP
            self.x = self.row_height = 0

    def image(self, canvas, label, mode=0):
        return ImageRef(self.name, self.place(canvas, label), mode)

    def frame(self, canvas, label, margins, stretch=1):
        left, top, right, bottom = margins
        if left + right > canvas.width or top + bottom > canvas.height:
            raise ValueError('%s: margins %s exceed %s (%dx%d)'
                             % (self.name, margins, label, canvas.width, canvas.height))
        return FrameImageRef(self.name, self.place(canvas, label), margins, stretch)

    def render(self):
        height = self.y + self.row_height
        out = Canvas(self.width, height, KEY)
        for x, y, canvas, _ in self.sprites:
            out.blit(canvas, x, y)
        return out

    def labels(self):
        return [((x, y, x + c.width, y + c.height), label) for x, y, c, label in self.sprites]
