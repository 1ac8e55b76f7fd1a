#!/usr/bin/env bash
# The web build and its tests: the mixer's tests under node (WebAssembly's vector loops against
# the portable ones); then the browser tests: builds build/web/www and the single-file page, has
# magshot (release build, headless backend) draw the demo's frames after the keys the browser
# test presses and xm2wav render the demo's first two songs, and checks the pages in headless
# chromium against them; a magazine without its font is packed to check its message; then the
# reader page opening zips of the demo (tests/web/make_zips.py writes them). Needs what
# scripts/install-deps.sh installs.
set -euo pipefail
cd "$(dirname "$0")/.."
jobs=$(nproc)

cmake --preset release >/dev/null
cmake --build --preset release -j "$jobs" --target magshot xm2wav
cmake --preset web >/dev/null
cmake --build --preset web -j "$jobs"
cmake --build --preset web -j "$jobs" --target player_mixer_test
node build/web/tests/web/player_mixer_test.js --gtest_brief=1

frames=$(mktemp -d)
trap 'rm -rf "$frames"' EXIT
# The home page after its fade; then Down Down Return: the third chapter after its fade; then
# Esc: the home page again, its third entry still chosen.
# Chapter one (a scrolling page) after Return, a wheel notch down, and at its end.
build/release/tools/magshot/magshot --dir demo --wait 3000 --shot "$frames/home.raw" \
    --text "$frames/home.txt" \
    --key 40 --key 40 --key 13 --wait 3000 --shot "$frames/third.raw" \
    --key 27 --wait 3000 --shot "$frames/back.raw"
build/release/tools/magshot/magshot --dir demo --wait 3000 --key 13 --wait 3000 \
    --shot "$frames/one.raw" --wheel down --wait 100 --shot "$frames/one-down.raw" \
    --key 35 --wait 100 --shot "$frames/one-end.raw"
for song in intro drift; do
    build/release/tools/xm2wav/xm2wav "demo/music/$song.xm" "$frames/$song.wav" --seconds 30
done
cp -r demo "$frames/no-font"
rm "$frames/no-font/data/system/font.bmp"
scripts/pack-web.py --engine build/web/engine "$frames/no-font" "$frames/no-font-www" >/dev/null
node tests/web/browser_test.cjs build/web/www build/web/quorvel-demo.html "$frames/no-font-www" \
    "$frames"
# The reader page beside the zips it is to open.
python3 tests/web/make_zips.py demo "$frames/site"
cp -r build/web/reader "$frames/site/reader"
node tests/web/reader_test.cjs "$frames/site" demo "$frames"
