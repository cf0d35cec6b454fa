#!/usr/bin/env python3
"""Draws the pictures of the in-game display: the top panel with its purchase
buttons and money gauge, the fuel gauge, the minimap's caps and glass, the
tutorial dialog's frame, portrait and arrow, the end-of-level banner, the
difficulty badges and the mouse pointer.

    draw_hud.py list
        prints the pictures it draws, as names under resources/, one a line
    draw_hud.py draw <out folder> <bbq_convert>
        draws them into <out folder>/<name> (SVG sources kept in <out>/svg)
    draw_hud.py mockup <out folder> <level art folder> <level.txt> <mockup.png>
        composes the 800x600 in-game screen from the drawn pictures over the
        level's sky, mountains and ground, to look at the display as a whole

The layout numbers here are the ones resources/UI/gui.txt places the pictures
at; the purchase buttons fill the purchase bar's slots exactly.
"""
import math
import os
import re
import shutil
import subprocess
import sys

OUTLINE = "#1f1a17"
BRASS = "#c0913f"
BRASS_LIGHT = "#ecc978"
BRASS_DARK = "#8a6428"
COPPER = "#b0643a"
SOOT = "#2b2522"
FONT = "DejaVu Sans"
SERIF = "DejaVu Serif"

SCREEN = (800, 600)
BACKDROP = (800, 84)
BUTTON_TOP = 3
BUTTON_HEIGHT = 52
BUTTON_FRAMES = 8
# The purchase bar's slots: product name and the slot's x range on screen.
SLOTS = [("infantry", 143, 180), ("engineer", 180, 216), ("tank", 216, 276), ("flak", 276, 328),
         ("balloon", 328, 350), ("gyro", 350, 400), ("bomb", 400, 430), ("airship", 430, 485)]
NUMBERS_TOP = 57
NUMBERS_SIZE = (342, 14)
SCALE_BOX = (8, 4, 72)           # money scale: left, top, size
PILE = (84, 138, 58)             # money-bag tray: left, right, floor (from the top)
GAUGE = (500, 10, 200, 40)       # fuel gauge: left, top, width, height
MINIMAP_HEIGHT = 100
PORTRAIT = 128
ARROW_SIZE = 64
ARROW_HOTSPOT = 46


def f(value):
    return ("%.2f" % value).rstrip("0").rstrip(".")


def points(pairs):
    return " ".join("%s,%s" % (f(x), f(y)) for x, y in pairs)


def svg_document(width, height, body):
    return ('<svg xmlns="http://www.w3.org/2000/svg" xmlns:xlink="http://www.w3.org/1999/xlink" '
            'width="%d" height="%d" viewBox="0 0 %d %d">\n%s\n</svg>\n' % (width, height, width, height, body))


def metal_gradients():
    """Vertical gradients of the panel's metals, lit from above."""
    stops = {
        "brass": ("#f3d489", "#c0913f", "#8a6428"),
        "copper": ("#e39a6c", "#b0643a", "#6e3a20"),
        "iron": ("#5c534a", "#3d3630", "#221d1a"),
        "steel": ("#8f969c", "#5e656c", "#33383d"),
        "silver": ("#f4f6f8", "#b8c0c8", "#6c747c"),
        "gold": ("#fff0a0", "#e0b030", "#8a5a10"),
        "bronze": ("#f0b080", "#b06a36", "#5e3418"),
    }
    out = []
    for name, (top, mid, bottom) in stops.items():
        out.append('<linearGradient id="%s" x1="0" y1="0" x2="0" y2="1">'
                   '<stop offset="0" stop-color="%s"/><stop offset="0.45" stop-color="%s"/>'
                   '<stop offset="1" stop-color="%s"/></linearGradient>' % (name, top, mid, bottom))
    return "".join(out)


def rivet(x, y, r=2.2):
    return ('<circle cx="%s" cy="%s" r="%s" fill="%s" stroke="%s" stroke-width="0.8"/>'
            '<circle cx="%s" cy="%s" r="%s" fill="#fff3c8" opacity="0.8"/>'
            % (f(x), f(y), f(r), BRASS, OUTLINE, f(x - r * 0.35), f(y - r * 0.35), f(r * 0.35)))


def gear(cx, cy, radius, teeth, angle, fill, stroke, width=1.5):
    outer = []
    for i in range(teeth * 4):
        a = angle + 2 * math.pi * i / (teeth * 4)
        r = radius if i % 4 in (1, 2) else radius * 0.8
        outer.append((cx + r * math.cos(a), cy + r * math.sin(a)))
    hub = radius * 0.3
    return ('<path d="M%s Z M%s,%s a%s,%s 0 1,0 %s,0 a%s,%s 0 1,0 %s,0 Z" fill="%s" fill-rule="evenodd" '
            'stroke="%s" stroke-width="%s" stroke-linejoin="round"/>'
            % (" L".join(points([p]) for p in outer), f(cx - hub), f(cy), f(hub), f(hub), f(2 * hub),
               f(hub), f(hub), f(-2 * hub), fill, stroke, f(width)))


def text(x, y, size, content, fill, family=FONT, weight="bold", anchor="middle", extra=""):
    return ('<text x="%s" y="%s" font-family="%s" font-weight="%s" font-size="%s" text-anchor="%s" '
            'fill="%s" %s>%s</text>' % (f(x), f(y), family, weight, f(size), anchor, fill, extra, content))


# --- the top panel ------------------------------------------------------------

