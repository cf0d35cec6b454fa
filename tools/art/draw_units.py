#!/usr/bin/env python3
"""Draws the pictures of the units, buildings, shots and effects, and writes
their sprite files.

    draw_units.py list
        prints the frame pictures, one a line, as "<object>/<picture>.bbq"
    draw_units.py sprites <resources/sprites>
        writes the sprite files (the grammar form) into <resources/sprites>/<object>/
    draw_units.py check <resources/sprites>
        fails when a committed sprite file differs from what `sprites` writes
    draw_units.py draw <out folder> <bbq_convert> [<contact folder>]
        draws every picture into <out folder>/<object>/ and, when asked, one
        contact sheet per object (every frame on the sky, at game size and
        at twice that size) and a scene of the whole set over a strip of
        ground (scene.png, scene_2x.png) into <contact folder>

The table OBJECTS below is the one truth: each object's frame size, hot spot
(the point of the picture that lies on the body's origin), sides and
animations. The sprite files are committed so that the unit definitions can
be read beside them; the pictures are made at build time only. A picture is
drawn as SVG (kept in <out folder>/svg/), rendered with rsvg-convert and
turned into a 32-bit .bbq with our bbq_convert."""
import concurrent.futures
import os
import subprocess
import sys

# The drawing modules sit beside this script; the build runs it from the
# source tree, which must stay free of compiled files.
sys.dont_write_bytecode = True
sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))

import unit_pictures as up  # noqa: E402
from unit_shapes import PALETTES, f  # noqa: E402

GOOD_BAD = (("", "good"), ("_bad", "bad"))


def anim(state, frames, fps, hold=0, trigger=(), footstep=(), sides=None, source=None):
    """One animation: `frames` pictures shown at `fps`; the last picture is
    shown `hold` more times (a corpse that stays a while before the unit is
    removed); `source` takes the pictures of another animation's last frame."""
    return dict(state=state, frames=frames, fps=fps, hold=hold, trigger=trigger, footstep=footstep, sides=sides,
                source=source)


def soldier_states(engineer):
    return [anim("idling", 2, 2), anim("moving", 6, 10, footstep=(0, 3)), anim("aiming", 1, 0),
            anim("firing", 3, 12, trigger=(1,) if engineer else (0,)), anim("falling", 2, 8),
            anim("magneted", 2, 4), anim("dying", 6, 10, hold=10), anim("splatting", 4, 10, hold=6),
            anim("corpse", 1, 0, source="dying")]


VEHICLE_STATES = [anim("idling", 2, 3), anim("moving", 4, 12), anim("aiming", 1, 0),
                  anim("firing", 3, 12, trigger=(0,)), anim("falling", 1, 0), anim("magneted", 1, 0),
                  anim("dying", 8, 10, hold=8), anim("corpse", 1, 0, source="dying")]
AIRSHIP_STATES = [anim("idling", 4, 8), anim("moving", 4, 16), anim("fallingtodeath", 4, 8),
                  anim("dying", 8, 8, hold=2), anim("corpse", 1, 0, source="dying")]
NEUTRAL = (("", "neutral"),)


def bunker_states(kind):
    states = [anim("idling", 1, 0, sides=NEUTRAL), anim("moving", 4 if kind == "Fan" else 2, 12 if kind == "Fan" else 2)]
    if kind:
        states.append(anim("emitting", 4, 10))
    if kind in ("", "Steam"):
        states.append(anim("firing", 3, 12, trigger=(0,)))
    return states + [anim("dying", 6, 10, hold=4), anim("corpse", 1, 0, source="dying")]


TURRET_STATES = [anim("idling", 1, 0), anim("moving", 1, 0), anim("aiming", 1, 0),
                 anim("firing", 3, 12, trigger=(0,)), anim("dying", 6, 10, hold=4),
                 anim("corpse", 1, 0, source="dying")]


def thing(size, hot, draw, states, sides=GOOD_BAD, note=""):
    return dict(size=size, hot=hot, draw=draw, states=states, sides=sides, note=note)


