#!/usr/bin/env bash
# Installs what is missing, builds, and opens the bundled example project in the desktop program.
# The example is copied once into a work folder (HWC_WORK, default ~/hwc-projects), so that what
# you change there never touches the repository. Extra arguments go to the program.
set -euo pipefail
cd "$(dirname "$0")/.."

./scripts/install-deps.sh
./scripts/build.sh build -DCMAKE_BUILD_TYPE=RelWithDebInfo

example="K7Q5110-inverter"
work="${HWC_WORK:-$HOME/hwc-projects}"
if [ ! -e "$work/$example" ]; then
    mkdir -p "$work"
    cp -r "examples/$example" "$work/$example"
    echo "Copied the example project to $work/$example"
fi

if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
    echo "No display found: showing what the headless program reads instead." >&2
    # The configuration in words, then any warnings, then how to open it on a display.
    build/bin/hwc-batch describe "$work/$example"
    build/bin/hwc-batch check "$work/$example"
    echo
    echo "On a display, this opens the project in the desktop program:"
    printf '  %q %q' "$PWD/build/bin/hwc" "$work/$example"
    [ $# -eq 0 ] || printf ' %q' "$@"
    echo
    exit 0
fi
exec build/bin/hwc "$work/$example" "$@"