def backdrop_svg():
    w, h = BACKDROP
    sl, st, ss = SCALE_BOX
    gl, gt, gw, gh = GAUGE
    body = ['<defs>%s' % metal_gradients(),
            '<linearGradient id="recess" x1="0" y1="0" x2="0" y2="1"><stop offset="0" stop-color="#0f0c0a"/>'
            '<stop offset="1" stop-color="#2a231e"/></linearGradient></defs>']
    # The plate: one band across the top, brackets hanging below the sections.
    plate = ("M0,0 H800 V70 H708 Q700,70 696,78 H504 Q500,70 492,70 H490 Q486,82 474,82 H154 "
             "Q142,82 140,70 Q136,82 122,82 H18 Q4,82 0,70 Z")
    body.append('<path d="%s" fill="url(#iron)" stroke="%s" stroke-width="2"/>' % (plate, OUTLINE))
    body.append('<path d="M0,1.5 H800" stroke="#8a7a66" stroke-width="1.5" opacity="0.7"/>')
    # Brass trim along the lower edge of the plate.
    body.append('<path d="%s" fill="none" stroke="url(#brass)" stroke-width="3" opacity="0.9" '
                'transform="translate(0,-3)"/>' % plate.replace("M0,0 H800 V70", "M800,70").replace(" Z", ""))
    # The money window: scale dial on the left, the bag tray beside it.
    body.append('<rect x="4" y="3" width="134" height="68" rx="7" fill="url(#recess)" stroke="%s" '
                'stroke-width="2"/>' % OUTLINE)
    body.append('<rect x="5" y="4" width="132" height="66" rx="6" fill="none" stroke="#000" '
                'stroke-opacity="0.5" stroke-width="2"/>')
    left, right, floor = PILE
    body.append('<rect x="%d" y="%d" width="%d" height="6" rx="2" fill="url(#brass)" stroke="%s" '
                'stroke-width="1.2"/>' % (left - 2, floor, right - left + 4, OUTLINE))
    body.append('<path d="M%d,%d v-40 M%d,%d v-40" stroke="%s" stroke-width="2" opacity="0.8"/>'
                % (left - 1, floor, right + 1, floor, BRASS_DARK))
    body.append(text((left + right) / 2, floor + 12, 8, "PURSE", BRASS_LIGHT, extra='letter-spacing="1"'))
    # The purchase bay: a dark recess with brass dividers between the slots.
    bay_left, bay_right = SLOTS[0][1], SLOTS[-1][2]
    body.append('<rect x="%d" y="1" width="%d" height="71" rx="4" fill="url(#recess)" stroke="%s" '
                'stroke-width="2"/>' % (bay_left - 2, bay_right - bay_left + 4, OUTLINE))
    for _, x0, x1 in SLOTS:
        body.append('<rect x="%s" y="%d" width="%s" height="%d" rx="5" fill="none" stroke="#5a4a36" '
                    'stroke-width="1" stroke-dasharray="3 2"/>'
                    % (f(x0 + 1.5), BUTTON_TOP + 1, f(x1 - x0 - 3), BUTTON_HEIGHT - 2))
        body.append(gear((x0 + x1) / 2, BUTTON_TOP + BUTTON_HEIGHT / 2, 7, 8, 0.2, "#3a3028", "#4e4032", 1))
    for _, x0, _ in SLOTS[1:]:
        body.append('<rect x="%s" y="2" width="2" height="68" fill="%s" opacity="0.8"/>' % (f(x0 - 1), BRASS_DARK))
    # The fuel gauge's bezel and its label; the tube itself is drawn on top.
    body.append('<rect x="%d" y="%d" width="%d" height="%d" rx="12" fill="url(#brass)" stroke="%s" '
                'stroke-width="2"/>' % (gl - 6, gt - 5, gw + 12, gh + 10, OUTLINE))
    body.append('<rect x="%d" y="%d" width="%d" height="%d" rx="9" fill="#141110" stroke="%s" '
                'stroke-width="1"/>' % (gl - 2, gt - 1, gw + 4, gh + 2, BRASS_DARK))
    for x in (gl - 1, gl + gw + 1):
        body.append(rivet(x, gt - 2))
        body.append(rivet(x, gt + gh + 2))
    body.append('<rect x="%d" y="%d" width="64" height="14" rx="3" fill="url(#brass)" stroke="%s" '
                'stroke-width="1.2"/>' % (gl + gw / 2 - 32, gt + gh + 7, OUTLINE))
    body.append(text(gl + gw / 2, gt + gh + 18, 10, "FUEL", SOOT, extra='letter-spacing="3"'))
    # Panel ornaments: cogs in the gaps, rivets along the plate.
    body.append(gear(756, 36, 26, 12, 0.1, "url(#brass)", OUTLINE, 2))
    body.append(gear(731, 60, 11, 8, 0.3, "url(#copper)", OUTLINE, 1.5))
    body.append('<circle cx="756" cy="36" r="5" fill="%s"/>' % SOOT)
    for x in list(range(146, 484, 28)):
        body.append(rivet(x, 76))
    for x in (10, 132, 492, 704, 790):
        body.append(rivet(x, 74 if x not in (492, 704) else 64))
    return svg_document(w, h, "\n".join(body))


# Unit icons, each drawn in its own box (width, height, body) and fitted into
# its button. Lit colours; the unlit version is the same shape in grey.
def icon_infantry():
    return 20, 40, (
        '<path d="M12,13 L18,2 L19.5,3 L14,15 Z" fill="#4a3526" stroke="%(o)s" stroke-width="1"/>'
        '<path d="M6,24 L5,38 H9 L10.5,28 L12,38 H16 L14.5,24 Z" fill="#4b5530" stroke="%(o)s" stroke-width="1.2"/>'
        '<path d="M5,13 Q10,10 15,13 L15.5,25 H4.5 Z" fill="#6b7a3e" stroke="%(o)s" stroke-width="1.2"/>'
        '<path d="M10,16 L16,14" stroke="%(o)s" stroke-width="2"/>'
        '<circle cx="10" cy="8.5" r="3.6" fill="#e2b48c" stroke="%(o)s" stroke-width="1"/>'
        '<path d="M4,7 Q10,-1 16,7 Z" fill="#7a8650" stroke="%(o)s" stroke-width="1.2"/>'
        '<rect x="4" y="37" width="5" height="2.5" fill="%(o)s"/><rect x="11" y="37" width="5" height="2.5" fill="%(o)s"/>'
    )


def icon_engineer():
    return 22, 40, (
        '<path d="M7,24 L6,38 H10 L11,29 L12,38 H16 L15,24 Z" fill="#2f4a78" stroke="%(o)s" stroke-width="1.2"/>'
        '<path d="M5,13 Q11,10 17,13 L16.5,25 H5.5 Z" fill="#3c5f96" stroke="%(o)s" stroke-width="1.2"/>'
        '<path d="M7,13 L8,25 M15,13 L14,25" stroke="#c0913f" stroke-width="1.4"/>'
        '<path d="M16,15 L20,8" stroke="#9aa3ab" stroke-width="2.4" stroke-linecap="round"/>'
        '<path d="M18.5,6 a2.6,2.6 0 1,1 3,2.6 l-1.2,-1.4 Z" fill="#b8c0c8" stroke="%(o)s" stroke-width="0.8"/>'
        '<circle cx="11" cy="8.5" r="3.6" fill="#e2b48c" stroke="%(o)s" stroke-width="1"/>'
        '<path d="M6.5,7.5 Q11,0 15.5,7.5 Z" fill="#e0a020" stroke="%(o)s" stroke-width="1.1"/>'
        '<path d="M5.5,7.5 H17" stroke="%(o)s" stroke-width="1.5"/>'
        '<rect x="5" y="37" width="5" height="2.5" fill="%(o)s"/><rect x="12" y="37" width="5" height="2.5" fill="%(o)s"/>'
    )


def icon_tank():
    return 50, 30, (
        '<path d="M24,10 H47" stroke="%(o)s" stroke-width="3.6" stroke-linecap="round"/>'
        '<path d="M24,10 H46" stroke="#7c8a50" stroke-width="1.8" stroke-linecap="round"/>'
        '<path d="M14,13 Q16,5 24,5 H30 Q34,5 35,13 Z" fill="#7c8a50" stroke="%(o)s" stroke-width="1.3"/>'
        '<path d="M4,13 H44 L46,20 H2 Z" fill="#66743e" stroke="%(o)s" stroke-width="1.3"/>'
        '<rect x="2" y="19" width="44" height="9" rx="4.5" fill="#2f2a26" stroke="%(o)s" stroke-width="1.3"/>'
        '<g fill="#8f969c" stroke="%(o)s" stroke-width="0.8">'
        '<circle cx="7" cy="23.5" r="3"/><circle cx="15" cy="23.5" r="3"/><circle cx="23" cy="23.5" r="3"/>'
        '<circle cx="31" cy="23.5" r="3"/><circle cx="39" cy="23.5" r="3"/></g>'
        '<circle cx="24" cy="9" r="1.4" fill="#c0913f"/>'
    )


