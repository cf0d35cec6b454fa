#!/usr/bin/env bash
# Installs what is missing, builds the game and its content, and starts it.
# Arguments are passed to the game ("-windowed" or "-fullscreen").
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"

scripts/install-deps.sh

build=build/release
cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=Release -DGEARHAVEN_TESTS=OFF
cmake --build "$build" -j "$(nproc)"

if [ ! -x "$build/app/gearhaven" ]; then
    echo "Built the engine and the physics SDK. The game program itself is not written yet, so there is nothing to start."
    exit 0
fi
exec "$build/app/gearhaven" "$@"
