#!/usr/bin/env python3
"""Writes the campaign's level files, Level1 to Level16, from the table below.

    make_levels.py <resources folder>

Level0, the first battle, is written by hand; the others are laid out here
so that their terrain, menus and opponents rise together from level to level.
Each level's terrain is a row of key points (x, height in pixels) joined by
smooth slopes; two key points one node apart make a cliff. The ground under
each factory is flattened 128 pixels to either side, and the factory's centre
stands 60 pixels above it (half its 120-pixel body). The pictures and music
that the files name are made at build time (tools/art, tools/sound_gen); the
sky, mountains and hills come from one of the shared landscapes in
resources/Landscapes, the music from resources/music.
"""
import math
import os
import sys

TILE = 512
SPACING = 32
HILL_TILES = 4
FACTORY_HALF_HEIGHT = 60
FLAT_REACH = 128
HIGHEST_GROUND = 340
# The minimap shows the whole level 100 pixels high (the play field is 500)
# across the 800-pixel screen, so no level may be wider.
WIDEST = 800 * 500 // 100
UNITS = ["infantry", "engineer", "tank", "flakTruck", "balloon", "autoGyro", "buster"]
CAPABILITIES = ["putInfantryInBunker", "dropInfantryOnArtillery", "putEngineerInTurret",
                "putEngineerInFactory", "killEnemyTanks", "killEnemyInfantry",
                "carryFlakTruckOffensively", "carryFlakTruckDefensively"]

# The level on which each product first appears on the player's menu and on
# the opponent's: the player always meets a unit one level before facing it.
GOOD_UNLOCK = {"infantry": 1, "engineer": 1, "tank": 2, "flakTruck": 3, "balloon": 4,
               "autoGyro": 6, "buster": 9}
BAD_UNLOCK = {"infantry": 1, "engineer": 1, "tank": 3, "flakTruck": 4, "balloon": 5,
              "autoGyro": 8, "buster": 10}
# The level from which the opponent's airship does each task; it has no
# bunkers or turrets to man, so those tasks stay off.
CAPABILITY_FROM = {"putEngineerInFactory": 1, "killEnemyInfantry": 2, "killEnemyTanks": 3,
                   "carryFlakTruckDefensively": 5, "carryFlakTruckOffensively": 8}

