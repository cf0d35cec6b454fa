#!/usr/bin/env python3
"""Composes a level's music track with sox and oggenc.

    level_music.py <out.ogg>

A 32-second loop at 120 beats a minute in D minor: a plucked tune over a
walking bass, a soft organ of held chords and a light drum kit of kick,
snare and hat, all synthesised. The track ends where it begins, so the
music player can loop it. The same recipe always gives the same file (noise
is seeded, the Ogg stream serial number fixed).
"""
import os
import subprocess
import sys
import tempfile

RATE = 44100
BEAT = 0.5
BAR = 4 * BEAT

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


def drum_bar(bar):
    parts = []
    for beat in range(4):
        hit = "kick" if beat in (0, 2) else "snare"
        if bar % 4 == 3 and beat == 3:
            parts += [("snare", 0, BEAT / 4)] * 4
            continue
        parts += [(hit, 0, BEAT / 2), ("hat", 0, BEAT / 2)]
    return parts


def main(argv):
    if len(argv) != 2:
        sys.exit(__doc__)
    out = argv[1]
    with tempfile.TemporaryDirectory() as work:
        studio = Studio(work)
        tune, bass, organ, drums = [], [], [], []
        for bar, (root, chord) in enumerate(CHORDS):
            tune += [("tune", note, length * BEAT) for note, length in TUNE[bar]]
            walk = (root, root + 7, root + 12, root + 7)
            bass += [("bass", note, BEAT) for note in walk]
            organ.append(("organ", chord, BAR))
            drums += drum_bar(bar)
        voices = [studio.voice(name, parts) for name, parts in
                  (("tune", tune), ("bass", bass), ("organ", organ), ("drums", drums))]
        mixed = os.path.join(work, "mixed.wav")
        studio.sox("-m", *voices, "-c", 2, mixed, "reverb", 20, 50, 40, "gain", "-n", -3)
        subprocess.run(["oggenc", "-Q", "-q", "3", "--serial", "24", "-o", out, mixed], check=True)


if __name__ == "__main__":
    main(sys.argv)
