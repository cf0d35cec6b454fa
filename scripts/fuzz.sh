#!/usr/bin/env bash
# Builds the libFuzzer harnesses of fuzz/ with clang and runs each on its
# corpus for a few seconds (the first argument, default 3). New inputs that
# reach further go to build/fuzz/corpus/, never into the seeds under fuzz/.
# A harness that finds a fault stops, leaves the input as build/fuzz/crash-*
# and fails the script.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
seconds=${1:-3}

build="$root/build/fuzz"
cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=Debug -DCMAKE_C_COMPILER=clang \
    -DCMAKE_CXX_COMPILER=clang++ -DGEARHAVEN_FUZZ=ON -DGEARHAVEN_TESTS=OFF > /dev/null
cmake --build "$build" -j "$(nproc)" --target fuzzers

export ASAN_OPTIONS="detect_leaks=1:abort_on_error=0"
export LSAN_OPTIONS="suppressions=$root/scripts/lsan.supp:print_suppressions=0"
export UBSAN_OPTIONS="halt_on_error=1:print_stacktrace=1"

for seeds in "$root"/fuzz/corpus/*/; do
    harness=$(basename "$seeds")
    corpus="$build/corpus/$harness"
    mkdir -p "$corpus"
    echo "Fuzzing $harness for $seconds s"
    log="$build/$harness.log"
    if ! "$build/fuzz/fuzz_$harness" -max_total_time="$seconds" -max_len=16384 \
        -rss_limit_mb=2048 -artifact_prefix="$build/crash-$harness-" "$corpus" "$seeds" \
        > "$log" 2>&1; then
        tail -n 60 "$log"
        exit 1
    fi
    grep -E '^Done ' "$log" || true
done
