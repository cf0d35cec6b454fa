#!/usr/bin/env python3
"""Draws the pictures of the screens outside a level.

    draw_frontend.py list
        prints the resource names it makes, one a line
    draw_frontend.py draw <out folder> <bbq_convert> <resources folder>
        draws them into <out folder> under those names

The menus, the options screen, the pause menu, the campaign map, the
statistics screen with its bars and digits, the skirmish setup with its
controls, its loading picture and its stand-in previews, the help and
credits pages and,
for every campaign level, its map thumbnail, loading picture and skirmish
preview, and every tutorial lesson's loading picture are written as SVG
(kept in <out folder>/svg for looking at), rendered with rsvg-convert and
turned into .bbq or .jpg by our bbq_convert. Text is set in the DejaVu fonts
of Debian's fonts-dejavu-core. The skies and mountains come from the level
drawer, so the screens and the levels share one look.

A level's thumbnail, loading picture and preview are made from the level
itself: its landscape's colours, sky and mountains, its terrain's profile and
its two factories, and its name from the first line of its level.txt.
"""
import math
import os
import random
import re
import subprocess
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import draw_level as art  # noqa: E402
import draw_units as units  # noqa: E402

f = art.f
OUTLINE = art.OUTLINE
BRASS = art.BRASS
BRASS_DARK = art.BRASS_DARK
COPPER = art.COPPER
SOOT = art.SOOT
BRASS_LIGHT = "#f0d08a"
PAPER = "#f3e6c4"
SERIF = "font-family=\"DejaVu Serif\" font-weight=\"bold\""
SANS = "font-family=\"DejaVu Sans\""

LEVEL_COUNT = 17
SCREEN = (800, 600)
MENU_BUTTONS = ["Play", "Skirmish", "Tutorial", "Options", "Help", "Credits", "Quit"]
MENU_LABELS = {"Play": "Campaign"}
TUTORIAL_LABELS = ["1. Flying and engineers", "2. Anti-air turrets", "3. Artillery", "4. Bunkers"]
# What each lesson's loading picture shows in front of its field: the unit
# that the lesson is about and its side; the enemy's face the player's
# factory.
TUTORIAL_SUBJECTS = [("Engineer", "good", 3.0), ("Static_AntiAirTurret", "bad", 1.6),
                     ("Static_ArtilleryTurret", "bad", 1.6), ("Static_Bunker", "bad", 1.6)]
TUTORIAL_BUTTON = (330, 46)
# The tutorial menu's panel reaches this far round its buttons; less below
# them, where the screen's frame is near.
TUTORIAL_MARGIN = 20
TUTORIAL_MARGIN_BELOW = 12
SMALL_BUTTON_SIZE = (160, 44)
THUMB = (96, 72)
PREVIEW = (780, 86)
PLAY_HEIGHT = 500
PLATE = (252, 50)
DIFFICULTIES = [("Cadet", 1), ("Veteran", 2), ("Hero", 3)]
MEDALS = [("beaten_easy", "#c07a45", "#7a4420"), ("beaten_normal", "#d7dde4", "#7d8894"),
          ("beaten_hard", "#f2c84b", "#9a6f12")]
# The statistics screen: rows from top to bottom (label only; the bars'
# places are the state machine's "BarPositions"), the bar and digit shades.
STATS_ROWS = ["Infantry", "Engineers", "Tanks", "Flak trucks", "Balloon bombs", "Autogyros",
              "Busters", "Airships", "Total"]
STATS_TOP = 80
STATS_ROW_STEP = 50
STATS_BAR = (64, 14)
STATS_DIGIT = (10, 14)
# (bar name, digit folder, bar colour, digit colour): the dark digits are a
# little lighter than their bars to stay readable on the dark panel.
STATS_SHADES = [("darkgreen", "DarkGreen", "#2f6b2a", "#58b04e"),
                ("lightgreen", "LightGreen", "#8fd36f", "#8fd36f"),
                ("darkpurple", "DarkPurple", "#55306e", "#a273c6"),
                ("lightpurple", "LightPurple", "#c39be0", "#dcc2f0")]
SWITCH = (70, 34)
OPTIONS_PANEL = (460, 330)
OPTIONS_ROWS = [(50, "Music"), (110, "Sound effects"), (220, "Click to switch it on and off"),
                (280, "Hold it down while you need it")]
PAUSE_PANEL = (400, 460)
PAUSE_ROWS = [(97, "Music"), (147, "Sound effects"), (197, "Tutorial hints"),
              (247, "Magnet button toggles"), (297, "Magnet button held down")]
SMALL_BUTTONS = ["Resume", "Reset hints", "Help", "Quit", "Continue"]
SPLASH = (560, 300)


def pictures():
    """(resource name, width, height, alpha) of every picture made here."""
    out = [("MainMenu/background.jpg", 800, 600, False),
           ("MapScreen/map.jpg", 800, 600, False),
           ("MapScreen/x.bbq", THUMB[0], THUMB[1], True),
           ("Frontend/back.bbq", SMALL_BUTTON_SIZE[0], SMALL_BUTTON_SIZE[1], True),
           ("Frontend/play.bbq", SMALL_BUTTON_SIZE[0], SMALL_BUTTON_SIZE[1], True),
           ("Frontend/onward.bbq", SMALL_BUTTON_SIZE[0], SMALL_BUTTON_SIZE[1], True),
           ("Frontend/loading.bbq", PLATE[0], PLATE[1], True),
           ("Frontend/choosedifficulty.jpg", PLATE[0], PLATE[1], False),
           ("Frontend/clicktocontinue_0.bbq", PLATE[0], PLATE[1], True),
           ("Frontend/clicktocontinue_1.bbq", PLATE[0], PLATE[1], True),
           ("Help/help.jpg", 800, 600, False),
           ("Credits/credits.jpg", 800, 600, False),
           ("StatsScreen/background.jpg", 800, 600, False)]
    for bar, folder, _, _ in STATS_SHADES:
        out.append(("StatsScreen/bar%s.jpg" % bar, STATS_BAR[0], STATS_BAR[1], False))
        out += [("StatsScreen/Numbers%s/digit_%d.bbq" % (folder, d), STATS_DIGIT[0], STATS_DIGIT[1],
                 True) for d in range(10)]
    out += [("Options/background.jpg", 800, 600, False),
            ("Options/panel.bbq", OPTIONS_PANEL[0], OPTIONS_PANEL[1], True),
            ("Options/magnetbutton.bbq", 240, 34, True),
            ("PauseMenu/panel.bbq", PAUSE_PANEL[0], PAUSE_PANEL[1], True),
            ("LowFps/warning.jpg", 800, 600, False),
            ("SplashScreen/splash_0.bbq", SPLASH[0], SPLASH[1], True),
            ("SplashScreen/splash_1.bbq", SPLASH[0], SPLASH[1], True),
            ("Frontend/switch_0.bbq", SWITCH[0], SWITCH[1], True),
            ("Frontend/switch_1.bbq", SWITCH[0], SWITCH[1], True)]
    out += [("Frontend/%s.bbq" % button_file(name), SMALL_BUTTON_SIZE[0], SMALL_BUTTON_SIZE[1],
             True) for name in SMALL_BUTTONS]
    out += [("MainMenu/%s.bbq" % name.lower(), 250, 46, True) for name in MENU_BUTTONS]
    out += [("Tutorial/background.jpg", 800, 600, False)]
    out += [("Tutorial/tutorial%d.bbq" % n, TUTORIAL_BUTTON[0], TUTORIAL_BUTTON[1], True)
            for n in range(len(TUTORIAL_LABELS))]
    out += [("MapScreen/%s.bbq" % name, 34, 46, True) for name, _, _ in MEDALS]
    out += [("MapScreen/thumbnail%d.bbq" % n, THUMB[0], THUMB[1], True) for n in range(LEVEL_COUNT)]
    out += [("Frontend/%s.bbq" % name.lower(), 150, 56, True) for name, _ in DIFFICULTIES]
    out += [("Level%d/loading.jpg" % n, 800, 600, False) for n in range(LEVEL_COUNT)]
    out += [("TutorialLevel%d/loading.jpg" % n, 800, 600, False) for n in range(len(TUTORIAL_LABELS))]
    out += [("Level%d/preview.jpg" % n, PREVIEW[0], PREVIEW[1], False) for n in range(LEVEL_COUNT)]
    out += skirmish_pictures()
    return out


