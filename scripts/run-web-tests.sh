#!/usr/bin/env bash
# The web build and its browser tests: builds build/web/www, has magshot (release build, headless
# backend) draw the demo's frames after the keys the browser test presses, and checks the page
# in headless chromium against them. Needs what scripts/install-deps.sh installs.
set -euo pipefail
cd "$(dirname "$0")/.."
jobs=$(nproc)

cmake --preset release >/dev/null
cmake --build --preset release -j "$jobs" --target magshot
cmake --preset web >/dev/null
cmake --build --preset web -j "$jobs"

frames=$(mktemp -d)
trap 'rm -rf "$frames"' EXIT
# The home page after its fade; then Down Down Return: the third chapter after its fade.
build/release/tools/magshot/magshot --dir demo --wait 3000 --shot "$frames/home.raw" \
    --key 40 --key 40 --key 13 --wait 3000 --shot "$frames/third.raw"
node tests/web/browser_test.cjs build/web/www build/web/quorvel-demo.html "$frames"
