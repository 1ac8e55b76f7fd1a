#!/usr/bin/env bash
# Installs what building, running and testing the viewer on Linux needs, from Debian's packages,
# and the browser tests' driver (puppeteer-core, pinned by package-lock.json) from the npm
# registry. The web build needs emscripten, and node-acorn for its JavaScript optimiser; its
# tests run in Debian's chromium.
set -euo pipefail
cd "$(dirname "$0")/.."
./scripts/apt-install.sh \
    cmake ninja-build g++ pkg-config googletest libgtest-dev libbenchmark-dev libsdl2-dev \
    libpng-dev libsndfile1-dev flac libx11-dev xvfb xauth xclip xfonts-base xdotool imagemagick \
    clang-format clang libclang-rt-14-dev \
    emscripten node-acorn chromium nodejs
# Debian's nodejs comes without npm; a Node.js from elsewhere brings its own.
command -v npm >/dev/null || ./scripts/apt-install.sh npm
# puppeteer-core, never puppeteer, which would download a browser of its own.
npm ci --no-audit --no-fund --loglevel=error
