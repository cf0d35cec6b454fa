#!/usr/bin/env python3
"""Draws the story pictures of the campaign and the in-game help pages.

    draw_story.py list
        prints the resource names it makes, one a line
    draw_story.py draw <out folder> <bbq_convert> <resources folder>
        draws them into <out folder> under those names, after checking that
        the story pictures drawn are those the state machine shows

The campaign tells one story over its four landscapes: the Soot Barons have
taken Gearhaven Foundry and push their grey airships into the green downs of
Brassfield; the player's copper airship drives them back through the autumn
woods, over the frozen passes and into their own black country, turns home
once when they raid the downs behind its back, and ends at Gearhaven. The
second splash opens the story; a picture before the first level of each
chapter (the state machine's story screens) carries it on, each in the
landscape of the levels it opens. The five help pages shown over a paused level say
how to fly, lift, buy, fight and win, with the game's own unit pictures.

Every picture is an SVG (kept in <out folder>/svg) built from the pieces of
the level, unit and screen drawers, so that story, levels and menus share
one look; rsvg-convert renders it and bbq_convert writes the JPEG.
"""
import math
import os
import random
import re
import sys

sys.dont_write_bytecode = True
sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))

import draw_frontend as fe  # noqa: E402
import draw_level as art  # noqa: E402

f = art.f
OUTLINE = art.OUTLINE
PAPER = fe.PAPER
BRASS_LIGHT = fe.BRASS_LIGHT
SANS = fe.SANS

# The levels whose battle a story picture opens, the landscape of the levels
# each one opens, its title and its lines. The level numbers must match the
# state machine's story screens.
CUTSCENES = [
    (3, "Autumn", "The Copper Woods",
     ["Beaten on the downs, the Barons' fleet falls back into the autumn",
      "woods. Their factories smoke among the copper leaves: follow them",
      "before the frost closes the passes behind them."]),
    (7, "Snow", "The Frozen Passes",
     ["Winter comes early at Frostgear Pass. The Barons have dug in on the",
      "high shoulders of the mountain. Fly low under the peaks, keep the",
      "envelope warm and break their works one by one."]),
    (11, "Soot", "The Black Country",
     ["Past the passes the snow turns grey. This is the Barons' own",
      "country: slag, smokestacks and a sky the colour of ash. Somewhere",
      "beyond the cinder flats, Gearhaven Foundry glows."]),
    (14, "Meadow", "The Raid on the Downs",
     ["While our airship was away, a Baron fleet slipped behind the lines",
      "and fell on the downs at home. Turn back, drive them off, and then",
      "on through the ash to Gearhaven, for good."]),
]

HELP_PAGES = 5

# From a unit's hot spot up to the top of its body, in frame pixels: where a
# magnet takes it.
UNIT_HALF_HEIGHTS = {"Tank": 16, "FlakTruck": 16, "Infantry": 13, "Engineer": 13, "BalloonBomb": 24, "Buster": 18}


def pictures():
    """(resource name, width, height) of every picture made here."""
    out = [("SplashScreen/splash2.jpg", 800, 600)]
    out += [("Cutscenes/cutscene%d.jpg" % level, 800, 600) for level, _, _, _ in CUTSCENES]
    out += [("InGameHelp/help%d.jpg" % n, 800, 600) for n in range(1, HELP_PAGES + 1)]
    return out


# --- pieces -------------------------------------------------------------------

def scenery(seed, landscape, hills_seed=None, behind=""):
    """A landscape's sky, mountains and near hills over the whole screen;
    `behind` is drawn between the mountains and the hills."""
    palette = art.LANDSCAPES[landscape]
    body = fe.embed(art.sky_svg(seed, palette), 0, 0, 800, 600)
    body += fe.embed(art.mountains_svg(seed + 1, palette), 0, 150, 800, 420)
    body += behind
    hills = art.hills_scene(hills_seed if hills_seed is not None else seed + 2, 800, palette)
    body += ('<svg x="0" y="290" width="800" height="384" viewBox="0 0 800 384">%s</svg>\n' % hills)
    return body


