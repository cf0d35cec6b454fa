#!/usr/bin/env python3
"""Draws the pictures of a level folder from its level.txt.

    draw_level.py list <level.txt>
        prints the level's own pictures (its ground tiles), one a line
    draw_level.py draw <level.txt> <out folder> <bbq_convert> [<mockup.png>]
        draws them into <out folder>, and optionally a mock-up of the play
        field at three scroll positions (the landscape drawn beside it)
    draw_level.py landscapes
        prints the names of the shared landscapes
    draw_level.py landscape-pictures
        prints the pictures every landscape has
    draw_level.py landscape <name> <out folder> <bbq_convert>
        draws a landscape's sky, mountains and hills into <out folder>

Levels share landscapes: a level names the sky, mountains and hills of
"../Landscapes/<name>/", drawn once, and only its ground tiles are its own.

Every picture is written as SVG first (kept in <out folder>/svg for looking
at), rendered with rsvg-convert and turned into the engine's formats with
our bbq_convert: the sky as an opaque JPEG, the mountains and the tiles as
32-bit .bbq pictures whose transparent parts show the layers behind.

The ground tiles follow the terrain of "nodeHeights" and "nodeSpacing", so
the picture always matches the ground that units stand on. The tiles of a
row are cut from one scene, so hills and ground run on across tile edges.
Scenes are built from seeded random numbers: the same level.txt always gives
the same pictures.
"""
import math
import os
import random
import re
import subprocess
import sys

TILE_WIDTH = 512
TILE_HEIGHT = 384
SKY_SIZE = (1024, 512)
MOUNTAINS_SIZE = (1024, 512)
SCREEN_WIDTH = 800
PLAY_HEIGHT = 500

OUTLINE = "#1f1a17"
BRASS = "#c0913f"
BRASS_DARK = "#8a6428"
COPPER = "#b0643a"
SOOT = "#2b2522"

# The landscapes that levels share: the colours of the sky, the mountains,
# the hills and the ground. A level picks one by the folder of its sky
# ("../Landscapes/<name>/sky.jpg"); its own ground tiles take the same colours.
HILL_TILES = 4
MEADOW = {
    "air": ("#2c5886", "#6d9cc7", "#b9d0dc", "#ecd9ac"), "sun": "#fff6d8", "cloud": ("#ffffff", "#eef1f4", "#b9c4d2"),
    "cloudEdge": "#5f7088",
    "farRock": ("#8597b8", "#a9b8cf", "#4a5a78", "#4f5f80"), "nearRock": ("#5f7192", "#8aa0b8", "#34405a", "#2f3b55"),
    "snow": "#eef3f8", "pine": "#3d4f5e", "haze": "#c4d4e2",
    "backHill": ("#86a596", "#a7bfb4", "#4f6a60"), "frontHill": ("#6e8f58", "#587746", "#2e3d28"),
    "strips": ("#7e9a5c", "#4c6a3c"), "leaves": ("#4f7a3a", "#5b8442", "#466e34"), "leafDark": "#2a3d22",
    "farLeaf": ("#6f8f80", "#4f6a60"),
    "earth": ("#8e6038", "#6b4429", "#3c2617"), "turf": ("#7fa044", "#4e6e2a", "#3d5222"),
    "blades": ("#5d7f2e", "#86a84a", "#4a6a24", "#9bbb58"), "tuft": "#3f5c1f",
    "flowers": ("#f2d35a", "#e9e2cf", "#d9704a"), "bush": ("#2f4a20", "#5d8a3a", "#6b9444"),
}
LANDSCAPES = {
    "Meadow": MEADOW,
    "Autumn": dict(MEADOW, **{
        "air": ("#3d5f8a", "#8fa6c2", "#e3c9a0", "#f0b070"), "sun": "#ffe2b0",
        "backHill": ("#b79a6e", "#cdb794", "#6e5a40"), "frontHill": ("#b0782e", "#8a5a24", "#4a2e14"),
        "strips": ("#c99a4a", "#7a4a1e"), "leaves": ("#c8641e", "#d9902a", "#a8401a"), "leafDark": "#4a2412",
        "farLeaf": ("#b88a5a", "#6e5a40"),
        "turf": ("#b08a3a", "#7a5a22", "#5a3e18"), "blades": ("#a0782a", "#c89a40", "#7a5a20", "#d8b060"),
        "tuft": "#6a4a1a", "flowers": ("#e05a2a", "#f2c14a", "#a83a20"), "bush": ("#4a2412", "#b8581e", "#d0802a"),
    }),
    "Snow": dict(MEADOW, **{
        "air": ("#1f3f6a", "#5d86b4", "#c8d8e6", "#eef2f6"), "sun": "#f4f8ff",
        "farRock": ("#9aaac4", "#c4d0e0", "#5a6a88", "#6a7a98"), "nearRock": ("#7a8aa8", "#b4c4d6", "#3e4a66", "#4a5878"),
        "snow": "#ffffff", "pine": "#2e4454", "haze": "#dde7f0",
        "backHill": ("#d6e0ea", "#eef3f8", "#7a8ca0"), "frontHill": ("#e8eef4", "#c8d4e0", "#4a5a6e"),
        "strips": ("#ffffff", "#a8b8ca"), "leaves": ("#2e5a44", "#3a6a50", "#24503a"), "leafDark": "#142a20",
        "farLeaf": ("#8aa0a8", "#5a7078"),
        "earth": ("#7a6a60", "#5a4c44", "#2e2622"), "turf": ("#f6f9fc", "#cfdbe6", "#8a9cb0"),
        "blades": ("#ffffff", "#e4ecf4", "#c4d2e0", "#f0f4f8"), "tuft": "#9aacbe",
        "flowers": ("#ffffff", "#d8e4f0", "#b8c8da"), "bush": ("#142a20", "#2e5a44", "#3a6a50"),
    }),
    "Soot": dict(MEADOW, **{
        "air": ("#3a3436", "#6e6462", "#a08a74", "#d09a5a"), "sun": "#ffcf8a",
        "cloud": ("#9a9290", "#7e7674", "#5e5654"), "cloudEdge": "#3a3230",
        "farRock": ("#6a6064", "#857a7a", "#3e3436", "#463c3e"), "nearRock": ("#4a4244", "#6a605e", "#2a2224", "#2e2628"),
        "snow": "#9a9290", "pine": "#2a2224", "haze": "#a89080",
        "backHill": ("#7a6e68", "#948680", "#463c38"), "frontHill": ("#5a4e48", "#463a34", "#241c18"),
        "strips": ("#7a6a5a", "#3a2e28"), "leaves": ("#4a4a34", "#5a5838", "#3e3e2a"), "leafDark": "#1e1c14",
        "farLeaf": ("#6e6460", "#463c38"),
        "earth": ("#5a4a40", "#3e322c", "#1e1816"), "turf": ("#5a544c", "#3a342e", "#241e1a"),
        "blades": ("#6a6258", "#7e7468", "#4a443c", "#8a8070"), "tuft": "#2e2824",
        "flowers": ("#e07a2a", "#b0a898", "#f0a040"), "bush": ("#1e1c14", "#4a4a34", "#5a5838"),
    }),
}


