#!/usr/bin/env bash
# Installs what is missing, builds everything with AddressSanitizer and
# UndefinedBehaviorSanitizer, and runs every test. Tests that need OpenGL run
# on a private Xvfb display started here.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"

scripts/install-deps.sh

build=build/test
jobs=$(nproc)
cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=Debug -DGEARHAVEN_SANITIZE=ON -DGEARHAVEN_TESTS=ON
cmake --build "$build" -j "$jobs"

# The tests' environment (sanitizer options, leak suppressions, the software
# GL driver's settings, headless messages) is set on each test in CMake.
xvfb-run -a -s '-screen 0 1920x1080x24 -nolisten tcp' \
    ctest --test-dir "$build" --output-on-failure -j "$jobs"

# The fuzz harnesses, a few seconds each on their seed corpora.
scripts/fuzz.sh