OBJECTS = {
    "Infantry": thing((32, 32), (16, 17), lambda s, t, p: up.soldier_frame(s, t, p, False), soldier_states(False),
                      note="body 12x24 px"),
    "Engineer": thing((32, 32), (16, 17), lambda s, t, p: up.soldier_frame(s, t, p, True), soldier_states(True),
                      note="body 12x24 px; firing is the wrench at work"),
    "Tank": thing((80, 48), (40, 30), up.tank, VEHICLE_STATES, note="body 60x30 px"),
    "FlakTruck": thing((80, 56), (40, 38), up.flak_truck, VEHICLE_STATES, note="body 56x28 px"),
    "BalloonBomb": thing((56, 80), (28, 24), up.balloon_bomb,
                         [anim("idling", 4, 4), anim("moving", 4, 8), anim("falling", 1, 0), anim("dying", 6, 12)],
                         note="balloon 40x44 px centred on the origin; the bomb is its own object"),
    "AutoGyro": thing((72, 48), (36, 30), up.autogyro,
                      [anim("idling", 4, 8), anim("moving", 4, 16), anim("firing", 3, 12, trigger=(0,)),
                       anim("falling", 4, 16), anim("dying", 8, 10, hold=2), anim("corpse", 1, 0, source="dying")],
                      note="body 48x24 px"),
    "Buster": thing((48, 48), (24, 24), up.buster,
                    [anim("idling", 1, 0), anim("moving", 8, 12), anim("falling", 1, 0), anim("magneted", 1, 0),
                     anim("dying", 6, 12)], note="ball 36 px across"),
    "GoodAirShip": thing((192, 112), (96, 52), lambda s, t, p: up.airship(s, t, p, False), AIRSHIP_STATES,
                         note="body 150x70 px; also GoodAirShip_AI"),
    "BadAirShip": thing((192, 112), (96, 52), lambda s, t, p: up.airship(s, t, p, True), AIRSHIP_STATES,
                        sides=(("", "bad"),), note="body 150x70 px"),
    "Static_Factory": thing((192, 160), (96, 96), up.factory,
                            [anim("idling", 4, 4), anim("emitting", 6, 6), anim("dying", 8, 8, hold=4),
                             anim("corpse", 1, 0, source="dying")], note="body 160x128 px"),
    "Static_Bunker": thing((80, 64), (40, 40), lambda s, t, p: up.bunker("", s, t, p), bunker_states(""),
                           note="body 64x48 px"),
    "Static_SteamBunker": thing((80, 64), (40, 40), lambda s, t, p: up.bunker("Steam", s, t, p),
                                bunker_states("Steam"), note="body 64x48 px"),
    "Static_MagnetBunker": thing((80, 64), (40, 40), lambda s, t, p: up.bunker("Magnet", s, t, p),
                                 bunker_states("Magnet"), note="body 64x48 px"),
    "Static_FanBunker": thing((80, 64), (40, 40), lambda s, t, p: up.bunker("Fan", s, t, p), bunker_states("Fan"),
                              note="body 64x48 px"),
    "Static_ArtilleryTurret": thing((80, 64), (40, 44), lambda s, t, p: up.turret("Artillery", s, t, p),
                                    TURRET_STATES, note="body 64x40 px"),
    "Static_AntiAirTurret": thing((80, 64), (40, 44), lambda s, t, p: up.turret("AntiAir", s, t, p),
                                  TURRET_STATES, note="body 64x40 px"),
    "Bullet": thing((12, 6), (6, 3), up.bullet, [anim("moving", 1, 0)], note="body 6x3 px"),
    "Shell": thing((20, 10), (11, 5), up.shell, [anim("moving", 4, 12)], note="body 12x6 px"),
    "Flak": thing((16, 16), (8, 8), up.flak, [anim("moving", 4, 16)], note="body 8x6 px"),
    "Bomb": thing((16, 28), (8, 14), up.bomb, [anim("moving", 1, 0), anim("falling", 4, 10)], note="body 8x20 px"),
    "SteamPuffSmall": thing((24, 24), (12, 12), up.steam_puff(24), [anim("moving", 4, 8)], sides=NEUTRAL,
                            note="puff 16 px across"),
    "SteamPuffMedium": thing((40, 40), (20, 20), up.steam_puff(40), [anim("moving", 4, 8)], sides=NEUTRAL,
                             note="puff 28 px across"),
    "SteamPuffLarge": thing((64, 64), (32, 32), up.steam_puff(64), [anim("moving", 4, 8)], sides=NEUTRAL,
                            note="puff 44 px across"),
    "Flag": thing((24, 48), (3, 46), up.flag, [anim("idling", 1, 0, sides=NEUTRAL), anim("moving", 4, 8)],
                  note="foot of the pole on the origin"),
    "Spar": thing((24, 80), (12, 4), up.spar, [anim("idling", 1, 0), anim("emitting", 4, 12)],
                  note="hinge on the origin; magnet face 18 px wide"),
    "ExplosionSmall": thing((32, 32), (16, 16), up.burst(32), [anim("explosion", 8, 16)], sides=NEUTRAL),
    "ExplosionMedium": thing((64, 64), (32, 32), up.burst(64), [anim("explosion", 8, 16)], sides=NEUTRAL),
    "ExplosionLarge": thing((128, 128), (64, 64), up.burst(128), [anim("explosion", 8, 14)], sides=NEUTRAL),
    "Smoke": thing((32, 32), (16, 16), up.smoke, [anim("smoke", 6, 8)], sides=NEUTRAL),
    "GotoTarget": thing((64, 64), (32, 32), up.goto_target, [anim("GotoTarget", 4, 6)], sides=NEUTRAL,
                        note="drawn at half size by the game"),
}


