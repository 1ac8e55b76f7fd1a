#!/usr/bin/env bash
# Installs what building, running and testing the viewer needs, from Debian's packages.
# Does nothing when everything is already there; uses sudo when not run as root.
set -euo pipefail
packages=(cmake ninja-build g++ pkg-config googletest libgtest-dev libbenchmark-dev libsdl2-dev
          libx11-dev xvfb xauth xfonts-base xdotool imagemagick clang-format clang libclang-rt-14-dev)
missing=()
for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0
echo "installing: ${missing[*]}"
sudo=""
[ "$(id -u)" -eq 0 ] || sudo=sudo
export DEBIAN_FRONTEND=noninteractive
$sudo apt-get update -q
$sudo apt-get install -y -q --no-install-recommends "${missing[@]}"