# --- pieces -------------------------------------------------------------------

def defs():
    return ('<defs>'
            '<linearGradient id="brass" x1="0" y1="0" x2="0" y2="1">'
            '<stop offset="0" stop-color="%s"/><stop offset="0.45" stop-color="%s"/>'
            '<stop offset="1" stop-color="%s"/></linearGradient>'
            '<linearGradient id="copper" x1="0" y1="0" x2="0" y2="1">'
            '<stop offset="0" stop-color="#d98c5f"/><stop offset="1" stop-color="#7d3f22"/></linearGradient>'
            '<linearGradient id="soot" x1="0" y1="0" x2="0" y2="1">'
            '<stop offset="0" stop-color="#3b322d"/><stop offset="1" stop-color="#1d1815"/></linearGradient>'
            '<linearGradient id="envelope" x1="0" y1="0" x2="0" y2="1">'
            '<stop offset="0" stop-color="#e0b978"/><stop offset="0.55" stop-color="#b0643a"/>'
            '<stop offset="1" stop-color="#6e3a1f"/></linearGradient>'
            '<linearGradient id="paper" x1="0" y1="0" x2="0" y2="1">'
            '<stop offset="0" stop-color="#f6ecd0"/><stop offset="1" stop-color="#dcc79a"/></linearGradient>'
            '</defs>\n' % (BRASS_LIGHT, BRASS, BRASS_DARK))


def embed(document, x, y, width, height):
    """A whole SVG document placed as a nested picture, cropped to fill."""
    inner = re.sub(r'<svg ([^>]*?) width="\d+" height="\d+"',
                   r'<svg \1 x="%d" y="%d" width="%d" height="%d" preserveAspectRatio="xMidYMax slice"'
                   % (x, y, width, height), document, count=1)
    return inner


def text(x, y, size, content, fill=SOOT, anchor="middle", font=SERIF, stroke=None, weight=0):
    outline = ('stroke="%s" stroke-width="%s" stroke-linejoin="round" paint-order="stroke"'
               % (stroke, f(weight))) if stroke else ""
    return ('<text x="%s" y="%s" font-size="%s" %s text-anchor="%s" fill="%s" %s>%s</text>\n'
            % (f(x), f(y), f(size), font, anchor, fill, outline, content))


def rivets(x, y, w, h, inset, r=2.6):
    out = ""
    for rx in (x + inset, x + w - inset):
        for ry in (y + inset, y + h - inset):
            out += ('<circle cx="%s" cy="%s" r="%s" fill="%s" stroke="%s" stroke-width="1"/>'
                    % (f(rx), f(ry), f(r), BRASS_LIGHT, OUTLINE))
    return out


def plate(w, h, label, size, fill="url(#brass)", ink=SOOT):
    """A riveted brass name plate filling a w x h picture."""
    return ('<rect x="2" y="2" width="%s" height="%s" rx="9" fill="%s" stroke="%s" stroke-width="3"/>'
            '<rect x="7" y="7" width="%s" height="%s" rx="6" fill="none" stroke="%s" '
            'stroke-opacity="0.55" stroke-width="1.5"/>%s%s'
            % (f(w - 4), f(h - 4), fill, OUTLINE, f(w - 14), f(h - 14), BRASS_LIGHT,
               rivets(2, 2, w - 4, h - 4, 8), text(w / 2, h / 2 + size * 0.36, size, label, ink)))


def airship(x, y, scale, angle=0):
    """The player's airship: a ribbed copper envelope, fins, a gondola with
    its propeller and the magnet hanging below."""
    ribs = "".join('<path d="M%s,-44 Q%s,0 %s,44" fill="none" stroke="%s" stroke-width="2" '
                   'stroke-opacity="0.6"/>' % (f(i), f(i + 8 * (1 if i > 0 else -1)), f(i), OUTLINE)
                   for i in range(-90, 100, 30))
    return ('<g transform="translate(%s,%s) rotate(%s) scale(%s)">'
            '<path d="M100,-10 l46,-34 v88 l-46,-34 z" fill="url(#copper)" stroke="%s" stroke-width="4" '
            'stroke-linejoin="round"/>'
            '<ellipse cx="0" cy="0" rx="128" ry="46" fill="url(#envelope)" stroke="%s" stroke-width="5"/>'
            '%s<path d="M-120,0 H120" stroke="%s" stroke-width="2" stroke-opacity="0.5"/>'
            '<path d="M-40,44 L-30,70 M40,44 L30,70" stroke="%s" stroke-width="3"/>'
            '<rect x="-48" y="66" width="96" height="28" rx="6" fill="url(#brass)" stroke="%s" stroke-width="4"/>'
            '<circle cx="-24" cy="80" r="6" fill="#9cc3e0" stroke="%s" stroke-width="2"/>'
            '<circle cx="0" cy="80" r="6" fill="#9cc3e0" stroke="%s" stroke-width="2"/>'
            '<circle cx="24" cy="80" r="6" fill="#9cc3e0" stroke="%s" stroke-width="2"/>'
            '<rect x="48" y="76" width="16" height="8" fill="%s" stroke="%s" stroke-width="2"/>'
            '<ellipse cx="70" cy="80" rx="5" ry="22" fill="%s" stroke="%s" stroke-width="2"/>'
            '<path d="M0,94 V128" stroke="%s" stroke-width="3"/>'
            '<path d="M-18,128 h36 v10 a18,18 0 0,1 -36,0 z" fill="#4d4f57" stroke="%s" stroke-width="4"/>'
            '</g>\n' % (f(x), f(y), f(angle), f(scale), OUTLINE, OUTLINE, ribs, OUTLINE, OUTLINE,
                        OUTLINE, OUTLINE, OUTLINE, OUTLINE, SOOT, OUTLINE, BRASS_DARK, OUTLINE,
                        OUTLINE, OUTLINE))