def landscape_of(level):
    """The landscape whose sky the level names."""
    match = re.search(r"Landscapes/([A-Za-z]+)/", level["skyLayer"] or "")
    if not match or match.group(1) not in LANDSCAPES:
        sys.exit("draw_level: the sky %s is none of the landscapes %s"
                 % (level["skyLayer"], ", ".join(sorted(LANDSCAPES))))
    return match.group(1)


def landscape_names():
    return ["sky.jpg", "mountains.bbq"] + ["hills_%d.bbq" % i for i in range(HILL_TILES)]


# --- reading level.txt -------------------------------------------------------

def read_level(path):
    """The few keys the art needs: layer names, tile lists and the terrain."""
    text = open(path, encoding="ascii").read()
    text = re.sub(r"(//|#)[^\n]*", "", text)
    level = {}
    for key in ("skyLayer", "mountainsLayer"):
        match = re.search(r"string\s+%s\s*:\s*\"([^\"\n]*)\"" % key, text)
        level[key] = match.group(1) if match else None
    for key in ("foreground", "midground"):
        level[key] = re.findall(r"\"([^\"\n]*)\"", list_body(text, "string", key))
    level["nodeHeights"] = [int(v) for v in list_body(text, "int", "nodeHeights").split()]
    level["nodeSpacing"] = int(re.search(r"int\s+nodeSpacing\s*:\s*(-?\d+)", text).group(1))
    return level


def list_body(text, kind, key):
    match = re.search(r"list\s+%s\s+%s\s*:?\s*\{([^}]*)\}" % (kind, key), text)
    if not match:
        sys.exit("draw_level: level.txt has no list %s %s" % (kind, key))
    return match.group(1)


def picture_names(level):
    """The level's own pictures: the ground tiles in its folder. Names with a
    folder belong to a shared landscape."""
    return [name for name in level["foreground"] if "/" not in name]


# --- SVG helpers --------------------------------------------------------------

def f(value):
    return ("%.1f" % value).rstrip("0").rstrip(".")


def points(pairs):
    return " ".join("%s,%s" % (f(x), f(y)) for x, y in pairs)


def smooth_path(pairs, close_to=None):
    """A Catmull-Rom curve through the points as cubic Bezier segments; with
    close_to = y the shape is closed down to that line."""
    d = "M%s,%s" % (f(pairs[0][0]), f(pairs[0][1]))
    for i in range(len(pairs) - 1):
        p0 = pairs[max(i - 1, 0)]
        p1, p2 = pairs[i], pairs[i + 1]
        p3 = pairs[min(i + 2, len(pairs) - 1)]
        c1 = (p1[0] + (p2[0] - p0[0]) / 6, p1[1] + (p2[1] - p0[1]) / 6)
        c2 = (p2[0] - (p3[0] - p1[0]) / 6, p2[1] - (p3[1] - p1[1]) / 6)
        d += " C%s %s %s" % (points([c1]), points([c2]), points([p2]))
    if close_to is not None:
        d += " L%s,%s L%s,%s Z" % (f(pairs[-1][0]), f(close_to), f(pairs[0][0]), f(close_to))
    return d


def svg_document(width, height, body, view=None):
    view = view or (0, 0, width, height)
    return ('<svg xmlns="http://www.w3.org/2000/svg" '
            'xmlns:xlink="http://www.w3.org/1999/xlink" width="%d" height="%d" '
            'viewBox="%s">\n%s\n</svg>\n' % (width, height, " ".join(f(v) for v in view), body))


def ridge(rng, width, low, high, roughness, steps):
    """A mountain ridge by midpoint displacement: heights in [low, high]."""
    count = 2 ** steps + 1
    heights = [0.0] * count
    heights[0] = rng.uniform(low, high)
    heights[-1] = rng.uniform(low, high)
    span = count - 1
    scale = (high - low) * 0.7
    while span > 1:
        half = span // 2
        for i in range(half, count, span):
            heights[i] = (heights[i - half] + heights[i + half]) / 2 + rng.uniform(-scale, scale)
        span = half
        scale *= roughness
    # A few big summits over the broken ridge, so that it reads as mountains.
    for _ in range(4):
        centre = rng.uniform(0, count - 1)
        reach = rng.uniform(0.08, 0.16) * (count - 1)
        lift = rng.uniform(0.8, 1.3) * (high - low)
        for i in range(count):
            heights[i] += lift * max(0.0, 1 - abs(i - centre) / reach) ** 1.2
    top = max(heights)
    bottom = min(heights)
    return [(width * i / (count - 1), low + (h - bottom) / (top - bottom) * (high - low))
            for i, h in enumerate(heights)]


def gear(cx, cy, radius, teeth, angle, fill, stroke, width=2.0):
    """A cog wheel with a hub hole: the game's emblem, used on props."""
    outer = []
    for i in range(teeth * 4):
        a = angle + 2 * math.pi * i / (teeth * 4)
        r = radius if i % 4 in (1, 2) else radius * 0.8
        outer.append((cx + r * math.cos(a), cy + r * math.sin(a)))
    hub = radius * 0.32
    return ('<path d="M%s Z M%s,%s a%s,%s 0 1,0 %s,0 a%s,%s 0 1,0 %s,0 Z" fill="%s" '
            'fill-rule="evenodd" stroke="%s" stroke-width="%s" stroke-linejoin="round"/>\n'
            % (" L".join(points([p]) for p in outer), f(cx - hub), f(cy), f(hub), f(hub),
               f(2 * hub), f(hub), f(hub), f(-2 * hub), fill, stroke, f(width)))