def mound(landscape, cx, top, width):
    """A near hill in the landscape's turf over its earth, its flat top at
    `top`, for a factory or a battle to stand on."""
    p = art.LANDSCAPES[landscape]
    half = width / 2.0
    line = [(cx - half - 300, 640), (cx - half - 60, top + 90), (cx - half, top + 30),
            (cx - half * 0.5, top + 2), (cx, top),
            (cx + half * 0.5, top + 2), (cx + half, top + 30), (cx + half + 60, top + 90), (cx + half + 300, 640)]
    return ('<path d="%s Z" fill="%s" stroke="%s" stroke-width="4"/>'
            '<path d="%s" fill="none" stroke="%s" stroke-width="8" stroke-linecap="round"/>\n'
            % (art.smooth_path(line), p["earth"][1], OUTLINE,
               art.smooth_path([(x, y + 5) for x, y in line[1:-1]]), p["turf"][0]))


def factory(side, x, top, scale, state="idling", t=0.0):
    """A factory standing with its floor on `top`."""
    return fe.unit("Static_Factory", state, side, x, top - 64 * scale, scale, t=t)


def carrying(x, y, scale, name, state="magneted", unit_scale=None, t=0.3):
    """The copper airship at (x, y) with its magnet arm down and a unit
    hanging from the magnet."""
    arm_top = y + 44 * scale
    arm_end = arm_top + 74 * scale
    held = UNIT_HALF_HEIGHTS.get(name, 16)
    s = unit_scale if unit_scale is not None else scale
    return (fe.unit("Spar", "emitting", "good", x, arm_top, scale, t=0.25) +
            fe.unit(name, state, "good", x, arm_end + held * s, s) +
            fe.unit("GoodAirShip", "moving", "good", x, y, scale, t=t))


def ground(landscape, y, seed, amplitude=18):
    """The near ground across the screen from about y down, in the
    landscape's earth and turf."""
    p = art.LANDSCAPES[landscape]
    rng = random.Random(seed)
    line = [(x, y - amplitude * math.sin(x / 120.0 + seed) - rng.uniform(0, 8)) for x in range(-40, 880, 40)]
    return ('<path d="%s" fill="%s" stroke="%s" stroke-width="4"/>'
            '<path d="%s" fill="none" stroke="%s" stroke-width="7"/>\n'
            % (art.smooth_path(line, close_to=620), p["earth"][1], OUTLINE,
               art.smooth_path([(x, y0 + 4) for x, y0 in line]), p["turf"][0]))


def smoke(x, y, rise, seed, dark="#4a4240", light="#8a807a"):
    """A column of smoke leaning with the wind."""
    rng = random.Random(seed)
    body = ""
    for i in range(9):
        k = i / 8.0
        r = 10 + 26 * k + rng.uniform(-3, 3)
        cx, cy = x + 50 * k * k + rng.uniform(-4, 4), y - rise * k
        colour = dark if i % 2 else light
        body += ('<circle cx="%s" cy="%s" r="%s" fill="%s" fill-opacity="%s" stroke="%s" stroke-width="1.5" '
                 'stroke-opacity="0.5"/>' % (f(cx), f(cy), f(r), colour, f(0.85 - 0.5 * k), OUTLINE))
    return body + "\n"


def burst(x, y, size, seed):
    """A flak burst in the air."""
    return fe.unit("ExplosionMedium", "explosion", "neutral", x, y, size / 64.0, t=0.3 + 0.1 * (seed % 3))


def snowfall(seed, count=220):
    rng = random.Random(seed)
    return "".join('<circle cx="%s" cy="%s" r="%s" fill="#ffffff" fill-opacity="%s"/>'
                   % (f(rng.uniform(0, 800)), f(rng.uniform(0, 600)), f(rng.uniform(1.2, 3.2)),
                      f(rng.uniform(0.5, 0.95))) for _ in range(count)) + "\n"


def falling_leaves(seed, count=60):
    rng = random.Random(seed)
    colours = art.LANDSCAPES["Autumn"]["leaves"]
    out = ""
    for _ in range(count):
        x, y = rng.uniform(0, 800), rng.uniform(40, 520)
        out += ('<ellipse cx="%s" cy="%s" rx="4.5" ry="2.2" transform="rotate(%s %s %s)" fill="%s" '
                'stroke="%s" stroke-width="0.8"/>' % (f(x), f(y), f(rng.uniform(0, 180)), f(x), f(y),
                                                      rng.choice(colours), OUTLINE))
    return out + "\n"


def glow(cx, cy, rx, ry, colour, opacity):
    return ('<defs><radialGradient id="glow%d" cx="0.5" cy="0.5" r="0.5">'
            '<stop offset="0" stop-color="%s" stop-opacity="%s"/><stop offset="1" stop-color="%s" '
            'stop-opacity="0"/></radialGradient></defs>'
            '<ellipse cx="%s" cy="%s" rx="%s" ry="%s" fill="url(#glow%d)"/>\n'
            % (int(cx), colour, f(opacity), colour, f(cx), f(cy), f(rx), f(ry), int(cx)))