def landscape(seed, title_space=True):
    """Sky, mountains and near hills over the whole screen."""
    rng = random.Random(seed)
    body = embed(art.sky_svg(seed), 0, 0, 800, 600)
    body += embed(art.mountains_svg(seed + 1), 0, 160, 800, 400)
    hills = [(x, 600 - 150 - 60 * math.sin(x / 130.0 + seed) - rng.uniform(0, 20))
             for x in range(-40, 880, 60)]
    body += ('<path d="%s" fill="#5d7a3c" stroke="%s" stroke-width="4"/>\n'
             % (art.smooth_path(hills, close_to=620), OUTLINE))
    front = [(x, 600 - 70 - 30 * math.sin(x / 90.0 + seed * 2) - rng.uniform(0, 10))
             for x in range(-40, 880, 50)]
    body += ('<path d="%s" fill="#3f5a2a" stroke="%s" stroke-width="4"/>\n'
             % (art.smooth_path(front, close_to=620), OUTLINE))
    return body


def frame(w, h, corners=((18, 18), (782, 18), (18, 582), (782, 582))):
    """A soot-dark screen border with brass cogs in the given corners."""
    body = ('<rect x="6" y="6" width="%s" height="%s" fill="none" stroke="%s" stroke-width="12"/>'
            '<rect x="13" y="13" width="%s" height="%s" fill="none" stroke="%s" stroke-width="3"/>\n'
            % (f(w - 12), f(h - 12), SOOT, f(w - 26), f(h - 26), BRASS))
    for cx, cy in corners:
        body += art.gear(cx, cy, 20, 10, 0.2, "url(#brass)", OUTLINE, 2.5)
    return body


def panel(x, y, w, h):
    """A dark riveted panel that text or buttons stand on."""
    return ('<rect x="%s" y="%s" width="%s" height="%s" rx="14" fill="url(#soot)" fill-opacity="0.88" '
            'stroke="%s" stroke-width="4"/>'
            '<rect x="%s" y="%s" width="%s" height="%s" rx="10" fill="none" stroke="%s" stroke-width="2"/>%s\n'
            % (f(x), f(y), f(w), f(h), OUTLINE, f(x + 6), f(y + 6), f(w - 12), f(h - 12), BRASS,
               rivets(x, y, w, h, 14, 3.5)))


def title(x, y, size, content):
    return text(x, y, size, content, fill="url(#brass)", stroke=OUTLINE, weight=size / 9)


# --- the screens ----------------------------------------------------------------

def menu_background(ship, panel_box):
    """The main menu's look: the title over the downs, the airship `ship`
    (x, y, scale) to the right of the dark panel `panel_box` (x, y, w, h)
    that the buttons stand on."""
    body = defs() + landscape(11)
    body += airship(ship[0], ship[1], ship[2], -4)
    body += art.gear(700, 520, 60, 14, 0.1, "url(#brass)", OUTLINE, 3)
    body += art.gear(770, 450, 34, 10, 0.3, "url(#copper)", OUTLINE, 3)
    body += panel(*panel_box)
    body += title(400, 92, 74, "GEARHAVEN")
    body += text(400, 124, 18, "Airships, magnets and the war of the works", fill=PAPER, font=SANS,
                 stroke=OUTLINE, weight=3)
    # The bottom left corner is left free: the main menu prints its version
    # there and the tutorial menu's panel reaches down into it.
    return body + frame(800, 600, ((18, 18), (782, 18), (782, 582)))


def main_menu():
    return menu_background((560, 250, 1.35), (40, 142, 290, 410))


def tutorial_panel(buttons):
    """The dark panel round the tutorial menu's lesson plates and its Back
    button ((x, y, w, h) each)."""
    left = min(x for x, _, _, _ in buttons) - TUTORIAL_MARGIN
    top = min(y for _, y, _, _ in buttons) - TUTORIAL_MARGIN
    right = max(x + w for x, _, w, _ in buttons) + TUTORIAL_MARGIN
    bottom = max(y + h for _, y, _, h in buttons) + TUTORIAL_MARGIN_BELOW
    return (left, top, right - left, bottom - top)


def tutorial_menu(buttons):
    """The main menu's look with a panel as wide as the lesson plates, and
    the airship smaller and further right to clear it."""
    x, y, w, h = tutorial_panel(buttons)
    return menu_background((x + w + 190, 250, 1.1), (x, y, w, h))


def menu_button(label):
    return defs() + plate(250, 46, label, 22)


def tutorial_button(label):
    """A lesson's plate: wider than the main menu's, so that the longest
    lesson name fits whole."""
    return defs() + plate(TUTORIAL_BUTTON[0], TUTORIAL_BUTTON[1], label, 22)


def small_button(label):
    """A small plate; a label of more than eight letters ("Reset hints")
    would reach the rivets at the usual size, so it is set smaller."""
    size = 21 if len(label) <= 8 else 18
    return defs() + plate(SMALL_BUTTON_SIZE[0], SMALL_BUTTON_SIZE[1], label, size)


def difficulty_button(label, chevrons):
    """A difficulty's plate: its rank in chevrons, stacked about the middle of
    the label's height, and the label centred in the room right of them."""
    lowest = 32 + 4 * (chevrons - 1)
    marks = "".join('<path d="M%s,%s l8,-6 l8,6" fill="none" stroke="%s" stroke-width="4" '
                    'stroke-linecap="round" stroke-linejoin="round"/>'
                    % (f(15), f(lowest - 8 * i), "#7d1f12") for i in range(chevrons))
    return (defs() + '<rect x="2" y="2" width="146" height="52" rx="10" fill="url(#brass)" stroke="%s" '
            'stroke-width="3"/>%s%s%s' % (OUTLINE, rivets(2, 2, 146, 52, 8), marks,
                                          text(90, 36, 20, label)))


