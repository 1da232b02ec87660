#!/usr/bin/env bash
# Installs what is missing, builds, and opens the bundled example project.
set -euo pipefail
cd "$(dirname "$0")/.."

./scripts/install-deps.sh
./scripts/build.sh build -DCMAKE_BUILD_TYPE=RelWithDebInfo

example="examples/K7Q5110-inverter"
if [ -x build/bin/hwc ]; then
    exec build/bin/hwc "$example" "$@"
fi
# Until the desktop program exists, show what the headless program reads from the example.
build/bin/hwc-batch header "$example"
exec build/bin/hwc-batch check "$example" "$@"
