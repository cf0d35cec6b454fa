"""SVG building blocks shared by the unit pictures: outlined shapes, limbs,
palettes for the two sides, and the fire, smoke and steam effects.

All shapes are written in the pixel space of one frame, y down. Every filled
shape gets the same dark outline, so the units read against the sky and the
ground and look like one set."""
import math

OUTLINE = "#1f1a17"
COPPER = "#b0643a"
COPPER_DARK = "#7a4024"
SOOT = "#2b2522"
SKIN = "#e2b48c"
STEEL = "#8d9296"
STEEL_DARK = "#55595d"
WOOD = "#7a5232"
GLASS = "#a9d6ec"
FIRE = ("#fff2a8", "#ffc940", "#ff8a2a", "#d8401c")
SMOKE = ("#9a928a", "#6e6761", "#57504b")
STEAM = ("#f6f8f9", "#d9e2e7", "#b7c4cc")
WRECK = "#2e2926"

# The colours of each side: good is brass with blue, bad soot with red;
# neutral (an empty bunker, an unclaimed flag) is weathered stone and linen.
PALETTES = {
    "good": dict(main="#c0913f", dark="#8a6428", light="#ebca80", team="#3d6ea5", team_light="#86b0de",
                 cloth="#3a5b86", cloth_dark="#24395a", hull2="#b0643a", side="good"),
    "bad": dict(main="#5c544d", dark="#332c28", light="#8a7f75", team="#b0342b", team_light="#e4604a",
                cloth="#6e2822", cloth_dark="#461812", hull2="#463e39", side="bad"),
    "neutral": dict(main="#9c9282", dark="#6a6056", light="#cbbfad", team="#d9d3c5", team_light="#f4f0e6",
                    cloth="#7d7466", cloth_dark="#5a5248", hull2="#8a8072", side="neutral"),
}


def f(value):
    return ("%.2f" % value).rstrip("0").rstrip(".")


def pts(pairs):
    return " ".join("%s,%s" % (f(x), f(y)) for x, y in pairs)


def mix(a, b, t):
    """Colour a blended towards colour b by t in 0..1."""
    ca = [int(a[i:i + 2], 16) for i in (1, 3, 5)]
    cb = [int(b[i:i + 2], 16) for i in (1, 3, 5)]
    return "#%02x%02x%02x" % tuple(int(round(x + (y - x) * t)) for x, y in zip(ca, cb))


def rotate(p, centre, degrees):
    a = math.radians(degrees)
    x, y = p[0] - centre[0], p[1] - centre[1]
    return (centre[0] + x * math.cos(a) - y * math.sin(a), centre[1] + x * math.sin(a) + y * math.cos(a))


def stroke_attrs(sw):
    return 'stroke="%s" stroke-width="%s" stroke-linejoin="round"' % (OUTLINE, f(sw)) if sw else ''


def poly(pairs, fill, sw=1.2, extra=""):
    return '<polygon points="%s" fill="%s" %s %s/>' % (pts(pairs), fill, stroke_attrs(sw), extra)


def rect(x, y, w, h, fill, sw=1.2, rx=0, extra=""):
    return '<rect x="%s" y="%s" width="%s" height="%s" rx="%s" fill="%s" %s %s/>' % (
        f(x), f(y), f(w), f(h), f(rx), fill, stroke_attrs(sw), extra)


def circle(cx, cy, r, fill, sw=1.2, extra=""):
    return '<circle cx="%s" cy="%s" r="%s" fill="%s" %s %s/>' % (f(cx), f(cy), f(r), fill, stroke_attrs(sw), extra)


def ellipse(cx, cy, rx, ry, fill, sw=1.2, extra=""):
    return '<ellipse cx="%s" cy="%s" rx="%s" ry="%s" fill="%s" %s %s/>' % (
        f(cx), f(cy), f(rx), f(ry), fill, stroke_attrs(sw), extra)


def path(d, fill, sw=1.2, extra=""):
    return '<path d="%s" fill="%s" %s %s/>' % (d, fill, stroke_attrs(sw), extra)