def icon_flak():
    return 44, 34, (
        '<path d="M22,16 L38,3" stroke="%(o)s" stroke-width="3.6" stroke-linecap="round"/>'
        '<path d="M22,16 L38,3" stroke="#8f969c" stroke-width="1.8" stroke-linecap="round"/>'
        '<path d="M16,17 Q17,11 22,11 Q27,11 28,17 Z" fill="#8a6428" stroke="%(o)s" stroke-width="1.2"/>'
        '<rect x="3" y="17" width="30" height="8" fill="#7a5a36" stroke="%(o)s" stroke-width="1.2"/>'
        '<path d="M33,25 V12 H38 L42,18 V25 Z" fill="#b0643a" stroke="%(o)s" stroke-width="1.2"/>'
        '<path d="M35,14 H38 L40,18 H35 Z" fill="#9cc4d8" stroke="%(o)s" stroke-width="0.8"/>'
        '<g fill="#2f2a26" stroke="%(o)s" stroke-width="1"><circle cx="9" cy="27" r="4.5"/>'
        '<circle cx="20" cy="27" r="4.5"/><circle cx="36" cy="27" r="4.5"/></g>'
        '<g fill="#8f969c"><circle cx="9" cy="27" r="1.6"/><circle cx="20" cy="27" r="1.6"/>'
        '<circle cx="36" cy="27" r="1.6"/></g>'
    )


def icon_balloon():
    return 18, 40, (
        '<ellipse cx="9" cy="10" rx="8" ry="9.5" fill="#c8503a" stroke="%(o)s" stroke-width="1.2"/>'
        '<path d="M9,0.5 V19.5 M3,4 Q6,10 3,16 M15,4 Q12,10 15,16" fill="none" stroke="#7e2a1e" stroke-width="1"/>'
        '<ellipse cx="6" cy="6" rx="2" ry="3" fill="#ffffff" opacity="0.45"/>'
        '<path d="M4,18 L8,26 M14,18 L10,26" stroke="%(o)s" stroke-width="0.9"/>'
        '<path d="M9,26 Q14,26 14,32 Q14,39 9,39 Q4,39 4,32 Q4,26 9,26 Z" fill="#2f2a26" stroke="%(o)s" stroke-width="1"/>'
        '<rect x="7" y="24.5" width="4" height="2.5" fill="#c0913f" stroke="%(o)s" stroke-width="0.6"/>'
    )


def icon_gyro():
    return 44, 32, (
        '<path d="M2,5 Q22,1 42,5" fill="none" stroke="%(o)s" stroke-width="3"/>'
        '<path d="M2,5 Q22,1 42,5" fill="none" stroke="#b8c0c8" stroke-width="1.5"/>'
        '<rect x="20" y="4" width="3" height="9" fill="#5e656c" stroke="%(o)s" stroke-width="0.8"/>'
        '<path d="M8,16 Q10,11 24,11 Q34,11 36,19 Q34,25 22,25 H12 Q7,23 8,16 Z" fill="#b0643a" stroke="%(o)s" stroke-width="1.3"/>'
        '<path d="M26,13 Q32,13 33,18 H26 Z" fill="#9cc4d8" stroke="%(o)s" stroke-width="0.8"/>'
        '<path d="M9,18 L1,15 L1,22 Z" fill="#8a6428" stroke="%(o)s" stroke-width="1"/>'
        '<path d="M16,25 L14,30 H30 L28,25" fill="none" stroke="%(o)s" stroke-width="1.4"/>'
    )


def icon_bomb():
    return 20, 40, (
        '<path d="M10,39 Q3,32 3,20 Q3,9 10,9 Q17,9 17,20 Q17,32 10,39 Z" fill="#4a4e54" stroke="%(o)s" stroke-width="1.3"/>'
        '<path d="M5,6 L3,1 H17 L15,6 Z M10,1 V9" fill="#8a6428" stroke="%(o)s" stroke-width="1.1"/>'
        '<path d="M3.5,22 H16.5" stroke="#c0913f" stroke-width="2"/>'
        '<ellipse cx="7" cy="16" rx="1.5" ry="4" fill="#ffffff" opacity="0.35"/>'
    )


def icon_airship():
    return 50, 30, (
        '<path d="M6,10 L1,2 L11,6 Z M6,14 L1,22 L11,18 Z" fill="#8a6428" stroke="%(o)s" stroke-width="1"/>'
        '<ellipse cx="26" cy="12" rx="21" ry="9" fill="#c0913f" stroke="%(o)s" stroke-width="1.4"/>'
        '<path d="M10,12 H46 M16,5.5 Q13,12 16,18.5 M26,3 Q23,12 26,21 M36,5 Q33,12 36,19" fill="none" '
        'stroke="#8a6428" stroke-width="0.9"/>'
        '<ellipse cx="22" cy="7.5" rx="10" ry="2.6" fill="#ffffff" opacity="0.4"/>'
        '<path d="M20,20.5 L21,23 M32,20.5 L31,23" stroke="%(o)s" stroke-width="1"/>'
        '<rect x="18" y="23" width="16" height="5" rx="1.5" fill="#b0643a" stroke="%(o)s" stroke-width="1.1"/>'
        '<path d="M34,25.5 H38 M38,22.5 V28.5" stroke="%(o)s" stroke-width="1.3"/>'
    )


ICONS = {"infantry": icon_infantry, "engineer": icon_engineer, "tank": icon_tank, "flak": icon_flak,
         "balloon": icon_balloon, "gyro": icon_gyro, "bomb": icon_bomb, "airship": icon_airship}
UNLIT = '<g filter="url(#unlit)">%s</g>'


def button_svg(product, width, frame):
    """Frame `frame` of a purchase button: the fill rises from the bottom as
    the money approaches the price; the last frame is the lit, buyable one."""
    h = BUTTON_HEIGHT
    iw, ih, shape = ICONS[product]()
    shape = shape % {"o": OUTLINE}
    scale = min((width - 6) / iw, (h - 10) / ih)
    placed = '<g transform="translate(%s,%s) scale(%s)">%s</g>' % (
        f((width - iw * scale) / 2), f((h - ih * scale) / 2), f(scale), shape)
    fraction = frame / (BUTTON_FRAMES - 1)
    level = h - 2 - (h - 4) * fraction
    ready = frame == BUTTON_FRAMES - 1
    body = ['<defs>%s' % metal_gradients(),
            '<filter id="unlit"><feColorMatrix type="saturate" values="0.1"/>'
            '<feComponentTransfer><feFuncR type="linear" slope="0.55"/><feFuncG type="linear" slope="0.55"/>'
            '<feFuncB type="linear" slope="0.6"/></feComponentTransfer></filter>',
            '<linearGradient id="glow" x1="0" y1="0" x2="0" y2="1"><stop offset="0" stop-color="#ffe9a8"/>'
            '<stop offset="0.6" stop-color="#e0a640"/><stop offset="1" stop-color="#9a5a1c"/></linearGradient>',
            '<clipPath id="plate"><rect x="1.5" y="1.5" width="%s" height="%d" rx="5"/></clipPath>' % (f(width - 3), h - 3),
            '<clipPath id="fill"><rect x="0" y="%s" width="%d" height="%d"/></clipPath></defs>' % (f(level), width, h)]
    body.append('<rect x="1.5" y="1.5" width="%s" height="%d" rx="5" fill="url(#steel)"/>' % (f(width - 3), h - 3))
    body.append('<g clip-path="url(#plate)"><rect x="0" y="0" width="%d" height="%d" fill="url(#glow)" '
                'clip-path="url(#fill)" opacity="%s"/></g>' % (width, h, "1" if ready else "0.75"))
    if not ready and 0 < frame:
        body.append('<path d="M2,%s H%d" stroke="#ffe9a8" stroke-width="1.2" opacity="0.9"/>' % (f(level), width - 2))
    body.append(UNLIT % placed)
    body.append('<g clip-path="url(#fill)">%s</g>' % placed)
    rim = "#ffe39a" if ready else OUTLINE
    body.append('<rect x="1.5" y="1.5" width="%s" height="%d" rx="5" fill="none" stroke="%s" stroke-width="%s"/>'
                % (f(width - 3), h - 3, rim, "2.5" if ready else "1.6"))
    body.append('<rect x="3" y="3" width="%s" height="%d" rx="4" fill="none" stroke="#ffffff" '
                'stroke-opacity="0.25" stroke-width="1"/>' % (f(width - 6), h - 6))
    return svg_document(width, h, "\n".join(body))


