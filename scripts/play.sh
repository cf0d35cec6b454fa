#!/usr/bin/env bash
# Installs what is missing, builds the game and its content, and starts it
# from the repository's root, where it finds resources/ and, linked beside it,
# the datafile that the build packs. Arguments are passed to the game
# ("-windowed" or "-fullscreen").
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"

scripts/install-deps.sh

build=build/release
cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=Release -DGEARHAVEN_TESTS=OFF
cmake --build "$build" -j "$(nproc)"

ln -sf "$build/tarnmoore.dat" tarnmoore.dat

echo "Starting Gearhaven. The front-end screens are not built yet: the game opens"
echo "its window, says that its first screen (TARNMOORE_STATE_SplashScreen) is an"
echo "unknown state, and ends when the message is closed."
status=0
"$build/app/gearhaven" "$@" || status=$?
echo "Gearhaven ended with exit code $status."
exit "$status"
