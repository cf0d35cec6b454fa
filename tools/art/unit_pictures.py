"""The pictures of the units, buildings and effects, one drawing function per
object. Each function takes the state, the frame's phase t (0 at the first
frame, below 1 at the last) and the palette of the side, and returns the
SVG body of one frame in that object's frame space (y down). Ground units
and aircraft face right; the game mirrors them for the other direction."""
import math

from unit_shapes import (COPPER, COPPER_DARK, FIRE, GLASS, OUTLINE, SKIN, SMOKE, SOOT, STEAM, STEEL, STEEL_DARK,
                         WOOD, WRECK, circle, ellipse, explosion, f, flash, gear, group, limb, line, mix, path,
                         poly, propeller, puff, rect, rivets, rotate, rotor)

TAU = 2 * math.pi


def burnt(pal, amount):
    """The palette scorched towards the wreck colour."""
    return {k: mix(v, WRECK, amount) if v.startswith("#") else v for k, v in pal.items()}


# --- soldiers -----------------------------------------------------------------

def leg(hip, angle, bend, colour, boot):
    knee = (hip[0] + 5 * math.sin(math.radians(angle)), hip[1] + 5 * math.cos(math.radians(angle)))
    a2 = math.radians(angle - bend)
    foot = (knee[0] + 5 * math.sin(a2), knee[1] + 5 * math.cos(a2))
    return limb([hip, knee, foot], colour, 3.0) + limb([foot, (foot[0] + 1.6, foot[1])], boot, 2.4)


def soldier(pal, engineer, pose):
    """A soldier standing on y = 28, centred on x = 16.
    pose: legs (angle, bend) x2, hip drop, arm mode, flash, tool angle."""
    hip = (16, 18 + pose.get("drop", 0))
    cloth = pal["cloth"]
    boot = SOOT
    out = [leg(hip, pose["legs"][1][0], pose["legs"][1][1], pal["cloth_dark"], boot)]
    if engineer:
        out.append(rect(9.5, hip[1] - 9, 4, 7, COPPER, 1.0, 1))  # the tool pack on his back
        out.append(line((11.5, hip[1] - 9), (11.5, hip[1] - 12), STEEL_DARK, 1.2))
    out.append(leg(hip, pose["legs"][0][0], pose["legs"][0][1], cloth, boot))
    top = hip[1] - 10
    out.append(rect(12, top, 8.5, 10.5, cloth, 1.1, 2))
    out.append(rect(12, hip[1] - 1.8, 8.5, 2, pal["main"], 0.8))  # brass belt
    if not engineer:
        out.append(line((13, top + 1), (19.5, hip[1] - 2), pal["main"], 1.0))  # bandolier
    head = (16.8, top - 3.2)
    out.append(circle(head[0], head[1], 3.3, SKIN, 1.0))
    out.append(circle(head[0] + 1.6, head[1] - 0.2, 0.55, OUTLINE, 0))
    if engineer:
        out.append(path("M%s,%s a4,3.2 0 0,1 7.6,0 l1.6,0.4 z" % (f(head[0] - 3.8), f(head[1] - 0.6)),
                        pal["team"], 0.9))
        out.append(rect(head[0] - 0.5, head[1] - 2.6, 3, 1.6, "#e8d08a", 0.6, 0.8))  # goggles
    elif pal["side"] == "bad":
        out.append(poly([(head[0] - 0.9, head[1] - 3.6), (head[0], head[1] - 5.6), (head[0] + 0.9, head[1] - 3.6)],
                        pal["main"], 0.8))
        out.append(path("M%s,%s a4.2,4.2 0 0,1 8.4,0 l0,1.2 l-9.4,0 z" % (f(head[0] - 4.2), f(head[1] - 0.2)),
                        pal["main"], 1.0))
        out.append(line((head[0] - 4, head[1] - 0.4), (head[0] + 4, head[1] - 0.4), pal["team"], 1.0))
    else:
        out.append(path("M%s,%s a4.2,3.8 0 0,1 8.4,0 z" % (f(head[0] - 4.2), f(head[1] - 0.4)), pal["main"], 1.0))
        out.append(line((head[0] - 5, head[1] - 0.4), (head[0] + 5, head[1] - 0.4), pal["dark"], 1.2))
        out.append(line((head[0] - 3.5, head[1] - 1.6), (head[0] + 3.5, head[1] - 1.6), pal["team"], 1.0))
    shoulder = (16.5, top + 2.5)
    arm = pose.get("arm", "carry")
    if arm == "up":
        arms = limb([(13.5, top + 2), (10.5, top - 2.5), (8.5, top - 5.5)], cloth, 2.4)
        arms += limb([(19.5, top + 2), (22.5, top - 2.5), (24.5, top - 5.5)], cloth, 2.4)
        return arms + "".join(out)
    if arm == "out":
        out.append(limb([shoulder, (11, top + 1), (8, top + 3)], cloth, 2.4))
        out.append(limb([shoulder, (21, top + 1), (24, top + 3)], cloth, 2.4))
        return "".join(out)
    if engineer:
        angle = pose.get("tool", 40)
        hand = rotate((shoulder[0] + 6, shoulder[1]), shoulder, angle)
        tip = rotate((shoulder[0] + 12, shoulder[1]), shoulder, angle)
        out.append(limb([shoulder, hand], cloth, 2.4))
        out.append(limb([hand, tip], STEEL, 1.3))
        # The open jaw of the spanner, turned with the arm.
        jaw = [(10.5, -1.2), (13.5, -2.6), (14.6, -1.4), (12.8, -0.6), (12.8, 0.6), (14.6, 1.4), (13.5, 2.6),
               (10.5, 1.2)]
        out.append(poly([rotate((shoulder[0] + x, shoulder[1] + y), shoulder, angle) for x, y in jaw], STEEL, 0.8))
        if pose.get("flash"):
            for k in range(5):
                a = k * 1.25 + angle
                out.append(line(tip, (tip[0] + 4 * math.cos(a), tip[1] + 4 * math.sin(a)), FIRE[1], 0.9))
            out.append(circle(tip[0], tip[1], 1.3, FIRE[0], 0))
        return "".join(out)
    if arm == "aim":
        butt, muzzle = (13, top + 3.2), (27, top + 2.6)
        hand = (22, top + 3.4)
    else:
        butt, muzzle = (12.5, hip[1] + 1), (23.5, top - 4)
        hand = (18.5, top + 2.5)
    middle = ((butt[0] + muzzle[0]) / 2, (butt[1] + muzzle[1]) / 2)
    out.append(limb([middle, muzzle], STEEL_DARK, 0.9))
    out.append(limb([butt, middle], WOOD, 1.6))
    out.append(limb([shoulder, (shoulder[0] + 2, shoulder[1] + 3), hand], cloth, 2.3))
    if pose.get("flash"):
        out.append(flash(muzzle[0] + 0.6, muzzle[1], 2.1))
    return "".join(out)


