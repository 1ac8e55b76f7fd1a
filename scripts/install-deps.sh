#!/usr/bin/env bash
# Installs what building, running and testing the viewer on Linux needs, from Debian's packages.
set -euo pipefail
exec "$(dirname "$0")/apt-install.sh" \
    cmake ninja-build g++ pkg-config googletest libgtest-dev libbenchmark-dev libsdl2-dev \
    libx11-dev xvfb xauth xfonts-base xdotool imagemagick clang-format clang libclang-rt-14-dev
