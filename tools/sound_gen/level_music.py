#!/usr/bin/env python3
"""Composes the levels' music tracks with sox and oggenc.

    level_music.py list
        prints the names of the tracks
    level_music.py <track> <out.ogg>
        composes one track

Each track is a loop of 32 bars, a minute or more: sixteen bars of a plucked
tune over a walking bass, a soft organ of held chords and a light drum kit of
kick, snare and hat, then sixteen bars in which a bell answers with a second
tune over the same chords and the drums fill in. All of it is synthesised.
The tracks differ in key, mode, tempo and chords: "meadow" a brisk D minor,
"harvest" an easy G major, "frost" a slow, sparse A minor, "foundry" a
driving E minor. A track ends where it begins, so the music player can loop
it. The same recipe always gives the same file (tunes and noise are seeded,
the Ogg stream serial number fixed).
"""
import os
import random
import subprocess
import sys
import tempfile

RATE = 44100

# One chord a bar: (root note, chord notes) as MIDI numbers.
CHORDS = [
    (50, (62, 65, 69)), (46, (58, 62, 65)), (53, (60, 65, 69)), (48, (60, 64, 67)),
    (50, (62, 65, 69)), (46, (58, 62, 65)), (45, (61, 64, 69)), (45, (61, 64, 67)),
    (43, (58, 62, 67)), (50, (62, 65, 69)), (43, (58, 62, 67)), (45, (61, 64, 69)),
    (46, (58, 62, 65)), (48, (60, 64, 67)), (45, (61, 64, 69)), (50, (62, 65, 69)),
]

# The tune: (MIDI note or None for a rest, length in beats), bar by bar.
TUNE = [
    [(74, 1), (72, 0.5), (74, 0.5), (77, 1), (74, 1)],
    [(70, 1.5), (72, 0.5), (74, 1), (70, 1)],
    [(72, 1), (69, 0.5), (72, 0.5), (77, 1), (76, 0.5), (74, 0.5)],
    [(72, 2), (None, 1), (67, 1)],
    [(74, 1), (72, 0.5), (74, 0.5), (77, 1), (81, 1)],
    [(79, 0.5), (77, 0.5), (74, 1), (70, 1), (74, 1)],
    [(73, 1), (76, 1), (79, 1), (76, 1)],
    [(73, 3), (None, 1)],
    [(79, 1), (77, 0.5), (79, 0.5), (82, 1), (79, 1)],
    [(77, 1), (74, 0.5), (77, 0.5), (81, 2)],
    [(82, 1), (81, 0.5), (79, 0.5), (77, 1), (74, 1)],
    [(76, 1), (73, 1), (69, 1), (73, 1)],
    [(74, 0.5), (77, 0.5), (82, 1), (77, 1), (74, 1)],
    [(76, 0.5), (79, 0.5), (84, 1), (79, 1), (76, 1)],
    [(73, 1), (76, 0.5), (79, 0.5), (76, 1), (73, 1)],
    [(74, 3), (None, 1)],
]


MAJOR = (0, 2, 4, 5, 7, 9, 11)
MINOR = (0, 2, 3, 5, 7, 8, 10)

# Per track: the tonic (MIDI), the mode, the beat in seconds, the chords of
# sixteen bars as scale degrees (0 = tonic), and the seed of its tunes.
TRACKS = {
    "meadow": (50, MINOR, 0.5, None, 1),
    "harvest": (55, MAJOR, 0.48, (0, 3, 4, 0, 5, 3, 1, 4, 0, 3, 4, 5, 3, 4, 0, 0), 2),
    "frost": (57, MINOR, 0.56, (0, 5, 2, 6, 0, 3, 4, 4, 5, 3, 0, 4, 5, 6, 4, 0), 3),
    "foundry": (52, MINOR, 0.47, (0, 0, 5, 6, 0, 0, 3, 4, 5, 6, 0, 4, 3, 5, 4, 0), 4),
}

# Rhythms of one bar of a generated tune, in beats.
RHYTHMS = [(1, 1, 1, 1), (1.5, 0.5, 1, 1), (1, 0.5, 0.5, 1, 1), (2, 1, 1), (0.5, 0.5, 1, 0.5, 0.5, 1),
           (1, 1, 2), (3, 1)]