# --- the sky ------------------------------------------------------------------

def cloud(rng, cx, cy, size, palette=MEADOW):
    puffs = []
    count = rng.randint(5, 9)
    for i in range(count):
        t = i / (count - 1) - 0.5
        r = size * rng.uniform(0.35, 0.6) * (1.1 - abs(t))
        puffs.append((cx + t * size * 2.2 + rng.uniform(-6, 6), cy - r * 0.5 + rng.uniform(-4, 4), r))
    base = "".join('<circle cx="%s" cy="%s" r="%s"/>' % (f(x), f(y), f(r)) for x, y, r in puffs)
    flat = '<rect x="%s" y="%s" width="%s" height="%s" rx="%s"/>' % (
        f(cx - size * 1.2), f(cy - size * 0.25), f(size * 2.4), f(size * 0.45), f(size * 0.22))
    # Drawn twice: a dark, wider pass gives the whole cloud one outline, the
    # fill on top hides the outlines inside it.
    return ('<g fill="%s" stroke="%s" stroke-width="5">%s%s</g>\n'
            '<g fill="url(#cloud)">%s%s</g>\n'
            '<g fill="#ffffff" opacity="0.55">%s</g>\n'
            % (palette["cloudEdge"], palette["cloudEdge"], base, flat, base, flat,
               "".join('<circle cx="%s" cy="%s" r="%s"/>' % (f(x - r * 0.15), f(y - r * 0.2), f(r * 0.55))
                       for x, y, r in puffs)))


def sky_svg(seed, palette=MEADOW):
    rng = random.Random(seed)
    w, h = SKY_SIZE
    body = ['<defs>'
            '<linearGradient id="air" x1="0" y1="0" x2="0" y2="1">'
            '<stop offset="0" stop-color="%s"/><stop offset="0.5" stop-color="%s"/>'
            '<stop offset="0.82" stop-color="%s"/><stop offset="1" stop-color="%s"/>'
            '</linearGradient>' % palette["air"] +
            '<radialGradient id="sun" cx="0.5" cy="0.5" r="0.5">'
            '<stop offset="0" stop-color="%s" stop-opacity="1"/>'
            '<stop offset="0.18" stop-color="%s" stop-opacity="0.9"/>'
            '<stop offset="1" stop-color="%s" stop-opacity="0"/></radialGradient>'
            % (palette["sun"], palette["sun"], palette["sun"]) +
            '<linearGradient id="cloud" x1="0" y1="0" x2="0" y2="1">'
            '<stop offset="0" stop-color="%s"/><stop offset="0.6" stop-color="%s"/>'
            '<stop offset="1" stop-color="%s"/></linearGradient>' % palette["cloud"] +
            '</defs>',
            '<rect width="%d" height="%d" fill="url(#air)"/>' % (w, h),
            '<circle cx="760" cy="150" r="190" fill="url(#sun)"/>',
            '<circle cx="760" cy="150" r="34" fill="%s" stroke="#f3d79a" stroke-width="3"/>' % palette["sun"]]
    # Thin high streaks, then the clouds from far (small, pale) to near.
    for _ in range(7):
        y = rng.uniform(40, 200)
        x = rng.uniform(-100, w)
        body.append('<path d="M%s,%s q%s,-8 %s,0" fill="none" stroke="#ffffff" stroke-opacity="0.35" '
                    'stroke-width="%s" stroke-linecap="round"/>'
                    % (f(x), f(y), f(rng.uniform(60, 120)), f(rng.uniform(160, 300)), f(rng.uniform(3, 7))))
    for size, band, count, opacity in ((22, (300, 380), 5, 0.7), (36, (180, 300), 4, 0.85),
                                       (52, (70, 200), 3, 1.0)):
        for i in range(count):
            x = (i + rng.uniform(0.1, 0.9)) * w / count
            body.append('<g opacity="%s">%s</g>' % (f(opacity), cloud(rng, x, rng.uniform(*band), size, palette)))
    # A far airship of the skies' trade routes, for scale.
    body.append('<g transform="translate(300,120) scale(0.6)" opacity="0.6">'
                '<ellipse cx="0" cy="0" rx="60" ry="18" fill="#7b8aa0" stroke="#4b5870" stroke-width="3"/>'
                '<path d="M52,-4 l22,-14 v36 l-22,-14 z" fill="#6c7a90" stroke="#4b5870" stroke-width="3"/>'
                '<rect x="-18" y="16" width="34" height="9" rx="3" fill="#5e6a7e" stroke="#4b5870" '
                'stroke-width="2"/></g>')
    return svg_document(w, h, "\n".join(body))


# --- the mountains ------------------------------------------------------------