def numbers_svg():
    w, h = NUMBERS_SIZE
    body = []
    for i, (_, x0, x1) in enumerate(SLOTS):
        cx = (x0 + x1) / 2 - SLOTS[0][1]
        body.append('<rect x="%s" y="1" width="12" height="12" rx="2.5" fill="%s" stroke="%s" stroke-width="1"/>'
                    % (f(cx - 6), SOOT, BRASS_DARK))
        body.append(text(cx, 11, 10, str(i + 1), BRASS_LIGHT))
    return svg_document(w, h, "\n".join(body))


def scale_svg():
    size = SCALE_BOX[2]
    c = size / 2
    body = ['<defs>%s<radialGradient id="face" cx="0.4" cy="0.35" r="0.7"><stop offset="0" stop-color="#fff8e6"/>'
            '<stop offset="1" stop-color="#d9c9a2"/></radialGradient></defs>' % metal_gradients()]
    body.append('<circle cx="%s" cy="%s" r="%s" fill="url(#brass)" stroke="%s" stroke-width="2"/>' % (c, c, c - 1.5, OUTLINE))
    body.append('<circle cx="%s" cy="%s" r="%s" fill="url(#face)" stroke="%s" stroke-width="1.5"/>' % (c, c, c - 7, BRASS_DARK))
    # The sweep runs from -120 degrees (empty, lower left) over the top to +120
    # (full, lower right); the last third is the full purse, in gold.
    r = c - 12
    def at(deg, radius):
        a = math.radians(deg)
        return c + radius * math.sin(a), c - radius * math.cos(a)
    for start, end, colour in ((-120, 40, "#7a8a50"), (40, 120, "#e0a020")):
        x0, y0 = at(start, r)
        x1, y1 = at(end, r)
        body.append('<path d="M%s,%s A%s,%s 0 %d,1 %s,%s" fill="none" stroke="%s" stroke-width="4"/>'
                    % (f(x0), f(y0), f(r), f(r), 1 if end - start > 180 else 0, f(x1), f(y1), colour))
    for i in range(13):
        deg = -120 + i * 20
        x0, y0 = at(deg, r - 2 - (3 if i % 3 == 0 else 0))
        x1, y1 = at(deg, r + 3)
        body.append('<path d="M%s,%s L%s,%s" stroke="%s" stroke-width="%s"/>'
                    % (f(x0), f(y0), f(x1), f(y1), OUTLINE, "1.6" if i % 3 == 0 else "0.9"))
    body.append(text(c, c + 20, 13, "$", "#6a4a18", family=SERIF))
    for deg in (45, 135, 225, 315):
        x, y = at(deg, c - 4.5)
        body.append(rivet(x, y, 1.6))
    return svg_document(size, size, "\n".join(body))


NEEDLE = (10, 36, 5, 30)  # width, height, pivot x, pivot y


def needle_svg():
    w, h, px, py = NEEDLE
    body = ['<path d="M%s,2 L%s,%s L%s,%s Z" fill="#a8281c" stroke="%s" stroke-width="1" stroke-linejoin="round"/>'
            % (px, px + 2.6, py + 3, px - 2.6, py + 3, OUTLINE),
            '<circle cx="%s" cy="%s" r="3.8" fill="%s" stroke="%s" stroke-width="1"/>' % (px, py, BRASS, OUTLINE),
            '<circle cx="%s" cy="%s" r="1.2" fill="%s"/>' % (px, py, SOOT)]
    return svg_document(w, h, "\n".join(body))


BAG = (18, 20, 9, 19)  # width, height, hot spot at the middle of its bottom


def money_bag_svg():
    w, h, _, _ = BAG
    body = ['<defs><linearGradient id="burlap" x1="0" y1="0" x2="1" y2="1"><stop offset="0" stop-color="#e0b878"/>'
            '<stop offset="1" stop-color="#946432"/></linearGradient></defs>',
            '<path d="M6,7 Q1,11 1.5,15 Q2,19 9,19 Q16,19 16.5,15 Q17,11 12,7 Z" fill="url(#burlap)" '
            'stroke="#3a2a18" stroke-width="1.1"/>',
            '<path d="M6,7 L4,2 Q6,3.5 9,2 Q12,3.5 14,2 L12,7 Z" fill="#c89a5c" stroke="#3a2a18" stroke-width="1"/>',
            '<path d="M5.5,7 H12.5" stroke="#8a2a1c" stroke-width="1.8" stroke-linecap="round"/>',
            text(9, 17, 8.5, "$", "#4a3018", family=SERIF)]
    return svg_document(w, h, "\n".join(body))


# --- the fuel gauge -----------------------------------------------------------

def gas_tank_svg(full):
    _, _, w, h = GAUGE
    body = ['<defs>%s' % metal_gradients(),
            '<linearGradient id="fuel" x1="0" y1="0" x2="0" y2="1"><stop offset="0" stop-color="#ffd27a"/>'
            '<stop offset="0.35" stop-color="#e8902a"/><stop offset="1" stop-color="#8a3a12"/></linearGradient>',
            '<linearGradient id="glass" x1="0" y1="0" x2="0" y2="1"><stop offset="0" stop-color="#3a4448"/>'
            '<stop offset="0.5" stop-color="#1a2024"/><stop offset="1" stop-color="#0e1214"/></linearGradient>',
            '<clipPath id="tube"><rect x="12" y="7" width="%d" height="%d" rx="%s"/></clipPath></defs>'
            % (w - 24, h - 14, f((h - 14) / 2))]
    body.append('<rect x="12" y="7" width="%d" height="%d" rx="%s" fill="url(#glass)"/>' % (w - 24, h - 14, f((h - 14) / 2)))
    if full:
        body.append('<g clip-path="url(#tube)"><rect x="0" y="9" width="%d" height="%d" fill="url(#fuel)"/>'
                    % (w, h - 16))
        for i in range(9):
            x = 24 + i * 20
            body.append('<circle cx="%d" cy="%d" r="%s" fill="#fff1c0" opacity="0.5"/>'
                        % (x, 16 + (i * 7) % 12, f(1.2 + (i % 3) * 0.5)))
        body.append('<path d="M12,10 Q%d,8 %d,10" stroke="#fff8e0" stroke-width="2" fill="none" opacity="0.7"/></g>'
                    % (w / 2, w - 12))
    else:
        # The low mark: the last 30 per cent, where the gauge starts to pulse.
        low = 12 + (w - 24) * 0.3
        body.append('<g clip-path="url(#tube)"><rect x="0" y="0" width="%s" height="%d" fill="#7a1a12" '
                    'opacity="0.55"/></g>' % (f(low), h))
    body.append('<rect x="12" y="7" width="%d" height="%d" rx="%s" fill="none" stroke="%s" stroke-width="1.5"/>'
                % (w - 24, h - 14, f((h - 14) / 2), OUTLINE))
    body.append('<path d="M20,11 H%d" stroke="#ffffff" stroke-width="2" stroke-linecap="round" opacity="0.35"/>' % (w - 20))
    for i in range(1, 10):
        x = 12 + (w - 24) * i / 10
        body.append('<path d="M%s,%d v%d" stroke="%s" stroke-width="%s"/>'
                    % (f(x), h - 7, -6 if i % 5 else -10, BRASS_LIGHT, "1" if i % 5 else "1.6"))
    # End caps: brass collars that hold the glass.
    for x in (0, w - 14):
        body.append('<rect x="%d" y="3" width="14" height="%d" rx="3" fill="url(#brass)" stroke="%s" '
                    'stroke-width="1.4"/>' % (x, h - 6, OUTLINE))
        body.append('<path d="M%d,6 v%d M%d,6 v%d" stroke="%s" stroke-width="1" opacity="0.7"/>'
                    % (x + 4, h - 12, x + 9, h - 12, BRASS_DARK))
    return svg_document(w, h, "\n".join(body))


