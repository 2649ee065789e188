#!/usr/bin/env python3
"""Draws every bitmap resource of HLMMain and writes them, with the .rc lines that name them and
the program icon, into one folder:

    make_artwork.py OUTDIR   ->  OUTDIR/bmpNNN.bmp, OUTDIR/artwork.rc, OUTDIR/HLMMain.ico
    make_artwork.py --list   ->  the bitmap file names, one a line (for the build)

The pictures carry no text: every caption, title and paragraph is drawn by the program over them
in the user's language. Where the program draws text over a picture, the picture stays light and
calm there (white page bodies, pale headers) or, in the dark left band, dark enough for white.
Faces of buttons are opaque rectangles, so each one is drawn over the exact backdrop it sits on
(the band at its row, the white page, the grey detail box) and its corners melt into it.

Everything is computed from this file, canvas.py and make_icon.py; the same inputs always give
the same bytes."""
import functools
import math
import os
import sys

sys.dont_write_bytecode = True  # run from the source tree: leave no __pycache__ there

from PIL import Image

from canvas import Canvas, hgradient, mix, read_bmp_header, vgradient, write_bmp

import make_icon

# Palette: the teal of the program icon and a few blue-greys around it.
WHITE = (255, 255, 255)
TEAL = (14, 110, 140)           # the icon's disc
TEAL_DEEP = (8, 66, 90)
TEAL_BRIGHT = (26, 146, 178)
CYAN = (115, 255, 255)          # caption colour of a hovered left-band button
STEEL = (38, 93, 130)           # heading colour the pages use
SEA = (18, 128, 116)
SLATE = (72, 98, 120)
OCEAN = (22, 118, 172)
AMBER = (226, 146, 28)
CORAL = (214, 78, 52)
HAIRLINE = (218, 228, 233)
PAGE_TINT = (234, 243, 247)     # top of a page header
SMALL_BACK = (248, 248, 248)    # under 210-212: the popups' grey footer (242), the update page (255)
SHEET = (244, 244, 244)         # the home page's detail box
CLOCK_BACK = (249, 249, 249)    # ground of the clock frames, see clock_frames

BAND_W = 211                    # width of the left band in the main window
PAGE_W, PAGE_H = 570, 520
HEADER_H = 148                  # pale page header; titles sit at y 35, texts end by y 130
LEFT_ROWS = {0: (198, 201), 1: (206, 209), 2: (194, 197), 3: (202, 205), 4: (190, 193),
             5: (252, 251)}     # row of the left band -> (faces 1-5, selected face)


# ---------------------------------------------------------------------------------------------
# Pictograms: white (or single-colour) symbols drawn into a mask around a centre, s = half size.

def helm(pen, cx, cy, r, turn=0.0):
    """The helm wheel of the program icon, with round grips; r is the grip radius."""
    pen.ring(cx, cy, 0.66 * r, 0.50 * r)
    pen.disc(cx, cy, 0.19 * r)
    for k in range(8):
        a = turn + k * math.pi / 4
        c, s = math.cos(a), math.sin(a)
        pen.line([(cx + 0.1 * r * c, cy + 0.1 * r * s), (cx + 0.86 * r * c, cy + 0.86 * r * s)],
                 0.12 * r, caps=False)
        pen.disc(cx + 0.9 * r * c, cy + 0.9 * r * s, 0.1 * r)


def pulse_lens(pen, cx, cy, s):
    """Magnifier over a pulse line: diagnosis."""
    lx, ly, lr = cx - 0.14 * s, cy - 0.14 * s, 0.56 * s
    pen.ring(lx, ly, lr, lr - 0.15 * s)
    a = math.radians(45)
    pen.line([(lx + lr * math.cos(a), ly + lr * math.sin(a)), (cx + 0.78 * s, cy + 0.78 * s)],
             0.2 * s)
    k = 0.36 * s
    pen.line([(lx - k, ly + 0.04 * s), (lx - 0.14 * s, ly + 0.04 * s), (lx - 0.04 * s, ly - 0.2 * s),
              (lx + 0.08 * s, ly + 0.24 * s), (lx + 0.18 * s, ly + 0.04 * s), (lx + k, ly + 0.04 * s)],
             0.09 * s)


def cog(pen, cx, cy, s, teeth=8):
    pts = []
    r_out, r_in = 0.8 * s, 0.6 * s
    for k in range(teeth):
        base = 2 * math.pi * k / teeth
        step = 2 * math.pi / teeth
        for frac, r in ((0.0, r_in), (0.16, r_out), (0.44, r_out), (0.6, r_in)):
            a = base + frac * step
            pts.append((cx + r * math.cos(a), cy + r * math.sin(a)))
    pen.poly(pts)
    pen.disc(cx, cy, 0.62 * s)
    pen.disc(cx, cy, 0.26 * s, value=0)


def bubbles(pen, cx, cy, s):
    """Two speech bubbles: assistance over the Internet."""
    pen.frame(cx - 0.86 * s, cy - 0.72 * s, cx + 0.3 * s, cy + 0.04 * s, 0.2 * s, 0.12 * s)
    pen.poly([(cx - 0.6 * s, cy - 0.02 * s), (cx - 0.62 * s, cy + 0.3 * s), (cx - 0.3 * s, cy - 0.02 * s)])
    pen.rect(cx - 0.3 * s, cy - 0.3 * s, cx + 0.88 * s, cy + 0.48 * s, 0.2 * s, value=0)
    pen.rect(cx - 0.18 * s, cy - 0.2 * s, cx + 0.88 * s, cy + 0.48 * s, 0.2 * s)
    pen.poly([(cx + 0.46 * s, cy + 0.44 * s), (cx + 0.66 * s, cy + 0.78 * s), (cx + 0.7 * s, cy + 0.44 * s)])
    for k in range(3):
        pen.disc(cx + (0.1 + 0.25 * k) * s, cy + 0.14 * s, 0.075 * s, value=0)


