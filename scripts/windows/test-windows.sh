#!/usr/bin/env bash
# The Windows build's tests under wine: the cross-built unit tests, then quorvel.exe itself on
# Xvfb with the demo magazine (its window, a screenshot of the home page, F12 and Alt+F4 ending
# it with 0), start-up failures ending with 1 without hanging, the release zip, and xm2wav.exe.
# One fresh wine prefix for the whole run, with a persistent wineserver started detached: wine's
# helper processes would otherwise hold ctest's pipes open and cost seconds per test.
# Usage: scripts/windows/test-windows.sh [build-dir]   (builds it first)
set -euo pipefail
cd "$(dirname "$0")/../.."
root=$PWD
build=${1:-build-win}
started=$(date +%s)
phase() { echo "== $1 ($(($(date +%s) - started)) s)"; }

phase "install"
./scripts/windows/install-windows-deps.sh
phase "cross build"
./scripts/windows/build-windows.sh "$build"

wine=/usr/lib/wine/wine64
[ -x "$wine" ] || wine=$(command -v wine64 || command -v wine)
wineserver=/usr/lib/wine/wineserver
[ -x "$wineserver" ] || wineserver=$(command -v wineserver)
exe="$root/$build/src/main/quorvel.exe"
xm2wav="$root/$build/tools/xm2wav/xm2wav.exe"