def button_file(label):
    return label.lower().replace(" ", "")


def switch(on):
    """A lever in a soot slot: thrown right and lit when on."""
    w, h = SWITCH
    knob = w - 19 if on else 19
    lamp = "#ffd45a" if on else "#4a3d33"
    return (defs() + '<rect x="2" y="2" width="%s" height="%s" rx="15" fill="url(#soot)" stroke="%s" '
            'stroke-width="3"/><circle cx="%s" cy="%s" r="5" fill="%s" stroke="%s" stroke-width="1.5"/>'
            '<circle cx="%s" cy="%s" r="12" fill="url(#brass)" stroke="%s" stroke-width="2.5"/>'
            % (f(w - 4), f(h - 4), OUTLINE, f(w / 2), f(h / 2), lamp, OUTLINE, f(knob), f(h / 2), OUTLINE))


def rows_panel(size, heading, heading_y, rows):
    """A dark riveted panel with a heading and one label per switch row."""
    w, h = size
    body = defs() + ('<rect x="3" y="3" width="%s" height="%s" rx="14" fill="url(#soot)" fill-opacity="0.93" '
                     'stroke="%s" stroke-width="4"/>%s'
                     % (f(w - 6), f(h - 6), BRASS_DARK, rivets(3, 3, w - 6, h - 6, 11, 3.5)))
    if heading:
        body += text(w / 2, heading_y, 34, heading, fill=BRASS_LIGHT, stroke=OUTLINE, weight=3)
    for y, label in rows:
        body += text(30, y + 7, 19, label, fill=PAPER, anchor="start", font=SANS)
    return body


def splash(turn):
    """The maker's mark: the name on a brass plate between two gears that
    turn a little from one frame to the next."""
    w, h = SPLASH
    body = defs()
    body += art.gear(95, 150, 78, 14, turn, "url(#brass)", OUTLINE, 3)
    body += art.gear(w - 95, 150, 78, 14, -turn, "url(#copper)", OUTLINE, 3)
    body += ('<rect x="120" y="95" width="%s" height="110" rx="16" fill="url(#soot)" stroke="%s" '
             'stroke-width="4"/>%s' % (f(w - 240), BRASS_DARK, rivets(120, 95, w - 240, 110, 10, 3.5)))
    body += text(w / 2, 162, 50, "GEARHAVEN", fill=BRASS_LIGHT, stroke=OUTLINE, weight=3)
    body += text(w / 2, 190, 15, "an Orrowick works", fill=PAPER, font=SANS)
    return body


def options_background():
    body = defs() + landscape(23)
    body += airship(130, 250, 0.8, 6)
    body += title(400, 100, 64, "Options")
    return body + frame(800, 600)


def label(content, size):
    return defs() + text(4, size + 4, size, content, fill=BRASS_LIGHT, anchor="start", stroke=OUTLINE,
                         weight=3)


def name_plate(label, size, dark=False):
    fill = "url(#soot)" if dark else "url(#brass)"
    ink = BRASS_LIGHT if dark else SOOT
    return defs() + plate(PLATE[0], PLATE[1], label, size, fill, ink)


def tutorial_buttons(menu_file):
    """Where TutorialMenu.txt puts the lesson plates and the Back button, as
    (x, y, w, h) each: the panel behind them is sized to them."""
    found = re.findall(r'"(Tutorial\d+|Back)"[^}]*?point position:\s*\((-?\d+),\s*(-?\d+)\)',
                       open(menu_file, encoding="ascii").read())
    places = {name: (int(x), int(y)) for name, x, y in found}
    lessons = ["Tutorial%d" % n for n in range(len(TUTORIAL_LABELS))]
    if sorted(places) != sorted(lessons + ["Back"]):
        sys.exit("draw_frontend: %s does not place Tutorial0 to Tutorial%d and Back"
                 % (menu_file, len(TUTORIAL_LABELS) - 1))
    return ([places[name] + TUTORIAL_BUTTON for name in lessons]
            + [places["Back"] + SMALL_BUTTON_SIZE])


def thumbnail_places(map_file):
    """Where MapScreen.txt puts the thumbnails, in level order: the route of
    the map runs through them."""
    found = re.findall(r'"Thumbnail(\d+)"[^}]*?point position:\s*\((-?\d+),\s*(-?\d+)\)',
                       open(map_file, encoding="ascii").read())
    places = {int(n): (int(x), int(y)) for n, x, y in found}
    if sorted(places) != list(range(LEVEL_COUNT)):
        sys.exit("draw_frontend: %s does not place Thumbnail0 to Thumbnail%d"
                 % (map_file, LEVEL_COUNT - 1))
    return [places[n] for n in range(LEVEL_COUNT)]


def map_screen(places):
    rng = random.Random(5)
    body = defs()
    body += '<rect width="800" height="600" fill="#2c5886"/>'
    # The sea, with wave marks, and the land the campaign crosses.
    for _ in range(80):
        x, y = rng.uniform(0, 800), rng.uniform(60, 600)
        body += ('<path d="M%s,%s q6,-5 12,0 q6,5 12,0" fill="none" stroke="#9cc3e0" stroke-width="2" '
                 'stroke-opacity="0.6"/>' % (f(x), f(y)))
    coast = []
    for i in range(36):
        a = 2 * math.pi * i / 36
        r = 1 + 0.08 * math.sin(5 * a) + rng.uniform(-0.04, 0.04)
        coast.append((400 + 370 * r * math.cos(a), 330 + 235 * r * math.sin(a)))
    coast.append(coast[0])
    body += ('<path d="%s Z" fill="url(#paper)" stroke="%s" stroke-width="5"/>\n'
             % (art.smooth_path(coast), OUTLINE))
    # Mountain marks and woods, as a chart draws them.
    for _ in range(22):
        x, y = rng.uniform(120, 680), rng.uniform(150, 500)
        s = rng.uniform(10, 18)
        body += ('<path d="M%s,%s l%s,%s l%s,%s z" fill="#a8926a" stroke="%s" stroke-width="2" '
                 'stroke-linejoin="round"/><path d="M%s,%s l%s,%s l%s,%s z" fill="#f6f1e4"/>'
                 % (f(x - s), f(y), f(s), f(-s * 1.5), f(s), f(s * 1.5), BRASS_DARK,
                    f(x - s * 0.33), f(y - s), f(s * 0.33), f(-s * 0.5), f(s * 0.33), f(s * 0.5)))
    for _ in range(40):
        x, y = rng.uniform(120, 680), rng.uniform(160, 520)
        body += ('<circle cx="%s" cy="%s" r="%s" fill="#7d8f4e" stroke="%s" stroke-width="1.2"/>'
                 % (f(x), f(y), f(rng.uniform(4, 7)), "#4a5a2a"))
    route = [(x + THUMB[0] / 2, y + THUMB[1] / 2) for x, y in places]
    body += ('<path d="%s" fill="none" stroke="%s" stroke-width="5" stroke-dasharray="12 9" '
             'stroke-linecap="round"/>\n' % (art.smooth_path(route), COPPER))
    body += art.gear(730, 120, 44, 12, 0.2, "url(#brass)", OUTLINE, 3)
    body += '<g transform="translate(650,70)">' + airship(0, 0, 0.35, -6) + '</g>'
    body += title(400, 62, 46, "The Campaign")
    body += text(400, 88, 16, "Choose a level: the blinking one waits for you", fill=PAPER, font=SANS,
                 stroke=OUTLINE, weight=3)
    return body + frame(800, 600)