# number, name, landscape, music, tiles, (good x, ground), (bad x, ground),
# key points, intent.
LEVELS = [
    (1, "Cogwheel Meadows", "Meadow", "meadow", 5, (480, 110), (2080, 110),
     [(0, 150), (700, 110), (1000, 150), (1300, 120), (1600, 140), (1850, 110), (2300, 110), (2560, 160)],
     "Teaches flying and the magnet on gentle, open ground: only infantry and\n"
     "engineers on either side, a slow opponent that only goes for the factory."),
    (2, "Tinker's Vale", "Meadow", "meadow", 6, (448, 180), (2560, 180),
     [(0, 230), (700, 180), (950, 120), (1300, 50), (1700, 60), (2100, 130), (2350, 180), (3072, 240)],
     "Teaches carrying units over a wide valley: tanks come onto the player's\n"
     "menu, and the opponent starts to hunt infantry."),
    (3, "Copperleaf Ridge", "Autumn", "harvest", 6, (416, 100), (2624, 120),
     [(0, 140), (700, 100), (1100, 290), (1300, 260), (1560, 150), (1800, 170), (2050, 270), (2350, 130),
      (3072, 160)],
     "Teaches that ridges stop ground units: two ridges that tanks must be\n"
     "lifted over; flak trucks for the player, tanks for the opponent."),
    (4, "Millrace Hollow", "Autumn", "harvest", 6, (480, 200), (2496, 210),
     [(0, 260), (700, 200), (950, 90), (1200, 30), (1500, 40), (1800, 100), (2100, 160), (2300, 210),
      (3072, 250)],
     "Teaches balloons over a deep hollow between two high banks; the\n"
     "opponent gets flak trucks to answer them."),
    (5, "Harvest Plateau", "Autumn", "harvest", 7, (448, 140), (3072, 260),
     [(0, 180), (800, 140), (1000, 220), (1300, 220), (1400, 150), (1700, 150), (2000, 200), (2500, 200),
      (2750, 260), (3584, 300)],
     "The first test: the enemy factory sits on a high plateau at the far end\n"
     "of a long field; the opponent carries flak trucks to defend it."),
    (6, "Rustwood Cliffs", "Autumn", "harvest", 7, (480, 120), (3200, 180),
     [(0, 120), (900, 120), (932, 250), (1300, 250), (1332, 120), (1700, 120), (2100, 140), (2132, 280),
      (2500, 280), (2532, 180), (3584, 200)],
     "Tests lifting: sheer cliffs cut the field into shelves that no tank\n"
     "climbs; autogyros join the player's menu."),
    (7, "Frostgear Pass", "Snow", "frost", 6, (448, 230), (2624, 230),
     [(0, 280), (700, 230), (1000, 320), (1200, 260), (1560, 160), (1900, 250), (2150, 330), (2400, 230),
      (3072, 300)],
     "Tests flying low: two high peaks guard a narrow pass between the\n"
     "factories, both on high shoulders of the mountain."),
    (8, "Icebound Works", "Snow", "frost", 7, (512, 90), (3136, 150),
     [(0, 160), (800, 90), (1100, 200), (1400, 180), (1700, 120), (2000, 240), (2300, 240), (2600, 140),
      (2900, 150), (3584, 220)],
     "Tests defence: the opponent now carries flak trucks into the attack and\n"
     "buys autogyros; a rolling field of drifts between the works."),
    (9, "Whitecap Steppes", "Snow", "frost", 7, (480, 100), (3192, 220),
     [(0, 140), (700, 100), (964, 100), (996, 140), (1488, 140), (1520, 180), (2012, 180), (2044, 220),
      (2800, 220), (3584, 260)],
     "Tests endurance: a long climb of low steps across the field up to\n"
     "the enemy; busters join the player's menu."),
    (10, "Glacier Stair", "Snow", "frost", 7, (448, 220), (3136, 300),
     [(0, 260), (700, 220), (900, 170), (932, 120), (1300, 60), (1700, 60), (2000, 160), (2032, 230),
      (2500, 230), (2532, 300), (3584, 330)],
     "Tests everything so far: down a stair of ice into a basin and up two\n"
     "cliffs to a fortress plateau; the opponent gets busters."),
    (11, "Cinder Flats", "Soot", "foundry", 6, (480, 120), (2560, 120),
     [(0, 150), (700, 120), (900, 110), (1000, 60), (1100, 110), (1400, 130), (1560, 125), (1750, 60),
      (1850, 120), (2200, 120), (3072, 150)],
     "Hard, short and open: shell-torn flats where the opponent's full army\n"
     "meets the player's head on and buys quickly."),
    (12, "Slagheap Rise", "Soot", "foundry", 7, (448, 100), (3072, 200),
     [(0, 130), (700, 100), (900, 240), (1100, 110), (1400, 150), (1700, 200), (1900, 300), (2100, 200),
      (2400, 320), (2700, 200), (3584, 260)],
     "Hard: heaps of slag rise toward the enemy, each higher than the last,\n"
     "so every attack must be flown in."),
    (13, "Smokestack Gorge", "Soot", "foundry", 7, (512, 220), (3136, 240),
     [(0, 260), (876, 220), (908, 80), (1052, 20), (1312, 20), (1488, 100), (1752, 260), (2012, 300),
      (2188, 300), (2220, 120), (2452, 60), (2712, 60), (2888, 180), (3584, 280)],
     "Hard: two gorges with cliff walls split a wide field; ground units that\n"
     "fall in are lost to the fight."),
    (14, "Greyhedge Downs", "Meadow", "meadow", 7, (448, 150), (3136, 170),
     [(0, 200), (700, 150), (1000, 300), (1300, 160), (1560, 120), (1900, 320), (2200, 180), (2500, 300),
      (2800, 170), (3584, 220)],
     "Hard: back on the downs, big rolling hills hide each side's army from\n"
     "the other; a fast opponent with every unit."),
    (15, "Ashfall Crags", "Soot", "foundry", 7, (480, 180), (3136, 300),
     [(0, 220), (788, 180), (820, 300), (1052, 300), (1084, 140), (1488, 140), (1664, 260), (1696, 340),
      (1924, 340), (1956, 200), (2364, 200), (2540, 300), (3584, 330)],
     "Very hard: crags and sheer walls up to a high enemy plateau, an\n"
     "opponent that buys big groups quickly."),
    (16, "Gearhaven Foundry", "Soot", "foundry", 7, (448, 120), (3192, 320),
     [(0, 160), (612, 120), (876, 200), (1140, 100), (1400, 100), (1576, 200), (1840, 260), (1872, 180),
      (2100, 180), (2364, 320), (2624, 260), (2888, 320), (3584, 340)],
     "The finale, hard at Hero: the enemy's foundry on the highest ground of\n"
     "the campaign, the fastest buying and the largest groups."),
]


def smooth(a, b, t):
    return a + (b - a) * (1 - math.cos(math.pi * t)) / 2