def circle_arrow(pen, cx, cy, r, width, start, end, head=1.7):
    """An arc from start to end (degrees, clockwise) with an arrow head at the end, head times
    the stroke width wide on each side."""
    pen.arc(cx, cy, r, start, end, width, caps=True)
    if head:
        a = math.radians(end)
        hx, hy = cx + r * math.cos(a), cy + r * math.sin(a)
        tx, ty = -math.sin(a), math.cos(a)          # direction of travel (clockwise)
        nx, ny = math.cos(a), math.sin(a)
        h = width * head
        pen.poly([(hx + tx * h * 1.1, hy + ty * h * 1.1), (hx + nx * h, hy + ny * h),
                  (hx - nx * h, hy - ny * h)])


def refresh_down(pen, cx, cy, s):
    """Two turning arrows around a downward arrow: updates."""
    circle_arrow(pen, cx, cy, 0.7 * s, 0.13 * s, 200, 330)
    circle_arrow(pen, cx, cy, 0.7 * s, 0.13 * s, 20, 150)
    pen.line([(cx, cy - 0.32 * s), (cx, cy + 0.16 * s)], 0.14 * s)
    pen.poly([(cx - 0.22 * s, cy + 0.06 * s), (cx + 0.22 * s, cy + 0.06 * s), (cx, cy + 0.34 * s)])


def history(pen, cx, cy, s):
    """A clock face with an arrow turning back: restore."""
    r = 0.66 * s
    pen.arc(cx, cy, r, -60, 200, 0.13 * s, caps=True)
    a = math.radians(-60)
    hx, hy = cx + r * math.cos(a), cy + r * math.sin(a)
    pen.poly([(hx - 0.26 * s, hy - 0.05 * s), (hx + 0.2 * s, hy - 0.22 * s), (hx + 0.12 * s, hy + 0.24 * s)])
    pen.line([(cx, cy - 0.36 * s), (cx, cy), (cx + 0.26 * s, cy + 0.18 * s)], 0.12 * s)


def laptop(pen, cx, cy, s):
    pen.frame(cx - 0.64 * s, cy - 0.6 * s, cx + 0.64 * s, cy + 0.28 * s, 0.08 * s, 0.14 * s)
    pen.poly([(cx - 0.64 * s, cy + 0.36 * s), (cx + 0.64 * s, cy + 0.36 * s),
              (cx + 0.9 * s, cy + 0.6 * s), (cx - 0.9 * s, cy + 0.6 * s)])


def chevron(pen, cx, cy, s, width):
    pen.line([(cx - 0.25 * s, cy - 0.5 * s), (cx + 0.25 * s, cy), (cx - 0.25 * s, cy + 0.5 * s)], width)


def plus(pen, cx, cy, s, width):
    pen.line([(cx - s, cy), (cx + s, cy)], width)
    pen.line([(cx, cy - s), (cx, cy + s)], width)


def cross(pen, cx, cy, s, width):
    pen.line([(cx - s, cy - s), (cx + s, cy + s)], width)
    pen.line([(cx - s, cy + s), (cx + s, cy - s)], width)


def exclaim(pen, cx, cy, s):
    pen.line([(cx, cy - 0.5 * s), (cx, cy + 0.12 * s)], 0.22 * s)
    pen.disc(cx, cy + 0.45 * s, 0.13 * s)


def info(pen, cx, cy, s):
    pen.disc(cx, cy - 0.48 * s, 0.13 * s)
    pen.line([(cx, cy - 0.12 * s), (cx, cy + 0.5 * s)], 0.22 * s)


def question(pen, cx, cy, s):
    pen.arc(cx, cy - 0.22 * s, 0.3 * s, 180, 405, 0.2 * s, caps=True)
    pen.line([(cx + 0.3 * s * math.cos(math.radians(45)), cy - 0.22 * s + 0.3 * s * math.sin(math.radians(45))),
              (cx, cy + 0.18 * s)], 0.2 * s)
    pen.disc(cx, cy + 0.52 * s, 0.12 * s)


def house(pen, cx, cy, s):
    pen.poly([(cx, cy - 0.78 * s), (cx + 0.86 * s, cy + 0.02 * s), (cx - 0.86 * s, cy + 0.02 * s)])
    pen.rect(cx - 0.56 * s, cy - 0.1 * s, cx + 0.56 * s, cy + 0.72 * s)
    pen.rect(cx - 0.16 * s, cy + 0.26 * s, cx + 0.16 * s, cy + 0.72 * s, value=0)


def lifebuoy(canvas, cx, cy, r, color):
    """Ring buoy in colour and white: where to get assistance."""
    canvas.fill(color, lambda p: p.ring(cx, cy, r, 0.5 * r))
    for k in range(4):
        a = 45 + 90 * k
        canvas.fill(WHITE, lambda p, a=a: p.arc(cx, cy, 0.75 * r, a - 20, a + 20, 0.42 * r))
    canvas.fill(mix(color, (0, 0, 0), 0.25), lambda p: p.ring(cx, cy, r, r - 1.0), alpha=0.5)


def shield(pen, cx, cy, s, check=False):
    pts = [(cx, cy - 0.86 * s), (cx + 0.7 * s, cy - 0.6 * s), (cx + 0.64 * s, cy + 0.1 * s),
           (cx + 0.3 * s, cy + 0.6 * s), (cx, cy + 0.84 * s), (cx - 0.3 * s, cy + 0.6 * s),
           (cx - 0.64 * s, cy + 0.1 * s), (cx - 0.7 * s, cy - 0.6 * s)]
    pen.poly(pts)
    if check:
        pen.line([(cx - 0.32 * s, cy), (cx - 0.06 * s, cy + 0.26 * s), (cx + 0.34 * s, cy - 0.24 * s)],
                 0.15 * s, value=0)
    else:
        pen.poly([(cx, cy - 0.62 * s), (cx + 0.46 * s, cy - 0.44 * s), (cx + 0.42 * s, cy + 0.06 * s),
                  (cx, cy + 0.58 * s)], value=0)


