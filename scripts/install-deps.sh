#!/usr/bin/env bash
# Installs the Debian packages the build and the tests need, only those that are missing.
set -euo pipefail

packages=(cmake ninja-build g++ libgtest-dev clang libclang-rt-14-dev
    # the desktop program and its tests under a virtual display
    qt6-base-dev qt6-webengine-dev qt6-webchannel-dev qt6-pdf-dev libqt6pdfwidgets6 libqt6svg6
    qt6-qpa-plugins libgl-dev xvfb xauth)

missing=()
for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

echo "Installing: ${missing[*]}"
SUDO=""
[ "$(id -u)" -ne 0 ] && SUDO="sudo"
export DEBIAN_FRONTEND=noninteractive
$SUDO apt-get update -qq
$SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}"
