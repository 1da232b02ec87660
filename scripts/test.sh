#!/usr/bin/env bash
# Installs what is missing, builds, and runs every test: the unit tests in a normal build, the
# same tests under AddressSanitizer and UndefinedBehaviorSanitizer, and a short fuzzing run.
# FUZZ_SECONDS sets the length of each fuzzing run (default 20; 0 skips fuzzing).
set -euo pipefail
cd "$(dirname "$0")/.."

./scripts/install-deps.sh
jobs="$(nproc)"

echo "== Build and unit tests"
./scripts/build.sh build -DCMAKE_BUILD_TYPE=RelWithDebInfo
ctest --test-dir build --output-on-failure -j "$jobs"

echo "== Unit tests under AddressSanitizer and UndefinedBehaviorSanitizer"
# Line tables are all the sanitizers' reports need, and much quicker to build than full debug
# information.
./scripts/build.sh build-asan -DCMAKE_BUILD_TYPE=Debug -DCMAKE_CXX_FLAGS_DEBUG=-g1 -DHWC_SANITIZE=ON
ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 \
    ctest --test-dir build-asan --output-on-failure -j "$jobs" -LE desktop
# The desktop tests without the leak check: the toolkit keeps caches until the process ends,
# and its web engine frees some objects with a size of its own.
ASAN_OPTIONS=detect_leaks=0:new_delete_type_mismatch=0 UBSAN_OPTIONS=print_stacktrace=1 \
    ctest --test-dir build-asan --output-on-failure -j "$jobs" -L desktop

fuzz_seconds="${FUZZ_SECONDS:-20}"
if [ "$fuzz_seconds" -gt 0 ]; then
    echo "== Fuzzing, ${fuzz_seconds} s per target"
    ./scripts/fuzz.sh "$fuzz_seconds"
fi
echo "All tests passed."