def two_screens(pen, cx, cy, s):
    """Two monitors and an arrow between them: moving files and settings."""
    for dx in (-0.5, 0.5):
        x = cx + dx * s
        pen.frame(x - 0.38 * s, cy - 0.5 * s, x + 0.38 * s, cy + 0.1 * s, 0.05 * s, 0.1 * s)
        pen.rect(x - 0.06 * s, cy + 0.1 * s, x + 0.06 * s, cy + 0.26 * s)
        pen.rect(x - 0.22 * s, cy + 0.24 * s, x + 0.22 * s, cy + 0.32 * s, 0.03 * s)
    pen.line([(cx - 0.6 * s, cy + 0.6 * s), (cx + 0.5 * s, cy + 0.6 * s)], 0.1 * s)
    pen.poly([(cx + 0.42 * s, cy + 0.46 * s), (cx + 0.7 * s, cy + 0.6 * s), (cx + 0.42 * s, cy + 0.74 * s)])


def blocks(pen, cx, cy, s):
    """Disk blocks being put in order: defragmentation."""
    size, gap = 0.42 * s, 0.1 * s
    full = {(0, 0), (1, 0), (2, 0), (0, 1), (1, 1), (0, 2)}
    for i in range(3):
        for j in range(3):
            x = cx - 0.73 * s + i * (size + gap)
            y = cy - 0.73 * s + j * (size + gap)
            if (i, j) in full:
                pen.rect(x, y, x + size, y + size, 0.06 * s)
            else:
                pen.frame(x, y, x + size, y + size, 0.06 * s, 0.08 * s)


def bin_can(pen, cx, cy, s):
    """Waste bin: deleting temporary files."""
    pen.rect(cx - 0.66 * s, cy - 0.56 * s, cx + 0.66 * s, cy - 0.42 * s, 0.05 * s)
    pen.rect(cx - 0.2 * s, cy - 0.72 * s, cx + 0.2 * s, cy - 0.52 * s, 0.05 * s)
    pen.poly([(cx - 0.52 * s, cy - 0.34 * s), (cx + 0.52 * s, cy - 0.34 * s),
              (cx + 0.42 * s, cy + 0.74 * s), (cx - 0.42 * s, cy + 0.74 * s)])
    for dx in (-0.2, 0.0, 0.2):
        pen.line([(cx + dx * s, cy - 0.16 * s), (cx + dx * 0.9 * s, cy + 0.54 * s)], 0.08 * s, value=0)


def screen_expand(pen, cx, cy, s):
    """Monitor with corner arrows: choosing the screen resolution."""
    pen.frame(cx - 0.8 * s, cy - 0.66 * s, cx + 0.8 * s, cy + 0.44 * s, 0.06 * s, 0.11 * s)
    pen.rect(cx - 0.08 * s, cy + 0.44 * s, cx + 0.08 * s, cy + 0.62 * s)
    pen.rect(cx - 0.36 * s, cy + 0.6 * s, cx + 0.36 * s, cy + 0.72 * s, 0.04 * s)
    for sx, sy in ((-1, -1), (1, -1), (-1, 1), (1, 1)):
        x, y = cx + sx * 0.5 * s, cy - 0.11 * s + sy * 0.3 * s
        pen.poly([(x, y), (x - sx * 0.24 * s, y), (x, y - sy * 0.16 * s)])
        pen.line([(x - sx * 0.06 * s, y - sy * 0.04 * s), (x - sx * 0.3 * s, y - sy * 0.2 * s)], 0.07 * s)


def waves(pen, cx, cy, s):
    """Wireless waves over a dot: network settings."""
    for k, r in enumerate((0.3, 0.58, 0.86)):
        pen.arc(cx, cy + 0.5 * s, r * s, 225, 315, 0.13 * s, caps=True)
    pen.disc(cx, cy + 0.5 * s, 0.13 * s)


def battery(pen, cx, cy, s):
    pen.frame(cx - 0.78 * s, cy - 0.4 * s, cx + 0.62 * s, cy + 0.4 * s, 0.1 * s, 0.12 * s)
    pen.rect(cx + 0.62 * s, cy - 0.16 * s, cx + 0.78 * s, cy + 0.16 * s, 0.04 * s)
    for k in range(3):
        x = cx - 0.6 * s + k * 0.38 * s
        pen.rect(x, cy - 0.22 * s, x + 0.3 * s, cy + 0.22 * s, 0.03 * s)


def printer(pen, cx, cy, s):
    pen.rect(cx - 0.44 * s, cy - 0.76 * s, cx + 0.44 * s, cy - 0.3 * s, 0.04 * s)
    pen.rect(cx - 0.82 * s, cy - 0.36 * s, cx + 0.82 * s, cy + 0.34 * s, 0.12 * s)
    pen.rect(cx - 0.46 * s, cy + 0.06 * s, cx + 0.46 * s, cy + 0.76 * s, 0.03 * s, value=0)
    pen.frame(cx - 0.46 * s, cy + 0.06 * s, cx + 0.46 * s, cy + 0.76 * s, 0.03 * s, 0.1 * s)
    pen.disc(cx + 0.58 * s, cy - 0.14 * s, 0.07 * s, value=0)


# ---------------------------------------------------------------------------------------------
# Building blocks shared by several resources.

def disc_badge(c, cx, cy, r, top, bottom, glyph, glyph_color=WHITE, shadow=True):
    """A round badge with a soft drop shadow, a vertical gradient and a pictogram."""
    if shadow:
        c.fill((20, 50, 64), lambda p: p.disc(cx, cy + 1.5, r), alpha=0.18, blur=max(1, r / 10))
    grad = vgradient(c.w, c.h, [((cy - r) / c.h, top), ((cy + r) / c.h, bottom)])
    c.fill(grad, lambda p: p.disc(cx, cy, r))
    c.fill(WHITE, lambda p: p.ring(cx, cy, r - 1, r - 2.2), alpha=0.14)
    c.fill(glyph_color, lambda p: glyph(p, cx, cy))