def caption(chapter, heading, lines):
    """The story's plate over the lower part of the picture; the screen's
    buttons stand below it."""
    body = fe.panel(40, 382, 720, 148)
    body += fe.text(400, 412, 15, chapter.upper(), fill=fe.BRASS, font=SANS + ' letter-spacing="3"')
    body += fe.text(400, 440, 26, heading, fill=BRASS_LIGHT)
    for i, line in enumerate(lines):
        body += fe.text(400, 468 + 21 * i, 16, line, fill=PAPER, font=SANS)
    return body


# --- the story ------------------------------------------------------------------

def splash2():
    """The story's opening: dawn over the downs, the copper airship over its
    factory and the Barons' fleet coming out of the smoke on the horizon."""
    behind = smoke(700, 330, 220, 3, dark="#5a5250", light="#9a928c")
    body = fe.defs() + scenery(7, "Meadow", hills_seed=31, behind=behind)
    for i, (x, y, s) in enumerate([(640, 185, 0.32), (715, 215, 0.26), (560, 225, 0.22)]):
        body += fe.unit("BadAirShip", "moving", "bad", x, y, s, t=0.25 * i, mirror=True)
    body += ground("Meadow", 560, 2)
    body += factory("good", 150, 530, 0.9)
    body += fe.unit("Engineer", "moving", "good", 560, 545, 1.4, t=0.2)
    body += fe.unit("Infantry", "moving", "good", 600, 547, 1.4, t=0.6)
    body += fe.unit("Tank", "idling", "good", 690, 540, 1.2)
    body += fe.unit("GoodAirShip", "moving", "good", 330, 300, 1.35, t=0.3)
    body += fe.panel(170, 28, 460, 124)
    body += fe.title(400, 96, 66, "GEARHAVEN")
    body += fe.text(400, 130, 17, "The Soot Barons are coming over the downs", fill=PAPER, font=SANS)
    return body + fe.frame(800, 600)


def cutscene_autumn():
    """The Barons fall back into the woods; the copper airship follows with
    a tank on its magnet."""
    body = fe.defs() + scenery(41, "Autumn", hills_seed=43, behind=smoke(600, 330, 180, 5))
    body += mound("Autumn", 640, 330, 240)
    body += factory("bad", 650, 332, 0.6)
    body += fe.unit("BadAirShip", "moving", "bad", 560, 120, 0.45, t=0.5)
    body += fe.unit("BadAirShip", "moving", "bad", 700, 170, 0.35, t=0.1)
    body += falling_leaves(47)
    body += carrying(250, 150, 1.1, "Tank", unit_scale=1.2)
    return body


def cutscene_snow():
    """Low under the peaks in the snow, flak bursting above, the enemy's
    works on the mountain's shoulder."""
    body = fe.defs() + scenery(71, "Snow", hills_seed=73)
    body += mound("Snow", 620, 320, 280)
    body += factory("bad", 660, 322, 0.6)
    body += fe.unit("Static_AntiAirTurret", "firing", "bad", 545, 322 - 20 * 0.9, 0.9, t=0.3)
    body += burst(430, 110, 60, 1) + burst(520, 70, 40, 2) + burst(360, 60, 34, 0)
    body += fe.unit("BadAirShip", "idling", "bad", 700, 140, 0.4, mirror=True)
    body += carrying(230, 170, 1.05, "FlakTruck", unit_scale=1.1)
    body += snowfall(79)
    return body


def cutscene_soot():
    """Smokestacks, the foundry's glow and flak over the black country."""
    stacks = glow(640, 340, 280, 130, "#ff8a2a", 0.6)
    for x, seed in [(560, 1), (640, 2), (720, 3)]:
        stacks += ('<rect x="%s" y="190" width="22" height="170" fill="#2e2628" stroke="%s" stroke-width="3"/>'
                   '<rect x="%s" y="190" width="22" height="10" fill="#6a2a1a" stroke="%s" stroke-width="2"/>'
                   % (f(x), OUTLINE, f(x), OUTLINE))
        stacks += smoke(x + 11, 185, 170, seed, dark="#2e2828", light="#5e5654")
    body = fe.defs() + scenery(101, "Soot", hills_seed=103, behind=stacks)
    body += mound("Soot", 650, 340, 260)
    body += factory("bad", 650, 342, 0.7, state="emitting", t=0.5)
    body += burst(380, 100, 56, 3) + burst(300, 60, 36, 4) + burst(470, 150, 44, 5)
    body += fe.unit("BadAirShip", "moving", "bad", 520, 100, 0.5, mirror=True, t=0.6)
    body += fe.unit("AutoGyro", "moving", "bad", 430, 230, 0.9, mirror=True, t=0.5)
    body += carrying(200, 150, 1.05, "BalloonBomb", state="idling", unit_scale=0.9)
    return body