def walk_pose(t):
    a = TAU * t
    return {"legs": ((26 * math.sin(a), max(0.0, 35 * math.sin(a + 1.3))),
                     (-26 * math.sin(a), max(0.0, 35 * math.sin(a + 1.3 + math.pi)))),
            "drop": 0.9 * abs(math.sin(a)) - 0.4}


STAND = {"legs": ((6, 0), (-6, 0))}


def soldier_frame(state, t, pal, engineer):
    """A frame of a soldier, one pixel lower than drawn so that his helmet
    keeps clear of the frame's top edge while he bobs."""
    return group(soldier_state(state, t, pal, engineer), "translate(0 1)")


def soldier_state(state, t, pal, engineer):
    if state == "moving":
        pose = walk_pose(t)
    elif state == "idling":
        pose = dict(STAND, drop=0.5 * t, tool=40 + 10 * t)
    elif state == "aiming":
        pose = dict(STAND, legs=((18, 10), (-14, 0)), arm="aim", tool=-10)
    elif state == "firing":
        swing = (-60, 20, 0)[int(t * 3)] if engineer else 0
        pose = dict(STAND, legs=((18, 10), (-14, 0)), arm="aim", flash=int(t * 3) == 0 or (engineer and t > 0.3),
                    tool=swing, drop=0.4 * (int(t * 3) == 1))
    elif state == "falling":
        kick = 12 * math.sin(TAU * t)
        pose = {"legs": ((28 + kick, 30), (-24 - kick, -10)), "arm": "up"}
    elif state == "magneted":
        swing = 10 * math.sin(TAU * t)
        pose = {"legs": ((swing, 8), (-swing * 0.7, 4)), "arm": "out"}
    elif state == "dying":
        return soldier_dying(t, pal, engineer)
    elif state == "splatting":
        return soldier_splat(t, pal, engineer)
    else:
        raise KeyError(state)
    return soldier(pal, engineer, pose)


def soldier_dying(t, pal, engineer):
    """Knocked backwards onto the ground, then lying still."""
    k = min(1.0, t * 1.6)
    angle = -90 * k * k
    body = soldier(pal, engineer, dict(STAND, legs=((10 * k, 20 * k), (-4, 10 * k)), arm="out" if k < 1 else "carry"))
    shift = 13 * k
    return group(body, "translate(%s,%s) rotate(%s 16 28)" % (f(shift), f(-4.5 * k), f(angle)))


def soldier_splat(t, pal, engineer):
    """Flattened by a fall from a height, with a puff of dust."""
    squash = (0.75, 0.45, 0.25, 0.2)[min(3, int(t * 4))]
    body = group(soldier(pal, engineer, dict(STAND, legs=((40, 60), (-40, 60)), arm="out")),
                 "translate(16 28) scale(%s %s) translate(-16 -28)" % (f(1 + (1 - squash) * 0.5), f(squash)))
    dust = "".join(puff(16 + dx * (4 + 8 * t), 27 - 2 * t, 2.5 + 2 * t, ("#e6dccb", "#cdbfa6", "#b3a486"), dx, 0,
                        max(0.0, 0.9 - t)) for dx in (-1, 1))
    return body + dust


# --- tracked and wheeled vehicles -------------------------------------------