# --- the minimap and the dialog frame -----------------------------------------

def minimap_border_svg():
    w, h = 64, 128
    body = ['<defs>%s' % metal_gradients(),
            '<linearGradient id="pillar" x1="0" y1="0" x2="1" y2="0"><stop offset="0" stop-color="#6e4e20"/>'
            '<stop offset="0.4" stop-color="#f3d489"/><stop offset="1" stop-color="#8a6428"/></linearGradient></defs>']
    # A brass pillar against the minimap, braced by a bracket with a cog.
    body.append('<path d="M14,10 Q40,14 52,40 Q60,64 52,88 Q40,114 14,118 Z" fill="url(#iron)" stroke="%s" '
                'stroke-width="2.5"/>' % OUTLINE)
    body.append(gear(30, 64, 20, 10, 0.15, "url(#copper)", OUTLINE, 2))
    body.append('<circle cx="30" cy="64" r="4" fill="%s"/>' % SOOT)
    body.append('<rect x="1.5" y="1.5" width="16" height="125" rx="3" fill="url(#pillar)" stroke="%s" '
                'stroke-width="2.5"/>' % OUTLINE)
    for y in (10, 36, 64, 92, 118):
        body.append(rivet(9.5, y, 2.6))
    return svg_document(w, h, "\n".join(body))


def minimap_overlay_svg():
    w, h = 256, 128
    body = ['<defs>%s' % metal_gradients(),
            '<linearGradient id="sheen" x1="0" y1="0" x2="0" y2="1"><stop offset="0" stop-color="#ffffff" '
            'stop-opacity="0.22"/><stop offset="0.4" stop-color="#ffffff" stop-opacity="0.03"/>'
            '<stop offset="0.85" stop-color="#000000" stop-opacity="0"/><stop offset="1" stop-color="#000000" '
            'stop-opacity="0.35"/></linearGradient></defs>']
    body.append('<rect width="%d" height="%d" fill="url(#sheen)"/>' % (w, h))
    for y in range(12, h - 10, 6):
        body.append('<path d="M0,%d H%d" stroke="#c8e0c0" stroke-width="1" opacity="0.06"/>' % (y, w))
    body.append('<rect x="0" y="0" width="%d" height="8" fill="url(#brass)"/>' % w)
    body.append('<path d="M0,8.5 H%d" stroke="%s" stroke-width="1.5"/>' % (w, OUTLINE))
    body.append('<rect x="0" y="%d" width="%d" height="7" fill="url(#brass)"/>' % (h - 7, w))
    body.append('<path d="M0,%s H%d" stroke="%s" stroke-width="1.5"/>' % (f(h - 7.5), w, OUTLINE))
    return svg_document(w, h, "\n".join(body))


def dialog_frame_svg():
    """The right half of the tutorial dialog's frame; the left half is its
    mirror image, so the picture's left edge is the middle of the box."""
    w, h = 256, 128
    body = ['<defs>%s</defs>' % metal_gradients()]
    outer = "M0,1 H%d Q%d,1 %d,%d V%d Q%d,%d %d,%d H0 Z" % (w - 16, w - 1, w - 1, 16, h - 16, w - 1, h - 1,
                                                             w - 16, h - 1)
    inner = "M0,8 H%d Q%d,8 %d,%d V%d Q%d,%d %d,%d H0 Z" % (w - 18, w - 8, w - 8, 18, h - 18, w - 8, h - 8,
                                                              w - 18, h - 8)
    body.append('<path d="%s %s" fill="url(#brass)" fill-rule="evenodd" stroke="%s" stroke-width="1.5"/>'
                % (outer, inner, OUTLINE))
    body.append('<path d="%s" fill="#16110e" fill-opacity="0.86" stroke="%s" stroke-width="1.5"/>' % (inner, OUTLINE))
    body.append('<path d="M0,12 H%d Q%d,12 %d,%d V%d Q%d,%d %d,%d H0" fill="none" stroke="%s" stroke-width="1" '
                'opacity="0.7"/>' % (w - 20, w - 12, w - 12, 20, h - 20, w - 12, h - 12, w - 20, h - 12, COPPER))
    return svg_document(w, h, "\n".join(body))


# --- the tutorial's portrait and arrow -----------------------------------------