def tile(c, x0, y0, x1, y1, radius, color, glyph):
    """A rounded square tile in a colour, lit from above, with a white pictogram."""
    c.fill((20, 50, 64), lambda p: p.rect(x0, y0 + 1.2, x1, y1 + 1.2, radius), alpha=0.16)
    grad = vgradient(c.w, c.h, [(y0 / c.h, mix(color, WHITE, 0.14)), (y1 / c.h, mix(color, (0, 0, 0), 0.12))])
    c.fill(grad, lambda p: p.rect(x0, y0, x1, y1, radius))
    c.fill(WHITE, lambda p: p.frame(x0, y0, x1, y1, radius, 1.0), alpha=0.12)
    c.fill(WHITE, lambda p: glyph(p, (x0 + x1) / 2, (y0 + y1) / 2))


def soft_button(size, backdrop, look, radius=4):
    """Face of a light push button over a flat backdrop: 'normal', 'hover' or 'pressed'.
    The program writes grey captions on these, so they stay light in every look."""
    w, h = size
    c = Canvas(w, h, backdrop)
    if look == 'normal':
        fill = [(0, (255, 255, 255)), (1, (236, 242, 245))]
        border, border_alpha = (120, 150, 162), 0.75
    elif look == 'hover':
        fill = [(0, (246, 252, 254)), (1, (221, 239, 246))]
        border, border_alpha = TEAL, 0.8
    else:
        fill = [(0, (208, 229, 237)), (1, (226, 241, 246))]
        border, border_alpha = TEAL_DEEP, 0.8
    if look != 'pressed':
        c.fill((30, 60, 70), lambda p: p.rect(0, 1, w, h, radius), alpha=0.10)
    c.fill(vgradient(w, h, fill), lambda p: p.rect(0, 0, w, h - 1, radius))
    c.fill(border, lambda p: p.frame(0, 0, w, h - 1, radius, 1.0), alpha=border_alpha)
    if look == 'pressed':
        c.fill((20, 60, 80), lambda p: p.rect(1, 1, w - 1, 3, radius - 1), alpha=0.10)
    else:
        c.fill(WHITE, lambda p: p.rect(radius, 1, w - radius, 2), alpha=0.9)
    return c.img


# ---------------------------------------------------------------------------------------------
# The left band and the main background.

@functools.lru_cache(maxsize=None)
def band():
    """The left band, 211 x 520: deep teal, a large faint helm wheel going under the page, and a
    darker foot for the Home and Help buttons."""
    c = Canvas(BAND_W, PAGE_H)
    c.img = vgradient(BAND_W, PAGE_H, [(0, (18, 108, 138)), (0.55, (12, 80, 106)), (1, (9, 58, 80))])
    c.glow((70, 190, 215), 30, -30, 260, 230, 0.30)
    c.glow((4, 30, 44), 200, 560, 260, 200, 0.35)
    # Top mark: the helm wheel, small and quiet.
    c.fill(WHITE, lambda p: helm(p, 22, 17.5, 10.5), alpha=0.9)
    c.fill(WHITE, lambda p: p.rect(38, 17, 200, 18), alpha=0.10)
    # The watermark wheel, cut by the page edge and the bottom of the window.
    c.fill(WHITE, lambda p: helm(p, 176, 420, 150, math.radians(11)), alpha=0.05)
    # Foot.
    c.fill((0, 0, 0), lambda p: p.rect(0, 476, BAND_W, PAGE_H), alpha=0.16)
    c.fill(WHITE, lambda p: p.rect(0, 476, BAND_W, 477), alpha=0.10)
    # Edge towards the page.
    c.fill((0, 0, 0), lambda p: p.rect(BAND_W - 1, 0, BAND_W, PAGE_H), alpha=0.25)
    return c.img


def left_face(row, look):
    """Face of the page button in a left-band row (201 x 48 at x 6, y 35 + 55 * row)."""
    x, y = 6, 35 + 55 * row
    c = Canvas.of(band().crop((x, y, x + 201, y + 48)))
    w, h = 201, 48
    if look == 'selected':
        c.fill((0, 20, 30), lambda p: p.rect(0, 1, w, h, 6), alpha=0.30, blur=1.2)
        # Lighter than the band, yet dark enough for the white caption (contrast 4.5 or more).
        grad = vgradient(w, h, [(0, (22, 128, 160)), (1, (13, 104, 134))])
        c.fill(grad, lambda p: p.rect(0, 0, w, h - 1, 6))
        c.fill(WHITE, lambda p: p.frame(0, 0, w, h - 1, 6, 1.0), alpha=0.30)
        c.fill(WHITE, lambda p: p.rect(6, 1, w - 6, 2), alpha=0.30)
        c.fill(CYAN, lambda p: p.rect(0, 8, 4, h - 9, 1.5), alpha=0.95)
        return c.img
    fill_alpha, border, border_alpha = {'normal': (0.05, WHITE, 0.13),
                                        'hover': (0.10, CYAN, 0.35),
                                        'pressed': (0.0, WHITE, 0.10)}[look]
    if look == 'pressed':
        c.fill((0, 0, 0), lambda p: p.rect(0, 0, w, h - 1, 6), alpha=0.14)
    else:
        c.fill(WHITE, lambda p: p.rect(0, 0, w, h - 1, 6), alpha=fill_alpha)
    c.fill(border, lambda p: p.frame(0, 0, w, h - 1, 6, 1.0), alpha=border_alpha)
    return c.img


def small_band_button(x, glyph, look):
    """Home and Help, 18 x 18 on the band's foot at (x, 488)."""
    c = Canvas.of(band().crop((x, 488, x + 18, 506)))
    color, alpha, dy = {'normal': (WHITE, 0.85, 0), 'hover': (CYAN, 1.0, 0),
                        'pressed': (CYAN, 0.9, 1)}[look]
    if look != 'normal':
        c.fill(WHITE, lambda p: p.disc(9, 9, 9), alpha=0.12)
    c.fill(color, lambda p: glyph(p, 9, 9 + dy), alpha=alpha)
    return c.img


