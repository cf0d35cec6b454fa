#!/usr/bin/env bash
# Installs what is missing, builds the game and its content, and starts it.
# The game finds the datafile that the build packs beside its program, so it
# runs from any folder. Arguments are passed to the game ("-windowed" or
# "-fullscreen").
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"

scripts/install-deps.sh

build=build/release
cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=Release -DGEARHAVEN_TESTS=OFF
cmake --build "$build" -j "$(nproc)"

echo "Starting Gearhaven."
status=0
"$build/app/gearhaven" "$@" || status=$?
echo "Gearhaven ended with exit code $status."
exit "$status"