work=$(mktemp -d)
# No ALSA driver (no sound card here: wave-out then fails cleanly, without ALSA's complaints),
# and no .NET or HTML engines, which a new prefix would otherwise look for.
export WINEPREFIX="$work/prefix" WINEARCH=win64 WINEDEBUG=-all
export WINEDLLOVERRIDES="winealsa.drv=d;mscoree=d;mshtml=d"
xvfb_pid=""
app_pid=""
cleanup() {
    [ -n "$app_pid" ] && kill "$app_pid" 2>/dev/null || true
    "$wineserver" -k >/dev/null 2>&1 || true
    [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null || true
    rm -rf "$work"
}
trap cleanup EXIT

fail() {
    echo "FAIL: $*"
    exit 1
}

phase "wine prefix and Xvfb"
Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$work/display" >/dev/null 2>&1 &
xvfb_pid=$!
for _ in $(seq 100); do [ -s "$work/display" ] && break; sleep 0.05; done
[ -s "$work/display" ] || fail "Xvfb did not start"
display=":$(head -1 "$work/display")"
mkdir -p "$WINEPREFIX"  # a persistent wineserver wants its prefix to exist
"$wineserver" -p </dev/null >/dev/null 2>&1
DISPLAY="$display" "$wine" wineboot -i </dev/null >/dev/null 2>&1
# The first program with a window starts wine's desktop process: let it start here, on
# /dev/null, rather than inside ctest's listing of a test program's cases, which it would stall.
DISPLAY="$display" "$wine" "$root/$build/tests/win32/win32_test.exe" --gtest_list_tests \
    </dev/null >/dev/null 2>&1

phase "unit tests under wine"
# A test process that wine fails to start (seen rarely: no output at all, 0.01 s) is run again;
# a test that fails for real fails every time.
DISPLAY="$display" ctest --test-dir "$build" -j 2 --timeout 120 --output-on-failure \
    --repeat until-pass:3 </dev/null

# Runs quorvel.exe in the directory given, in the background; output in $work/viewer.log.
start_viewer() {
    (cd "$1" && exec env DISPLAY="$display" QVL_NO_MESSAGE_BOXES=1 timeout -k 5 60 "$wine" "$exe" \
        </dev/null >"$work/viewer.log" 2>&1) &
    app_pid=$!
}

wait_for_window() {
    wid=""
    for _ in $(seq 200); do
        wid=$(DISPLAY="$display" xdotool search --name '^quorvel$' 2>/dev/null | head -1) || true
        [ -n "$wid" ] && return 0
        kill -0 "$app_pid" 2>/dev/null || break
        sleep 0.1
    done
    cat "$work/viewer.log"
    fail "no window titled quorvel"
}

# Waits for the viewer to end; its exit code must be $1.
expect_exit() {
    local rc=0
    wait "$app_pid" || rc=$?
    app_pid=""
    [ "$rc" -eq "$1" ] || { cat "$work/viewer.log"; fail "exit code $rc, not $1"; }
}

phase "viewer: window, home page, F12"
start_viewer "$root/demo"
wait_for_window
geometry=$(DISPLAY="$display" xdotool getwindowgeometry "$wid" | awk '/Geometry/{print $2}')
[ "$geometry" = "640x480" ] || fail "client area $geometry, not 640x480"
# The first menu entry is highlighted black on cyan: RGB565 0x03EF, (0, 31, 15) in 5/6/5 bits.
seen=""
for _ in $(seq 60); do
    DISPLAY="$display" import -window "$wid" "$work/home.png"
    rgb=$(convert "$work/home.png" -crop 1x1+90+311 -depth 8 txt:- | grep -o '#[0-9A-Fa-f]\{6\}' |
        head -1)
    seen="$((16#${rgb:1:2} >> 3)),$((16#${rgb:3:2} >> 2)),$((16#${rgb:5:2} >> 3))"
    [ "$seen" = "0,31,15" ] && break
    sleep 0.25
done
[ "$seen" = "0,31,15" ] || fail "home page pixel (90, 311) is $seen in 5/6/5 bits, not 0,31,15"
size=$(identify -format '%wx%h' "$work/home.png")
[ "$size" = "640x480" ] || fail "screenshot is $size"
[ -n "${QVL_SHOT_DIR:-}" ] && cp "$work/home.png" "$QVL_SHOT_DIR/windows-home.png"
DISPLAY="$display" xdotool key --window "$wid" F12
expect_exit 0
echo "window 640x480, home page shown, F12 ended it with 0"

phase "viewer: Alt+F4 closes the window"
start_viewer "$root/demo"
wait_for_window
sleep 0.5
DISPLAY="$display" xdotool key --window "$wid" alt+F4
expect_exit 0
echo "Alt+F4 ended it with 0"

phase "viewer: start-up failures"
mkdir -p "$work/empty"
start_viewer "$work/empty"
expect_exit 1
grep -q "script could not be loaded! terminating..." "$work/viewer.log" ||
    fail "no script message: $(cat "$work/viewer.log")"
# With boxes allowed on a display, the message waits in a box captioned "morrowick" until the
# user answers it.
(cd "$work/empty" && exec env -u QVL_NO_MESSAGE_BOXES DISPLAY="$display" timeout -k 5 60 "$wine" \
    "$exe" </dev/null >"$work/viewer.log" 2>&1) &
app_pid=$!
box=""
for _ in $(seq 200); do
    box=$(DISPLAY="$display" xdotool search --name '^morrowick$' 2>/dev/null | head -1) || true
    [ -n "$box" ] && break
    sleep 0.1
done
[ -n "$box" ] || fail "no message box captioned morrowick"
sleep 0.3
DISPLAY="$display" xdotool key --window "$box" Return
expect_exit 1
echo "message box captioned morrowick shown, answered, exit code 1"
# Without a display a message box returns at once, even with boxes allowed.
(cd "$work/empty" && env -u DISPLAY -u QVL_NO_MESSAGE_BOXES timeout -k 5 30 "$wine" "$exe" \
    </dev/null >"$work/viewer.log" 2>&1) && rc=0 || rc=$?
[ "$rc" -eq 1 ] || fail "no display: exit code $rc, not 1"
# Full screen: where the display cannot switch to 640 x 480 x 16 (wine on Xvfb), the DirectDraw
# message and 1; where it can, a picture that F12 ends with 0.
cp -r "$root/demo" "$work/fullscreen"
sed -i 's/^#setglobaloption fullscreen off/#setglobaloption fullscreen on/' "$work/fullscreen/qvl.mag"
start_viewer "$work/fullscreen"
for _ in $(seq 50); do
    kill -0 "$app_pid" 2>/dev/null || break
    sleep 0.1
done
if kill -0 "$app_pid" 2>/dev/null; then
    wait_for_window
    DISPLAY="$display" xdotool key --window "$wid" F12
    expect_exit 0
    echo "full screen ran and F12 ended it with 0"
else
    expect_exit 1
    grep -q "initialization of directdraw interface failed!" "$work/viewer.log" ||
        fail "no DirectDraw message: $(cat "$work/viewer.log")"
    echo "full screen refused: DirectDraw message, exit code 1"
fi

phase "release zip: unpacked, it runs"
./scripts/windows/package-windows.sh "$build" >/dev/null
mkdir -p "$work/unpacked"
unzip -q "$build/quorvel-windows.zip" -d "$work/unpacked"
start_viewer "$work/unpacked/quorvel"
wait_for_window
DISPLAY="$display" xdotool key --window "$wid" F12
expect_exit 0
echo "the unpacked zip's viewer showed its window and F12 ended it with 0"

phase "xm2wav.exe"
cp "$root/demo/music/intro.xm" "$work/"
(cd "$work" && "$wine" "$xm2wav" intro.xm intro.wav --seconds 2 </dev/null >/dev/null 2>&1) ||
    fail "xm2wav.exe failed"
bytes=$(stat -c %s "$work/intro.wav")
[ "$bytes" -eq $((44 + 2 * 44100 * 4)) ] || fail "intro.wav has $bytes bytes"
[ "$(head -c 4 "$work/intro.wav")" = "RIFF" ] || fail "intro.wav is no RIFF file"
echo "xm2wav.exe wrote 2 s of 44100 Hz stereo"

phase "all Windows tests passed"