def mountains_svg(seed, palette=MEADOW):
    rng = random.Random(seed)
    w, h = MOUNTAINS_SIZE
    far = ridge(rng, w, 250, 400, 0.55, 6)
    near = ridge(rng, w, 205, 305, 0.5, 6)
    to_y = lambda pairs: [(x, h - v) for x, v in pairs]
    far_d = "M" + " L".join(points([p]) for p in to_y(far)) + " L%d,%d L0,%d Z" % (w, h, h)
    near_d = "M" + " L".join(points([p]) for p in to_y(near)) + " L%d,%d L0,%d Z" % (w, h, h)
    snow_line = [(x, h - 325 - rng.uniform(-12, 12)) for x in range(0, w + 16, 16)]
    snow_d = "M0,0 L%d,0 L%s Z" % (w, " L".join(points([p]) for p in reversed(snow_line)))
    body = ['<defs>'
            '<clipPath id="farClip"><path d="%s"/></clipPath>' % far_d,
            '<clipPath id="nearClip"><path d="%s"/></clipPath>' % near_d,
            '<linearGradient id="farRock" x1="0" y1="0" x2="0" y2="1">'
            '<stop offset="0.3" stop-color="%s"/><stop offset="0.8" stop-color="%s"/></linearGradient>'
            % palette["farRock"][:2],
            '<linearGradient id="nearRock" x1="0" y1="0" x2="0" y2="1">'
            '<stop offset="0.45" stop-color="%s"/><stop offset="0.85" stop-color="%s"/></linearGradient>'
            % palette["nearRock"][:2],
            '<linearGradient id="shade" x1="0" y1="0" x2="0" y2="1">'
            '<stop offset="0" stop-color="#ffffff" stop-opacity="0.5"/>'
            '<stop offset="1" stop-color="#ffffff" stop-opacity="0"/></linearGradient>'
            '<mask id="fade" maskContentUnits="objectBoundingBox">'
            '<rect width="1" height="1" fill="url(#shade)"/></mask>',
            '<linearGradient id="haze" x1="0" y1="0" x2="0" y2="1">'
            '<stop offset="0.55" stop-color="%s" stop-opacity="0"/>'
            '<stop offset="1" stop-color="%s" stop-opacity="0.85"/></linearGradient>'
            % (palette["haze"], palette["haze"]),
            '</defs>',
            '<path d="%s" fill="url(#farRock)" stroke="%s" stroke-width="2.5" '
            'stroke-linejoin="round"/>' % (far_d, palette["farRock"][2]),
            '<g clip-path="url(#farClip)">',
            '<path d="%s" fill="%s"/>' % (snow_d, palette["snow"])]
    body.append(flank_shadows(far, h, palette["farRock"][3], rng))
    body.append('</g>')
    body.append('<path d="%s" fill="url(#nearRock)" stroke="%s" stroke-width="2.5" '
                'stroke-linejoin="round"/>' % (near_d, palette["nearRock"][2]))
    body.append('<g clip-path="url(#nearClip)">')
    body.append(flank_shadows(near, h, palette["nearRock"][3], rng))
    # Pines on the lower slopes, dark against the haze.
    for _ in range(70):
        x = rng.uniform(0, w)
        top = h - interpolate(near, x)
        y = top + rng.uniform(40, 150)
        s = rng.uniform(6, 11)
        body.append('<path d="M%s,%s l%s,%s h%s Z" fill="%s" opacity="0.8"/>'
                    % (f(x), f(y - s * 2.2), f(s * 0.7), f(s * 2.2), f(-s * 1.4), palette["pine"]))
    body.append('</g>')
    body.append('<rect width="%d" height="%d" fill="url(#haze)" clip-path="url(#farClip)"/>' % (w, h))
    return svg_document(w, h, "\n".join(body))


def flank_shadows(line, h, colour, rng):
    """Shade on the flank right of every peak, down to the next valley, fading
    out downhill: the light comes from the upper left, as in the sky."""
    parts = []
    i = 1
    while i < len(line) - 1:
        if line[i - 1][1] < line[i][1] > line[i + 1][1]:
            j = i + 1
            while j < len(line) - 1 and line[j + 1][1] < line[j][1]:
                j += 1
            peak, valley = line[i], line[j]
            foot = (peak[0] + (valley[0] - peak[0]) * rng.uniform(0.1, 0.4), h - valley[1] + 110)
            outline = [(x, h - v) for x, v in line[i:j + 1]] + [foot]
            parts.append('<path d="M%s Z" fill="%s" mask="url(#fade)"/>'
                         % (" L".join(points([p]) for p in outline), colour))
            parts.append('<path d="M%s L%s" stroke="%s" stroke-width="1.5" fill="none" opacity="0.6"/>'
                         % (points([(peak[0], h - peak[1])]), points([(foot[0], foot[1] - 50)]), colour))
            i = j
        i += 1
    return "".join(parts)


def interpolate(pairs, x):
    for (x0, v0), (x1, v1) in zip(pairs, pairs[1:]):
        if x0 <= x <= x1:
            return v0 + (v1 - v0) * (x - x0) / (x1 - x0) if x1 > x0 else v0
    return pairs[-1][1] if x > pairs[-1][0] else pairs[0][1]


# --- the midground hills ------------------------------------------------------

def tree(rng, x, y, scale, leaf, leaf_dark, trunk):
    s = scale
    parts = ['<rect x="%s" y="%s" width="%s" height="%s" fill="%s" stroke="%s" stroke-width="1.5"/>'
             % (f(x - 2 * s), f(y - 14 * s), f(4 * s), f(14 * s), trunk, leaf_dark)]
    blobs = [(x + rng.uniform(-7, 7) * s, y - (16 + rng.uniform(0, 14)) * s, rng.uniform(7, 11) * s)
             for _ in range(4)]
    parts.append('<g fill="%s" stroke="%s" stroke-width="4">%s</g>' % (
        leaf_dark, leaf_dark, "".join('<circle cx="%s" cy="%s" r="%s"/>' % (f(a), f(b), f(r)) for a, b, r in blobs)))
    parts.append('<g fill="%s">%s</g>' % (
        leaf, "".join('<circle cx="%s" cy="%s" r="%s"/>' % (f(a), f(b), f(r)) for a, b, r in blobs)))
    parts.append('<g fill="#ffffff" opacity="0.18">%s</g>' % "".join(
        '<circle cx="%s" cy="%s" r="%s"/>' % (f(a - r * 0.3), f(b - r * 0.3), f(r * 0.5)) for a, b, r in blobs))
    return "".join(parts)


def house(rng, x, y, scale):
    s = scale
    wdt, hgt = rng.uniform(26, 38) * s, rng.uniform(18, 24) * s
    wall = rng.choice(["#d8c7a0", "#c9b28a", "#b98a64"])
    roof = rng.choice([COPPER, "#8c4a34", "#5e6b78"])
    return ('<g stroke="%s" stroke-width="1.8" stroke-linejoin="round">'
            '<rect x="%s" y="%s" width="%s" height="%s" fill="%s"/>'
            '<path d="M%s,%s L%s,%s L%s,%s Z" fill="%s"/>'
            '<rect x="%s" y="%s" width="%s" height="%s" fill="#f2d58a"/>'
            '<rect x="%s" y="%s" width="%s" height="%s" fill="#5a3e2c"/></g>'
            % ("#3a2f28", f(x - wdt / 2), f(y - hgt), f(wdt), f(hgt), wall,
               f(x - wdt / 2 - 4 * s), f(y - hgt), f(x), f(y - hgt - 16 * s), f(x + wdt / 2 + 4 * s),
               f(y - hgt), roof,
               f(x - wdt / 2 + 5 * s), f(y - hgt + 5 * s), f(6 * s), f(6 * s),
               f(x + wdt / 2 - 11 * s), f(y - 12 * s), f(7 * s), f(12 * s)))