def tank(state, t, pal):
    """A tracked tank of 60x30 px (x 10..70, y 15..45 of its 80x48 frame)."""
    burn = 0.0
    recoil = 0.0
    out = []
    phase = t if state == "moving" else 0.0
    if state == "firing":
        recoil = (3.5, 1.5, 0.5)[int(t * 3)]
    if state == "dying":
        burn = min(1.0, t * 2)
    p = burnt(pal, burn * 0.85)
    tilt = 0.0
    # Tracks: a long rounded band, road wheels, links that move with the phase.
    out.append(rect(8, 34, 64, 12, SOOT, 1.3, 6))
    for i in range(6):
        x = 14 + i * 10.4
        out.append(circle(x, 40, 4.2, mix(STEEL, WRECK, burn), 1.0))
        # Three spokes turned a third of a turn per cycle: the rim keeps pace
        # with the track, and the last frame runs on into the first.
        for k in range(3):
            spoke = rotate((x + 3.2, 40), (x, 40), phase * 120 + k * 120)
            out.append(line((x, 40), spoke, STEEL_DARK, 1.0))
    # Track links, 8 px apart, move 8 px per cycle: along the top forwards,
    # along the bottom backwards.
    links = "".join(rect(11 + ((j * 8 + phase * 8) % 56), 34.6, 3, 1.4, "#6a625b", 0) for j in range(7))
    out.append(links + "".join(rect(11 + ((j * 8 + 4 - phase * 8) % 56), 44.2, 3, 1.4, "#6a625b", 0)
                               for j in range(7)))
    # Hull: sloped armour, a coloured band and rivets.
    out.append(poly([(9, 35), (12, 24), (60, 24), (71, 30), (71, 35)], p["main"], 1.3))
    out.append(poly([(12, 24), (60, 24), (63, 26), (11, 26)], p["light"], 0))
    out.append(rect(12, 29, 56, 3, p["team"], 0.8))
    out.append(rivets([(14 + i * 6, 27) for i in range(9)]))
    out.append(rect(16, 19, 8, 5, p["hull2"], 1.0, 1))  # engine hatch
    out.append(rect(18, 14, 3, 5, SOOT, 0.9))  # exhaust pipe
    # Turret with barrel (recoils when firing).
    bx = 44 - recoil
    barrel_end = (72 - recoil, 17)
    turret = [limb([(bx, 18), barrel_end], mix(STEEL_DARK, WRECK, burn), 3.0),
              rect(barrel_end[0] - 4, 15.4, 4, 3.2, p["dark"], 0.9),
              path("M28,24 L30,16 Q36,10 46,13 L50,17 L50,24 Z", p["main"], 1.3),
              path("M31,16 Q36,11.5 45,14", "none", 0, 'stroke="%s" stroke-width="1.5"' % p["light"]),
              circle(38, 19, 2.2, p["team_light"], 0.8)]
    if state == "dying" and t > 0.5:
        tilt = -14
    out.append(group("".join(turret), "rotate(%s 40 24)" % f(tilt)))
    if state == "firing" and int(t * 3) == 0:
        out.append(flash(73 - recoil, 17, 3.8))
    if state == "idling":
        out.append(puff(19.5 - 2 * t, 11 - 4 * t, 2 + 1.5 * t, SMOKE, t * 5, 0.6, 0.8 - 0.5 * t))
    if state == "dying":
        if t < 0.7:
            out.append(explosion(40, 26, 18, t / 0.7, 1.0))
        out.append(puff(34 + 3 * math.sin(t * 9), 14 - 4 * t, 2.5 + 2.5 * t, SMOKE, t * 7, 0.8, 0.7))
    return "".join(out)


def flak_truck(state, t, pal):
    """A wheeled truck of 56x28 px (x 12..68, y 24..52) with a twin
    anti-aircraft gun on its bed, in an 80x56 frame."""
    burn = min(1.0, t * 2) if state == "dying" else 0.0
    p = burnt(pal, burn * 0.85)
    phase = t if state == "moving" else 0.0
    recoil = (3, 1.2, 0.4)[int(t * 3)] if state == "firing" else 0.0
    out = []
    # Gun: twin barrels raised towards the sky, on a turntable.
    pivot = (32, 30)
    gun = [limb([(0, -1.6), (24 - recoil, -1.6)], mix(STEEL_DARK, WRECK, burn), 2.2),
           limb([(0, 1.6), (22 - recoil, 1.6)], mix(STEEL, WRECK, burn), 2.2),
           rect(-5, -4.5, 10, 9, p["dark"], 1.0, 2), circle(0, 0, 2, p["team"], 0.8)]
    elevation = -55 if state != "dying" or t < 0.5 else -20
    out.append(group("".join(gun), "translate(%s %s) rotate(%s)" % (f(pivot[0]), f(pivot[1]), f(elevation))))
    if state == "firing" and int(t * 3) == 0:
        tip = rotate((pivot[0] + 25, pivot[1]), pivot, elevation)
        out.append(flash(tip[0], tip[1], 3.5, elevation))
    out.append(rect(24, 29, 16, 5, p["dark"], 1.0, 1))  # gun mount
    # Bed, cab and bonnet.
    out.append(rect(12, 33, 40, 9, p["main"], 1.3, 1))
    out.append(rect(13, 36, 38, 2.5, p["team"], 0))
    out.append(rivets([(15 + i * 5, 34.5) for i in range(8)]))
    out.append(path("M52,42 L52,26 L60,26 L63,33 L69,34 L69,42 Z", p["main"], 1.3))
    out.append(poly([(54, 28), (59, 28), (61.5, 33), (54, 33)], mix(GLASS, WRECK, burn), 1.0))
    out.append(rect(63, 36, 6, 2, COPPER, 0.8))  # radiator
    out.append(rect(13, 42, 56, 3, SOOT, 1.0))  # chassis
    for x in (20, 36, 61):
        out.append(circle(x, 46, 6, SOOT, 1.2))
        out.append(circle(x, 46, 3.2, mix(p["light"], STEEL, 0.5), 0.9))
        for k in range(3):
            spoke = rotate((x + 3, 46), (x, 46), phase * 360 + k * 120)
            out.append(line((x, 46), spoke, OUTLINE, 0.9))
    if state == "dying":
        if t < 0.7:
            out.append(explosion(40, 34, 20, t / 0.7, 2.0))
        out.append(puff(46, 22 - 6 * t, 3 + 3 * t, SMOKE, t * 6, 0.8, 0.7))
    return "".join(out)


# --- aircraft -----------------------------------------------------------------