class Level:
    """What the pictures show of a level: its name, landscape, terrain and
    factories."""

    def __init__(self, path):
        text = open(path, encoding="ascii").read()
        layout = art.read_level(path)
        self.landscape = art.landscape_of(layout)
        self.palette = art.LANDSCAPES[self.landscape]
        spacing = layout["nodeSpacing"]
        self.ground = [(i * spacing, h) for i, h in enumerate(layout["nodeHeights"])]
        self.width = art.TILE_WIDTH * len(layout["foreground"])
        match = re.search(r"//\s*Level \d+,\s*([^:(\n]+)", text)
        self.name = match.group(1).strip() if match else ""
        self.factories = []
        for team, matrix in re.findall(r'"team_(good|bad)"\s*string type:\s*"Static_Factory"'
                                       r'.*?list float matrix\s*\{([^}]*)\}', text, re.S):
            values = [float(v) for v in matrix.split()]
            self.factories.append((team, values[12], values[13]))

    def profile(self, x0, y0, w, h):
        """The terrain as points of a w x h box at (x0, y0), the play field's
        500 pixels of height filling h."""
        return [(x0 + x * w / self.width, y0 + h - v * h / PLAY_HEIGHT) for x, v in self.ground]

    def field(self, x0, y0, w, h, outline):
        """Ground and factories in a w x h box: the ground in the landscape's
        turf over its earth, each factory the game's own picture of it in its
        side's colours."""
        p = self.palette
        line = self.profile(x0, y0, w, h)
        closed = "M%s L%s,%s L%s,%s Z" % (" L".join(art.points([q]) for q in line), f(x0 + w), f(y0 + h + 2),
                                           f(x0), f(y0 + h + 2))
        body = ('<path d="%s" fill="%s" stroke="%s" stroke-width="%s" stroke-linejoin="round"/>'
                % (closed, p["earth"][1], OUTLINE, f(outline)))
        body += ('<path d="M%s" fill="none" stroke="%s" stroke-width="%s"/>'
                 % (" L".join(art.points([(x, y + outline * 1.2)]) for x, y in line), p["turf"][0], f(outline * 1.6)))
        for team, x, y in self.factories:
            # The picture's hall is 128 of its pixels high, the factory 120 of
            # the play field's; its hot spot is the factory's centre.
            cx, cy = x0 + x * w / self.width, y0 + h - y * h / PLAY_HEIGHT
            body += unit("Static_Factory", "idling", team, cx, cy, 120 * h / PLAY_HEIGHT / 128)
        return body

    def ground_at(self, x0, y0, w, h, x):
        """The height of the profile in a w x h box at (x0, y0) at x."""
        line = self.profile(x0, y0, w, h)
        for (xa, ya), (xb, yb) in zip(line, line[1:]):
            if xa <= x <= xb:
                return ya + (yb - ya) * (x - xa) / (xb - xa) if xb > xa else ya
        return line[-1][1]

    def seed(self):
        return sum(v for _, v in self.ground) % 997


def unit(name, state, palette, x, y, scale=1.0, t=0.0, mirror=False, opacity=1.0):
    """One frame of a unit's own picture with its hot spot at (x, y)."""
    obj = units.OBJECTS[name]
    w, h = obj["size"]
    hx, hy = obj["hot"]
    inner = units.frame_svg(name, state, t, palette)
    flip = " scale(-1 1)" if mirror else ""
    return ('<g transform="translate(%s,%s)%s scale(%s)" opacity="%s">'
            '<svg x="%d" y="%d" width="%d" height="%d" viewBox="0 0 %d %d" overflow="visible">%s</svg></g>\n'
            % (f(x), f(y), flip, f(scale), f(opacity), -hx, -hy, w, h, w, h, inner))


def thumbnail(n, level):
    w, h = THUMB
    body = defs()
    body += ('<clipPath id="inside"><rect x="4" y="4" width="%d" height="%d" rx="6"/></clipPath>'
             % (w - 8, h - 8))
    body += '<g clip-path="url(#inside)"><rect width="%d" height="%d" fill="%s"/>' % (w, h, level.palette["air"][1])
    body += level.field(0, 0, w, h, 1.5)
    body += '</g>'
    body += ('<rect x="3" y="3" width="%d" height="%d" rx="7" fill="none" stroke="url(#brass)" '
             'stroke-width="5"/><rect x="1" y="1" width="%d" height="%d" rx="8" fill="none" '
             'stroke="%s" stroke-width="2"/>' % (w - 6, h - 6, w - 2, h - 2, OUTLINE))
    body += text(w / 2, 30, 24, str(n + 1), fill=PAPER, stroke=OUTLINE, weight=4)
    return body


def preview(level):
    """The skirmish list's banner: the level's whole field under its sky."""
    w, h = PREVIEW
    body = embed(art.sky_svg(level.seed(), level.palette), 0, 0, w, h)
    body += level.field(0, -h * 0.15, w, h * 1.15, 1.5)
    body += text(12, 26, 20, level.name, fill=PAPER, anchor="start", stroke=OUTLINE, weight=3)
    return body


def cross():
    w, h = THUMB
    return ('<path d="M16,12 L%s,%s M%s,12 L16,%s" stroke="%s" stroke-width="15" stroke-linecap="round"/>'
            '<path d="M16,12 L%s,%s M%s,12 L16,%s" stroke="#b8432a" stroke-width="9" stroke-linecap="round"/>'
            % (f(w - 16), f(h - 12), f(w - 16), f(h - 12), OUTLINE,
               f(w - 16), f(h - 12), f(w - 16), f(h - 12)))