@functools.lru_cache(maxsize=None)
def page_frame():
    """What every page but home shares: white body, pale header with a hairline, faint helm
    rings in the header's right corner and a soft shadow cast by the band on the left edge."""
    c = Canvas(PAGE_W, PAGE_H)
    c.img.paste(vgradient(PAGE_W, HEADER_H, [(0, PAGE_TINT), (1, (250, 252, 253))]), (0, 0))
    c.glow(WHITE, 300, 10, 320, 120, 0.55)
    for r in (150, 200, 250):
        c.fill(TEAL, lambda p, r=r: p.ring(610, -30, r, r - 1.3), alpha=0.07, box=(0, 0, PAGE_W, HEADER_H))
    c.fill(HAIRLINE, lambda p: p.rect(0, HEADER_H - 1, PAGE_W, HEADER_H))
    edge_shadow(c.img)
    return c.img


def edge_shadow(img):
    """The band's shadow on the left edge of a page."""
    shade = hgradient(10, PAGE_H, [(0, (70, 70, 70)), (1, (0, 0, 0))]).convert('L')
    img.paste((40, 70, 84), (0, 0), shade)


def page_background(glyph, art=None):
    """A page background: the shared frame with the page's badge left of its title, and on a
    page whose lower part stays empty a faint drawing there."""
    c = Canvas.of(page_frame())
    disc_badge(c, 76, 74, 42, TEAL_BRIGHT, TEAL_DEEP, lambda p, x, y: glyph(p, x, y, 30))
    if art:
        art(c)
    return c.img


def globe_art(c):
    """Internet assistance page: a globe and a dotted link to it from a second place, faint,
    below the Connect button's row (texts end at y 355, the button at 383)."""
    cx, cy, r = 482, 484, 88
    box = (200, 386, PAGE_W, PAGE_H)
    ink = mix(TEAL, WHITE, 0.84)

    def globe(p):
        p.ring(cx, cy, r, r - 2.5)
        for rx in (r * 0.36, r * 0.72):
            p.oval_frame(cx, cy, rx, r, 2)
        p.rect(cx - 1.1, cy - r, cx + 1.1, cy + r)
        for dy in (-0.5, 0.0, 0.5):
            half = r * math.sqrt(1 - dy * dy)
            p.rect(cx - half, cy + dy * r - 1.1, cx + half, cy + dy * r + 1.1)

    def link(p):
        (x0, y0), (xc, yc), (x1, y1) = (262, 486), (330, 396), (cx - 0.62 * r, cy - 0.5 * r)
        for k in range(1, 18):
            t = k / 18
            x = (1 - t) ** 2 * x0 + 2 * t * (1 - t) * xc + t * t * x1
            y = (1 - t) ** 2 * y0 + 2 * t * (1 - t) * yc + t * t * y1
            p.disc(x, y, 1.6)
        p.disc(x0, y0, 5)
        p.ring(x0, y0, 10, 8.6)
    c.fill(ink, globe, box=box)
    c.fill(mix(TEAL, WHITE, 0.72), link, box=box)
    c.fill(mix(TEAL, WHITE, 0.6), lambda p: p.disc(cx - 0.62 * r, cy - 0.5 * r, 5), box=box)


def home_page():
    """The home page (the main background from x 211): a sea-teal banner with the wheel, then
    three introductions, each with a badge at the left of its heading."""
    c = Canvas(PAGE_W, PAGE_H)
    top = 124                       # the introduction text starts at y 137
    sky = Canvas(PAGE_W, top + 12)
    sky.img = hgradient(PAGE_W, top + 12, [(0, (15, 98, 126)), (1, (18, 122, 152))])
    sky.glow((90, 210, 230), 470, 0, 300, 150, 0.35)
    sky.fill(WHITE, lambda p: helm(p, 468, 52, 118, math.radians(8)), alpha=0.08)
    sky.fill(WHITE, lambda p: helm(p, 92, 62, 34), alpha=0.95)
    sky.fill(WHITE, lambda p: p.ring(92, 62, 44, 42.8), alpha=0.35)
    for k, alpha in ((0, 0.10), (1, 0.16)):
        def wave(p, k=k):
            pts = [(x, top - 18 + 8 * k + 5 * math.sin(x / 70.0 + 1.3 * k))
                   for x in range(0, PAGE_W + 10, 10)]
            p.poly(pts + [(PAGE_W, top + 12), (0, top + 12)])
        sky.fill(WHITE, wave, alpha=alpha)
    edge = [(x, top - 4 + 4 * math.sin(x / 90.0 + 0.6)) for x in range(0, PAGE_W + 10, 10)]
    c.img.paste(sky.img, (0, 0), sky.mask(lambda p: p.poly([(0, 0), (PAGE_W, 0)] + edge[::-1])))
    edge_shadow(c.img)
    for y in (202, 308, 414):       # between the three introductions
        c.fill(HAIRLINE, lambda p, y=y: p.rect(52, y, 545, y + 1))
    for cy, glyph, top_color in ((240, pulse_lens, TEAL_BRIGHT), (340, cog, TEAL_BRIGHT),
                                 (448, laptop, (40, 124, 160))):
        disc_badge(c, 74, cy, 22, top_color, TEAL_DEEP, lambda p, x, y, g=glyph: g(p, x, y, 15))
    return c.img


def main_background():
    img = Canvas(BAND_W + PAGE_W, PAGE_H).img
    img.paste(band(), (0, 0))
    img.paste(home_page(), (BAND_W, 0))
    return img


# ---------------------------------------------------------------------------------------------
# Smaller pictures.

def popup_header():
    """Header band of the popups, drawn at (0, 0); their title is written in white at (24, 17).
    720 wide for the self-help popup; the 580-wide popups show its left part."""
    w, h = 720, 54
    c = Canvas(w, h)
    c.img = hgradient(w, h, [(0, (16, 104, 134)), (1, (12, 78, 104))])
    c.glow((90, 210, 230), 520, 0, 260, 70, 0.30)
    c.fill(WHITE, lambda p: helm(p, 520, 27, 58, math.radians(8)), alpha=0.07)
    c.fill(CYAN, lambda p: p.rect(0, h - 2, w, h), alpha=0.35)
    return c.img


