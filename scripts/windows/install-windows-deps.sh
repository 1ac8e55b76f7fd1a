#!/usr/bin/env bash
# Installs what cross-building the Windows viewer and testing it under Wine needs, from Debian's
# packages: the mingw-w64 cross compilers, 64-bit Wine, and the X tools of the window test.
# Does nothing when everything is already there; uses sudo when not run as root.
set -euo pipefail
packages=(cmake ninja-build mingw-w64 wine wine64 googletest xvfb xauth xfonts-base xdotool
          imagemagick zip unzip)
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