def balloon_bomb(state, t, pal):
    """A gas balloon (about 40x44 px, centred 28,24 in a 56x80 frame) with a
    cradle under it that carries the bomb."""
    out = []
    sway = 2 * math.sin(TAU * t) if state in ("moving", "idling") else 0
    cx, cy = 28, 24
    if state == "dying":
        k = min(1.0, t * 1.5)
        shreds = []
        for i in range(7):
            a = i * TAU / 7 + 0.3
            d = 6 + 20 * k
            x, y = cx + d * math.cos(a), cy + d * math.sin(a) + 10 * k
            shreds.append(poly([rotate(q, (x, y), i * 50 + k * 90) for q in ((x - 4, y - 2), (x + 4, y - 3), (x + 2, y + 3))],
                               pal["team"] if i % 2 else pal["light"], 0.9, 'opacity="%s"' % f(1 - 0.7 * k)))
        out.append("".join(shreds))
        if t < 0.6:
            out.append(explosion(cx, cy, 16, t / 0.6, 3.0))
        out.append(cradle(cx, 60 + 10 * k, pal, 0))
        return "".join(out)
    if state == "falling":
        out.append(path("M18,30 Q14,18 24,14 Q30,10 34,16 Q42,22 38,32 Q30,40 18,30 Z", pal["light"], 1.2))
        out.append(path("M22,16 Q28,24 26,36 M30,13 Q34,24 32,36", "none", 0,
                        'stroke="%s" stroke-width="1.2"' % pal["team"]))
        out.append("".join(line((x, 34), (28 + (x - 28) * 0.3, 56), "#3b302a", 0.9) for x in (20, 36)))
        out.append(cradle(cx, 58, pal, 0))
        return "".join(out)
    out.append(ellipse(cx, cy, 19, 21, pal["light"], 1.4))
    for k in (-1, 1):
        out.append(path("M%s,%s Q%s,%s %s,%s" % (f(cx), f(cy - 21), f(cx + k * 14), f(cy), f(cx), f(cy + 21)), "none",
                        0, 'stroke="%s" stroke-width="3"' % pal["team"]))
    out.append(path("M%s,%s L%s,%s" % (f(cx), f(cy - 21), f(cx), f(cy + 21)), "none", 0,
                    'stroke="%s" stroke-width="1"' % pal["dark"]))
    out.append(ellipse(cx - 7, cy - 10, 4, 6, "#ffffff", 0, 'opacity="0.35"'))
    out.append(rect(cx - 4, cy - 22.5, 8, 3, pal["main"], 1.0, 1))  # valve cap
    out.append(rect(cx - 20, cy + 2, 40, 3, pal["main"], 1.0, 1.5))  # rigging band
    for x in (-16, -6, 6, 16):
        out.append(line((cx + x, cy + 4), (cx + x * 0.35 + sway, 56), "#3b302a", 0.9))
    out.append(cradle(cx + sway, 58, pal, t))
    return "".join(out)


def cradle(cx, y, pal, t):
    return (rect(cx - 9, y - 2, 18, 5, pal["main"], 1.1, 1)
            + rivets([(cx - 6, y + 0.5), (cx, y + 0.5), (cx + 6, y + 0.5)])
            + line((cx - 6, y + 3), (cx - 6, y + 8), STEEL_DARK, 1.5) + line((cx + 6, y + 3), (cx + 6, y + 8),
                                                                            STEEL_DARK, 1.5)
            + propeller(cx - 11, y + 0.5, 5, t / 4, COPPER, 1.8))


def autogyro(state, t, pal):
    """A one-man gyroplane of 48x24 px (x 12..60, y 18..42 of a 72x48 frame)
    with a free rotor above and a pusher propeller at the back."""
    burn = min(1.0, t * 1.5) if state == "dying" else 0.0
    p = burnt(pal, burn * 0.85)
    out = []
    if state == "dying":
        out.append('<g transform="rotate(%s 36 30) translate(0 %s)">' % (f(18 * t), f(2 * t)))
    out.append(line((36, 24), (36, 12), STEEL_DARK, 2.2))
    out.append(rotor(36, 11, 30 if state != "dying" or t < 0.5 else 14, t / 2, mix(WOOD, WRECK, burn)))
    out.append(path("M14,30 L22,27 L30,22 L48,22 Q60,24 61,31 Q58,38 46,39 L24,37 L16,34 Z", p["main"], 1.3))
    out.append(path("M30,22 L48,22 Q56,23 58,28 L32,28 Z", p["light"], 0))
    out.append(rect(22, 31, 26, 2.5, p["team"], 0))
    out.append(poly([(12, 20), (18, 20), (22, 30), (14, 31)], p["team"], 1.1))  # tail fin
    out.append(path("M36,23 Q39,17 45,18 L46,23 Z", mix(GLASS, WRECK, burn), 1.0))  # windscreen
    out.append(circle(40, 19.5, 2.6, SKIN, 0.9) + path("M37.4,19 a2.6,2.6 0 0,1 5.2,0 z", p["dark"], 0.8))
    out.append(propeller(13, 29, 8, t / 4, COPPER, 2.2))
    out.append(line((30, 39), (28, 44), STEEL_DARK, 1.3) + line((50, 38), (52, 44), STEEL_DARK, 1.3))
    out.append(circle(28, 44.5, 2.4, SOOT, 0.9) + circle(52, 44.5, 2.4, SOOT, 0.9))
    out.append(limb([(58, 33), (63, 33)], STEEL_DARK, 1.6))  # gun
    if state == "firing" and int(t * 3) == 0:
        out.append(flash(64.5, 33, 3.2))
    if state == "dying":
        out.append("</g>")
        if t < 0.6:
            out.append(explosion(40, 30, 15, t / 0.6, 4.0))
        out.append(puff(30, 24 - 8 * t, 3 + 4 * t, SMOKE, t * 8, 0.8, 0.75))
    return "".join(out)