def portrait_svg():
    s = PORTRAIT
    body = ['<defs>%s' % metal_gradients(),
            '<radialGradient id="lamp" cx="0.35" cy="0.3" r="0.8"><stop offset="0" stop-color="#8a6a44"/>'
            '<stop offset="1" stop-color="#2a1e16"/></radialGradient>',
            '<radialGradient id="skin" cx="0.45" cy="0.4" r="0.7"><stop offset="0" stop-color="#f2c8a0"/>'
            '<stop offset="1" stop-color="#c48a62"/></radialGradient>',
            '<linearGradient id="overalls" x1="0" y1="0" x2="0" y2="1"><stop offset="0" stop-color="#4a6fa8"/>'
            '<stop offset="1" stop-color="#263c62"/></linearGradient></defs>']
    body.append('<rect width="%d" height="%d" fill="url(#lamp)"/>' % (s, s))
    body.append('<g opacity="0.35">%s%s</g>' % (gear(104, 30, 30, 12, 0.2, "#c0913f", "#2a1e16", 2),
                                                gear(18, 100, 20, 9, 0.5, "#b0643a", "#2a1e16", 2)))
    # Shoulders in blue overalls with brass buckles, a red kerchief.
    body.append('<path d="M8,128 Q10,96 40,90 H88 Q118,96 120,128 Z" fill="#6e5a48" stroke="%s" stroke-width="2"/>' % OUTLINE)
    body.append('<path d="M30,128 Q32,102 44,96 H84 Q96,102 98,128 Z" fill="url(#overalls)" stroke="%s" stroke-width="2"/>' % OUTLINE)
    body.append('<path d="M34,100 L30,128 M94,100 L98,128" stroke="#1e2e4a" stroke-width="5"/>')
    body.append('<rect x="40" y="106" width="8" height="8" rx="1.5" fill="url(#brass)" stroke="%s" stroke-width="1"/>'
                '<rect x="80" y="106" width="8" height="8" rx="1.5" fill="url(#brass)" stroke="%s" stroke-width="1"/>'
                % (OUTLINE, OUTLINE))
    body.append('<path d="M48,88 Q64,100 80,88 L76,98 Q64,104 52,98 Z" fill="#b0302a" stroke="%s" stroke-width="1.5"/>' % OUTLINE)
    # A spanner over the right shoulder.
    body.append('<path d="M92,126 L116,78" stroke="%s" stroke-width="8" stroke-linecap="round"/>'
                '<path d="M92,126 L116,78" stroke="#a8b0b8" stroke-width="5" stroke-linecap="round"/>' % OUTLINE)
    body.append('<path d="M110,74 a9,9 0 1,1 14,6 l-5,-5 l-5,2 Z" fill="#b8c0c8" stroke="%s" stroke-width="1.8"/>' % OUTLINE)
    # Neck, ears, face.
    body.append('<path d="M52,76 V92 Q64,98 76,92 V76 Z" fill="#c99068" stroke="%s" stroke-width="1.5"/>' % OUTLINE)
    body.append('<ellipse cx="40" cy="60" rx="6" ry="8" fill="#d9a07a" stroke="%s" stroke-width="1.5"/>' % OUTLINE)
    body.append('<ellipse cx="88" cy="60" rx="6" ry="8" fill="#d9a07a" stroke="%s" stroke-width="1.5"/>' % OUTLINE)
    body.append('<path d="M41,50 Q40,86 64,88 Q88,86 87,50 Q86,34 64,34 Q42,34 41,50 Z" fill="url(#skin)" '
                'stroke="%s" stroke-width="2"/>' % OUTLINE)
    # Grey sideburns, friendly eyes under bushy brows, a round nose.
    body.append('<path d="M41,46 Q40,66 46,70 L47,50 Z M87,46 Q88,66 82,70 L81,50 Z" fill="#8a8078" stroke="%s" stroke-width="1"/>' % OUTLINE)
    body.append('<path d="M49,52 Q55,48 60,52" fill="none" stroke="#6a625a" stroke-width="3.5" stroke-linecap="round"/>'
                '<path d="M68,52 Q73,48 79,52" fill="none" stroke="#6a625a" stroke-width="3.5" stroke-linecap="round"/>')
    body.append('<path d="M51,58 Q55,55 59,58" fill="none" stroke="%s" stroke-width="2.2" stroke-linecap="round"/>'
                '<path d="M69,58 Q73,55 77,58" fill="none" stroke="%s" stroke-width="2.2" stroke-linecap="round"/>'
                % (OUTLINE, OUTLINE))
    body.append('<ellipse cx="64" cy="66" rx="5.5" ry="5" fill="#d88a66" stroke="%s" stroke-width="1.5"/>' % OUTLINE)
    body.append('<ellipse cx="50" cy="68" rx="5" ry="3" fill="#e07a66" opacity="0.45"/>'
                '<ellipse cx="78" cy="68" rx="5" ry="3" fill="#e07a66" opacity="0.45"/>')
    # The handlebar moustache and a smile below it; a smudge of soot.
    body.append('<path d="M64,72 Q56,68 48,72 Q42,75 38,70 Q40,80 50,78 Q58,77 64,75 Q70,77 78,78 Q88,80 90,70 '
                'Q86,75 80,72 Q72,68 64,72 Z" fill="#9a9088" stroke="%s" stroke-width="1.5"/>' % OUTLINE)
    body.append('<path d="M56,80 Q64,85 72,80" fill="none" stroke="#7a3a2a" stroke-width="2" stroke-linecap="round"/>')
    body.append('<ellipse cx="80" cy="76" rx="4" ry="2.5" fill="%s" opacity="0.35"/>' % SOOT)
    # Flat cap with brass goggles pushed up on it.
    body.append('<path d="M38,46 Q38,24 64,22 Q92,22 92,44 Q98,46 100,50 Q82,46 64,44 Q48,43 38,46 Z" '
                'fill="#5a4a3c" stroke="%s" stroke-width="2"/>' % OUTLINE)
    body.append('<path d="M40,38 Q64,32 90,38" fill="none" stroke="#3a2e24" stroke-width="5"/>')
    for cx in (53, 75):
        body.append('<circle cx="%d" cy="36" r="9" fill="url(#brass)" stroke="%s" stroke-width="1.8"/>' % (cx, OUTLINE))
        body.append('<circle cx="%d" cy="36" r="5.5" fill="#6fa8c0" stroke="%s" stroke-width="1.2"/>' % (cx, OUTLINE))
        body.append('<circle cx="%d" cy="34" r="1.8" fill="#ffffff" opacity="0.8"/>' % (cx - 2))
    body.append('<rect x="1.5" y="1.5" width="%d" height="%d" rx="6" fill="none" stroke="url(#brass)" stroke-width="3"/>'
                % (s - 3, s - 3))
    return svg_document(s, s, "\n".join(body))


ARROW_FRAMES = 4


def arrow_svg(frame):
    """The tutorial arrow points up and to the left; the game turns it towards
    its target. Its tip lies 55 pixels from the hot spot, the distance at
    which the arrow stops before its target, and bobs a little."""
    s = ARROW_SIZE
    bob = (0, 1.5, 3, 1.5)[frame]
    tip = ARROW_HOTSPOT - 55 / math.sqrt(2) + bob
    # Drawn pointing up from its tip, then turned to point up and to the left.
    shape = "M0,0 L13,21 L5,18 L5,56 L-5,56 L-5,18 L-13,21 Z"
    place = 'transform="translate(%s,%s) rotate(-45)"' % (f(tip), f(tip))
    body = ['<defs><linearGradient id="shaft" x1="0" y1="0" x2="1" y2="0"><stop offset="0" stop-color="#ffe08a"/>'
            '<stop offset="0.5" stop-color="#e09a30"/><stop offset="1" stop-color="#a8501c"/></linearGradient></defs>',
            '<g transform="translate(2,3)"><path d="%s" fill="#000000" opacity="0.3" %s/></g>' % (shape, place),
            '<path d="%s" fill="url(#shaft)" stroke="%s" stroke-width="2.5" stroke-linejoin="round" %s/>'
            % (shape, OUTLINE, place),
            '<path d="M-2,6 L-8,16 M-2,22 V50" stroke="#fff6d0" stroke-width="1.5" opacity="0.8" '
            'stroke-linecap="round" %s/>' % place]
    return svg_document(s, s, "\n".join(body))


# --- banners, badges and the pointer --------------------------------------------

def game_over_svg(won):
    w, h = 512, 128
    word, colour = ("VICTORY", "#ffd86a") if won else ("DEFEAT", "#e0604a")
    body = ['<defs>%s</defs>' % metal_gradients()]
    body.append('<path d="M20,40 L60,34 V102 L20,96 L34,68 Z M492,40 L452,34 V102 L492,96 L478,68 Z" '
                'fill="url(#copper)" stroke="%s" stroke-width="3" stroke-linejoin="round"/>' % OUTLINE)
    body.append('<rect x="52" y="20" width="408" height="86" rx="14" fill="url(#iron)" stroke="%s" '
                'stroke-width="3"/>' % OUTLINE)
    body.append('<rect x="60" y="28" width="392" height="70" rx="9" fill="none" stroke="url(#brass)" stroke-width="4"/>')
    for x in (72, 440):
        body.append(gear(x, 63, 14, 9, 0.2, "url(#brass)", OUTLINE, 1.5))
    body.append(text(259, 85, 54, word, "#000000", family=SERIF, extra='opacity="0.5" letter-spacing="4"'))
    body.append(text(256, 82, 54, word, colour, family=SERIF,
                     extra='stroke="%s" stroke-width="2.5" letter-spacing="4"' % OUTLINE))
    return svg_document(w, h, "\n".join(body))


