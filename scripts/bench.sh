#!/usr/bin/env bash
# Speed benchmark: runs `hwc-batch reprocess` on a copy of the largest example project RUNS times
# (default 20) and reports the median wall time and the peak resident memory, beside copying the
# same header with cp as the baseline; then `describe` of the project and `diff` of it against a
# copy of itself; then the reader on a few megabytes of input made to be hard for it; then the
# desktop program's start-up on the same project, from starting `hwc` to its first page on screen,
# under a virtual display (skipped when the build has no desktop program). Usage: bench.sh [RUNS]
# BUILD_DIR names the build folder (default build); its programs are built first, optimised.
set -euo pipefail
shopt -s inherit_errexit
cd "$(dirname "$0")/.."

runs="${1:-20}"
[[ "$runs" =~ ^[1-9][0-9]*$ ]] || { echo "usage: $0 [RUNS]" >&2; exit 2; }
build="${BUILD_DIR:-build}"
# Re-process within twice a cp of the same header and under 10 MB; the first page within 300 ms;
# a few megabytes of hard input read in under a second; describe and diff each under 50 ms.
target_ratio=2
target_mb=10
target_start_ms=300
target_start_mb=150
target_hard_ms=1000
target_describe_ms=50

# An optimised build without sanitizers; a folder configured otherwise is reconfigured.
options=()
cache="$build/CMakeCache.txt"
unoptimised='^(CMAKE_BUILD_TYPE:STRING=Debug|HWC_SANITIZE:BOOL=ON)$'
if [ -f "$cache" ] && grep -Eq "$unoptimised" "$cache"; then
    options=(-DCMAKE_BUILD_TYPE=RelWithDebInfo -DHWC_SANITIZE=OFF)
elif [ ! -f "$cache" ]; then
    options=(-DCMAKE_BUILD_TYPE=RelWithDebInfo)
fi
# Only the programs are built: the tests are not measured.
cmake -S . -B "$build" -G Ninja "${options[@]}" >/dev/null
targets=(hwc-batch)
grep -q '^HWC_DESKTOP:BOOL=OFF$' "$build/CMakeCache.txt" || targets+=(hwc)
cmake --build "$build" --target "${targets[@]}" >/dev/null
batch="$build/bin/hwc-batch"

if [ ! -x /usr/bin/time ]; then
    echo "Installing GNU time"
    SUDO=""
    [ "$(id -u)" -ne 0 ] && SUDO="sudo"
    $SUDO apt-get install -y -qq --no-install-recommends time >/dev/null
fi

# The largest example by header size.
largest="$(stat -c '%s %n' examples/*/ApplicationConfig/appconfig.h | sort -n | tail -n 1)"
header="${largest#* }"
project="$(dirname "$(dirname "$header")")"

work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
cp -r "$project" "$work/project"
copy="$work/project/ApplicationConfig/appconfig.h"

# Runs the command RUNS times after one warm-up run; prints "median-ms peak-KB".
measure() {
    "$@" >/dev/null || { echo "failed: $*" >&2; exit 1; }
    local times=() peak=0 start end kb
    for _ in $(seq "$runs"); do
        start=${EPOCHREALTIME/[.,]/}
        /usr/bin/time -f %M -o "$work/rss" "$@" >/dev/null
        end=${EPOCHREALTIME/[.,]/}
        times+=($((end - start)))
        kb=$(tail -n 1 "$work/rss")
        if [ "$kb" -gt "$peak" ]; then peak=$kb; fi
    done
    printf '%s\n' "${times[@]}" | sort -n |
        awk -v peak="$peak" '{ t[NR] = $1 }
            END { m = NR % 2 ? t[(NR + 1) / 2] : (t[NR / 2] + t[NR / 2 + 1]) / 2
                  printf "%.2f %d\n", m / 1000, peak }'
}

result="$(measure "$batch" reprocess "$work/project")"
read -r batch_ms batch_kb <<<"$result"
result="$(measure cp "$copy" "$work/copied.h")"
read -r cp_ms cp_kb <<<"$result"

# The configuration in words, and the project compared with a copy of itself (exit 0: equal).
result="$(measure "$batch" describe "$work/project")"
read -r describe_ms describe_kb <<<"$result"
cp -r "$work/project" "$work/twin"
result="$(measure "$batch" diff "$work/project" "$work/twin")"
read -r diff_ms diff_kb <<<"$result"