def line(a, b, colour, width, extra=""):
    return '<line x1="%s" y1="%s" x2="%s" y2="%s" stroke="%s" stroke-width="%s" stroke-linecap="round" %s/>' % (
        f(a[0]), f(a[1]), f(b[0]), f(b[1]), colour, f(width), extra)


def limb(points_, colour, width):
    """A thick rounded stroke with the dark outline around it: legs, arms,
    barrels, struts."""
    d = "M" + " L".join("%s,%s" % (f(x), f(y)) for x, y in points_)
    return ('<path d="%s" fill="none" stroke="%s" stroke-width="%s" stroke-linecap="round" '
            'stroke-linejoin="round"/><path d="%s" fill="none" stroke="%s" stroke-width="%s" '
            'stroke-linecap="round" stroke-linejoin="round"/>' % (d, OUTLINE, f(width + 1.6), d, colour, f(width)))


def group(body, transform="", extra=""):
    return '<g transform="%s" %s>%s</g>' % (transform, extra, body)


def rivets(points_, r=0.8):
    return "".join(circle(x, y, r, OUTLINE, 0, 'opacity="0.7"') for x, y in points_)


def gear(cx, cy, radius, teeth, angle, fill, sw=1.2):
    """A cog with a hub hole: the game's emblem."""
    outer = []
    for i in range(teeth * 4):
        a = math.radians(angle) + 2 * math.pi * i / (teeth * 4)
        r = radius if i % 4 in (1, 2) else radius * 0.78
        outer.append((cx + r * math.cos(a), cy + r * math.sin(a)))
    hub = radius * 0.3
    return ('<path d="M%s Z M%s,%s a%s,%s 0 1,0 %s,0 a%s,%s 0 1,0 %s,0 Z" fill="%s" fill-rule="evenodd" %s/>'
            % (" L".join(pts([p]) for p in outer), f(cx - hub), f(cy), f(hub), f(hub), f(2 * hub), f(hub),
               f(hub), f(-2 * hub), fill, stroke_attrs(sw)))


def propeller(cx, cy, length, phase, colour, width=3.0):
    """A two-bladed propeller seen edge on from the side: the blades shorten
    and lengthen as it turns, with a faint disc of motion behind them."""
    reach = length * math.cos(phase * 2 * math.pi)
    reach2 = length * math.cos(phase * 2 * math.pi + math.pi / 2)
    disc = ellipse(cx, cy, width * 0.9, length, "#ffffff", 0, 'opacity="0.25"')
    blades = limb([(cx, cy - reach), (cx, cy + reach)], colour, width)
    blades2 = limb([(cx, cy - reach2), (cx, cy + reach2)], colour, width * 0.8)
    return disc + blades + blades2 + circle(cx, cy, width * 0.7, COPPER, 0.8)


def rotor(cx, cy, length, phase, colour):
    """A rotor seen from the side: two blades turning in a flat disc."""
    out = [ellipse(cx, cy, length, 1.6, "#ffffff", 0, 'opacity="0.25"')]
    for k in (0, 0.5):
        reach = length * math.cos((phase + k) * 2 * math.pi)
        lift = 1.2 * math.sin((phase + k) * 2 * math.pi)
        out.append(limb([(cx, cy), (cx + reach, cy + lift)], colour, 2.0))
    return "".join(out)


def blob(cx, cy, r, seed, lobes=7, jag=0.18):
    """A lumpy closed outline: puffs of smoke and steam, fireballs."""
    pairs = []
    for i in range(lobes * 2):
        a = 2 * math.pi * i / (lobes * 2) + seed
        k = 1.0 + (jag if i % 2 == 0 else -jag * 0.6) * (0.7 + 0.3 * math.sin(seed * 3 + i))
        pairs.append((cx + r * k * math.cos(a), cy + r * k * math.sin(a)))
    d = "M%s,%s" % (f(pairs[0][0]), f(pairs[0][1]))
    for i in range(len(pairs)):
        p, q = pairs[i], pairs[(i + 1) % len(pairs)]
        mid = ((p[0] + q[0]) / 2, (p[1] + q[1]) / 2)
        d += " Q%s,%s %s,%s" % (f(p[0]), f(p[1]), f(mid[0]), f(mid[1]))
    return d + " Z"