def medal(face, edge):
    return ('<path d="M8,2 L17,22 L26,2" fill="#2c5886" stroke="%s" stroke-width="2"/>'
            '<path d="M12,2 L17,14 L22,2" fill="#b8432a"/>'
            '<circle cx="17" cy="30" r="14" fill="%s" stroke="%s" stroke-width="3"/>'
            '<circle cx="17" cy="30" r="9.5" fill="none" stroke="%s" stroke-width="1.5"/>'
            '<path d="M17,23 l2,4.5 5,0.5 -3.8,3.3 1.2,4.9 -4.4,-2.6 -4.4,2.6 1.2,-4.9 -3.8,-3.3 5,-0.5 z" '
            'fill="%s"/>' % (OUTLINE, face, OUTLINE, edge, edge))


# Where a loading picture draws a level's field: the whole width, below the
# mountains' foot.
LOADING_FIELD = (0, 230, 800, 370)


def loading_scene(seed, level, heading, subtitle, foreground=""):
    """The level's landscape with its whole field across the lower part, the
    factories on it, the airship, what is given in front of the field, and a
    heading and a subtitle on a plate."""
    body = defs() + embed(art.sky_svg(seed, level.palette), 0, 0, 800, 600)
    body += embed(art.mountains_svg(seed + 1, level.palette), 0, 150, 800, 450)
    body += level.field(*LOADING_FIELD, 4)
    body += airship(400, 220, 0.9, -3)
    body += foreground
    body += panel(150, 30, 500, 110)
    body += title(400, 90, 46, heading)
    body += text(400, 122, 20, subtitle, fill=PAPER, font=SANS)
    return body + frame(800, 600)


def loading_picture(n, level):
    """A campaign level's loading picture: its number and name on the plate."""
    return loading_scene(level.seed(), level, "Level %d" % (n + 1), level.name)


def tutorial_loading_picture(n, level):
    """A lesson's loading picture: the unit that the lesson is about standing
    on the ridge before the enemy's factory, its feet on the turf, and the
    lesson's number and name on the plate."""
    name, side, scale = TUTORIAL_SUBJECTS[n]
    h = units.OBJECTS[name]["size"][1]
    hot_y = units.OBJECTS[name]["hot"][1]
    x = 540
    y = level.ground_at(*LOADING_FIELD, x) - (h - hot_y) * scale + 6
    subject = unit(name, "idling", side, x, y, scale, mirror=side == "bad")
    return loading_scene(level.seed() + 7 * n, level, "Lesson %d" % (n + 1),
                         TUTORIAL_LABELS[n].split(". ", 1)[1], subject)


def page(heading, lines, seed):
    body = defs() + landscape(seed)
    body += panel(70, 60, 660, 470)
    body += title(400, 120, 44, heading)
    y = 170
    for line in lines:
        if line.startswith("#"):
            y += 10 if y > 170 else 0
            body += text(110, y, 21, line[1:], fill=BRASS_LIGHT, anchor="start")
            y += 32
        else:
            body += text(110, y, 17, line, fill=PAPER, anchor="start", font=SANS)
            y += 26
    return body + frame(800, 600)


def stats_background():
    body = defs() + landscape(53)
    body += panel(20, 24, 760, 506)
    body += title(400, 56, 28, "After the battle")
    for i, label in enumerate(STATS_ROWS):
        y = STATS_TOP + STATS_ROW_STEP * i
        body += text(140, y - 4, 12, label, fill=BRASS_LIGHT, anchor="start", font=SANS)
        # Two grooves that the side's bars run in.
        for dy in (0, 17):
            body += ('<rect x="138" y="%d" width="640" height="%d" fill="#000" fill-opacity="0.35"/>'
                     % (y + dy - 1, STATS_BAR[1] + 2))
    body += text(150, 556, 14, "green: your works", fill="#8fd36f", anchor="start", font=SANS,
                 stroke=OUTLINE, weight=3)
    body += text(320, 556, 14, "purple: the enemy", fill="#c39be0", anchor="start", font=SANS,
                 stroke=OUTLINE, weight=3)
    body += text(150, 576, 14, "light: lost, dark: still standing", fill=PAPER, anchor="start",
                 font=SANS, stroke=OUTLINE, weight=3)
    return body + frame(800, 600)


def stats_bar(colour):
    w, h = STATS_BAR
    return ('<rect x="0" y="0" width="%d" height="%d" fill="%s"/>'
            '<rect x="0" y="0" width="%d" height="3" fill="#fff" fill-opacity="0.25"/>'
            '<rect x="0" y="%d" width="%d" height="3" fill="#000" fill-opacity="0.25"/>'
            % (w, h, colour, w, h - 3, w))


def stats_digit(digit, colour):
    return text(STATS_DIGIT[0] / 2, 12, 14, str(digit), fill=colour, font=SANS + ' font-weight="bold"')


HELP = ["#Win the level",
        "Get your units into the enemy's factory before theirs get into yours.",
        "#Your airship",
        "Fly it over the field, watch its fuel, and use its magnet to lift",
        "your units, carry them over the hills and drop them where they fight.",
        "#Your factory",
        "Money flows in while you play. Buy units with the buttons along the",
        "top of the screen; each comes out of your factory when it is built.",
        "#Keys",
        "Escape pauses the game. Left or Backspace leaves this page."]

SLOW_DRAWING = ["#This machine draws the game slowly",
                "It managed fewer than ten pictures a second, so the airships",
                "will stutter and the controls will answer late.",
                "#What helps",
                "Close other programs, and make sure the graphics driver of your",
                "system is installed; Help opens our support page about it.",
                "#Your choice",
                "Continue plays anyway; Quit ends the game."]

CREDITS = ["#Made by",
           "The Gearhaven team, with tools of its own.",
           "#Pictures",
           "Drawn as SVG and rendered with rsvg-convert at build time.",
           "#Lettering",
           "The DejaVu fonts.",
           "#Sound and music",
           "Generated with SoX and the Vorbis tools.",
           "#Thanks",
           "To everyone who flies an airship into the wind."]


# --- the skirmish setup ----------------------------------------------------------
# Places match resources/Skirmish/SkirmishMenu.txt and the level list that the
# screen makes at (9, 162), 289 x 150.

SKIRMISH_CONTROL = (160, 30)
SKIRMISH_TOGGLE = (78, 30)
SKIRMISH_SLIDER = (160, 22)
# (sprite file name, frame labels in frame order)
SKIRMISH_CONTROLS = [("purchase", ["Number keys", "Keypad", "Computer", "Mouse"]),
                     ("movement", ["Arrow keys", "Mouse", "Computer"]),
                     ("cashflow", ["Low", "Normal", "High"])]