def buster(state, t, pal):
    """An iron ball of 36 px (centred in a 48x48 frame) bound with brass hoops
    and studded with spikes, that rolls into bunkers and bursts there."""
    out = []
    if state == "dying":
        k = min(1.0, t * 1.4)
        for i in range(6):
            a = i * TAU / 6 + 0.5
            d = 4 + 18 * k
            x, y = 24 + d * math.cos(a), 24 + d * math.sin(a)
            out.append(path("M%s,%s a5,5 0 0,1 8,3 l-4,3 z" % (f(x - 4), f(y - 2)), mix(pal["dark"], SOOT, 0.5), 1.0,
                            'transform="rotate(%d %s %s)"' % (i * 60 + k * 200, f(x), f(y))))
        if t < 0.75:
            out.append(explosion(24, 24, 20, t / 0.75, 5.0))
        return "".join(out)
    turn = t * 360 if state == "moving" else 0
    spikes = []
    for i in range(8):
        a = i * 45
        base1 = rotate((24 + 16, 22), (24, 24), a)
        base2 = rotate((24 + 16, 26), (24, 24), a)
        tip = rotate((24 + 22, 24), (24, 24), a)
        spikes.append(poly([base1, tip, base2], STEEL, 1.0))
    ball = ["".join(spikes), circle(24, 24, 17, mix(pal["dark"], SOOT, 0.4), 1.4),
            path("M24,7 A17,17 0 0,1 24,41 A9,17 0 0,1 24,7 Z", pal["main"], 1.0),
            path("M7,24 A17,17 0 0,1 41,24 A17,5 0 0,1 7,24 Z", pal["team"], 1.0),
            rivets([rotate((24, 12), (24, 24), a * 90) for a in range(4)], 1.1)]
    out.append(group("".join(ball), "rotate(%s 24 24)" % f(turn)))
    out.append(ellipse(18, 17, 5, 3.5, "#ffffff", 0, 'opacity="0.3" transform="rotate(-35 18 17)"'))
    return "".join(out)


def airship(state, t, pal, bad_design):
    """An airship of 150x70 px centred on (96,52) of a 192x112 frame: the
    envelope (x 21..171, y 17..69), a gondola slung under it (to y 87) and
    the propeller at the gondola's stern."""
    falling = state in ("dying", "fallingtodeath")
    burn = min(1.0, t * 1.2) if state == "dying" else (0.35 if state == "fallingtodeath" else 0.0)
    p = burnt(pal, burn * 0.8)
    out = []
    tilt = 0.0
    if state == "fallingtodeath":
        tilt = 10 + 2 * math.sin(TAU * t)
    elif state == "dying":
        tilt = 10 + 5 * t
    out.append('<g transform="rotate(%s 96 52)">' % f(tilt))
    # Rigging, then the gondola, then the envelope over them.
    for x in (68, 84, 108, 124):
        out.append(line((x, 62), (x + (96 - x) * 0.25, 78), "#3b302a", 1.1))
    out.append(path("M62,78 L130,78 L124,90 L70,90 Z", p["hull2"], 1.4))
    out.append(rect(64, 76, 64, 4, p["main"], 1.1, 1))
    out.append("".join(circle(80 + i * 11, 84, 2.6, mix(GLASS, WRECK, burn), 0.9) for i in range(4)))
    out.append(rect(54, 80, 10, 4, p["dark"], 1.0))  # the shaft to the propeller
    out.append(propeller(52, 82, 10, t / 4, COPPER, 3.0))
    if bad_design:
        env = "M21,44 L40,22 L150,20 Q176,30 172,44 Q176,58 150,68 L40,66 Z"
    else:
        env = "M21,44 C24,26 60,17 100,17 C146,17 171,30 171,43 C171,58 146,69 100,69 C60,69 24,62 21,44 Z"
    out.append(poly([(32, 32), (14, 18), (10, 30), (26, 44)], p["team"], 1.3))  # upper fin
    out.append(poly([(32, 56), (14, 70), (10, 58), (26, 44)], p["team"], 1.3))  # lower fin
    clip = "envelope%s" % ("Bad" if bad_design else "Good")
    out.append('<defs><clipPath id="%s"><path d="%s"/></clipPath></defs>' % (clip, env))
    out.append(path(env, p["light"] if not bad_design else p["main"], 0))
    # Gores and bands that give the envelope its volume, kept inside it.
    details = []
    for y in (27, 35, 52, 60):
        details.append(path("M20,%s Q100,%s 172,%s" % (y, 2 * y - 43, y), "none", 0,
                            'stroke="%s" stroke-width="1" opacity="0.6"' % p["dark"]))
    for x in (50, 80, 112, 142):
        details.append(path("M%s,10 Q%s,44 %s,78" % (x, x + (x - 96) * 0.15, x), "none", 0,
                            'stroke="%s" stroke-width="1" opacity="0.5"' % p["dark"]))
    details.append(rect(10, 41, 170, 5, p["team"], 0))
    details.append(path("M40,25 Q100,16 150,24", "none", 0, 'stroke="#ffffff" stroke-width="3" opacity="0.3"'))
    details.append(path("M20,58 Q100,78 172,52 L172,80 L20,80 Z", OUTLINE, 0, 'opacity="0.15"'))
    out.append(group("".join(details), "", 'clip-path="url(#%s)"' % clip))
    out.append(path(env, "none", 1.8))
    out.append(path("M163,33 Q176,44 163,55 Z", p["main"], 1.2))  # the brass nose cap
    out.append(gear(100, 43.5, 7, 8, t * 45, p["main"], 1.0))
    if bad_design:
        out.append("".join(poly([(x, 21), (x + 4, 12), (x + 8, 21)], p["team"], 1.0) for x in (60, 90, 120)))
    out.append("</g>")
    if falling:
        for k in range(3):
            x = 60 + k * 35
            out.append(puff(x, 30 - 10 * ((t + k * 0.3) % 1), 5 + 6 * ((t + k * 0.3) % 1), SMOKE, k + t * 6, 0.9, 0.7))
            out.append(path("M%s,40 q-4,-10 0,-16 q4,6 6,0 q3,8 -6,16 z" % f(x + 6), FIRE[2], 0.8, 'opacity="%s"'
                            % f(0.5 + 0.5 * burn)))
        if state == "dying":
            out.append(explosion(96 + 30 * math.sin(t * 9), 46, 26, (t * 2) % 1, t * 4))
    return "".join(out)


# --- buildings ----------------------------------------------------------------