def icon(size, backdrop, draw):
    c = Canvas(size[0], size[1], backdrop)
    draw(c)
    return c.img


def clock_frames():
    """Thirteen frames of the waiting indicator, top to bottom: a comet running round a pale
    track, and the helm wheel in the middle turning by one spoke per cycle. The frames are
    blended whole (no per-pixel alpha) at 180/255 over white pages and the grey (244) detail
    box, so their ground sits between the two and shows on neither."""
    fw, fh, n = 68, 64, 13
    strip = Canvas(fw, fh * n)
    for k in range(n):
        c = Canvas(fw, fh, CLOCK_BACK)
        cx, cy, r, width = 34, 32, 25, 5.5
        c.fill((210, 228, 235), lambda p: p.ring(cx, cy, r + width / 2, r - width / 2))
        head = -90 + 360.0 * k / n
        slices = 30
        for i in range(slices, 0, -1):
            a1 = head - 270.0 * (i - 1) / slices
            a0 = head - 270.0 * i / slices
            t = 1 - (i - 1) / slices
            c.fill(mix((170, 212, 224), TEAL_DEEP, t ** 1.4),
                   lambda p, a0=a0, a1=a1: p.arc(cx, cy, r, a0 - 0.5, a1 + 0.5, width))
        a = math.radians(head)
        c.fill(TEAL_DEEP, lambda p: p.disc(cx + r * math.cos(a), cy + r * math.sin(a), width / 2))
        c.fill(TEAL, lambda p: helm(p, cx, cy, 15.5, math.radians(45.0 * k / n)))
        strip.img.paste(c.img, (0, fh * k))
    return strip.img


def check_states():
    """State images of the category tree, 12 x 12 each: none, unchecked, checked."""
    c = Canvas(36, 12)
    c.fill((112, 136, 148), lambda p: p.frame(12.5, 0.5, 23.5, 11.5, 2, 1.0))
    c.fill(vgradient(36, 12, [(0, TEAL_BRIGHT), (1, TEAL)]), lambda p: p.rect(24.5, 0.5, 35.5, 11.5, 2))
    c.fill(WHITE, lambda p: p.line([(27.3, 6.2), (29.4, 8.4), (33, 3.8)], 1.5))
    return c.img


def tab_face():
    """The two view tabs of the troubleshooting page share this face in every state; the
    program tells them apart by caption colour and underline."""
    w, h = 200, 20
    c = Canvas(w, h)
    c.fill((241, 246, 248), lambda p: p.rect(0, 0, w, h, 10))
    c.fill((206, 222, 229), lambda p: p.frame(0, 0, w, h, 10, 1.0))
    return c.img


def launcher_face():
    """Utilities page launcher: the blue caption (from x 5, up to the right end) reads as the
    tool's heading, so the face is white with a rule under it that fades to the right."""
    w, h = 180, 20
    c = Canvas(w, h)
    rule = hgradient(w, h, [(0, TEAL), (0.25, mix(TEAL, WHITE, 0.6)), (0.6, HAIRLINE), (1, WHITE)])
    c.fill(rule, lambda p: p.rect(0, h - 1, w, h))
    c.fill(TEAL, lambda p: p.rect(0, h - 2, 24, h, 0.5), alpha=0.8)
    return c.img


def topic_row(odd, hover):
    """Self-help question rows, 520 x 30, striped; the caption starts at x 30."""
    w, h = 520, 30
    c = Canvas(w, h, (246, 249, 250) if odd else WHITE)
    if hover:
        c.fill((228, 242, 247), lambda p: p.rect(0, 0, w, h))
        c.fill(TEAL, lambda p: p.rect(0, 0, 3, h))
    c.fill(TEAL if hover else (120, 160, 176), lambda p: chevron(p, 16, h / 2, 9, 1.8))
    return c.img


def round_button(size, backdrop, look, glyph, base_color):
    w, h = size
    c = Canvas(w, h, backdrop)
    top, bottom = {'normal': (mix(base_color, WHITE, 0.15), base_color),
                   'hover': (mix(base_color, WHITE, 0.35), mix(base_color, WHITE, 0.15)),
                   'pressed': (mix(base_color, (0, 0, 0), 0.2), mix(base_color, (0, 0, 0), 0.1))}[look]
    r = w / 2 - 1
    c.fill(vgradient(w, h, [(0, top), (1, bottom)]), lambda p: p.disc(w / 2, h / 2, r))
    c.fill(WHITE, lambda p: glyph(p, w / 2, h / 2 + (0.5 if look == 'pressed' else 0)))
    return c.img


def strip_faces():
    """Row buttons of the diagnosis results: normal, hover and pressed faces, 80 x 20, stacked."""
    c = Canvas(80, 60)
    for k, look in enumerate(('normal', 'hover', 'pressed')):
        c.img.paste(soft_button((80, 20), WHITE, look, radius=3), (0, 20 * k))
    return c.img


def divider():
    """Rule between the restore page's entries, 520 x 6 at (25, 256)."""
    c = Canvas(520, 6)
    fade = hgradient(520, 6, [(0, TEAL), (0.12, mix(TEAL, WHITE, 0.55)), (0.3, HAIRLINE),
                              (0.85, HAIRLINE), (1, WHITE)])
    c.fill(fade, lambda p: p.rect(0, 2.5, 520, 3.5))
    c.fill(TEAL, lambda p: p.rect(0, 2, 40, 4, 1))
    return c.img


def tool_icon(color, glyph):
    """Utilities page icon: a 40 x 40 tile in its colour with a white pictogram."""
    return icon((44, 44), WHITE, lambda c: tile(c, 2, 2, 42, 42, 9, color,
                                                lambda p, x, y: glyph(p, x, y, 13)))


def badge_icon(size, backdrop, top, bottom, glyph):
    w, h = size
    return icon(size, backdrop, lambda c: disc_badge(c, w / 2, h / 2, w / 2 - 0.5, top, bottom,
                                                     glyph, shadow=False))


