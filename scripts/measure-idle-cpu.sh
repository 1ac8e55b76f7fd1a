#!/usr/bin/env bash
# What the viewer costs while it shows a still page: the demo's home page with its music playing,
# in a window on an Xvfb screen of 1920 x 1080 (no vsync there worth the name). Prints the CPU
# time of the whole process (every thread, user and system, from /proc/PID/stat) as a share of
# one core over SECONDS (10 unless given), after two seconds to settle. A VIEWER ending in .exe
# runs under wine (WINEPREFIX and the rest from the environment), which may take a while to show
# its window in a new prefix; the figure is then that of the .exe's own process.
# usage: measure-idle-cpu.sh VIEWER DEMO_DIR [SECONDS]
set -u
viewer=$(realpath "$1") demo=$2 seconds=${3:-10}
work=$(mktemp -d) xvfb= app=
trap '[ -n "$app" ] && kill "$app" 2>/dev/null; [ -n "$xvfb" ] && kill "$xvfb" 2>/dev/null; rm -rf "$work"' EXIT
cp -r "$demo"/. "$work/demo"

exec 3< <(exec Xvfb -displayfd 1 -screen 0 1920x1080x24 -nolisten tcp 2>/dev/null)
xvfb=$!
read -r -t 10 number <&3 || { echo "Xvfb did not start" >&2; exit 1; }
export DISPLAY=:$number SDL_AUDIODRIVER=dummy QVL_NO_MESSAGE_BOXES=1

runner=() wait_s=10
if [[ $viewer == *.exe ]]; then
    runner=("${WINE:-wine64}") wait_s=60
fi
# wine starts the .exe in its own process, which keeps the PID it was started with.
(cd "$work/demo" && exec "${runner[@]}" "$viewer") </dev/null >/dev/null 2>&1 &
app=$!
wid=$(timeout "$wait_s" xdotool search --sync --name '^quorvel$' 2>/dev/null | head -n 1)
[ -n "$wid" ] || { echo "no window appeared" >&2; exit 1; }
sleep 2

# Fields 14 and 15 of /proc/PID/stat, counted after the command name's closing parenthesis,
# which may itself hold spaces.
ticks() { sed 's/.*) //' "/proc/$app/stat" | awk '{ print $12 + $13 }'; }
before=$(ticks) start=$(date +%s.%N)
sleep "$seconds"
after=$(ticks) end=$(date +%s.%N)
size=$(xdotool getwindowgeometry "$wid" | awk '/Geometry/ { print $2 }')
awk -v t=$((after - before)) -v hz="$(getconf CLK_TCK)" -v a="$start" -v b="$end" -v size="$size" \
    'BEGIN { printf "cpu: %.1f%% of one core over %.1f s (window %s)\n", 100 * t / hz / (b - a), b - a, size }'