SKIRMISH_UNITS = [("infantry", "Infantry"), ("tank", "Tanks"), ("flaktruck", "Flak"),
                  ("balloon", "Balloons"), ("gyro", "Gyros"), ("buster", "Busters")]
SKIRMISH_COLUMNS = (425, 610)
SKIRMISH_ROWS = [(190, "Buying"), (228, "Flying"), (266, "Cash flow"), (306, "Strength"),
                 (348, "Units")]
SKIRMISH_HELP = ["Click a control to change it.", "Side 1 is yours; side 2 is the",
                 "enemy: the computer plays it", "unless you give it keys of its own.",
                 "A level opens here once the", "campaign has reached it. Levels",
                 "of your own go in a folder", "\"extra levels\" beside the game."]


def skirmish_pictures():
    out = [("Skirmish/background.jpg", 800, 600, False),
           ("Skirmish/loading.jpg", 800, 600, False),
           ("Skirmish/preview_locked.jpg", PREVIEW[0], PREVIEW[1], False),
           ("Skirmish/preview_none.jpg", PREVIEW[0], PREVIEW[1], False),
           ("Skirmish/rangegroove.bbq", SKIRMISH_SLIDER[0], SKIRMISH_SLIDER[1], True),
           ("Skirmish/rangefill.bbq", SKIRMISH_SLIDER[0], SKIRMISH_SLIDER[1], True)]
    for name, labels in SKIRMISH_CONTROLS:
        out += [("Skirmish/%s_%d.bbq" % (name, n), SKIRMISH_CONTROL[0], SKIRMISH_CONTROL[1], True)
                for n in range(len(labels))]
    for name, _ in SKIRMISH_UNITS:
        out += [("Skirmish/%s_%d.bbq" % (name, n), SKIRMISH_TOGGLE[0], SKIRMISH_TOGGLE[1], True)
                for n in range(2)]
    return out


def skirmish_background():
    body = defs() + landscape(67)
    body += title(400, 40, 34, "Skirmish")
    # The previews' frame, and the paper the list is written on.
    body += ('<rect x="5" y="48" width="790" height="96" rx="6" fill="%s" stroke="%s" stroke-width="3"/>'
             % (SOOT, BRASS))
    body += ('<rect x="4" y="148" width="300" height="170" rx="8" fill="url(#paper)" stroke="%s" '
             'stroke-width="3"/>' % OUTLINE)
    body += text(154, 160, 11, "Levels", fill=BRASS_DARK, font=SANS)
    body += panel(4, 324, 300, 204)
    for i, line in enumerate(SKIRMISH_HELP):
        body += text(22, 354 + 22 * i, 14, line, fill=PAPER, anchor="start", font=SANS)
    body += panel(308, 148, 478, 384)
    for x, heading in zip(SKIRMISH_COLUMNS, ("Side 1: you", "Side 2: the enemy")):
        body += text(x + 80, 180, 16, heading, fill=BRASS_LIGHT)
    for y, label in SKIRMISH_ROWS:
        body += text(322, y + 20, 14, label, fill=PAPER, anchor="start", font=SANS)
    body += skirmish_slider_marks()
    return body + frame(800, 600, ((18, 582), (782, 582)))


def skirmish_slider_marks():
    """The strength sliders' marks at half, normal and double, under their
    grooves: inside a groove the copper fill would cover them."""
    w, h = SKIRMISH_SLIDER
    y = SKIRMISH_ROWS[3][0] + h + 11
    body = ""
    for left in SKIRMISH_COLUMNS:
        for x, mark in ((12, "1/2"), (w / 2, "1"), (w - 12, "2")):
            body += ('<rect x="%s" y="%d" width="2" height="3" fill="%s"/>'
                     % (f(left + x - 1), y - 11, BRASS_DARK))
            body += text(left + x, y, 11, mark, fill=PAPER, font=SANS)
    return body


def skirmish_control(label):
    w, h = SKIRMISH_CONTROL
    return defs() + plate(w, h, label, 15)


def skirmish_toggle(label, on):
    """A unit switch: a lit brass plate when the side may buy the unit, a
    dark one with a red lamp when not. The label is sized so that the longest
    ("Balloons") keeps clear of the lamp and the rim."""
    w, h = SKIRMISH_TOGGLE
    fill, ink, lamp = ("url(#brass)", SOOT, "#7bd45a") if on else ("url(#soot)", "#8a7e70", "#b8432a")
    return (defs() + '<rect x="2" y="2" width="%s" height="%s" rx="7" fill="%s" stroke="%s" '
            'stroke-width="2.5"/><circle cx="12" cy="%s" r="5" fill="%s" stroke="%s" stroke-width="1.5"/>%s'
            % (f(w - 4), f(h - 4), fill, OUTLINE, f(h / 2), lamp, OUTLINE,
               text(w / 2 + 7, h / 2 + 4.5, 11.5, label, ink, font=SANS)))


def skirmish_groove():
    """The strength slider's groove; its marks are on the background."""
    w, h = SKIRMISH_SLIDER
    return defs() + ('<rect x="1" y="1" width="%s" height="%s" rx="5" fill="url(#soot)" stroke="%s" '
                     'stroke-width="2"/>' % (f(w - 2), f(h - 2), OUTLINE))


def skirmish_fill():
    w, h = SKIRMISH_SLIDER
    return defs() + ('<rect x="1" y="1" width="%s" height="%s" rx="5" fill="url(#copper)" stroke="%s" '
                     'stroke-width="2"/><rect x="4" y="4" width="%s" height="4" rx="2" fill="#fff" '
                     'fill-opacity="0.3"/>' % (f(w - 2), f(h - 2), OUTLINE, f(w - 8)))


def skirmish_loading():
    body = defs() + landscape(71)
    # The two sides' airships face each other.
    body += ('<g transform="translate(240,260) scale(-1,1)">%s</g>' % airship(0, 0, 0.8, 4))
    body += airship(560, 230, 0.8, 4)
    body += panel(200, 40, 400, 110)
    body += title(400, 100, 46, "Skirmish")
    body += text(400, 132, 18, "The level is being built", fill=PAPER, font=SANS)
    return body + frame(800, 600)