def cutscene_meadow():
    """The raid at home: the Barons over our burning factory, the copper
    airship racing back with infantry on its magnet."""
    body = fe.defs() + scenery(131, "Meadow", hills_seed=137, behind=smoke(520, 330, 200, 9))
    body += mound("Meadow", 560, 330, 260)
    body += factory("good", 560, 332, 0.75)
    body += fe.unit("ExplosionLarge", "explosion", "neutral", 520, 300, 0.8, t=0.4)
    body += fe.unit("BadAirShip", "moving", "bad", 610, 130, 0.6, mirror=True, t=0.2)
    body += fe.unit("BadAirShip", "moving", "bad", 730, 190, 0.45, mirror=True, t=0.7)
    body += fe.unit("AutoGyro", "firing", "bad", 450, 220, 0.9, mirror=True, t=0.4)
    body += carrying(180, 150, 1.1, "Infantry", unit_scale=1.5)
    return body


SCENES = {3: cutscene_autumn, 7: cutscene_snow, 11: cutscene_soot, 14: cutscene_meadow}


def cutscene(level, number, heading, lines):
    body = SCENES[level]()
    body += caption("Chapter %s" % ["two", "three", "four", "five"][number], heading, lines)
    return body + fe.frame(800, 600)


# --- the help pages -------------------------------------------------------------

def key_cap(x, y, label, w=34):
    return ('<rect x="%s" y="%s" width="%s" height="30" rx="5" fill="url(#paper)" stroke="%s" stroke-width="2.5"/>'
            % (f(x), f(y), f(w), OUTLINE) +
            fe.text(x + w / 2, y + 21, 15, label, fill=fe.SOOT, font=SANS + ' font-weight="bold"'))


def help_page(number, heading, lines, art_body):
    """A page of the in-game help: the meadow behind a dark panel, the page's
    picture on the right of its heading, its lines below."""
    body = fe.defs() + fe.landscape(60 + number)
    body += fe.panel(30, 24, 740, 500)
    body += fe.title(62, 84, 38, heading).replace('text-anchor="middle"', 'text-anchor="start"')
    body += fe.text(738, 60, 15, "Help %d of %d" % (number, HELP_PAGES), fill=fe.BRASS, anchor="end", font=SANS)
    body += art_body
    y = 330
    for line in lines:
        if line.startswith("#"):
            y += 10 if y > 330 else 0
            body += fe.text(62, y, 19, line[1:], fill=BRASS_LIGHT, anchor="start")
            y += 27
        else:
            body += fe.text(62, y, 16, line, fill=PAPER, anchor="start", font=SANS)
            y += 23
    return body + fe.frame(800, 600)


def help_flying():
    pic = ('<rect x="60" y="110" width="680" height="190" rx="10" fill="#6d9cc7" stroke="%s" stroke-width="3"/>'
           % OUTLINE)
    pic += ('<path d="M60,262 Q200,230 330,258 T600,250 T740,246 V300 H60 Z" fill="#6e8f58" stroke="%s" '
            'stroke-width="3"/>' % OUTLINE)
    pic += fe.unit("GoodAirShip", "moving", "good", 250, 180, 0.8, t=0.4)
    pic += ('<path d="M340,180 C420,150 480,150 560,176" fill="none" stroke="%s" stroke-width="4" '
            'stroke-dasharray="10 8"/>' % BRASS_LIGHT)
    pic += fe.unit("GotoTarget", "GotoTarget", "neutral", 590, 185, 0.8)
    pic += key_cap(640, 226, "&#8593;") + key_cap(604, 260, "&#8592;") + key_cap(640, 260, "&#8595;") + \
        key_cap(676, 260, "&#8594;")
    lines = ["#Where to",
             "Click anywhere on the field, or on the map strip under it, and the airship flies there.",
             "The arrow keys push it by hand instead (W A S D where a skirmish gives them).",
             "#Fuel is life",
             "Every push burns fuel, and the airship's fuel is its hit points: the FUEL gauge",
             "at the top right shows what is left. Spend it on flights that carry something."]
    return help_page(1, "Flying the airship", lines, pic)