def factory(state, t, pal):
    """The works: 160x128 px centred on (96,96) of a 192x160 frame (x 16..176,
    y 32..160), with two chimneys above it and a great cog on its face."""
    burn = min(1.0, t * 1.5) if state == "dying" else 0.0
    p = burnt(pal, burn * 0.85)
    out = []
    # Chimneys, with smoke when working.
    for x in (42, 64):
        out.append(rect(x, 20, 12, 30, mix("#8b4a32", WRECK, burn), 1.4))
        out.append(rect(x - 2, 18, 16, 5, p["dark"], 1.2, 1))
        out.append("".join(line((x, y), (x + 12, y), "#5e2f20", 1, 'opacity="0.6"') for y in (20, 30, 40)))
    # The hall: brick walls, a sawtooth roof, a gable over the door.
    out.append(rect(18, 50, 156, 108, mix("#9c5a3c", WRECK, burn), 1.8))
    for row in range(13):
        y = 56 + row * 8
        out.append(line((19, y), (173, y), "#6e3b26", 1, 'opacity="0.55"'))
    out.append(path("M16,52 L40,34 L40,52 L64,34 L64,52 L88,34 L88,52 Z", p["main"], 1.5))
    out.append(path("M88,54 L132,22 L176,54 Z", p["main"], 1.6))
    out.append(path("M98,50 L132,28 L166,50 Z", p["team"], 1.0))
    out.append(rect(16, 50, 160, 6, p["dark"], 1.4))
    out.append(rect(16, 152, 160, 8, p["dark"], 1.4))
    # Windows along the hall, lit when working.
    lit = "#ffd77a" if state != "dying" else "#5a3a20"
    for x in (28, 52):
        out.append(rect(x, 66, 14, 20, lit, 1.2, 2))
        out.append(line((x + 7, 66), (x + 7, 86), OUTLINE, 1.2) + line((x, 76), (x + 14, 76), OUTLINE, 1.2))
    # Great cog, turning while the works run.
    turn = 45 * t if state in ("idling", "emitting") else 0
    out.append(gear(54, 118, 20, 10, turn * (2 if state == "emitting" else 1), p["main"], 1.4))
    out.append(gear(80, 100, 10, 8, -turn * 4, COPPER, 1.2))
    # The door: opens when a unit comes out.
    opening = math.sin(math.pi * t) if state == "emitting" else 0.0
    out.append(rect(104, 84, 56, 68, "#1c1714", 1.6, 3))
    shutter = 64 * (1 - opening)
    out.append(rect(106, 86, 52, max(2.0, shutter), p["hull2"], 1.1))
    for y in range(3, int(shutter), 6):
        out.append(line((106, 86 + y), (158, 86 + y), p["dark"], 1.0))
    if opening > 0.2:
        out.append(rect(108, 150 - 30 * opening, 48, 30 * opening, "#ffcf6a", 0, 0, 'opacity="0.35"'))
    out.append(rect(102, 72, 60, 10, p["main"], 1.2, 2))  # lintel with the side's band
    out.append(rect(106, 75, 52, 4, p["team"], 0))
    out.append(rivets([(108 + 8 * i, 152) for i in range(7)], 1.1))
    if state in ("idling", "emitting"):
        for k, x in enumerate((48, 70)):
            phase = (t + k * 0.5) % 1
            out.append(puff(x + 6 * phase, 14 - 6 * phase, 5 + 4 * phase, SMOKE, k + phase * 5, 0.9, 0.9 - 0.5 * phase))
    if state == "dying":
        for k, (x, y) in enumerate(((60, 90), (130, 110), (96, 60))):
            local = (t * 1.6 - k * 0.25)
            if 0 <= local < 1:
                out.append(explosion(x, y, 34, local, k + 1.0))
        out.append(puff(96, 40 - 20 * t, 12 + 10 * t, SMOKE, t * 3, 1.0, 0.8))
    return "".join(out)


def bunker_base(pal, burn):
    """A squat stone pillbox of 64x48 px (x 8..72, y 16..64 of an 80x64 frame)
    with a gun slit and a band in the colours of whoever holds it."""
    p = burnt(pal, burn * 0.85)
    stone = mix("#9b9487", WRECK, burn)
    dome = "M8,64 L8,40 Q10,18 40,16 Q70,18 72,40 L72,64 Z"
    out = ['<defs><clipPath id="bunkerDome"><path d="%s"/></clipPath></defs>' % dome, path(dome, stone, 0)]
    joints = []
    for y in (28, 40, 52):
        joints.append(line((4, y), (76, y), "#6f695f", 1.0, 'opacity="0.7"'))
    for k, y in enumerate((34, 46, 58)):
        for x in range(14 + 6 * (k % 2), 70, 12):
            joints.append(line((x, y - 6), (x, y), "#6f695f", 0.9, 'opacity="0.6"'))
    out.append(group("".join(joints), "", 'clip-path="url(#bunkerDome)"'))
    out.append(path(dome, "none", 1.6))
    out.append(rect(8, 42, 64, 6, p["team"], 1.1))
    out.append(rect(22, 32, 36, 6, "#1c1714", 1.2, 2))  # gun slit
    out.append(rect(32, 50, 16, 14, p["dark"], 1.2, 2))  # door
    out.append(rivets([(35, 54), (45, 54), (35, 60), (45, 60)], 0.9))
    return "".join(out)