def variants(obj, a):
    return a["sides"] or obj["sides"]


def pictures():
    """Every picture to draw: (object, picture name without extension,
    state, phase, palette)."""
    for name, obj in OBJECTS.items():
        for a in obj["states"]:
            if a["source"]:
                continue
            for suffix, palette in variants(obj, a):
                for i in range(a["frames"]):
                    yield name, "%s%s_%d" % (a["state"], suffix, i), a["state"], i / a["frames"], palette


def sprite_files():
    """The sprite files of every object: {(object, file name): text}."""
    files = {}
    for name, obj in OBJECTS.items():
        for a in obj["states"]:
            for suffix, _ in variants(obj, a):
                if a["source"]:
                    source = next(s for s in obj["states"] if s["state"] == a["source"])
                    frames = ["%s%s_%d" % (source["state"], suffix, source["frames"] - 1)]
                else:
                    frames = ["%s%s_%d" % (a["state"], suffix, i) for i in range(a["frames"])]
                    frames += [frames[-1]] * a["hold"]
                hot = "(%d,%d)" % obj["hot"]
                lines = []
                for i, frame in enumerate(frames):
                    flags = "".join(" " + word for word, which in (("trigger", a["trigger"]),
                                                                   ("footstep", a["footstep"])) if i in which)
                    lines.append("    %s.bbq%s %s\n" % (frame, flags, hot))
                side = {"": "", "_bad": ", bad side"}[suffix] if suffix in ("", "_bad") else ""
                text = ("format_version: 1\n"
                        "# %s, %s%s: %dx%d frames, hot spot on the body's origin (%s).\n"
                        "# Written by tools/art/draw_units.py (target update_unit_sprites).\n"
                        "fps: %s\nalpha: yes\nnum_frames: %d\n\nframes\n{\n%s}\n"
                        % (name, a["state"], side, obj["size"][0], obj["size"][1], obj["note"] or "centre",
                           f(a["fps"]), len(frames), "".join(lines)))
                files[(name, "%s%s.txt" % (a["state"], suffix))] = text
    return files


def svg_document(size, body):
    return ('<svg xmlns="http://www.w3.org/2000/svg" width="%d" height="%d" viewBox="0 0 %d %d">\n%s\n</svg>\n'
            % (size[0], size[1], size[0], size[1], body))


def frame_svg(name, state, t, palette):
    obj = OBJECTS[name]
    return obj["draw"](state, t, PALETTES[palette])


def render_one(job, out, converter):
    name, picture, state, t, palette = job
    size = OBJECTS[name]["size"]
    svg_dir = os.path.join(out, "svg", name)
    svg_path = os.path.join(svg_dir, picture + ".svg")
    png_path = os.path.join(svg_dir, picture + ".png")
    with open(svg_path, "w", encoding="ascii") as stream:
        stream.write(svg_document(size, frame_svg(name, state, t, palette)))
    subprocess.run(["rsvg-convert", "-w", str(size[0]), "-h", str(size[1]), "-o", png_path, svg_path], check=True)
    subprocess.run([converter, "-rgba", png_path, os.path.join(out, name, picture + ".bbq")], check=True,
                   stdout=subprocess.DEVNULL)


