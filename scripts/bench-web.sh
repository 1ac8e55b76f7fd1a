#!/usr/bin/env bash
# Figures of the web build, measured here and printed (no test asserts them): the player's
# rendering speed in WebAssembly under node against the native build on this machine, best of
# three runs each; the demo's download size; the time from a page's start to its first picture
# in a browser that already runs (the browser test prints it for a fresh browser too); and what
# a still page costs the browser's main thread, at normal speed and with the CPU throttled 4 x,
# with the audio callbacks that came late at 4 x (bench/web/still_cost.cjs says how).
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-1200}

cmake --preset release >/dev/null
cmake --build --preset release -j2 --target render_speed >/dev/null
cmake --preset web >/dev/null
cmake --build --preset web -j2 >/dev/null
cmake --build --preset web -j2 --target render_speed >/dev/null

# The best of three: the speed a loaded machine lets through at its least loaded moment.
best() {
    for _ in 1 2 3; do
        "$@" "$seconds" demo/music/*.xm | sed -n 's/^music seconds per second: //p'
    done | sort -g | tail -1
}
native=$(best build/release/bench/player/render_speed)
portable=$(best build/release/bench/player/render_speed --portable)
wasm=$(best node build/web/bench/player/render_speed.js)
echo "rendering, seconds of music per second (the demo's three songs, $seconds s each):"
echo "  native $native (its fastest mix loops), native $portable (plain loops), wasm $wasm"
awk -v n="$native" -v p="$portable" -v w="$wasm" \
    'BEGIN { printf "  wasm / native %.2f, wasm / native plain loops %.2f\n", w / n, w / p }'

www=build/web/www
total=$(cat "$www/quorvel.js" "$www/quorvel.wasm" "$www/magazine.data" | wc -c)
echo "download: quorvel.js $(wc -c <"$www/quorvel.js")," \
    "quorvel.wasm $(wc -c <"$www/quorvel.wasm")," \
    "magazine.data $(wc -c <"$www/magazine.data"), index.html $(wc -c <"$www/index.html") bytes;" \
    "js + wasm + data $total bytes"
echo "single file: $(wc -c <build/web/quorvel-demo.html) bytes"
node bench/web/first_picture.cjs "$www" 9
node bench/web/still_cost.cjs "$www" 10