def badge_svg(metal, word, stars):
    s = 128
    body = ['<defs>%s</defs>' % metal_gradients()]
    body.append('<path d="M40,2 H62 L64,50 L52,60 Z" fill="#2c4f8a" stroke="%s" stroke-width="2"/>' % OUTLINE)
    body.append('<path d="M88,2 H66 L64,50 L76,60 Z" fill="#a8281c" stroke="%s" stroke-width="2"/>' % OUTLINE)
    body.append('<path d="M47,2 L58,46 M81,2 L70,46" stroke="#f0e0b0" stroke-width="2.5"/>')
    body.append(gear(64, 74, 42, 14, 0.1, "url(#%s)" % metal, OUTLINE, 2.5))
    body.append('<circle cx="64" cy="74" r="27" fill="url(#%s)" stroke="%s" stroke-width="2"/>' % (metal, OUTLINE))
    for i in range(stars):
        cx = 64 + (i - (stars - 1) / 2) * 17
        pts = []
        for k in range(10):
            r = 9 if k % 2 == 0 else 4
            a = math.pi * k / 5 - math.pi / 2
            pts.append((cx + r * math.cos(a), 70 + r * math.sin(a)))
        body.append('<path d="M%s Z" fill="#fff4c0" stroke="%s" stroke-width="1.2"/>' % (" L".join(points([p]) for p in pts), OUTLINE))
    body.append('<path d="M16,96 H112 L106,106 L112,116 H16 L22,106 Z" fill="url(#brass)" stroke="%s" '
                'stroke-width="2" stroke-linejoin="round"/>' % OUTLINE)
    body.append(text(64, 111, 12, word, SOOT, family=SERIF, extra='letter-spacing="1.5"'))
    return svg_document(s, s, "\n".join(body))


def cursor_svg():
    s = 32
    shape = "M1.5,1.5 L1.5,24 L7.5,18.5 L12,28.5 L16.5,26.5 L12,17 L20,17 Z"
    body = ['<defs>%s</defs>' % metal_gradients(),
            '<path d="%s" fill="#000000" opacity="0.35" transform="translate(2,2)"/>' % shape,
            '<path d="%s" fill="url(#brass)" stroke="%s" stroke-width="1.6" stroke-linejoin="round"/>' % (shape, OUTLINE),
            '<path d="M3.5,5 L3.5,19" stroke="#fff4cc" stroke-width="1.2" opacity="0.8"/>',
            '<circle cx="7" cy="13" r="1.6" fill="%s"/>' % COPPER]
    return svg_document(s, s, "\n".join(body))


# --- what is drawn ------------------------------------------------------------

def pictures():
    """(resource name, SVG text, size, alpha) of every picture."""
    out = [("UI/backdrop.bbq", backdrop_svg(), BACKDROP, True),
           ("UI/numbers.bbq", numbers_svg(), NUMBERS_SIZE, True),
           ("UI/moneyscale.bbq", scale_svg(), (SCALE_BOX[2], SCALE_BOX[2]), True),
           ("UI/moneyneedle.bbq", needle_svg(), NEEDLE[:2], True),
           ("UI/moneybag.bbq", money_bag_svg(), BAG[:2], True),
           ("UI/gastankempty.bbq", gas_tank_svg(False), GAUGE[2:], True),
           ("UI/gastankfull.bbq", gas_tank_svg(True), GAUGE[2:], True),
           ("UI/minimapborder.bbq", minimap_border_svg(), (64, 128), True),
           ("UI/minimapoverlay.bbq", minimap_overlay_svg(), (256, 128), True),
           ("UI/minimaptileright.bbq", dialog_frame_svg(), (256, 128), True),
           ("UI/gameover_won.bbq", game_over_svg(True), (512, 128), True),
           ("UI/gameover_lost.bbq", game_over_svg(False), (512, 128), True),
           ("UI/cadetbadge.bbq", badge_svg("bronze", "CADET", 1), (128, 128), True),
           ("UI/veteranbadge.bbq", badge_svg("silver", "VETERAN", 2), (128, 128), True),
           ("UI/herobadge.bbq", badge_svg("gold", "HERO", 3), (128, 128), True),
           ("mousecursor.bbq", cursor_svg(), (32, 32), True),
           ("Tutorial/wenselthemechanic.jpg", portrait_svg(), (PORTRAIT, PORTRAIT), False)]
    for product, x0, x1 in SLOTS:
        for frame in range(BUTTON_FRAMES):
            out.append(("UI/Buttons/%s_%d.bbq" % (product, frame), button_svg(product, x1 - x0, frame),
                        (x1 - x0, BUTTON_HEIGHT), True))
    for frame in range(ARROW_FRAMES):
        out.append(("Tutorial/arrow_%d.bbq" % frame, arrow_svg(frame), (ARROW_SIZE, ARROW_SIZE), True))
    return out


def draw(out, converter):
    for name, svg, size, alpha in pictures():
        stem = os.path.splitext(name)[0]
        svg_path = os.path.join(out, "svg", stem + ".svg")
        png_path = os.path.join(out, "svg", stem + ".png")
        target = os.path.join(out, name)
        for path in (svg_path, target):
            os.makedirs(os.path.dirname(path), exist_ok=True)
        with open(svg_path, "w", encoding="ascii") as stream:
            stream.write(svg)
        subprocess.run(["rsvg-convert", "-w", str(size[0]), "-h", str(size[1]), "-o", png_path, svg_path],
                       check=True)
        options = ["-rgba"] if alpha else []
        subprocess.run([converter] + options + [png_path, target], check=True, stdout=subprocess.DEVNULL)


# --- the mock-up --------------------------------------------------------------

def level_layout(level_path):
    text_ = re.sub(r"(//|#)[^\n]*", "", open(level_path, encoding="ascii").read())
    body = lambda kind, key: re.search(r"list\s+%s\s+%s\s*:?\s*\{([^}]*)\}" % (kind, key), text_).group(1)
    return {"sky": re.search(r'string\s+skyLayer\s*:\s*"([^"]*)"', text_).group(1),
            "mountains": re.search(r'string\s+mountainsLayer\s*:\s*"([^"]*)"', text_).group(1),
            "foreground": re.findall(r'"([^"\n]*)"', body("string", "foreground")),
            "heights": [int(v) for v in body("int", "nodeHeights").split()],
            "spacing": int(re.search(r"int\s+nodeSpacing\s*:\s*(-?\d+)", text_).group(1))}


