#!/bin/sh
# Takes the README's screenshots from the real program: the end-to-end tour
# of every screen (tests/e2e/journey_test.cpp) starts the built game under
# Xvfb, drives it with xdotool and keeps a picture of each screen; two of
# them become docs/level.png and docs/story.png (6 bits a colour, which
# keeps each under 300 KB).
#
#     scripts/readme-screenshots.sh [build folder]    (default build/test)
#
# The build folder must be configured with the tests (GEARHAVEN_TESTS on).
set -eu
root=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$root/build/test}
cmake --build "$build" --target e2e_tests -j 4
xvfb-run -a -s '-screen 0 1280x1024x24 -nolisten tcp' \
    ctest --test-dir "$build" -R '^JourneyTest.EveryScreenFromTheSplashOn$' --output-on-failure
shots=$build/tests/e2e/journey/EveryScreenFromTheSplashOn
mkdir -p "$root/docs"
python3 "$root/tools/ppm_to_png.py" --bits 6 "$shots/13_level_again.ppm" "$root/docs/level.png"
python3 "$root/tools/ppm_to_png.py" --bits 6 "$shots/09_cutscene.ppm" "$root/docs/story.png"
ls -l "$root/docs/level.png" "$root/docs/story.png"