def mill(x, y, seed_angle):
    sails = "".join('<path d="M%s,%s L%s,%s L%s,%s Z" fill="#e8dcc0" stroke="#3a2f28" stroke-width="1.5"/>'
                    % (f(x), f(y - 58), f(x + 44 * math.cos(a) - 6 * math.sin(a)),
                       f(y - 58 + 44 * math.sin(a) + 6 * math.cos(a)),
                       f(x + 44 * math.cos(a) + 6 * math.sin(a)), f(y - 58 + 44 * math.sin(a) - 6 * math.cos(a)))
                    for a in (seed_angle + k * math.pi / 2 for k in range(4)))
    return ('<path d="M%s,%s L%s,%s L%s,%s L%s,%s Z" fill="#b79b74" stroke="#3a2f28" stroke-width="2"/>'
            '<path d="M%s,%s L%s,%s L%s,%s Z" fill="%s" stroke="#3a2f28" stroke-width="2"/>%s'
            '<circle cx="%s" cy="%s" r="4" fill="%s" stroke="#3a2f28" stroke-width="1.5"/>'
            % (f(x - 14), f(y), f(x - 9), f(y - 56), f(x + 9), f(y - 56), f(x + 14), f(y),
               f(x - 12), f(y - 55), f(x), f(y - 70), f(x + 12), f(y - 55), COPPER, sails, f(x), f(y - 58), BRASS))


def works(rng, x, y):
    """A brick works with two brass-banded chimneys and their soot."""
    parts = ['<g stroke="#2e2420" stroke-width="2" stroke-linejoin="round">']
    parts.append('<rect x="%s" y="%s" width="90" height="38" fill="#8c4a32"/>' % (f(x - 45), f(y - 38)))
    parts.append('<path d="M%s,%s l15,-14 l15,14 l15,-14 l15,14 l15,-14 l15,14 Z" fill="#6e3a28"/>'
                 % (f(x - 45), f(y - 38)))
    for i in range(4):
        parts.append('<rect x="%s" y="%s" width="10" height="12" fill="#f1cf7a"/>' % (f(x - 38 + i * 21), f(y - 28)))
    for cx, tall in ((x + 28, 92), (x + 8, 70)):
        parts.append('<rect x="%s" y="%s" width="12" height="%d" fill="#7a3f2c"/>' % (f(cx - 6), f(y - tall), tall))
        for band in (0.15, 0.55):
            parts.append('<rect x="%s" y="%s" width="16" height="5" fill="%s"/>'
                         % (f(cx - 8), f(y - tall * (1 - band)), BRASS))
    parts.append('</g>')
    for cx, tall in ((x + 28, 92), (x + 8, 70)):
        px, py = cx, y - tall - 8
        for k in range(6):
            r = 6 + k * 3.2
            parts.append('<circle cx="%s" cy="%s" r="%s" fill="%s" opacity="%s" stroke="#4a4440" '
                         'stroke-width="1"/>' % (f(px), f(py), f(r), "#7d7772" if k % 2 else "#8f8984",
                                                  f(0.75 - k * 0.1)))
            px += 9 + k * 2.5 + rng.uniform(-2, 2)
            py -= 8 + rng.uniform(0, 4)
    return "".join(parts)


def water_tower(x, y):
    legs = "".join('<path d="M%s,%s L%s,%s" stroke="#3a2f28" stroke-width="3"/>' % (f(x + a), f(y), f(x + a * 0.6), f(y - 40))
                   for a in (-14, 14))
    return (legs + '<path d="M%s,%s l28,0" stroke="#3a2f28" stroke-width="2"/>' % (f(x - 12), f(y - 18)) +
            '<rect x="%s" y="%s" width="34" height="26" rx="6" fill="%s" stroke="#3a2f28" stroke-width="2"/>'
            % (f(x - 17), f(y - 66), BRASS) +
            '<path d="M%s,%s l17,-12 l17,12 Z" fill="%s" stroke="#3a2f28" stroke-width="2"/>'
            % (f(x - 17), f(y - 66), COPPER) +
            '<rect x="%s" y="%s" width="34" height="4" fill="%s"/>' % (f(x - 17), f(y - 52), BRASS_DARK))