def mockup(out, level_art, level_path, target):
    """The in-game screen at the level's left end, twice: with a dialog open,
    and at the end of a won level; the pictures placed where gui.txt and the
    game put them."""
    # The renderer reads pictures only from the SVG's own folder and below,
    # so the level's pictures are copied in beside the display's.
    # A shared landscape's pictures lie in the svg folder of that landscape.
    png = lambda name: os.path.basename(os.path.splitext(name)[0] + ".png")
    level = level_layout(level_path)
    os.makedirs(os.path.join(out, "svg", "level"), exist_ok=True)
    for name in [level["sky"], level["mountains"]] + level["foreground"]:
        shutil.copy(os.path.join(level_art, os.path.dirname(name), "svg", png(name)),
                    os.path.join(out, "svg", "level", png(name)))
    lpng = lambda name: "level/" + png(name)
    width = 512 * len(level["foreground"])
    play = SCREEN[1] - MINIMAP_HEIGHT
    image = lambda href, x, y, w, h, extra="": (
        '<image xlink:href="%s" x="%s" y="%s" width="%s" height="%s" preserveAspectRatio="none" %s/>'
        % (href, f(x), f(y), f(w), f(h), extra))
    parts = ['<rect width="800" height="600" fill="#3f3c2c"/>',
             image(lpng(level["sky"]), 0, 0, 800, play),
             image(lpng(level["mountains"]), 0, 0, 1024, play)]
    for i, name in enumerate(level["foreground"]):
        parts.append(image(lpng(name), i * 512, play - 384, 512, 384))
    # The minimap: the level scaled to 100 pixels, capped at both ends.
    mm_w = width * MINIMAP_HEIGHT / play
    left = (800 - mm_w) / 2
    k = MINIMAP_HEIGHT / play
    ground = [(left + i * level["spacing"] * k, 600 - v * k) for i, v in enumerate(level["heights"])]
    parts.append('<path d="M%s L%s,600 L%s,600 Z" fill="#3f3c2c" stroke="#d8d0a0" stroke-width="1"/>'
                 % (" L".join(points([p]) for p in ground), f(left + mm_w), f(left)))
    for x, colour in ((560, "#6fb04a"), (1560, "#c8503a")):
        parts.append('<rect x="%s" y="%s" width="6" height="3" fill="%s"/>' % (f(left + x * k - 3), f(600 - 300 * k), colour))
    cap_w = 64 * MINIMAP_HEIGHT / 128
    parts.append(image(png("UI/minimapborder.bbq"), left - cap_w, 500, cap_w, 100,
                       'transform="translate(%s,0) scale(-1,1)"' % f(2 * left - cap_w)))
    parts.append(image(png("UI/minimapborder.bbq"), left + mm_w, 500, cap_w, 100))
    parts.append(image(png("UI/minimapoverlay.bbq"), left, 500, mm_w, 100))
    # The top panel, the purchase buttons at different fill levels, the
    # money pile and the fuel gauge two thirds full.
    parts.append(image(png("UI/backdrop.bbq"), 0, 0, *BACKDROP))
    parts.append(image(png("UI/numbers.bbq"), SLOTS[0][1], NUMBERS_TOP, *NUMBERS_SIZE))
    for i, (product, x0, x1) in enumerate(SLOTS[:7]):
        frame = (7, 7, 4, 2, 7, 1, 0)[i]
        parts.append(image(png("UI/Buttons/%s_%d.bbq" % (product, frame)), x0, BUTTON_TOP, x1 - x0, BUTTON_HEIGHT))
    parts.append(image(png("UI/moneyscale.bbq"), SCALE_BOX[0], SCALE_BOX[1], SCALE_BOX[2], SCALE_BOX[2]))
    c = SCALE_BOX[2] / 2
    parts.append(image(png("UI/moneyneedle.bbq"), SCALE_BOX[0] + c - NEEDLE[2], SCALE_BOX[1] + c - NEEDLE[3],
                       NEEDLE[0], NEEDLE[1],
                       'transform="rotate(30 %s %s)"' % (f(SCALE_BOX[0] + c), f(SCALE_BOX[1] + c))))
    pile_left, _, floor = PILE
    for i in range(14):
        x = pile_left + 6 + ((i * 37) % 44)
        parts.append(image(png("UI/moneybag.bbq"), x - BAG[2], floor - BAG[3], BAG[0], BAG[1]))
    parts.append(image(png("UI/moneybag.bbq"), 120 - BAG[2], 30 - BAG[3], BAG[0], BAG[1]))
    gl, gt, gw, gh = GAUGE
    parts.append(image(png("UI/gastankempty.bbq"), gl, gt, gw, gh))
    parts.append('<svg x="%d" y="%d" width="%s" height="%d">%s</svg>'
                 % (gl, gt, f(gw * 0.66), gh, image(png("UI/gastankfull.bbq"), 0, 0, gw, gh)))
    hud = list(parts)
    # Above: an open dialog with three lines, risen from the bottom edge.
    lines = ["Ahoy, captain! Wensel here, your mechanic.",
             "That brass beast above is your airship. Steer",
             "her with the arrow keys, or point with the mouse."]
    box_h = max(32 * len(lines) + 50, PORTRAIT)
    top = 600 - box_h
    parts.append(image(png("UI/minimaptileright.bbq"), 400, top, 400, box_h))
    parts.append(image(png("UI/minimaptileright.bbq"), 0, top, 400, box_h, 'transform="translate(400,0) scale(-1,1)"'))
    parts.append(image(png("Tutorial/wenselthemechanic.bbq"), 0, top + (box_h - PORTRAIT) / 2, PORTRAIT, PORTRAIT))
    block = (box_h - 32 * len(lines)) / 2
    for i, line in enumerate(lines):
        parts.append(text(PORTRAIT + 25, top + block + 32 * i + 20, 19, line.replace("&", "&amp;"), "#d0cfb6",
                          family="DejaVu Sans Mono", anchor="start"))
    # The arrow, flown in from the bottom left, pointing at the fuel gauge.
    tx, ty = 600, 20
    reach = 55 / math.sqrt(2)
    parts.append(image(png("Tutorial/arrow_0.bbq"), tx + reach - ARROW_HOTSPOT, ty + reach - ARROW_HOTSPOT,
                       ARROW_SIZE, ARROW_SIZE,
                       'transform="rotate(90 %s %s)"' % (f(tx + reach), f(ty + reach))))
    parts.append(image(png("mousecursor.bbq"), 300, 260, 32, 32))
    # Below: a won level, with the banner and the hero's badge where the
    # game places them, over the minimap.
    won = hud + [image(png("UI/herobadge.bbq"), 400 - 64, 220 - 64, 128, 128),
                 image(png("UI/gameover_won.bbq"), 400 - 256, 370 - 64, 512, 128),
                 image(png("mousecursor.bbq"), 620, 420, 32, 32)]
    screens = ['<svg y="%d" width="800" height="600">%s</svg>' % (i * 600, "\n".join(screen))
               for i, screen in enumerate((parts, won))]
    path = os.path.join(out, "svg", "mockup.svg")
    with open(path, "w", encoding="ascii") as stream:
        stream.write(svg_document(800, 1200, "\n".join(screens)))
    subprocess.run(["rsvg-convert", "-o", target, path], check=True)


def main(argv):
    if len(argv) == 2 and argv[1] == "list":
        print("\n".join(name for name, _, _, _ in pictures()))
    elif len(argv) == 4 and argv[1] == "draw":
        draw(argv[2], argv[3])
    elif len(argv) == 6 and argv[1] == "mockup":
        mockup(argv[2], argv[3], argv[4], argv[5])
    else:
        sys.exit(__doc__)


if __name__ == "__main__":
    main(sys.argv)
