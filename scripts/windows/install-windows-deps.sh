#!/usr/bin/env bash
# Installs what cross-building the Windows viewer and testing it under Wine needs, from Debian's
# packages: the mingw-w64 cross compilers, 64-bit Wine, and the X tools of the window test.
set -euo pipefail
exec "$(dirname "$0")/../apt-install.sh" \
    cmake ninja-build mingw-w64 wine wine64 googletest xvfb xauth xfonts-base xdotool imagemagick \
    zip unzip