def hills_scene(seed, width, palette=MEADOW):
    rng = random.Random(seed)
    h = TILE_HEIGHT
    back = [(x, h - rng.uniform(205, 265)) for x in range(-64, width + 200, 128)]
    front = [(x, h - rng.uniform(150, 215)) for x in range(-48, width + 150, 96)]
    body = ['<defs>'
            '<linearGradient id="backHill" x1="0" y1="0" x2="0" y2="1">'
            '<stop offset="0" stop-color="%s"/><stop offset="0.6" stop-color="%s"/></linearGradient>'
            % palette["backHill"][:2] +
            '<linearGradient id="frontHill" x1="0" y1="0" x2="0" y2="1">'
            '<stop offset="0" stop-color="%s"/><stop offset="0.55" stop-color="%s"/></linearGradient>'
            % palette["frontHill"][:2] +
            '</defs>',
            '<path d="%s" fill="url(#backHill)" stroke="%s" stroke-width="2.5"/>'
            % (smooth_path(back, h + 4), palette["backHill"][2])]
    # Hazy trees and a mill on the far hills.
    for _ in range(26):
        x = rng.uniform(0, width)
        body.append('<g opacity="0.55">%s</g>' % tree(rng, x, interpolate(back, x) + 8, 0.6,
                                                        palette["farLeaf"][0], palette["farLeaf"][1],
                                                        palette["farLeaf"][1]))
    body.append('<g opacity="0.7">%s</g>' % mill(width * 0.62, interpolate(back, width * 0.62) + 6, 0.4))
    body.append('<path d="%s" fill="url(#frontHill)" stroke="%s" stroke-width="2.5"/>'
                % (smooth_path(front, h + 4), palette["frontHill"][2]))
    # Field strips and hedges across the near hills.
    for k in range(1, 5):
        offset = k * 26
        line = [(x, y + offset + rng.uniform(-3, 3)) for x, y in front]
        body.append('<path d="%s" fill="none" stroke="%s" stroke-width="%s" opacity="0.6"/>'
                    % (smooth_path(line), palette["strips"][0] if k % 2 else palette["strips"][1], f(5 - k * 0.6)))
    spots = [("works", width * 0.18), ("tower", width * 0.42), ("mill", width * 0.78)]
    for kind, x in spots:
        y = interpolate(front, x) + 6
        body.append({"works": lambda: works(rng, x, y), "tower": lambda: water_tower(x, y),
                     "mill": lambda: mill(x, y, 0.9)}[kind]())
    for i in range(9):
        x = rng.uniform(0, width)
        if any(abs(x - sx) < 70 for _, sx in spots):
            continue
        body.append(house(rng, x, interpolate(front, x) + 6, rng.uniform(0.8, 1.1)))
    for _ in range(40):
        x = rng.uniform(0, width)
        if any(abs(x - sx) < 55 for _, sx in spots):
            continue
        body.append(tree(rng, x, interpolate(front, x) + rng.uniform(8, 30), rng.uniform(0.8, 1.2),
                         rng.choice(palette["leaves"]), palette["leafDark"], "#5a3e2c"))
    return "\n".join(body)


# --- the ground ---------------------------------------------------------------