def bunker(kind, state, t, pal):
    burn = min(1.0, t * 1.5) if state == "dying" else 0.0
    p = burnt(pal, burn * 0.85)
    out = []
    if kind == "Steam":
        out.append(rect(56, 8, 8, 14, COPPER, 1.2))  # the vent stack
        out.append(rect(54, 6, 12, 4, COPPER_DARK, 1.0, 1))
    out.append(bunker_base(pal, burn))
    if kind == "Magnet":
        # A horseshoe magnet on the roof, its poles standing on the dome.
        out.append(path("M29,19 L29,13 A11,11 0 0,1 51,13 L51,19 L45,19 L45,13 A5,5 0 0,0 35,13 L35,19 Z",
                        mix("#b3312b", WRECK, burn), 1.3))
        out.append(rect(28, 16, 8, 4, STEEL, 1.0) + rect(44, 16, 8, 4, STEEL, 1.0))
    if kind == "Steam":
        out.append(limb([(10, 50), (4, 50), (4, 30), (10, 30)], COPPER, 3.0))
        out.append(circle(4, 40, 3.2, p["main"], 1.0))  # a gauge
        out.append(line((4, 40), (5.6, 38.4), OUTLINE, 0.8))
    if kind == "Fan":
        spin = t if state in ("moving", "emitting") else 0
        out.append(circle(40, 26, 11, p["dark"], 1.3))
        for k in range(4):
            a = spin * 90 + k * 90 + 20
            tip = rotate((40 + 10, 26), (40, 26), a)
            side = rotate((40 + 7, 29.5), (40, 26), a)
            out.append(poly([(40, 26), tip, side], p["main"], 0.9))
        out.append(circle(40, 26, 2.5, COPPER, 0.9))
        out.append(circle(40, 26, 11, "none", 1.0))
    if kind == "Magnet" and state in ("moving", "emitting", "firing"):
        glow = 0.4 + 0.6 * abs(math.sin(TAU * t))
        for k in range(3):
            r = 14 + k * 4 + 3 * t
            out.append(path("M%s,%s A%s,%s 0 0,1 %s,%s" % (f(40 - r), f(18), f(r), f(r * 0.62), f(40 + r), f(18)), "none", 0,
                            'stroke="%s" stroke-width="2.2" opacity="%s"' % (p["team_light"], f(glow * (1 - k * 0.25)))))
    if state == "moving" and kind in ("", "Steam"):
        out.append(rect(24, 33.5, 32, 3, "#ffd77a", 0, 0, 'opacity="%s"' % f(0.5 + 0.4 * math.sin(TAU * t))))
    if kind == "Steam" and state == "emitting":
        out.append(puff(66 + 6 * t, 7 - 2 * t, 3 + 2.5 * t, STEAM, t * 4, 0.8, 1 - 0.5 * t))
    if state == "firing" and kind in ("", "Steam"):
        out.append(flash(57, 35, 5) if int(t * 3) == 0 else "")
    if state == "dying":
        if t < 0.75:
            out.append(explosion(40, 36, 26, t / 0.75, 6.0))
        out.append(puff(40, 14 - 8 * t, 5 + 4 * t, SMOKE, t * 5, 0.8, 0.8))
    return "".join(out)


def turret(kind, state, t, pal):
    """A gun emplacement of 64x40 px (x 8..72, y 24..64 of an 80x64 frame):
    sandbags, a turntable and a long artillery piece or a twin anti-aircraft
    gun."""
    burn = min(1.0, t * 1.5) if state == "dying" else 0.0
    p = burnt(pal, burn * 0.85)
    out = []
    elevation = -28 if kind == "Artillery" else -62
    if state == "idling":
        elevation = -8 if kind == "Artillery" else -35
    if state == "dying" and t > 0.4:
        elevation = 10
    recoil = (4, 1.5, 0.5)[int(t * 3)] if state == "firing" else 0.0
    pivot = (40, 38)
    if kind == "Artillery":
        gun = (limb([(-2 - recoil, 0), (30 - recoil, 0)], mix(STEEL_DARK, WRECK, burn), 4.0)
               + rect(26 - recoil, -3, 6, 6, p["dark"], 1.0, 1))
        length = 32
    else:
        gun = (limb([(0, -2), (28 - recoil, -2)], mix(STEEL_DARK, WRECK, burn), 2.4)
               + limb([(0, 2), (26 - recoil, 2)], mix(STEEL, WRECK, burn), 2.4))
        length = 30
    out.append(group(gun, "translate(%s %s) rotate(%s)" % (f(pivot[0]), f(pivot[1]), f(elevation))))
    if state == "firing" and int(t * 3) == 0:
        tip = rotate((pivot[0] + length, pivot[1]), pivot, elevation)
        out.append(flash(tip[0], tip[1], 5, elevation))
    out.append(path("M26,46 L28,34 Q40,28 52,34 L54,46 Z", p["main"], 1.3))  # the shield
    out.append(circle(40, 38, 3, p["team"], 0.9))
    out.append(rect(22, 46, 36, 6, p["dark"], 1.2, 1))  # turntable
    out.append(rect(24, 48, 32, 2, p["team"], 0))
    bags = []
    for row, (y, n, x0) in enumerate(((56, 6, 9), (51, 2, 9), (51, 2, 55))):
        for i in range(n):
            bags.append(rect(x0 + i * 10.5, y, 11, 8, mix("#b59c70", WRECK, burn), 1.1, 3.5))
    out.append("".join(bags))
    if state == "dying":
        if t < 0.75:
            out.append(explosion(40, 40, 24, t / 0.75, 7.0))
        out.append(puff(44, 26 - 8 * t, 4 + 4 * t, SMOKE, t * 5, 0.8, 0.8))
    return "".join(out)


# --- small things -------------------------------------------------------------

def bullet(state, t, pal):
    """A rifle bullet (12x6 frame) with a short streak behind it."""
    return (line((0.5, 3), (6, 3), "#fff2c0", 1.6, 'opacity="0.6"')
            + path("M5,1.5 L9,1.5 Q11.5,3 9,4.5 L5,4.5 Z", pal["main"], 0.8))


def shell(state, t, pal):
    """An artillery shell (20x10 frame) with a copper driving band, tumbling
    a little in flight."""
    return group(line((0.5, 5), (5, 5), "#fff2c0", 2, 'opacity="0.5"')
                 + path("M5,2 L13,2 Q19,5 13,8 L5,8 Z", mix(pal["dark"], STEEL, 0.5), 1.0)
                 + rect(9, 2, 2, 6, COPPER, 0.6)
                 + line((6, 3), (12, 3), "#ffffff", 0.8, 'opacity="0.4"'),
                 "rotate(%s 11 5)" % f(6 * math.sin(TAU * t)))


