#!/usr/bin/env bash
# The Windows build's tests under wine: the cross-built unit tests, then quorvel.exe itself on a
# 1920 x 1080 Xvfb screen with the demo magazine: its window at 2 x, pixel for pixel against
# magshot's frames, resized to 1 x and below, clicks on a menu entry and the wheel, Alt+Enter to
# full screen and back, Ctrl+C onto the X clipboard (which wine serves) without reaching the
# magazine's binding on c, --watch, the CPU a still page costs, F12 and Alt+F4 ending it with 0;
# start-up failures ending with 1 without hanging; the script's full screen, refused by the
# 1920 x 1080 display and shown on a 640 x 480 x 16 one, with Alt+Enter to the window and back;
# the release zip, and xm2wav.exe.
# One fresh wine prefix for the whole run, with a persistent wineserver started detached: wine's
# helper processes would otherwise hold ctest's pipes open and cost seconds per test.
# magshot (the frames and the text to compare with) is the Linux release build's when there is
# one (QVL_MAGSHOT names another), else the cross-built magshot.exe under wine.
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
small_xvfb_pid=""
app_pid=""
cleanup() {
    [ -n "$app_pid" ] && kill "$app_pid" 2>/dev/null || true
    "$wineserver" -k >/dev/null 2>&1 || true
    [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null || true
    [ -n "$small_xvfb_pid" ] && kill "$small_xvfb_pid" 2>/dev/null || true
    rm -rf "$work"
}
trap cleanup EXIT

fail() {
    echo "FAIL: $*"
    exit 1
}

phase "wine prefix and Xvfb"
Xvfb -displayfd 3 -screen 0 1920x1080x24 -nolisten tcp 3>"$work/display" >/dev/null 2>&1 &
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

# frame565 and same_frame: screenshots against magshot's frames.
. "$root/tests/support/screen_frames.sh"
# Takes screenshots of the window into SHOT until it shows REF (see same_frame), for up to 5 s.
shows_frame() {
    for _ in $(seq 20); do
        DISPLAY="$display" import -window "$wid" "$work/$1"
        same_frame "$@" && return 0
        sleep 0.25
    done
    return 1
}
# The window's client area (wine's X window) as WIDTHxHEIGHT+X+Y.
geometry() {
    DISPLAY="$display" xwininfo -id "$wid" | awk '/Absolute upper-left X/ { x = $NF }
        /Absolute upper-left Y/ { y = $NF } /Width/ { w = $NF } /Height/ { h = $NF }
        END { print w "x" h "+" x "+" y }'
}
x() { DISPLAY="$display" "$@" 2>/dev/null; }

phase "magshot: the frames and the text to compare with"
magshot=${QVL_MAGSHOT:-$root/build/release/tools/magshot/magshot}
[ -x "$magshot" ] || magshot="$wine $root/$build/tools/magshot/magshot.exe"
# The home page, the third entry selected (Down Down), the third chapter (Return), the first
# chapter (Return on the home page) and it one Down press further; the home page's text.
(cd "$work" && $magshot --dir "$root/demo" --wait 50 --shot ref-home.png --text ref-home.txt \
    --key 40 --key 40 --wait 100 --shot ref-sel.png --key 13 --wait 1000 --shot ref-three.png &&
    $magshot --dir "$root/demo" --wait 50 --key 13 --wait 1000 --shot ref-one.png --key 40 \
        --wait 100 --shot ref-down.png) </dev/null >/dev/null 2>&1 || fail "magshot"
cmp -s "$work/ref-one.png" "$work/ref-down.png" && fail "the first chapter does not scroll"

phase "viewer: window at 2 x, resized to 1 x and below, F12"
start_viewer "$root/demo"
wait_for_window
shows_frame home.png ref-home.png 1280x960+0+0 || fail "the window does not show the home page at 2 x"
size=$(geometry)
[ "${size%%+*}" = 1280x960 ] || fail "client area $size, not 1280x960"
[ -n "${QVL_SHOT_DIR:-}" ] && cp "$work/home.png" "$QVL_SHOT_DIR/windows-home.png"
x xdotool windowsize "$wid" 700 560
shows_frame middle.png ref-home.png 640x480+30+40 1 || fail "at 700 x 560 the picture is not at 1 x in the middle"
[ "$(identify -format '%wx%h' "$work/middle.png")" = 700x560 ] || fail "not resized to 700 x 560"
border=$(convert "$work/middle.png" -crop 30x560+0+0 -format '%[fx:maxima.r+maxima.g+maxima.b]' info:)
[ "$border" = 0 ] || fail "the border beside the picture is not black"
# Below 1 x it shrinks to fill the window, at 4:3: like the home page brought down to 400 x 300
# by dropping rows and columns (which ones may differ), unlike the first chapter so.
x xdotool windowsize "$wid" 400 300
sleep 0.5
x import -window "$wid" "$work/small.png"
[ "$(identify -format '%wx%h' "$work/small.png")" = 400x300 ] || fail "not resized to 400 x 300"
convert "$work/ref-home.png" -sample 400x300 "$work/ref-small.png"
convert "$work/ref-one.png" -sample 400x300 "$work/ref-other.png"
near=$(compare -metric AE "$work/small.png" "$work/ref-small.png" null: 2>&1) || true
far=$(compare -metric AE "$work/small.png" "$work/ref-other.png" null: 2>&1) || true
[ "$near" -lt 8000 ] && [ "$far" -gt 16000 ] ||
    fail "at 400 x 300: $near pixels differ from the home page shrunk, $far from another page"
x xdotool key --window "$wid" F12
expect_exit 0
echo "window 1280x960 showing magshot's home page at 2 x; 1 x centred at 700x560; shrunk at 400x300 ($near of 120000 pixels off the home page shrunk, $far off another page); F12 ended it with 0"

phase "viewer: clicks on a menu entry, the wheel"
start_viewer "$root/demo"
wait_for_window
shows_frame home.png ref-home.png 1280x960+0+0 || fail "no home page"
# The contents' third entry is picture line 28, columns 12 to 66: (300, 330) lies on it, and
# (600, 660) in the window at 2 x. Wine takes a press where the pointer was last seen to move.
x xdotool mousemove --window "$wid" 600 660
sleep 0.3
x xdotool click 1
shows_frame sel.png ref-sel.png 1280x960+0+0 || fail "a click on the third entry does not select it as Down Down do"
x xdotool click 1
shows_frame three.png ref-three.png 1280x960+0+0 || fail "a second click does not open the third chapter as Return does"
x xdotool key --window "$wid" Escape
shows_frame home.png ref-sel.png 1280x960+0+0 || fail "Esc does not lead back to the contents"
x xdotool key --window "$wid" Up Up Return
shows_frame one.png ref-one.png 1280x960+0+0 || fail "no first chapter"
x xdotool click 5
shows_frame down.png ref-down.png 1280x960+0+0 || fail "a wheel notch down does not scroll as Down does"
x xdotool key --window "$wid" F12
expect_exit 0
echo "two clicks on the third entry selected and opened it; a wheel notch scrolled the first chapter"

phase "viewer: Alt+Enter, Ctrl+C"
# With "c" bound to "exit now", Ctrl+C must leave the viewer running; c alone then ends it.
cp -r "$root/demo" "$work/bound"
sed -i 's/^#definekeys 4$/#definekeys 5/; s/^#key 3 n nextmusic$/&\n#key 4 c exit now/' "$work/bound/qvl.mag"
start_viewer "$work/bound"
wait_for_window
shows_frame home.png ref-home.png 1280x960+0+0 || fail "no home page"
window=$(geometry)
x xdotool key --window "$wid" alt+Return
sleep 1
full=$(geometry)
[ "$full" = 1920x1080+0+0 ] || fail "Alt+Enter gave $full, not the whole screen"
x import -window root "$work/full.png"
same_frame full.png ref-home.png 1280x960+320+60 ||
    fail "full screen does not show the home page at 2 x in the middle (or Enter reached it)"
edge=$(convert "$work/full.png" -format '%[fx:int(255*p{10,10}.r)],%[fx:int(255*p{1900,1070}.b)]' info:)
[ "$edge" = 0,0 ] || fail "full screen is not black around the picture ($edge)"
x xdotool key --window "$wid" alt+Return
sleep 1
back=$(geometry)
[ "$back" = "$window" ] || fail "Alt+Enter again gave $back, not the window's $window"
x xdotool key --window "$wid" ctrl+c
sleep 0.5
x xclip -o -selection clipboard >"$work/clip.txt" || true
kill -0 "$app_pid" 2>/dev/null || fail "Ctrl+C reached the binding on c"
tr -d '\r' <"$work/clip.txt" | cmp -s - "$work/ref-home.txt" ||
    fail "the clipboard does not hold the page's text: $(head -c 200 "$work/clip.txt")"
x xdotool key --window "$wid" c
expect_exit 0
echo "Alt+Enter filled the screen (home page at 2 x on black) and gave the window $window back; Ctrl+C put the page's $(wc -l <"$work/ref-home.txt") lines on the clipboard, and c then ended it with 0"

phase "viewer: --watch"
cp -r "$root/demo" "$work/watched"
(cd "$work/watched" && exec env DISPLAY="$display" QVL_NO_MESSAGE_BOXES=1 timeout -k 5 60 "$wine" \
    "$exe" --watch </dev/null >"$work/viewer.log" 2>&1) &
app_pid=$!
wait_for_window
shows_frame home.png ref-home.png 1280x960+0+0 || fail "no home page"
# sed -i writes a new file and renames it over the script; its size changes with the line.
sed -i "s/  First steps: a magazine/  FIRST STEPS at last: a magazine/" "$work/watched/qvl.mag"
sleep 1.5
x import -window "$wid" "$work/edited.png"
changed=$(compare -metric AE "$work/home.png" "$work/edited.png" null: 2>&1) || true
[ "$changed" -gt 100 ] 2>/dev/null || fail "an edit of the script did not change the picture ($changed)"
x xdotool key --window "$wid" F12
expect_exit 0
echo "with --watch an edit of the script changed $changed pixels; F12 ended it with 0"

phase "viewer: the CPU of a still page"
# The demo's home page with its music (silent here: no sound device) for 10 s at 2 x; 5% of a
# core is the aim, the bound is loose for a shared machine, yet a loop that never waits (a whole
# core) cannot pass it.
cpu=$(WINE="$wine" ./scripts/measure-idle-cpu.sh "$exe" "$root/demo" 10) || fail "no CPU figure: $cpu"
echo "$cpu"
percent=$(echo "$cpu" | sed -n 's/^cpu: \([0-9.]*\)%.*/\1/p')
awk -v p="${percent:-999}" 'BEGIN { exit !(p < 25) }' || fail "a still page costs ${percent:-?}% of a core"

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
# A box that has not got the focus yet may miss the key: it is pressed until the box goes.
for _ in $(seq 10); do
    sleep 0.3
    x xdotool windowfocus "$box"
    x xdotool key --window "$box" Return
    sleep 0.3
    kill -0 "$app_pid" 2>/dev/null || break
done
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

phase "viewer: the script's full screen on a 640 x 480 x 16 display, Alt+Enter to the window"
# A display already at 640 x 480 x 16 lets DirectDraw's switch succeed under wine.
Xvfb -displayfd 3 -screen 0 640x480x16 -nolisten tcp 3>"$work/small-display" >/dev/null 2>&1 &
small_xvfb_pid=$!
for _ in $(seq 100); do [ -s "$work/small-display" ] && break; sleep 0.05; done
[ -s "$work/small-display" ] || fail "the second Xvfb did not start"
wide_display=$display
display=":$(head -1 "$work/small-display")"
# Wine's desktop process knows the display it started on, and its modes: a new one starts on
# this display, and another one on the first display after it.
restart_wineserver() {
    "$wineserver" -k >/dev/null 2>&1 || true
    "$wineserver" -w >/dev/null 2>&1 || true
    "$wineserver" -p </dev/null >/dev/null 2>&1
}
restart_wineserver
start_viewer "$work/fullscreen"
wait_for_window
shows_root() {
    for _ in $(seq 20); do
        x import -window root "$work/$1"
        same_frame "$1" "$2" 640x480+0+0 1 && return 0
        sleep 0.25
    done
    return 1
}
shows_root direct.png ref-home.png || fail "DirectDraw's full screen does not show the home page"
[ "$(geometry)" = 640x480+0+0 ] || fail "the full-screen window is $(geometry)"
x xdotool key --window "$wid" alt+Return
sleep 1
windowed=$(geometry)
[ "$windowed" != 640x480+0+0 ] || fail "Alt+Enter did not leave the full screen for the window"
# Without a window manager the window that left the exclusive mode may not have the focus.
x xdotool windowfocus "$wid"
x xdotool key --window "$wid" alt+Return
sleep 1
[ "$(geometry)" = 640x480+0+0 ] || fail "Alt+Enter again gave $(geometry), not the whole screen"
shows_root borderless.png ref-home.png || fail "Alt+Enter again does not give the full screen back"
x xdotool key --window "$wid" F12
expect_exit 0
display=$wide_display
restart_wineserver
kill "$small_xvfb_pid" 2>/dev/null || true
small_xvfb_pid=""
echo "the script's full screen through DirectDraw showed the home page; Alt+Enter gave a window ($windowed), Alt+Enter again the full screen, F12 ended it with 0"

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
