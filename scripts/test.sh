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

export ASAN_OPTIONS="detect_leaks=1:abort_on_error=0:strict_string_checks=1"
export LSAN_OPTIONS="suppressions=$root/scripts/lsan.supp:print_suppressions=0"
export UBSAN_OPTIONS="halt_on_error=1:print_stacktrace=1"
# The software GL driver rasterises on worker threads by default; now and then
# the leak checker crashes while stopping them at exit. Rasterise on the
# calling thread instead.
export LP_NUM_THREADS=0
# The driver's on-disk shader cache writes from a thread of its own that may
# still be ending when the leak checker stops the process; the checker then
# crashes. Tests do not need the cache.
export MESA_SHADER_CACHE_DISABLE=true
# Messages that would open a dialog go to standard error in tests.
export GEARHAVEN_HEADLESS_MESSAGES=1

xvfb-run -a -s '-screen 0 1920x1080x24 -nolisten tcp' \
    ctest --test-dir "$build" --output-on-failure -j "$jobs"

# The fuzz harnesses, a few seconds each on their seed corpora.
scripts/fuzz.sh