def help_magnet():
    pic = ('<rect x="60" y="110" width="680" height="190" rx="10" fill="#6d9cc7" stroke="%s" stroke-width="3"/>'
           % OUTLINE)
    pic += ('<path d="M60,270 Q250,248 420,268 T740,262 V300 H60 Z" fill="#6e8f58" stroke="%s" '
            'stroke-width="3"/>' % OUTLINE)
    pic += carrying(200, 150, 0.7, "Tank", unit_scale=0.8)
    pic += fe.unit("Spar", "idling", "good", 520, 150 + 44 * 0.7, 0.7)
    pic += fe.unit("GoodAirShip", "moving", "good", 520, 150, 0.7, t=0.5)
    pic += fe.unit("Infantry", "falling", "good", 522, 235, 1.1)
    pic += fe.unit("Infantry", "idling", "good", 600, 272, 1.1)
    pic += fe.text(200, 290, 14, "magnet on: lift", fill=fe.SOOT, font=SANS + ' font-weight="bold"')
    pic += fe.text(520, 290, 14, "magnet off: drop", fill=fe.SOOT, font=SANS + ' font-weight="bold"')
    pic += key_cap(334, 190, "Ctrl", 52)
    lines = ["#Lift and drop",
             "Fly over a unit and switch the magnet on (Ctrl) to lift it; switch it off to let it go.",
             "With the mouse, click a unit to fetch it and the right button to drop what you carry.",
             "#Carrying",
             "What hangs under the airship weighs it down. Ground units drive and fight where",
             "they land, so set them down gently near the enemy, not on top of their guns."]
    return help_page(2, "The magnet", lines, pic)


def help_buying():
    pic = ('<rect x="60" y="110" width="680" height="190" rx="10" fill="#3a312b" stroke="%s" stroke-width="3"/>'
           % OUTLINE)
    names = [("Infantry", "idling", 1.4, 10), ("Engineer", "idling", 1.4, 15), ("Tank", "idling", 0.7, 40),
             ("FlakTruck", "idling", 0.7, 35), ("BalloonBomb", "idling", 0.55, 25), ("AutoGyro", "idling", 0.7, 45),
             ("Buster", "idling", 0.9, 60)]
    for i, (name, state, scale, cost) in enumerate(names):
        x = 120 + i * 80
        pic += ('<rect x="%s" y="130" width="66" height="66" rx="6" fill="url(#brass)" stroke="%s" '
                'stroke-width="2.5"/>' % (f(x - 33), OUTLINE))
        pic += fe.unit(name, state, "good", x, 166 if name != "BalloonBomb" else 152, scale)
        pic += key_cap(x - 17, 206, str(i + 1))
        pic += fe.text(x, 262, 16, "$%d" % cost, fill=BRASS_LIGHT, font=SANS + ' font-weight="bold"')
    pic += fe.unit("Static_Factory", "emitting", "good", 690, 270, 0.45, t=0.5)
    lines = ["#Money",
             "Your factory earns two dollars a second and holds at most 150: spend it, or it is lost.",
             "#Buying",
             "Click a button of the bar along the top of the field, or press its number key.",
             "Each unit bought comes out of your factory's door, one after another."]
    return help_page(3, "Buying units", lines, pic)


