"""Small drawing layer over Pillow for the artwork generator: anti-aliased shapes (drawn four
times larger and box-filtered down), gradients, soft glows and a plain 24-bit BMP writer.

Coordinates are pixel edges: a shape from x 0 to x 10 covers exactly ten pixel columns."""
import math
import struct

from PIL import Image, ImageDraw, ImageFilter

SS = 4  # supersampling factor of every anti-aliased shape


def mix(a, b, t):
    """Colour between a (t = 0) and b (t = 1)."""
    return tuple(round(a[i] + (b[i] - a[i]) * t) for i in range(3))


class Pen:
    """Draws shapes into a supersampled mask, in the canvas's pixel coordinates."""

    def __init__(self, draw, ox, oy):
        self.d = draw
        self.ox, self.oy = ox, oy

    def _p(self, x, y):
        return ((x - self.ox) * SS, (y - self.oy) * SS)

    def _box(self, x0, y0, x1, y1):
        return [(x0 - self.ox) * SS, (y0 - self.oy) * SS,
                (x1 - self.ox) * SS - 1, (y1 - self.oy) * SS - 1]

    def rect(self, x0, y0, x1, y1, radius=0, value=255):
        if radius > 0:
            self.d.rounded_rectangle(self._box(x0, y0, x1, y1), radius=radius * SS, fill=value)
        else:
            self.d.rectangle(self._box(x0, y0, x1, y1), fill=value)

    def frame(self, x0, y0, x1, y1, radius=0, width=1.0):
        """A border of the given width inside the rectangle."""
        self.rect(x0, y0, x1, y1, radius)
        self.rect(x0 + width, y0 + width, x1 - width, y1 - width, max(0, radius - width), value=0)

    def oval_frame(self, cx, cy, rx, ry, width):
        self.d.ellipse(self._box(cx - rx, cy - ry, cx + rx, cy + ry), outline=255,
                       width=max(1, round(width * SS)))

    def disc(self, cx, cy, r, value=255):
        self.d.ellipse(self._box(cx - r, cy - r, cx + r, cy + r), fill=value)

    def ring(self, cx, cy, r_out, r_in):
        self.disc(cx, cy, r_out)
        self.disc(cx, cy, r_in, value=0)

    def poly(self, points, value=255):
        self.d.polygon([self._p(x, y) for x, y in points], fill=value)

    def line(self, points, width, value=255, caps=True):
        """A polyline with round joints and, unless caps is false, round ends."""
        pts = [self._p(x, y) for x, y in points]
        self.d.line(pts, fill=value, width=max(1, round(width * SS)), joint='curve')
        if caps:
            for x, y in points:
                self.disc(x, y, width / 2, value)

    def arc(self, cx, cy, r, start, end, width, value=255, caps=False):
        """Arc of a circle of radius r (centre of the stroke), angles in degrees clockwise from
        three o'clock."""
        ro = r + width / 2
        self.d.arc(self._box(cx - ro, cy - ro, cx + ro, cy + ro), start, end, fill=value,
                   width=max(1, round(width * SS)))
        if caps:
            for a in (start, end):
                t = math.radians(a)
                self.disc(cx + r * math.cos(t), cy + r * math.sin(t), width / 2, value)


class Canvas:
    def __init__(self, width, height, fill=(255, 255, 255)):
        self.w, self.h = width, height
        self.img = Image.new('RGB', (width, height), fill)

    @classmethod
    def of(cls, img):
        c = cls(img.width, img.height)
        c.img = img.copy()
        return c

    def mask(self, shape, box=None):
        """Coverage mask (mode L, canvas size) of what shape(pen) draws; box limits the work."""
        x0, y0, x1, y1 = box or (0, 0, self.w, self.h)
        x0, y0 = max(0, int(x0)), max(0, int(y0))
        x1, y1 = min(self.w, int(math.ceil(x1))), min(self.h, int(math.ceil(y1)))
        full = Image.new('L', (self.w, self.h), 0)
        if x1 <= x0 or y1 <= y0:
            return full
        big = Image.new('L', ((x1 - x0) * SS, (y1 - y0) * SS), 0)
        shape(Pen(ImageDraw.Draw(big), x0, y0))
        full.paste(big.resize((x1 - x0, y1 - y0), Image.BOX), (x0, y0))
        return full

    def fill(self, paint, shape, alpha=1.0, box=None, blur=0):
        """Paints a colour (or a canvas-sized image) through the shape's mask."""
        m = self.mask(shape, box)
        self.fill_mask(paint, m, alpha, blur)

    def fill_mask(self, paint, m, alpha=1.0, blur=0):
        if blur:
            m = m.filter(ImageFilter.GaussianBlur(blur))
        if alpha < 1.0:
            m = m.point(lambda v: round(v * alpha))
        self.img.paste(paint, (0, 0), m)

    def glow(self, color, cx, cy, rx, ry, alpha, falloff=1.6):
        """Soft elliptical light: alpha at the centre, fading to nothing at the radii."""
        size = (max(1, round(2 * rx)), max(1, round(2 * ry)))
        g = Image.radial_gradient('L').resize(size, Image.BILINEAR)
        # radial_gradient is 0 at the centre and 255 at radius 128 of 256; turn it into a fall-off.
        g = g.point(lambda v: round(255 * alpha * max(0.0, 1 - min(1.0, v / 255.0 * 2)) ** falloff))
        m = Image.new('L', (self.w, self.h), 0)
        m.paste(g, (round(cx - rx), round(cy - ry)))
        self.img.paste(color, (0, 0), m)

    def crop(self, x, y, w, h):
        return Canvas.of(self.img.crop((x, y, x + w, y + h)))


def vgradient(width, height, stops):
    """Vertical gradient image; stops are (position 0..1, colour) pairs in order."""
    col = Image.new('RGB', (1, height))
    col.putdata([_at(stops, (y + 0.5) / height) for y in range(height)])
    return col.resize((width, height), Image.NEAREST)


def hgradient(width, height, stops):
    row = Image.new('RGB', (width, 1))
    row.putdata([_at(stops, (x + 0.5) / width) for x in range(width)])
    return row.resize((width, height), Image.NEAREST)


def _at(stops, t):
    if t <= stops[0][0]:
        return stops[0][1]
    for (p0, c0), (p1, c1) in zip(stops, stops[1:]):
        if t <= p1:
            return mix(c0, c1, (t - p0) / (p1 - p0) if p1 > p0 else 1.0)
    return stops[-1][1]


def write_bmp(img, path):
    """Writes img as an uncompressed bottom-up 24-bit BMP (what LoadBitmap expects)."""
    img = img.convert('RGB')
    w, h = img.size
    raw = img.tobytes('raw', 'BGR')
    stride = w * 3
    pad = b'\0' * ((-stride) % 4)
    data = b''.join(raw[(h - 1 - y) * stride:(h - y) * stride] + pad for y in range(h))
    header = struct.pack('<2sIHHI', b'BM', 14 + 40 + len(data), 0, 0, 14 + 40)
    info = struct.pack('<IiiHHIIiiII', 40, w, h, 1, 24, 0, len(data), 3780, 3780, 0, 0)
    with open(path, 'wb') as f:
        f.write(header + info + data)


def read_bmp_header(path):
    """(width, height, bits per pixel, compression) of a BMP file, for the output check."""
    with open(path, 'rb') as f:
        head = f.read(54)
    if len(head) < 54 or head[:2] != b'BM':
        return None
    size, w, h, planes, bpp, compression = struct.unpack('<IiiHHI', head[14:34])
    return w, h, bpp, compression
