#!/usr/bin/env bash
# Takes the README's pictures of the main window: screenshot.sh [MODULE=FILE ...]
# (default: the clock and timer pages of the largest example) under a virtual display, with
# fresh settings so that the window has its default size.
set -euo pipefail
cd "$(dirname "$0")/.."

build="${BUILD_DIR:-build}"
[ -x "$build/bin/hwc" ] || ./scripts/build.sh "$build" >/dev/null
shots=("$@")
[ ${#shots[@]} -eq 0 ] && shots=(OCCS=docs/images/main-window-clocks.png
                                 PIT0=docs/images/main-window-timer.png)

work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
cp -r examples/K7Q5110-inverter "$work/project"
mkdir -p docs/images
for shot in "${shots[@]}"; do
    module="${shot%%=*}"
    file="$(realpath -m "${shot#*=}")"
    XDG_CONFIG_HOME="$work/config" HWC_SHOW_MODULE="$module" HWC_SCREENSHOT="$file" \
        xvfb-run -a -s '-screen 0 1280x900x24' "$build/bin/hwc" "$work/project" 2>/dev/null
    echo "$file"
done