def warning_triangle(size, backdrop):
    w, h = size

    def draw(c):
        c.fill(vgradient(w, h, [(0, (240, 170, 50)), (1, AMBER)]),
               lambda p: p.poly([(w / 2, 0.6), (w - 0.3, h - 1.0), (0.3, h - 1.0)]))
        c.fill(WHITE, lambda p: exclaim(p, w / 2, h * 0.62, h * 0.42))
    return icon(size, backdrop, draw)


def section_marker():
    return badge_icon((20, 20), WHITE, TEAL_BRIGHT, TEAL, lambda p, x, y: chevron(p, x + 0.8, y, 8, 2.0))


def note_marker():
    return badge_icon((16, 16), SHEET, TEAL_BRIGHT, TEAL, lambda p, x, y: info(p, x, y, 9))


def restart_marker():
    return badge_icon((18, 18), WHITE, (232, 100, 70), CORAL,
                      lambda p, x, y: circle_arrow(p, x, y, 4.5, 1.8, -20, 215, 2.0))


def bullet():
    return icon((8, 8), WHITE, lambda c: c.fill(TEAL, lambda p: p.disc(4, 4, 3)))


def sheet_icon():
    return icon((32, 26), SHEET, lambda c: c.fill(TEAL, lambda p: laptop(p, 16, 13.5, 13)))


def help_icon():
    return icon((32, 32), WHITE, lambda c: lifebuoy(c, 16, 16, 15.2, CORAL))


def detail_button(look):
    return round_button((24, 24), WHITE, look, lambda p, x, y: plus(p, x, y, 5, 2.2), TEAL)


def close_button(look):
    base = (150, 168, 178) if look == 'normal' else TEAL
    return round_button((24, 24), SHEET, look, lambda p, x, y: cross(p, x, y, 4, 2.0), base)


def help_button(look):
    return small_band_button(182, lambda p, x, y: question(p, x, y, 13), look)


def home_button(look):
    return small_band_button(153, lambda p, x, y: house(p, x, y, 8), look)


# ---------------------------------------------------------------------------------------------
# The table: every bitmap resource of the program, its size and what it is for. Sizes marked
# "chosen" are ours: the program only places those pictures, at the spots given in the role.

class Art:
    def __init__(self, rid, width, height, role, paint):
        self.id, self.width, self.height, self.role, self.paint = rid, width, height, role, paint


def _left_faces():
    arts = []
    for row, (base, selected) in sorted(LEFT_ROWS.items()):
        group = [(base, 'normal', 'faces 1-5')]
        if row < 5:  # the ids between a row's two faces: its hover and pressed looks, spare
            group += [(base + 1, 'hover', 'hover look, spare'), (base + 2, 'pressed', 'pressed look, spare')]
        group.append((selected, 'selected', 'face 6, selected'))
        for rid, look, what in group:
            arts.append(Art(rid, 201, 48, f'left band row {row} page button, {what}',
                            functools.partial(left_face, row, look)))
    return arts


P = functools.partial
ARTWORK = [
    Art(129, 781, 520, 'main background: left band 0..211 (main window), from x 211 the home page',
        main_background),
    Art(145, 570, 520, 'restore and backup page background', P(page_background, history)),
    Art(146, 570, 520, 'internet assistance page background', P(page_background, bubbles, globe_art)),
    Art(147, 570, 520, 'troubleshooting page background', P(page_background, pulse_lens)),
    Art(148, 570, 520, 'update page background', P(page_background, refresh_down)),
    Art(149, 570, 520, 'system utilities page background', P(page_background, cog)),
    # Utilities page: launcher face (caption from x 5, 175 wide, 20 high); tool icons 51 px left
    # of their launcher, in slots 73 px apart.
    Art(155, 180, 20, 'utilities launcher face, all six states (width chosen)', launcher_face),
    Art(156, 44, 44, 'utilities icon: battery utility (size chosen)', P(tool_icon, SEA, battery)),
    Art(157, 44, 44, 'utilities icon: delete temporary Internet files (size chosen)',
        P(tool_icon, SLATE, bin_can)),
    Art(158, 44, 44, 'utilities icon: disk defragmentation (size chosen)', P(tool_icon, STEEL, blocks)),
    Art(159, 44, 44, 'utilities icon: network utility (size chosen)', P(tool_icon, OCEAN, waves)),
    Art(160, 44, 44, 'utilities icon: resolution utility (size chosen)', P(tool_icon, TEAL, screen_expand)),
    Art(161, 44, 44, 'utilities icon: security centre (size chosen)', P(tool_icon, TEAL_DEEP, shield)),
    Art(162, 44, 44, 'utilities icon: Windows Easy Transfer (size chosen)', P(tool_icon, TEAL, two_screens)),
    Art(248, 44, 44, 'utilities icon: printer utility (size chosen)', P(tool_icon, SLATE, printer)),
    Art(250, 44, 44, 'utilities icon: the other security suite (size chosen)',
        P(tool_icon, STEEL, P(shield, check=True))),
    # Markers drawn left of a line of text; the text starts 25-29 px to their right.
    Art(166, 20, 20, 'update page: tool missing, at (25, 169) left of the red line (size chosen)',
        P(warning_triangle, (20, 20), WHITE)),
    Art(170, 520, 6, 'restore page: rule at (25, 256) above the recovery solution (size chosen)', divider),
    Art(171, 8, 8, 'restore page: bullet of the recovery functions, at (70, 343 + 20 i) (size chosen)',
        bullet),
    Art(174, 32, 26, 'home detail view: icon at (50, 202) on the grey box, heading at x 88 (size chosen)',
        sheet_icon),
    Art(175, 200, 20, 'troubleshooting page: view tab face, all six states', tab_face),
    Art(176, 36, 12, 'category tree state images, 12 x 12: none, unchecked, checked', check_states),
    Art(177, 80, 60, 'result row button strip: normal, hover, pressed, 80 x 20 each', strip_faces),
    Art(180, 720, 54, 'popup header at (0, 0), white title at (24, 17); 54 high as the self-help '
        'view starts there, as wide as the widest popup (size chosen)', popup_header),
    Art(181, 20, 20, 'section marker left of a heading on white pages (size chosen)', section_marker),
    Art(182, 32, 32, 'self-help help box: where to get assistance (size chosen)', help_icon),
    Art(183, 16, 16, 'self-help note marker at x 45 on the grey note box (size chosen)', note_marker),
    Art(184, 16, 16, 'self-help caution marker at x 45 on the grey note box (size chosen)',
        P(warning_triangle, (16, 16), SHEET)),
    Art(185, 18, 18, 'account-control popup: restart needed, at (30, 128) left of the red line '
        '(size chosen)', restart_marker),
    Art(188, 68, 832, 'waiting clock: 13 frames of 68 x 64, top to bottom', clock_frames),
    *_left_faces(),
    Art(210, 100, 30, 'popup and update page button, normal', P(soft_button, (100, 30), SMALL_BACK, 'normal')),
    Art(211, 100, 30, 'popup and update page button, hover', P(soft_button, (100, 30), SMALL_BACK, 'hover')),
    Art(212, 100, 30, 'popup and update page button, pressed', P(soft_button, (100, 30), SMALL_BACK, 'pressed')),
    Art(216, 130, 30, 'page action button, normal', P(soft_button, (130, 30), WHITE, 'normal')),
    Art(217, 130, 30, 'page action button, hover', P(soft_button, (130, 30), WHITE, 'hover')),
    Art(218, 130, 30, 'page action button, pressed', P(soft_button, (130, 30), WHITE, 'pressed')),
    Art(219, 24, 24, 'home Detail button at (539, 426), normal (size chosen)', P(detail_button, 'normal')),
    Art(220, 24, 24, 'home Detail button, hover (size chosen)', P(detail_button, 'hover')),
    Art(221, 24, 24, 'home Detail button, pressed (size chosen)', P(detail_button, 'pressed')),
    Art(222, 24, 24, 'home Close button at (539, 202) on the grey box, normal (size chosen)',
        P(close_button, 'normal')),
    Art(223, 24, 24, 'home Close button, hover (size chosen)', P(close_button, 'hover')),
    Art(224, 24, 24, 'home Close button, pressed (size chosen)', P(close_button, 'pressed')),
    Art(225, 18, 18, 'Help button at (182, 488) on the band, normal', P(help_button, 'normal')),
    Art(226, 18, 18, 'Help button, hover', P(help_button, 'hover')),
    Art(227, 18, 18, 'Help button, pressed', P(help_button, 'pressed')),
    Art(228, 18, 18, 'Home button at (153, 488) on the band, normal', P(home_button, 'normal')),
    Art(229, 18, 18, 'Home button, hover', P(home_button, 'hover')),
    Art(230, 18, 18, 'Home button, pressed', P(home_button, 'pressed')),
    Art(231, 520, 30, 'self-help question row, even rows', P(topic_row, False, False)),
    Art(232, 520, 30, 'self-help question row, even rows, hover', P(topic_row, False, True)),
    Art(233, 520, 30, 'self-help question row, odd rows', P(topic_row, True, False)),
    Art(234, 520, 30, 'self-help question row, odd rows, hover', P(topic_row, True, True)),
]