def help_units():
    rows = [("Infantry", "Infantry", 1.5, "beat engineers and infantry; take bunkers and turrets"),
            ("Engineer", "Engineers", 1.5, "slip into the enemy factory and bring it down"),
            ("Tank", "Tanks", 0.8, "shell anything on the ground, but cannot shoot up"),
            ("FlakTruck", "Flak trucks", 0.8, "shred autogyros, balloons and airships"),
            ("AutoGyro", "Autogyros", 0.8, "fire down on infantry and engineers"),
            ("BalloonBomb", "Balloon bombs, busters", 0.5, "dropped from the airship; go off where they land")]
    pic = ""
    for i, (name, label, scale, line) in enumerate(rows):
        y = 132 + i * 64 if i < 3 else 132 + (i - 3) * 64
        x = 70 if i < 3 else 410
        pic += ('<rect x="%s" y="%s" width="60" height="54" rx="6" fill="#6d9cc7" stroke="%s" stroke-width="2"/>'
                % (f(x), f(y - 22), OUTLINE))
        pic += fe.unit(name, "idling", "good", x + 30, y + (10 if name != "BalloonBomb" else -4), scale)
        pic += fe.text(x + 72, y, 17, label, fill=BRASS_LIGHT, anchor="start")
        words = line.split(" ")
        half = (len(words) + 1) // 2
        pic += fe.text(x + 72, y + 19, 13, " ".join(words[:half]), fill=PAPER, anchor="start", font=SANS)
        pic += fe.text(x + 72, y + 35, 13, " ".join(words[half:]), fill=PAPER, anchor="start", font=SANS)
    lines = ["#Every unit has its match",
             "Tanks are the heavy answer on the ground, but autogyros and balloon bombs come",
             "from above. Flak trucks see only the sky. Mix what you buy, and carry it where",
             "the enemy is weakest."]
    return help_page(4, "Your units", lines, pic)


def help_winning():
    pic = ('<rect x="60" y="110" width="680" height="190" rx="10" fill="#6d9cc7" stroke="%s" stroke-width="3"/>'
           % OUTLINE)
    pic += ('<path d="M60,272 Q300,256 500,266 T740,260 V300 H60 Z" fill="#6e8f58" stroke="%s" '
            'stroke-width="3"/>' % OUTLINE)
    pic += factory("bad", 600, 268, 0.6, state="dying", t=0.35)
    pic += fe.unit("Engineer", "moving", "good", 470, 262, 1.4, t=0.3)
    pic += fe.unit("Infantry", "moving", "good", 420, 263, 1.4, t=0.7)
    pic += fe.unit("Static_Bunker", "moving", "good", 250, 248, 0.9)
    pic += fe.unit("Flag", "moving", "good", 268, 218, 0.9, t=0.2)
    pic += fe.unit("Tank", "moving", "good", 150, 255, 0.8, t=0.5)
    lines = ["#Take their factory",
             "Infantry and engineers that reach the enemy's factory bring it down, and the level",
             "is won. When your own factory falls, it is lost. Vehicles bounce off the walls.",
             "#Keys",
             "Escape pauses the level. Right, Enter or F1 turns these pages, Left goes back,",
             "Escape goes back to the level."]
    return help_page(5, "Winning", lines, pic)


# --- making them ----------------------------------------------------------------

def documents():
    docs = {"SplashScreen/splash2.jpg": splash2()}
    for number, (level, _, heading, lines) in enumerate(CUTSCENES):
        docs["Cutscenes/cutscene%d.jpg" % level] = cutscene(level, number, heading, lines)
    for n, page in enumerate([help_flying, help_magnet, help_buying, help_units, help_winning], 1):
        docs["InGameHelp/help%d.jpg" % n] = page()
    return docs


def check_story_screens(resources):
    """Stops the drawing when the state machine's story screens are not the
    levels that this script has story pictures for."""
    path = os.path.join(resources, "StateMachine.txt")
    text = open(path, encoding="ascii").read()
    routed = sorted(int(n) for n in re.findall(r"struct TARNMOORE_STATE_Cutscene(\d+)\b", text))
    drawn = [level for level, _, _, _ in CUTSCENES]
    if routed != drawn:
        sys.exit("draw_story: %s shows story pictures before levels %s, but the story has "
                 "pictures for %s" % (path, routed, drawn))


def draw(out, converter):
    svg_dir = os.path.join(out, "svg")
    os.makedirs(svg_dir, exist_ok=True)
    docs = documents()
    for name, width, height in pictures():
        target = os.path.join(out, name)
        os.makedirs(os.path.dirname(target), exist_ok=True)
        flat = os.path.splitext(name.replace("/", "_"))[0]
        art.render(art.svg_document(width, height, docs[name]), os.path.join(svg_dir, flat + ".svg"),
                   os.path.join(svg_dir, flat + ".png"), target, converter, (width, height), False)


def main(argv):
    if len(argv) == 2 and argv[1] == "list":
        for name, _, _ in pictures():
            print(name)
        return 0
    if len(argv) == 5 and argv[1] == "draw":
        check_story_screens(argv[4])
        draw(argv[2], argv[3])
        return 0
    sys.stderr.write(__doc__)
    return 2


if __name__ == "__main__":
    sys.exit(main(sys.argv))