def skirmish_locked():
    w, h = PREVIEW
    body = '<rect width="%d" height="%d" fill="url(#soot)"/>' % (w, h)
    body += ('<rect x="40" y="36" width="34" height="30" rx="4" fill="url(#brass)" stroke="%s" stroke-width="3"/>'
             '<path d="M46,36 v-8 a11,11 0 0,1 22,0 v8" fill="none" stroke="%s" stroke-width="5"/>'
             % (OUTLINE, BRASS_DARK))
    body += text(100, 40, 20, "Locked", fill=BRASS_LIGHT, anchor="start")
    body += text(100, 64, 15, "Reach this level in the campaign to play it here.", fill=PAPER,
                 anchor="start", font=SANS)
    return defs() + body


def skirmish_no_preview():
    w, h = PREVIEW
    body = embed(art.sky_svg(29), 0, 0, w, h)
    body += text(12, 34, 20, "A level of your own", fill=PAPER, anchor="start", stroke=OUTLINE, weight=3)
    body += text(12, 62, 14, "Put a preview.jpg of 780 x 86 pixels in its folder to show it here.",
                 fill=PAPER, anchor="start", font=SANS, stroke=OUTLINE, weight=3)
    return defs() + body


def skirmish_documents():
    docs = {"Skirmish/background.jpg": skirmish_background(),
            "Skirmish/loading.jpg": skirmish_loading(),
            "Skirmish/preview_locked.jpg": skirmish_locked(),
            "Skirmish/preview_none.jpg": skirmish_no_preview(),
            "Skirmish/rangegroove.bbq": skirmish_groove(),
            "Skirmish/rangefill.bbq": skirmish_fill()}
    for name, labels in SKIRMISH_CONTROLS:
        for n, label in enumerate(labels):
            docs["Skirmish/%s_%d.bbq" % (name, n)] = skirmish_control(label)
    for name, label in SKIRMISH_UNITS:
        for n in range(2):
            docs["Skirmish/%s_%d.bbq" % (name, n)] = skirmish_toggle(label, n == 1)
    return docs


# --- making them ----------------------------------------------------------------

def documents(levels, lessons, places, tutorial):
    """Resource name -> SVG body, for every picture."""
    docs = {"MainMenu/background.jpg": main_menu(),
            "MapScreen/map.jpg": map_screen(places),
            "MapScreen/x.bbq": cross(),
            "Frontend/back.bbq": small_button("Back"),
            "Frontend/play.bbq": small_button("Play"),
            "Frontend/onward.bbq": small_button("Onward"),
            "Frontend/loading.bbq": name_plate("Loading...", 22, dark=True),
            "Frontend/choosedifficulty.jpg": name_plate("Choose a difficulty", 20, dark=True),
            "Frontend/clicktocontinue_0.bbq": name_plate("Click to continue", 20, dark=True),
            "Frontend/clicktocontinue_1.bbq": name_plate("Click to continue", 20),
            "Help/help.jpg": page("How to play", HELP, 77),
            "Credits/credits.jpg": page("Credits", CREDITS, 91),
            "StatsScreen/background.jpg": stats_background(),
            "Options/background.jpg": options_background(),
            "Options/panel.bbq": rows_panel(OPTIONS_PANEL, "", 0, OPTIONS_ROWS),
            "Options/magnetbutton.bbq": label("Magnet button", 22),
            "PauseMenu/panel.bbq": rows_panel(PAUSE_PANEL, "Paused", 52, PAUSE_ROWS),
            "LowFps/warning.jpg": page("Slow drawing", SLOW_DRAWING, 37),
            "SplashScreen/splash_0.bbq": splash(0.0),
            "SplashScreen/splash_1.bbq": splash(0.13),
            "Frontend/switch_0.bbq": switch(False),
            "Frontend/switch_1.bbq": switch(True)}
    for name in SMALL_BUTTONS:
        docs["Frontend/%s.bbq" % button_file(name)] = small_button(name)
    for bar, folder, colour, ink in STATS_SHADES:
        docs["StatsScreen/bar%s.jpg" % bar] = stats_bar(colour)
        for d in range(10):
            docs["StatsScreen/Numbers%s/digit_%d.bbq" % (folder, d)] = stats_digit(d, ink)
    for name in MENU_BUTTONS:
        docs["MainMenu/%s.bbq" % name.lower()] = menu_button(MENU_LABELS.get(name, name))
    docs["Tutorial/background.jpg"] = tutorial_menu(tutorial)
    for n, lesson in enumerate(TUTORIAL_LABELS):
        docs["Tutorial/tutorial%d.bbq" % n] = tutorial_button(lesson)
    for name, face, edge in MEDALS:
        docs["MapScreen/%s.bbq" % name] = medal(face, edge)
    for n in range(LEVEL_COUNT):
        docs["MapScreen/thumbnail%d.bbq" % n] = thumbnail(n, levels[n])
        docs["Level%d/loading.jpg" % n] = loading_picture(n, levels[n])
        docs["Level%d/preview.jpg" % n] = preview(levels[n])
    for n, lesson in enumerate(lessons):
        docs["TutorialLevel%d/loading.jpg" % n] = tutorial_loading_picture(n, lesson)
    for name, chevrons in DIFFICULTIES:
        docs["Frontend/%s.bbq" % name.lower()] = difficulty_button(name, chevrons)
    docs.update(skirmish_documents())
    return docs


def draw(out, converter, resources):
    levels = [Level(os.path.join(resources, "Level%d" % n, "level.txt")) for n in range(LEVEL_COUNT)]
    lessons = [Level(os.path.join(resources, "TutorialLevel%d" % n, "level.txt"))
               for n in range(len(TUTORIAL_LABELS))]
    places = thumbnail_places(os.path.join(resources, "MapScreen", "MapScreen.txt"))
    svg_dir = os.path.join(out, "svg")
    tutorial = tutorial_buttons(os.path.join(resources, "Tutorial", "TutorialMenu.txt"))
    docs = documents(levels, lessons, places, tutorial)
    for name, width, height, alpha in pictures():
        target = os.path.join(out, name)
        os.makedirs(os.path.dirname(target), exist_ok=True)
        flat = name.replace("/", "_")
        svg_path = os.path.join(svg_dir, os.path.splitext(flat)[0] + ".svg")
        png_path = os.path.join(svg_dir, os.path.splitext(flat)[0] + ".png")
        os.makedirs(svg_dir, exist_ok=True)
        art.render(art.svg_document(width, height, docs[name]), svg_path, png_path, target,
                   converter, (width, height), alpha)


def main(argv):
    if len(argv) == 2 and argv[1] == "list":
        for name, _, _, _ in pictures():
            print(name)
        return 0
    if len(argv) == 5 and argv[1] == "draw":
        draw(argv[2], argv[3], argv[4])
        return 0
    sys.stderr.write(__doc__)
    return 2


if __name__ == "__main__":
    sys.exit(main(sys.argv))