def write_all(outdir):
    os.makedirs(outdir, exist_ok=True)
    lines = ['// Generated by tools/artwork/make_artwork.py; every bitmap resource of HLMMain.\n']
    for art in sorted(ARTWORK, key=lambda a: a.id):
        img = art.paint()
        if img.size != (art.width, art.height):
            raise SystemExit(f'bitmap {art.id}: drawn {img.size}, table says {art.width} x {art.height}')
        name = f'bmp{art.id}.bmp'
        write_bmp(img, os.path.join(outdir, name))
        lines.append(f'{art.id} BITMAP "{name}"\n')
    with open(os.path.join(outdir, 'artwork.rc'), 'w', newline='\n') as f:
        f.writelines(lines)
    make_icon.main(os.path.join(outdir, 'HLMMain.ico'))


def check_all(outdir):
    """Reads every written file back: one 24-bit uncompressed BMP of the table's size per id,
    each named once in artwork.rc."""
    ids = [a.id for a in ARTWORK]
    if len(ids) != len(set(ids)):
        raise SystemExit('artwork table names an id twice')
    with open(os.path.join(outdir, 'artwork.rc')) as f:
        named = [int(line.split()[0]) for line in f if line[:1].isdigit()]
    if sorted(named) != sorted(ids):
        raise SystemExit('artwork.rc does not name exactly the table')
    for art in ARTWORK:
        head = read_bmp_header(os.path.join(outdir, f'bmp{art.id}.bmp'))
        if head != (art.width, art.height, 24, 0):
            raise SystemExit(f'bmp{art.id}.bmp: {head}, expected {art.width} x {art.height}, 24-bit')
    # Faces on the band are opaque: their corners must be the band itself at their place, or
    # each button would show a box around it.
    main = Image.open(os.path.join(outdir, 'bmp129.bmp')).convert('RGB')
    seats = [(normal, 6, 35 + 55 * row) for row, (normal, _) in LEFT_ROWS.items()]
    seats += [(228, 153, 488), (225, 182, 488)]
    for rid, x, y in seats:
        face = Image.open(os.path.join(outdir, f'bmp{rid}.bmp')).convert('RGB')
        w, h = face.size
        for fx, fy in ((0, 0), (w - 1, 0), (0, h - 1), (w - 1, h - 1)):
            if face.getpixel((fx, fy)) != main.getpixel((x + fx, y + fy)):
                raise SystemExit(f'bmp{rid}.bmp does not blend into the band at ({x}, {y})')


if __name__ == '__main__':
    if len(sys.argv) == 2 and sys.argv[1] == '--list':
        # The build asks for the file names once, to declare them as outputs.
        print('\n'.join(f'bmp{a.id}.bmp' for a in sorted(ARTWORK, key=lambda a: a.id)))
    elif len(sys.argv) == 2:
        write_all(sys.argv[1])
        check_all(sys.argv[1])
    else:
        raise SystemExit('usage: make_artwork.py OUTDIR | --list')
