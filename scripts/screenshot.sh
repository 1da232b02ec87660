#!/usr/bin/env bash
# Takes the README's pictures of the main window: screenshot.sh [MODULE[:QUERY]=FILE ...]
# (default: the clock and timer pages of the largest example, and the Find window over the timer
# page with "prescaler" typed) under a virtual display, with fresh settings so that the window
# has its default size. A QUERY opens the Find window with it typed.
set -euo pipefail
cd "$(dirname "$0")/.."

build="${BUILD_DIR:-build}"
[ -x "$build/bin/hwc" ] || ./scripts/build.sh "$build" >/dev/null
shots=("$@")
[ ${#shots[@]} -eq 0 ] && shots=(OCCS=docs/images/main-window-clocks.png
                                 PIT0=docs/images/main-window-timer.png
                                 PIT0:prescaler=docs/images/find.png)

work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
cp -r examples/K7Q5110-inverter "$work/project"
mkdir -p docs/images
for shot in "${shots[@]}"; do
    module="${shot%%=*}"
    query=""
    if [[ "$module" == *:* ]]; then
        query="${module#*:}"
        module="${module%%:*}"
    fi
    file="$(realpath -m "${shot#*=}")"
    XDG_CONFIG_HOME="$work/config" HWC_SHOW_MODULE="$module" HWC_SCREENSHOT="$file" \
        HWC_FIND_QUERY="$query" xvfb-run -a -s '-screen 0 1280x900x24' "$build/bin/hwc" \
        "$work/project" 2>/dev/null
    echo "$file"
done