def puff(cx, cy, r, colours, seed, sw=1.0, opacity=1.0):
    """A soft cartoon cloud of three overlapping balls with one dark rim
    around them all, lit from the upper left."""
    balls = []
    for k, (dx, dy, scale) in enumerate(((0, -0.1, 0.75), (-0.42, 0.18, 0.6), (0.42, 0.15, 0.62))):
        x, y = rotate((cx + dx * r, cy + dy * r), (cx, cy), math.degrees(math.sin(seed * 1.7)) * 0.4)
        balls.append((x, y, r * scale))
    out = []
    if sw:
        out += [circle(x, y, s + sw / 2, OUTLINE, 0) for x, y, s in balls]
    out += [circle(x, y, s, colours[1], 0) for x, y, s in balls]
    out += [circle(x + s * 0.1, y + s * 0.25, s * 0.62, colours[2], 0) for x, y, s in balls[1:]]
    out += [circle(x - s * 0.22, y - s * 0.25, s * 0.5, colours[0], 0) for x, y, s in balls[:2]]
    return '<g opacity="%s">%s</g>' % (f(opacity), "".join(out))


def explosion(cx, cy, size, t, seed=0.0):
    """A burst at time t in 0..1: a flash that swells into a fireball, then
    rolls away as smoke. Size is the largest radius."""
    out = []
    if t < 0.15:
        r = size * (0.35 + 2.5 * t)
        star = []
        for i in range(16):
            a = 2 * math.pi * i / 16 + seed
            k = 1.0 if i % 2 == 0 else 0.45
            star.append((cx + r * k * math.cos(a), cy + r * k * math.sin(a)))
        out.append(poly(star, FIRE[1], 1.0))
        out.append(circle(cx, cy, r * 0.4, FIRE[0], 0))
        return "".join(out)
    fire = max(0.0, 1.0 - (t - 0.15) / 0.55)
    smoke = min(1.0, (t - 0.1) / 0.5)
    r = size * (0.6 + 0.4 * min(1.0, t * 1.6))
    for k in range(5):
        a = seed + k * 2 * math.pi / 5
        d = r * 0.6 * smoke
        out.append(puff(cx + d * math.cos(a), cy + d * math.sin(a) - size * 0.15 * t, r * (0.35 + 0.12 * smoke),
                        SMOKE, seed + k, 1.0, min(1.0, 1.5 - t)))
    if fire > 0:
        out.append(path(blob(cx, cy - size * 0.1 * t, r * 0.7 * fire + 1, seed + 4, 8, 0.25), FIRE[2], 1.0))
        out.append(path(blob(cx, cy - size * 0.1 * t, r * 0.45 * fire + 0.5, seed + 5, 6, 0.2), FIRE[1], 0))
        out.append(circle(cx, cy - size * 0.1 * t, r * 0.2 * fire + 0.3, FIRE[0], 0))
    for k in range(6):
        a = seed * 2 + k * 1.05
        d = size * (0.3 + 0.9 * t)
        x, y = cx + d * math.cos(a), cy + d * math.sin(a) - size * 0.2 * t
        if t < 0.8:
            out.append(rect(x - 1.2, y - 1.2, 2.4, 2.4, SOOT, 0.6, 0, 'transform="rotate(%d %s %s)"'
                            % (k * 40 + t * 300, f(x), f(y))))
    return "".join(out)


def flash(cx, cy, size, angle=0.0):
    """A muzzle flash: a star whose spikes are longest along the angle
    (degrees, 0 = right), with a white-hot core."""
    star = []
    for i in range(12):
        a = 2 * math.pi * i / 12
        forward = max(0.0, math.cos(a))
        r = size * ((0.7 + 1.2 * forward) if i % 2 == 0 else 0.45 + 0.35 * forward)
        star.append((cx + r * math.cos(a + math.radians(angle)), cy + r * math.sin(a + math.radians(angle))))
    return poly(star, FIRE[1], 0.8) + circle(cx, cy, size * 0.4, FIRE[0], 0)