def terrain(width, keys, factories, seed):
    """Node heights along the key points, with a gentle ripple, flat under
    the factories."""
    heights = []
    for i in range(width // SPACING + 1):
        x = i * SPACING
        for (x0, h0), (x1, h1) in zip(keys, keys[1:]):
            if x0 <= x <= x1:
                h = smooth(h0, h1, (x - x0) / (x1 - x0))
                break
        if x1 - x0 > SPACING:
            h += 5 * math.sin(i * 0.55 + seed) + 3 * math.sin(i * 1.7 + seed * 2)
        for fx, fh in factories:
            if abs(x - fx) <= FLAT_REACH:
                h = fh
        heights.append(int(round(min(max(h, 10), HIGHEST_GROUND))))
    return heights


def menu(unlock, number):
    return {unit: int(number >= unlock[unit]) for unit in UNITS}


def groups(number, bad_menu):
    """The opponent's buying: pairs early, mixed squads later."""
    can = [unit for unit in UNITS if bad_menu[unit]]
    out = [["engineer"], ["infantry", "infantry"]]
    if number >= 3:
        out.append(["infantry", "engineer"])
    if "tank" in can:
        out.append(["tank"])
        out.append(["tank", "engineer"] if number < 9 else ["tank", "tank", "engineer"])
    if "flakTruck" in can:
        out.append(["flakTruck"])
    if "balloon" in can:
        out.append(["balloon"])
    if "autoGyro" in can:
        out.append(["autoGyro", "infantry"])
    if "buster" in can:
        out.append(["buster"])
    if number >= 11:
        out.append(["infantry", "infantry", "infantry", "engineer"])
    if number >= 14:
        out.append(["tank", "flakTruck", "engineer", "engineer"])
    return out


def block(kind, key, values):
    body = "".join("\t%s\n" % v for v in values)
    return "list %s %s\n{\n%s}\n" % (kind, key, body)


def factory(team, x, ground):
    matrix = [1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, x, ground + FACTORY_HALF_HEIGHT, 0, 1]
    return ("\t{\n\t\tstring teamName:\t\"%s\"\n\t\tstring type:\t\"Static_Factory\"\n"
            "\t\tint priority:\t0\n\t\tlist float matrix\n\t\t{\n%s\t\t}\n\t}\n"
            % (team, "".join("\t\t\t%s\n" % v for v in matrix)))


def level_text(entry):
    number, name, landscape, music, tiles, good, bad, keys, intent = entry
    width = tiles * TILE
    if width > WIDEST:
        sys.exit("Level%d is %d pixels wide; the minimap shows at most %d" % (number, width, WIDEST))
    heights = terrain(width, keys, [good, bad], number)
    good_menu = menu(GOOD_UNLOCK, number)
    bad_menu = menu(BAD_UNLOCK, number)
    out = "// Level %d, %s (%s landscape, %d pixels wide).\n" % (number, name, landscape.lower(), width)
    out += "".join("// %s\n" % line for line in intent.split("\n"))
    out += "// Written by tools/levels/make_levels.py; edit the table there.\n"
    out += 'string music:\t"../music/%s.ogg"\n' % music
    out += 'string skyLayer:\t"../Landscapes/%s/sky.jpg"\n' % landscape
    out += 'string mountainsLayer:\t"../Landscapes/%s/mountains.bbq"\n' % landscape
    out += block("string", "foreground", ['"ground_%d.bbq"' % i for i in range(tiles)])
    out += block("string", "midground",
                 ['"../Landscapes/%s/hills_%d.bbq"' % (landscape, i) for i in range(HILL_TILES)])
    out += "float midgroundScrollRatio:\t0.3\n"
    out += "int nodeSpacing:\t%d\n" % SPACING
    out += block("int", "nodeHeights", heights)
    out += "list struct placedObjects\n{\n%s%s}\n" % (factory("team_good", *good), factory("team_bad", *bad))
    for key, products in (("goodPurchaseMenu", good_menu), ("badPurchaseMenu", bad_menu)):
        out += "struct %s\n{\n%s}\n" % (key, "".join("\tint %s:\t%d\n" % (u, products[u]) for u in UNITS))
    out += "bool enemyAirship:\ttrue\n"
    out += "struct AI_COMPONENT_Capabilities\n{\n%s}\n" % "".join(
        "\tbool %s:\t%s\n" % (c, "true" if number >= CAPABILITY_FROM.get(c, 99) else "false")
        for c in CAPABILITIES)
    out += "float purchaseTimePerUnit:\t%.1f\n" % (12.0 - 0.5 * number)
    out += "bool enemyBuy:\ttrue\n"
    out += "list list string purchaseGroups\n{\n%s}\n" % "".join(
        "\t{\n%s\t}\n" % "".join('\t\t"%s"\n' % u for u in g) for g in groups(number, bad_menu))
    return out


def main(argv):
    if len(argv) != 2:
        sys.exit(__doc__)
    resources = argv[1]
    loading = open(os.path.join(resources, "Level0", "loading.txt"), encoding="ascii").read()
    for entry in LEVELS:
        folder = os.path.join(resources, "Level%d" % entry[0])
        os.makedirs(folder, exist_ok=True)
        with open(os.path.join(folder, "level.txt"), "w", encoding="ascii") as stream:
            stream.write(level_text(entry))
        with open(os.path.join(folder, "loading.txt"), "w", encoding="ascii") as stream:
            stream.write(loading)


if __name__ == "__main__":
    main(sys.argv)