def draw(out, converter, contact):
    jobs = list(pictures())
    for name in OBJECTS:
        os.makedirs(os.path.join(out, name), exist_ok=True)
        os.makedirs(os.path.join(out, "svg", name), exist_ok=True)
    with concurrent.futures.ThreadPoolExecutor(max_workers=4) as pool:
        for result in [pool.submit(render_one, job, out, converter) for job in jobs]:
            result.result()
    if contact:
        os.makedirs(contact, exist_ok=True)
        for name in OBJECTS:
            draw_contact_sheet(name, [j for j in jobs if j[0] == name], os.path.join(contact, name + ".png"))
        draw_scene(os.path.join(contact, "scene.png"))


def draw_contact_sheet(name, jobs, png_path):
    """Every frame of an object on the sky, at game size and at twice that,
    with a line of ground under the ground units."""
    w, h = OBJECTS[name]["size"]
    per_row = max(1, min(len(jobs), 1400 // (2 * w + 8)))
    rows = [jobs[i:i + per_row] for i in range(0, len(jobs), per_row)]
    cell_w = 2 * w + 8
    row_h = h + 2 * h + 30
    width = per_row * cell_w + 16
    height = len(rows) * row_h + 30
    body = ['<defs><linearGradient id="sky" x1="0" y1="0" x2="0" y2="1"><stop offset="0" stop-color="#6f9fcf"/>'
            '<stop offset="1" stop-color="#cfe3f0"/></linearGradient></defs>',
            '<rect width="%d" height="%d" fill="url(#sky)"/>' % (width, height),
            '<text x="8" y="18" font-family="DejaVu Sans" font-size="13" fill="#1f1a17">%s</text>' % name]
    for r, row in enumerate(rows):
        top = 28 + r * row_h
        for c, (_, picture, state, t, palette) in enumerate(row):
            x = 8 + c * cell_w
            inner = frame_svg(name, state, t, palette)
            body.append('<svg x="%d" y="%d" width="%d" height="%d" viewBox="0 0 %d %d">%s</svg>'
                        % (x, top, w, h, w, h, inner))
            body.append('<svg x="%d" y="%d" width="%d" height="%d" viewBox="0 0 %d %d">%s</svg>'
                        % (x, top + h + 2, 2 * w, 2 * h, w, h, inner))
            body.append('<text x="%d" y="%d" font-family="DejaVu Sans" font-size="9" fill="#1f1a17">%s</text>'
                        % (x, top + 3 * h + 12, picture))
    svg_path = png_path[:-4] + ".svg"
    with open(svg_path, "w", encoding="ascii") as stream:
        stream.write(svg_document((width, height), "\n".join(body)))
    subprocess.run(["rsvg-convert", "-o", png_path, svg_path], check=True)


# A scene of the set at game size: (object, picture, x, y of the body's
# origin, mirrored). Ground units stand on the ground line at y 380.
SCENE = [("Static_Factory", "idling_0", 110, 316, False), ("Static_Factory", "emitting_bad_2", 1090, 316, True),
         ("Static_Bunker", "moving_0", 300, 356, False), ("Flag", "moving_2", 290, 332, False),
         ("Static_SteamBunker", "emitting_bad_1", 880, 356, True), ("Flag", "moving_bad_1", 890, 332, True),
         ("Static_ArtilleryTurret", "firing_0", 390, 360, False), ("Static_AntiAirTurret", "aiming_bad_0", 800, 360, True),
         ("Static_MagnetBunker", "idling_0", 640, 356, False), ("Static_FanBunker", "moving_bad_1", 960, 356, True),
         ("Infantry", "moving_1", 450, 368, False), ("Infantry", "firing_0", 470, 368, False),
         ("Engineer", "moving_4", 490, 368, False), ("Infantry", "moving_bad_3", 730, 368, True),
         ("Infantry", "corpse_bad", 700, 368, True), ("Tank", "moving_1", 550, 365, False),
         ("FlakTruck", "firing_bad_0", 680, 366, True), ("Buster", "moving_3", 600, 362, False),
         ("Tank", "corpse_bad", 760, 365, True),
         ("GoodAirShip", "moving_1", 330, 120, False), ("Spar", "emitting_2", 330, 160, False),
         ("BadAirShip", "moving_2", 870, 110, True), ("BalloonBomb", "moving_1", 560, 180, False),
         ("Bomb", "moving_0", 560, 226, False), ("AutoGyro", "firing_bad_0", 700, 200, True),
         ("Shell", "moving_0", 470, 300, False), ("Flak", "moving_1", 650, 150, False),
         ("Bullet", "moving_0", 520, 356, False), ("ExplosionMedium", "explosion_3", 760, 250, False),
         ("SteamPuffMedium", "moving_2", 905, 300, False), ("GotoTarget", "GotoTarget_0", 200, 200, False)]


def draw_scene(png_path):
    """The set together over a strip of ground, to judge whether it looks like
    one game."""
    width, height = 1200, 420
    body = ['<defs><linearGradient id="sky" x1="0" y1="0" x2="0" y2="1"><stop offset="0" stop-color="#6f9fcf"/>'
            '<stop offset="1" stop-color="#d9e8f0"/></linearGradient></defs>',
            '<rect width="%d" height="%d" fill="url(#sky)"/>' % (width, height),
            '<rect y="380" width="%d" height="40" fill="#6b4429"/><rect y="380" width="%d" height="6" fill="#7fa044"/>'
            % (width, width)]
    frames = {(j[0], j[1]): j[2:] for j in pictures()}
    for name, picture, x, y, mirrored in SCENE:
        if picture.startswith("corpse"):
            dying = next(a for a in OBJECTS[name]["states"] if a["state"] == "dying")
            state, t = "dying", (dying["frames"] - 1) / dying["frames"]
            palette = "bad" if picture.endswith("_bad") else "good"
        else:
            state, t, palette = frames[(name, picture)]
        w, h = OBJECTS[name]["size"]
        hx, hy = OBJECTS[name]["hot"]
        inner = frame_svg(name, state, t, palette)
        if name == "GotoTarget":
            w, h, hx, hy = w // 2, h // 2, hx // 2, hy // 2
        flip = "translate(%d 0) scale(-1 1)" % (2 * x) if mirrored else ""
        body.append('<g transform="%s"><svg x="%d" y="%d" width="%d" height="%d" viewBox="0 0 %d %d">%s</svg></g>'
                    % (flip, x - hx, y - hy, w, h, *OBJECTS[name]["size"], inner))
    svg_path = png_path[:-4] + ".svg"
    with open(svg_path, "w", encoding="ascii") as stream:
        stream.write(svg_document((width, height), "\n".join(body)))
    subprocess.run(["rsvg-convert", "-o", png_path, svg_path], check=True)
    subprocess.run(["rsvg-convert", "-z", "2", "-o", png_path[:-4] + "_2x.png", svg_path], check=True)


def main(argv):
    if len(argv) == 2 and argv[1] == "list":
        for name, picture, _, _, _ in pictures():
            print("%s/%s.bbq" % (name, picture))
        return 0
    if len(argv) == 3 and argv[1] in ("sprites", "check"):
        stale = []
        for (name, file_name), text in sorted(sprite_files().items()):
            target = os.path.join(argv[2], name, file_name)
            if argv[1] == "sprites":
                os.makedirs(os.path.dirname(target), exist_ok=True)
                with open(target, "w", encoding="ascii", newline="\n") as stream:
                    stream.write(text)
            elif not os.path.exists(target) or open(target, encoding="ascii").read() != text:
                stale.append(target)
        for target in stale:
            print("draw_units: %s is out of date; build the target update_unit_sprites" % target)
        return 1 if stale else 0
    if len(argv) in (4, 5) and argv[1] == "draw":
        draw(argv[2], argv[3], argv[4] if len(argv) == 5 else None)
        return 0
    sys.stderr.write(__doc__)
    return 2


if __name__ == "__main__":
    sys.exit(main(sys.argv))
