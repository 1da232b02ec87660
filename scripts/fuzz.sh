#!/usr/bin/env bash
# Builds the libFuzzer targets with clang and runs each for a bounded time: fuzz.sh [SECONDS].
# Inputs that once failed live in tests/data/fuzz/<target>/ and seed every run; a new crash is
# written to build-fuzz/crashes/ and makes the script fail.
set -euo pipefail
cd "$(dirname "$0")/.."

seconds="${1:-20}"
# Only the fuzzers are built, at -O1 with line tables: the usual level for fuzzing, and quicker
# to compile than the release flags.
CC=clang CXX=clang++ cmake -S . -B build-fuzz -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DCMAKE_CXX_FLAGS_RELWITHDEBINFO="-O1 -gline-tables-only -DNDEBUG" \
    -DHWC_FUZZ=ON -DHWC_TESTS=OFF -DHWC_DESKTOP=OFF >/dev/null
cmake --build build-fuzz -j "$(nproc)" --target hwc_fuzzers
mkdir -p build-fuzz/crashes
# Every target runs even after another one found something; the script fails at the end.
failed=()
for exe in build-fuzz/bin/fuzz_*; do
    name="$(basename "$exe")"
    name="${name#fuzz_}"
    corpus="build-fuzz/corpus/$name"
    mkdir -p "$corpus"
    seeds=()
    [ -d "tests/data/fuzz/$name" ] && seeds+=("tests/data/fuzz/$name")
    echo "-- $name"
    "$exe" -max_total_time="$seconds" -max_len=65536 -rss_limit_mb=2048 -timeout=10 \
        -artifact_prefix="build-fuzz/crashes/${name}-" -print_final_stats=0 \
        "$corpus" "${seeds[@]}" 2>&1 | tail -n 3 || failed+=("$name")
done
if [ ${#failed[@]} -gt 0 ]; then
    echo "fuzzing found failures in: ${failed[*]} (inputs in build-fuzz/crashes/)" >&2
    exit 1
fi