# Input that once made reading quadratic: a comment of repeated block openers, a value with a long
# run of blanks, 80,000 parameter blocks, and 20,000 definitions with their comments.
hard="$work/hard.h"
{
    printf '/* '
    for _ in $(seq 21000); do printf '[PARAMETERS:'; done
    printf ' */\n/* [PARAMETERS:W]\nk=x%131072sy\n*/\n' ''
    seq 0 79999 | awk '{ printf "/*[PARAMETERS:M%d]\nK=%d\n*/", $1, $1 }'
    printf '\n'
    seq 0 19999 | awk '{ printf "#define REG_%d_INIT   0x1234U /* note */\n", $1 }'
} >"$hard"
result="$(measure "$batch" header "$hard")"
read -r hard_ms hard_kb <<<"$result"

# The desktop program ends by itself once its first page is shown; fresh settings each run.
desktop="$build/bin/hwc"
start_ms=""
if [ -x "$desktop" ]; then
    display_pid=""
    if command -v Xvfb >/dev/null; then
        Xvfb :97 -screen 0 1280x900x24 >/dev/null 2>&1 &
        display_pid=$!
        export DISPLAY=:97 QT_QPA_PLATFORM=xcb
        sleep 1
    else
        export QT_QPA_PLATFORM=offscreen
    fi
    mkdir -m 700 "$work/runtime"
    result="$(measure env XDG_CONFIG_HOME="$work/config" XDG_RUNTIME_DIR="$work/runtime" \
        HWC_EXIT_WHEN_SHOWN=1 \
        "$desktop" "$work/project")"
    read -r start_ms start_kb <<<"$result"
    [ -n "$display_pid" ] && kill "$display_pid"
fi

awk -v name="$(basename "$project")" -v bytes="$(stat -c %s "$header")" -v runs="$runs" \
    -v folder="$(dirname "$work")" \
    -v bms="$batch_ms" -v bkb="$batch_kb" -v cms="$cp_ms" -v ckb="$cp_kb" \
    -v hms="$hard_ms" -v hkb="$hard_kb" -v hbytes="$(stat -c %s "$hard")" \
    -v dms="$describe_ms" -v dkb="$describe_kb" -v fms="$diff_ms" -v fkb="$diff_kb" \
    -v tratio="$target_ratio" -v tmb="$target_mb" -v thms="$target_hard_ms" \
    -v tdms="$target_describe_ms" 'BEGIN {
    ratio = cms > 0 ? bms / cms : 0
    printf "%s (%d bytes), %d runs in %s\n", name, bytes, runs, folder
    printf "%-14s %12s %12s\n", "", "median wall", "peak memory"
    printf "%-14s %9.2f ms %9.1f MB\n", "reprocess", bms, bkb / 1024
    printf "%-14s %9.2f ms %9.1f MB\n", "cp (baseline)", cms, ckb / 1024
    printf "%-14s %11.1fx %11.1fx\n", "ratio", ratio, (ckb > 0 ? bkb / ckb : 0)
    printf "%-14s %9.2f ms %9.1f MB\n", "describe", dms, dkb / 1024
    printf "%-14s %9.2f ms %9.1f MB\n", "diff (itself)", fms, fkb / 1024
    printf "%-14s %9.2f ms %9.1f MB  (%d bytes)\n", "hard input", hms, hkb / 1024, hbytes
    printf "target: reprocess within %dx cp  %s\n", tratio, ratio <= tratio ? "PASS" : "MISS"
    printf "target: reprocess under %d MB  %s\n", tmb, bkb / 1024 < tmb ? "PASS" : "MISS"
    printf "target: hard input under %d ms  %s\n", thms, hms < thms ? "PASS" : "MISS"
    printf "target: describe under %d ms  %s\n", tdms, dms < tdms ? "PASS" : "MISS"
    printf "target: diff under %d ms  %s\n", tdms, fms < tdms ? "PASS" : "MISS"
}'
if [ -n "$start_ms" ]; then
    awk -v sms="$start_ms" -v skb="$start_kb" -v tms="$target_start_ms" \
        -v tmb="$target_start_mb" 'BEGIN {
        printf "%-14s %9.2f ms %9.1f MB\n", "hwc first page", sms, skb / 1024
        printf "target: first page under %d ms  %s\n", tms, sms < tms ? "PASS" : "MISS"
        printf "target: first page under %d MB  %s\n", tmb, skb / 1024 < tmb ? "PASS" : "MISS"
    }'
else
    echo "hwc first page: not measured, $build has no desktop program ($desktop)"
fi