def triad(tonic, mode, degree):
    """The bass root and the three chord notes of a scale degree."""
    step = lambda d: tonic + mode[d % 7] + 12 * (d // 7)
    notes = tuple(step(degree + k) + 12 for k in (0, 2, 4))
    return step(degree) - 12 if step(degree) - 12 >= 36 else step(degree), notes


def generated_tune(rng, chords, mode, tonic):
    """A tune of one bar a chord: chord tones on the strong beats, steps of
    the scale between them, a rest or a long note at every fourth bar."""
    scale = sorted({tonic + 12 + o + m for o in (0, 12) for m in mode} | {tonic + 36})
    tune = []
    note = scale[7]
    for bar, (_, chord) in enumerate(chords):
        rhythm = RHYTHMS[6] if bar % 4 == 3 else rng.choice(RHYTHMS[:6])
        parts = []
        for k, length in enumerate(rhythm):
            if k == 0 or length >= 1:
                targets = [n + o for n in chord for o in (0, 12) if n + o in scale]
                note = min(targets, key=lambda n: abs(n - note) + rng.uniform(0, 5))
            else:
                i = scale.index(note) if note in scale else 7
                note = scale[max(0, min(len(scale) - 1, i + rng.choice((-1, 1))))]
            parts.append((note, length))
        if bar % 4 == 3:
            parts[-1] = (None, parts[-1][1])
        tune.append(parts)
    return tune


def frequency(note):
    return 440.0 * 2 ** ((note - 69) / 12.0)


class Studio:
    """Renders notes to WAV files in a work folder, each distinct note once."""

    def __init__(self, work):
        self.work = work
        self.cache = {}

    def sox(self, *args):
        subprocess.run(["sox", "-R"] + [str(a) for a in args], check=True)

    def note(self, kind, note, length):
        key = (kind, note, round(length, 4))
        if key in self.cache:
            return self.cache[key]
        path = os.path.join(self.work, "%s_%s_%s.wav" % (kind, note, str(length).replace(".", "_")))
        head = ["-n", "-r", RATE, "-c", 1, "-b", 16, path]
        if note is None:
            self.sox(*head, "trim", 0, length)
        elif kind == "tune":
            self.sox(*head, "synth", length, "pluck", frequency(note), "synth", length, "sine", "mix",
                     frequency(note) * 2, "lowpass", 3200, "fade", 0.005, length, length * 0.5, "gain", -9)
        elif kind == "bell":
            self.sox(*head, "synth", length, "sine", frequency(note), "sine", frequency(note) * 3, "remix", "-",
                     "fade", 0.002, length, length * 0.8, "gain", -14)
        elif kind == "bass":
            self.sox(*head, "synth", length, "triangle", frequency(note), "fade", 0.01, length, 0.08,
                     "gain", -7)
        elif kind == "organ":
            tones = []
            for chord_note in note:
                tones += ["sine", frequency(chord_note)]
            self.sox(*head, "synth", length, *tones, "remix", "-", "tremolo", 4, 20, "fade", 0.3, length, 0.4,
                     "gain", -18)
        elif kind == "kick":
            self.sox(*head, "synth", length, "sine", "90:40", "fade", 0, length, length - 0.01, "gain", -4)
        elif kind == "snare":
            self.sox(*head, "synth", length, "whitenoise", "gain", -14, "highpass", 900, "fade", 0, length,
                     length - 0.02)
        elif kind == "hat":
            self.sox(*head, "synth", length, "whitenoise", "gain", -20, "highpass", 6000, "fade", 0, length,
                     length - 0.005)
        self.cache[key] = path
        return path

    def voice(self, name, parts):
        """Joins (kind, note, length) parts into one track."""
        path = os.path.join(self.work, name + ".wav")
        self.sox(*[self.note(*part) for part in parts], path)
        return path


def drum_bar(bar, beat, busy):
    parts = []
    for step in range(4):
        hit = "kick" if step in (0, 2) else "snare"
        if bar % 4 == 3 and step == 3:
            parts += [("snare", 0, beat / 4)] * 4
            continue
        if busy and step == 2:
            parts += [("kick", 0, beat / 4), ("kick", 0, beat / 4), ("hat", 0, beat / 2)]
            continue
        parts += [(hit, 0, beat / 2), ("hat", 0, beat / 2)]
    return parts


def compose(track, out):
    tonic, mode, beat, degrees, seed = TRACKS[track]
    rng = random.Random(seed)
    chords = CHORDS if degrees is None else [triad(tonic, mode, d) for d in degrees]
    first = TUNE if degrees is None else generated_tune(rng, chords, mode, tonic)
    answer = generated_tune(rng, chords, mode, tonic)
    with tempfile.TemporaryDirectory() as work:
        studio = Studio(work)
        tune, bell, bass, organ, drums = [], [], [], [], []
        for half in (0, 1):
            for bar, (root, chord) in enumerate(chords):
                lead = [("tune", note, length * beat) for note, length in first[bar]]
                rest = [("tune", None, 4 * beat)]
                tune += lead if half == 0 else rest
                bell += rest if half == 0 else [("bell", None if n is None else n + 12, length * beat)
                                                for n, length in answer[bar]]
                walk = (root, root + 7, root + 12, root + 7)
                bass += [("bass", note, beat) for note in walk]
                organ.append(("organ", chord, 4 * beat))
                drums += drum_bar(bar, beat, half == 1)
        voices = [studio.voice(name, parts) for name, parts in
                  (("tune", tune), ("bell", bell), ("bass", bass), ("organ", organ), ("drums", drums))]
        mixed = os.path.join(work, "mixed.wav")
        studio.sox("-m", *voices, "-c", 2, mixed, "reverb", 20, 50, 40, "gain", "-n", -3)
        subprocess.run(["oggenc", "-Q", "-q", "3", "--serial", "24", "-o", out, mixed], check=True)


def main(argv):
    if len(argv) == 2 and argv[1] == "list":
        print("\n".join(TRACKS))
    elif len(argv) == 3 and argv[1] in TRACKS:
        compose(argv[1], argv[2])
    else:
        sys.exit(__doc__)


if __name__ == "__main__":
    main(sys.argv)
