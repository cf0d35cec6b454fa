#!/bin/sh
# Makes the README's picture of a level in play, docs/level_in_play.png:
# the computer against itself on a campaign level for some seconds of game
# time, one frame drawn by the game's own in-game screen under Xvfb.
#
#   scripts/level_screenshot.sh [build folder] [level] [seconds]
#
# The build folder needs -DGEARHAVEN_BENCH=ON (default build/release). Run
# from the repository root.
set -e
build=${1:-build/release}
level=${2:-3}
seconds=${3:-40}
ppm=$(mktemp --suffix=.ppm)
trap 'rm -f "$ppm"' EXIT
xvfb-run -a -s '-screen 0 1024x768x24 -nolisten tcp' \
    "$build/bench/play/level_screenshot" "$level" "$seconds" "$ppm"
python3 - "$ppm" docs/level_in_play.png <<'PYTHON'
# A PNG of 6 bits per channel with the "sub" filter: under 300 KB for the
# repository, and no visible difference on this picture.
import struct, sys, zlib
data = open(sys.argv[1], "rb").read()
magic, width, height, depth, pixels = data.split(maxsplit=4)
assert magic == b"P6" and depth == b"255"
width, height = int(width), int(height)
pixels = bytes((v & 0xFC) | (v >> 6) for v in pixels)
rows = []
for y in range(height):
    row = pixels[y * width * 3:(y + 1) * width * 3]
    rows.append(b"\1" + row[:3] + bytes((row[x] - row[x - 3]) & 255 for x in range(3, len(row))))
def chunk(kind, body):
    return struct.pack(">I", len(body)) + kind + body + struct.pack(">I", zlib.crc32(kind + body))
png = (b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", struct.pack(">IIBBBBB", width, height, 8, 2, 0, 0, 0))
       + chunk(b"IDAT", zlib.compress(b"".join(rows), 9)) + chunk(b"IEND", b""))
open(sys.argv[2], "wb").write(png)
PYTHON
echo "docs/level_in_play.png"