def ground_scene(seed, heights, spacing, width, palette=MEADOW):
    rng = random.Random(seed)
    h = TILE_HEIGHT
    surface = [(i * spacing, h - v) for i, v in enumerate(heights)]
    if surface[-1][0] < width:
        surface.append((width, surface[-1][1]))
    at = lambda x: interpolate(surface, x)
    flat_spans = flat_stretches(heights, spacing)
    line = " L".join(points([p]) for p in surface)
    earth_d = "M%s L%d,%d L0,%d Z" % (line, width, h + 2, h + 2)
    body = ['<defs>'
            '<linearGradient id="earth" gradientUnits="userSpaceOnUse" x1="0" y1="%d" x2="0" y2="%d">'
            '<stop offset="0" stop-color="%s"/><stop offset="0.45" stop-color="%s"/>'
            '<stop offset="1" stop-color="%s"/></linearGradient>' % ((h - 230, h) + palette["earth"]),
            '<linearGradient id="turf" x1="0" y1="0" x2="0" y2="1">'
            '<stop offset="0" stop-color="%s"/><stop offset="1" stop-color="%s"/></linearGradient>'
            % palette["turf"][:2],
            '<clipPath id="earthClip"><path d="%s"/></clipPath>' % earth_d,
            '<filter id="grain" x="0" y="0" width="1" height="1">'
            '<feTurbulence type="fractalNoise" baseFrequency="0.09 0.16" numOctaves="3" seed="%d"/>'
            '<feColorMatrix values="0 0 0 0 0.16  0 0 0 0 0.1  0 0 0 0 0.05  0 0 0 1.6 -0.7"/>'
            '</filter>' % (seed % 1000),
            '</defs>',
            '<path d="%s" fill="url(#earth)"/>' % earth_d,
            '<g clip-path="url(#earthClip)">',
            '<rect width="%d" height="%d" filter="url(#grain)" opacity="0.9"/>' % (width, h)]
    # Strata that follow the surface, then stones in the earth.
    for depth, colour, stroke in ((34, "#a0703f", 5), (62, "#553620", 7), (98, "#8a5c35", 4),
                                  (140, "#4a2f1c", 9)):
        strata = [(x, y + depth + 6 * math.sin(x / 57.0 + depth)) for x, y in surface]
        body.append('<path d="%s" fill="none" stroke="%s" stroke-width="%d" opacity="0.55"/>'
                    % (smooth_path(strata), colour, stroke))
    for _ in range(width // 18):
        x = rng.uniform(0, width)
        y = at(x) + rng.uniform(22, 200)
        rx = rng.uniform(2.5, 8)
        body.append('<ellipse cx="%s" cy="%s" rx="%s" ry="%s" fill="%s" stroke="#2a1c12" stroke-width="1.2"/>'
                    % (f(x), f(y), f(rx), f(rx * rng.uniform(0.5, 0.8)),
                       rng.choice(["#7d6a58", "#8e7b66", "#6a5646", "#9a8a74"])))
    # Relics of older wars: a sunken cog and a length of pipe.
    hollow = min(range(len(heights)), key=lambda i: heights[i]) * spacing
    body.append(gear(hollow + 40, at(hollow + 40) + 34, 30, 10, 0.2, BRASS_DARK, "#2a1c12", 2.5))
    px, py = width * 0.3, at(width * 0.3) + 70
    bands = "".join('<rect x="%s" y="%s" width="7" height="16" rx="2" fill="%s" stroke="#2a1c12" '
                    'stroke-width="1.5"/><circle cx="%s" cy="%s" r="1.2" fill="#2a1c12"/>'
                    % (f(px + k), f(py - 2), BRASS, f(px + k + 3.5), f(py + 6)) for k in (12, 66, 120))
    body.append('<g transform="rotate(-8 %s %s)"><rect x="%s" y="%s" width="140" height="12" rx="5" fill="%s" '
                'stroke="#2a1c12" stroke-width="2"/><rect x="%s" y="%s" width="136" height="3" rx="1.5" '
                'fill="#d88a5a" opacity="0.7"/>%s</g>'
                % (f(px), f(py), f(px), f(py), COPPER, f(px + 2), f(py + 2), bands))
    body.append('</g>')
    # Turf, the dark outline of the ground, then the grass over it.
    turf = [(x, y + 13 + 2 * math.sin(x / 9.0)) for x, y in reversed(surface)]
    body.append('<path d="M%s L%s Z" fill="url(#turf)"/>' % (line, " L".join(points([p]) for p in turf)))
    body.append('<path d="M%s" fill="none" stroke="%s" stroke-width="2" opacity="0.8"/>'
                % (" L".join(points([p]) for p in reversed(turf)), palette["turf"][2]))
    body.append('<path d="M%s" fill="none" stroke="%s" stroke-width="3" stroke-linejoin="round"/>' % (line, OUTLINE))
    blades = []
    x = 0.0
    while x < width:
        y = at(x)
        length = rng.uniform(3, 10)
        lean = rng.uniform(-3, 3)
        blades.append('<path d="M%s,%s q%s,%s %s,%s" stroke="%s"/>'
                      % (f(x), f(y + 3), f(lean * 0.3), f(-length * 0.6), f(lean), f(-length),
                         rng.choice(palette["blades"])))
        x += rng.uniform(1.5, 3.5)
    # Tufts: small fans of longer, darker blades.
    x = rng.uniform(0, 30)
    while x < width:
        y = at(x) + 3
        for lean in (-5, -2.5, 0, 2.5, 5):
            blades.append('<path d="M%s,%s q%s,%s %s,%s" stroke="%s"/>'
                          % (f(x), f(y), f(lean * 0.2), f(-7), f(lean), f(-rng.uniform(9, 14)), palette["tuft"]))
        x += rng.uniform(25, 60)
    body.append('<g fill="none" stroke-width="1.8" stroke-linecap="round">%s</g>' % "".join(blades))
    for _ in range(width // 40):
        x = rng.uniform(0, width)
        body.append('<circle cx="%s" cy="%s" r="1.8" fill="%s" stroke="#3a2f28" stroke-width="0.6"/>'
                    % (f(x), f(at(x) + rng.uniform(2, 9)), rng.choice(palette["flowers"])))
    body.append(ground_props(rng, at, width, flat_spans, palette))
    return "\n".join(body)


def flat_stretches(heights, spacing):
    """The flat runs of at least four nodes: the factories' plateaus, kept
    clear of props."""
    spans = []
    start = 0
    for i in range(1, len(heights) + 1):
        if i == len(heights) or heights[i] != heights[start]:
            if i - start >= 4:
                spans.append((start * spacing - 40, (i - 1) * spacing + 40))
            start = i
    return spans


def ground_props(rng, at, width, keep_clear, palette=MEADOW):
    parts = []
    free = lambda x, room: all(x + room < a - 30 or x - room > b + 30 for a, b in keep_clear)
    # Brass lamp posts at the edges of each plateau.
    for a, b in keep_clear:
        for x in (a - 14, b + 14):
            if 10 < x < width - 10:
                y = at(x) + 3
                parts.append('<g stroke="%s" stroke-width="1.8">'
                             '<rect x="%s" y="%s" width="5" height="46" fill="%s"/>'
                             '<rect x="%s" y="%s" width="13" height="6" fill="%s"/>'
                             '<path d="M%s,%s h16 l-3,-12 h-10 Z" fill="%s"/>'
                             '<rect x="%s" y="%s" width="8" height="10" fill="#ffe9a6"/></g>'
                             '<circle cx="%s" cy="%s" r="12" fill="#ffe9a6" opacity="0.3"/>'
                             % (OUTLINE, f(x - 2.5), f(y - 46), BRASS, f(x - 6.5), f(y - 6), BRASS_DARK,
                                f(x - 8), f(y - 58), COPPER, f(x - 4), f(y - 56), f(x), f(y - 51)))
    # Fences, boulders and bushes on the open ground, clear of the lamps.
    x = 40.0
    while x < width - 40:
        kind = rng.choice(["fence", "boulder", "bush", "bush", "none", "none"])
        room = {"fence": 60, "boulder": 20, "bush": 18, "none": 0}[kind]
        if kind != "none" and free(x, room):
            if kind == "fence":
                posts = [(x + k * 20, at(x + k * 20) + 4) for k in range(4)]
                for px, py in posts:
                    parts.append('<rect x="%s" y="%s" width="5" height="22" fill="#7a5a3a" stroke="%s" '
                                 'stroke-width="1.5"/>' % (f(px - 2.5), f(py - 22), OUTLINE))
                for drop in (16, 8):
                    parts.append('<path d="M%s" fill="none" stroke="%s" stroke-width="5" stroke-linecap="round"/>'
                                 '<path d="M%s" fill="none" stroke="#9a7650" stroke-width="2.5" '
                                 'stroke-linecap="round"/>'
                                 % (" L".join(points([(px, py - drop)]) for px, py in posts), OUTLINE,
                                    " L".join(points([(px, py - drop)]) for px, py in posts)))
            elif kind == "boulder":
                r = rng.uniform(8, 14)
                y = at(x) + r * 0.45
                parts.append('<ellipse cx="%s" cy="%s" rx="%s" ry="%s" fill="#8d8272" stroke="%s" stroke-width="2"/>'
                             '<ellipse cx="%s" cy="%s" rx="%s" ry="%s" fill="#b3a894" opacity="0.7"/>'
                             % (f(x), f(y), f(r * 1.3), f(r), OUTLINE, f(x - r * 0.35), f(y - r * 0.4),
                                f(r * 0.5), f(r * 0.3)))
            else:
                blobs = [(x + rng.uniform(-9, 9), at(x) - rng.uniform(2, 9), rng.uniform(6, 10)) for _ in range(4)]
                parts.append('<g fill="%s" stroke="%s" stroke-width="3.5">%s</g><g fill="%s">%s</g>'
                             % (palette["bush"][0], palette["bush"][0],
                                "".join('<circle cx="%s" cy="%s" r="%s"/>' % (f(a), f(b), f(r)) for a, b, r in blobs),
                                rng.choice(palette["bush"][1:]),
                                "".join('<circle cx="%s" cy="%s" r="%s"/>' % (f(a), f(b), f(r)) for a, b, r in blobs)))
        x += rng.uniform(60, 150) + room
    return "".join(parts)


# --- rendering ----------------------------------------------------------------

def render(svg_text, svg_path, png_path, out_path, converter, size, alpha):
    with open(svg_path, "w", encoding="ascii") as stream:
        stream.write(svg_text)
    subprocess.run(["rsvg-convert", "-w", str(size[0]), "-h", str(size[1]), "-o", png_path, svg_path],
                   check=True)
    options = ["-rgba"] if alpha else []
    subprocess.run([converter] + options + [png_path, out_path], check=True, stdout=subprocess.DEVNULL)


def tile_documents(scene, count):
    width = TILE_WIDTH * count
    return [svg_document(TILE_WIDTH, TILE_HEIGHT, scene, (i * TILE_WIDTH, 0, TILE_WIDTH, TILE_HEIGHT))
            for i in range(count)] if count else []


def render_all(jobs, out, converter):
    svg_dir = os.path.join(out, "svg")
    os.makedirs(svg_dir, exist_ok=True)
    for name, doc, size, alpha in jobs:
        stem = os.path.splitext(name)[0]
        render(doc, os.path.join(svg_dir, stem + ".svg"), os.path.join(svg_dir, stem + ".png"),
               os.path.join(out, name), converter, size, alpha)


def draw_landscape(name, out, converter):
    """The sky, mountains and hills of a landscape, drawn once for all the
    levels that share it."""
    palette = LANDSCAPES[name]
    seed = sorted(LANDSCAPES).index(name) * 101 + 7
    hills = hills_scene(seed + 3, TILE_WIDTH * HILL_TILES, palette)
    jobs = [("sky.jpg", sky_svg(seed, palette), SKY_SIZE, False),
            ("mountains.bbq", mountains_svg(seed + 1, palette), MOUNTAINS_SIZE, True)]
    jobs += [("hills_%d.bbq" % i, doc, (TILE_WIDTH, TILE_HEIGHT), True)
             for i, doc in enumerate(tile_documents(hills, HILL_TILES))]
    render_all(jobs, out, converter)


def draw(level_path, out, converter, mockup):
    """The level's ground tiles, in its landscape's colours, following its
    terrain."""
    level = read_level(level_path)
    palette = LANDSCAPES[landscape_of(level)]
    seed = sum(level["nodeHeights"]) + len(level["foreground"])
    ground_width = TILE_WIDTH * len(level["foreground"])
    ground = ground_scene(seed + 2, level["nodeHeights"], level["nodeSpacing"], ground_width, palette)
    render_all([(name, doc, (TILE_WIDTH, TILE_HEIGHT), True)
                for name, doc in zip(level["foreground"], tile_documents(ground, len(level["foreground"])))],
               out, converter)
    if mockup:
        draw_mockup(level, out, mockup)


def draw_mockup(level, out, mockup):
    """The play field as the game lays it out, at the left end, the middle and
    the right end of the level, with the terrain line in red on top. The
    mock-up's SVG lies beside the level's folder, so that it reaches the
    landscape's pictures too (rsvg-convert reads no picture above an SVG's
    own folder)."""
    root, folder = os.path.split(os.path.normpath(out))
    def png(name):
        """The rendered PNG of a picture, in the svg folder beside it."""
        where, base = os.path.split(os.path.splitext(name)[0] + ".png")
        return os.path.normpath(os.path.join(folder, where, "svg", base))
    width = TILE_WIDTH * len(level["foreground"])
    mid_width = TILE_WIDTH * len(level["midground"])
    frames = []
    for row, fraction in enumerate((0.0, 0.5, 1.0)):
        top = row * PLAY_HEIGHT
        parts = ['<svg x="0" y="%d" width="%d" height="%d">' % (top, SCREEN_WIDTH, PLAY_HEIGHT)]
        if level["skyLayer"]:
            parts.append('<image href="%s" width="%d" height="%d" preserveAspectRatio="none"/>'
                         % (png(level["skyLayer"]), SCREEN_WIDTH, PLAY_HEIGHT))
        if level["mountainsLayer"]:
            parts.append('<image href="%s" x="%s" width="%d" height="%d" preserveAspectRatio="none"/>'
                         % (png(level["mountainsLayer"]), f(-(MOUNTAINS_SIZE[0] - SCREEN_WIDTH) * fraction),
                            MOUNTAINS_SIZE[0], PLAY_HEIGHT))
        shift = (width - SCREEN_WIDTH) * fraction
        needed = min(mid_width, max(width - 1024, 0) * 0.3 + 1024)
        for row_names, row_shift in ((level["midground"], (needed - SCREEN_WIDTH) * fraction),
                                     (level["foreground"], shift)):
            for i, name in enumerate(row_names):
                parts.append('<image href="%s" x="%s" y="%d" width="%d" height="%d"/>'
                             % (png(name), f(i * TILE_WIDTH - row_shift), PLAY_HEIGHT - TILE_HEIGHT,
                                TILE_WIDTH, TILE_HEIGHT))
        terrain = [(i * level["nodeSpacing"] - shift, PLAY_HEIGHT - v) for i, v in enumerate(level["nodeHeights"])]
        parts.append('<path d="M%s" fill="none" stroke="#ff0000" stroke-width="1"/>'
                     % " L".join(points([p]) for p in terrain))
        parts.append('</svg>')
        frames.append("".join(parts))
    path = os.path.join(root, folder + "_mockup.svg")
    with open(path, "w", encoding="ascii") as stream:
        stream.write(svg_document(SCREEN_WIDTH, PLAY_HEIGHT * 3, "\n".join(frames)))
    subprocess.run(["rsvg-convert", "-o", mockup, path], check=True)


def main(argv):
    if len(argv) == 3 and argv[1] == "list":
        print("\n".join(picture_names(read_level(argv[2]))))
    elif len(argv) == 2 and argv[1] == "landscapes":
        print("\n".join(sorted(LANDSCAPES)))
    elif len(argv) == 2 and argv[1] == "landscape-pictures":
        print("\n".join(landscape_names()))
    elif len(argv) == 5 and argv[1] == "landscape":
        draw_landscape(argv[2], argv[3], argv[4])
    elif len(argv) in (5, 6) and argv[1] == "draw":
        draw(argv[2], argv[3], argv[4], argv[5] if len(argv) == 6 else None)
    else:
        sys.exit(__doc__)


if __name__ == "__main__":
    main(sys.argv)