def flak(state, t, pal):
    """A flak round (16x16 frame): a short cased shell with a glowing fuse."""
    glow = FIRE[0] if int(t * 2) == 0 else FIRE[2]
    return (group(path("M4,5.5 L10,5.5 Q13.5,8 10,10.5 L4,10.5 Z", mix(pal["dark"], STEEL, 0.4), 0.9)
                  + rect(7, 5.5, 1.6, 5, COPPER, 0.5), "rotate(%s 8 8)" % f(360 * t))
            + circle(2.8, 8, 2.0, glow, 0.6))


def bomb(state, t, pal):
    """A finned bomb (16x28 frame), nose down."""
    wobble = 5 * math.sin(TAU * t) if state == "falling" else 0
    body = (poly([(4, 3), (12, 3), (10, 9), (6, 9)], pal["dark"], 1.0)
            + path("M5,8 L11,8 Q12.5,14 11,20 Q8,27 5,20 Q3.5,14 5,8 Z", mix(pal["dark"], SOOT, 0.4), 1.1)
            + rect(4.5, 11, 7, 2.5, pal["team"], 0.7)
            + path("M6.2,10 Q5.5,15 6.4,19", "none", 0, 'stroke="#ffffff" stroke-width="0.9" opacity="0.35"'))
    return group(body, "rotate(%s 8 14)" % f(wobble))


def steam_puff(size):
    def draw(state, t, pal):
        c = size / 2
        grow = 0.7 + 0.3 * t
        out = []
        for k in range(3):
            a = k * TAU / 3 + t * 1.5
            out.append(puff(c + size * 0.15 * math.cos(a), c + size * 0.12 * math.sin(a), size * 0.26 * grow, STEAM,
                            k + t * 2, 0.9 if size > 30 else 0.7))
        return "".join(out)
    return draw


def flag(state, t, pal):
    """A flag on a brass pole (24x48 frame, foot of the pole at 3,46). It
    flies in the side's colours, or hangs limp and pale when unclaimed."""
    out = [limb([(3, 46), (3, 3)], pal["main"] if pal is not None else "#c0913f", 1.8), circle(3, 3, 1.8, "#c0913f", 0.8)]
    if state == "idling":
        out.append(path("M4,5 Q8,8 6,14 Q8,20 5,24 L4,24 Z", pal["team"], 1.0))
        return "".join(out)
    a = TAU * t
    pts_top = [(4 + x, 5 + 1.8 * math.sin(a + x * 0.35)) for x in range(0, 20, 2)]
    pts_bot = [(4 + x, 17 + 1.8 * math.sin(a + x * 0.35)) for x in range(0, 20, 2)]
    d = "M" + " L".join("%s,%s" % (f(x), f(y)) for x, y in pts_top + list(reversed(pts_bot))) + " Z"
    out.append(path(d, pal["team"], 1.0))
    mid = pts_top[5]
    out.append(gear(mid[0], mid[1] + 6, 3.6, 6, 0, pal["main"], 0.6))
    return "".join(out)


def spar(state, t, pal):
    """The airship's magnet arm (24x80 frame, hinge at 12,4): a brass rod with
    an electromagnet at its foot that glows and throws sparks when on."""
    out = [limb([(12, 4), (12, 58)], mix(pal["main"], STEEL, 0.2), 3.0), circle(12, 4, 3, COPPER, 1.0),
           rivets([(12, 16), (12, 30), (12, 44)], 0.7)]
    out.append(rect(2, 58, 20, 8, pal["dark"], 1.2, 2))
    for x in range(4, 21, 3):
        out.append(line((x, 59), (x, 65), COPPER, 1.4))
    out.append(path("M3,66 L21,66 L21,76 L15,76 L15,70 L9,70 L9,76 L3,76 Z", "#b3312b", 1.2))
    out.append(rect(3, 73, 6, 3, STEEL, 0.8) + rect(15, 73, 6, 3, STEEL, 0.8))
    if state == "emitting":
        for k in range(3):
            x = 6 + k * 6 + 2 * math.sin(TAU * t + k)
            out.append(path("M%s,76.5 l-1,1 l2,0.4 l-1,1" % f(x), "none", 0,
                            'stroke="%s" stroke-width="1"' % pal["team_light"]))
        out.append(ellipse(12, 74, 11, 4, pal["team_light"], 0, 'opacity="%s"' % f(0.25 + 0.2 * math.sin(TAU * t))))
    return "".join(out)


def burst(size):
    def draw(state, t, pal):
        c = size / 2
        return explosion(c, c, size * 0.42, t, size * 0.1)
    return draw


def smoke(state, t, pal):
    """A rising wisp of smoke (32x32 frame) that thins out."""
    return "".join(puff(16 + 3 * math.sin(t * 5 + k), 24 - 14 * t - k * 5, 4 + 4 * t - k, SMOKE, k + t * 3, 0.8,
                        max(0.0, 0.9 - 0.8 * t)) for k in range(2))


def goto_target(state, t, pal):
    """The marker where the airship is sent (64x64, drawn at half size): a
    brass ring with four ticks that turn, and a blue heart that pulses."""
    out = [circle(32, 32, 22, "none", 3.2), circle(32, 32, 22, "none", 0, 'stroke="#c0913f" stroke-width="2"')]
    for k in range(4):
        a = k * 90 + t * 90
        a1 = rotate((32 + 17, 32), (32, 32), a)
        a2 = rotate((32 + 27, 32), (32, 32), a)
        out.append(limb([a1, a2], "#e8c77e", 3))
    pulse = 5 + 2 * math.sin(TAU * t)
    out.append(circle(32, 32, pulse, "#3d6ea5", 1.4) + circle(31, 31, pulse * 0.4, "#86b0de", 0))
    return "".join(out)
