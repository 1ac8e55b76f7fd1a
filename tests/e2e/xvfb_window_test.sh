#!/usr/bin/env bash
# The viewer in a real window under Xvfb: the window's title and size, pixels of its picture,
# F12 ends it with 0, the window manager's close ends it with 0, and a missing script ends it
# with 1 before any window exists.
# usage: xvfb_window_test.sh VIEWER WM_CLOSE DEMO_DIR
set -u
viewer=$1 wm_close=$2 demo=$3
fail=0
check() { if eval "$2"; then echo "ok: $1"; else echo "FAILED: $1"; fail=1; fi; }

work=$(mktemp -d)
trap 'kill $xvfb 2>/dev/null; rm -rf "$work"' EXIT
cp -r "$demo"/. "$work/demo"
# A display of our own: Xvfb picks a free number and writes it to the pipe.
exec 3< <(Xvfb -displayfd 1 -screen 0 1024x768x24 -nolisten tcp 2>/dev/null)
xvfb=$!
read -r -t 10 number <&3 || { echo "FAILED: Xvfb did not start"; exit 1; }
export DISPLAY=:$number QVL_NO_MESSAGE_BOXES=1 SDL_AUDIODRIVER=dummy
# The X11, GL and D-Bus libraries keep some allocations until the process ends; our own code's
# leaks are checked by the headless tests.
export ASAN_OPTIONS="${ASAN_OPTIONS:+$ASAN_OPTIONS:}detect_leaks=0"

# Runs the viewer in the demo copy and sets wid to its window (empty without one); then ACTION
# runs, and rc is the exit code (999 when the viewer did not end within 5 s).
run_viewer() {
    (cd "$work/demo" && exec timeout -k 5 60 "$viewer") 2>"$work/err.txt" &
    app=$!
    wid=$(timeout 10 xdotool search --sync --name '^quorvel$' 2>/dev/null | head -n 1)
    [ -n "$wid" ] && eval "$1"
    for _ in $(seq 50); do kill -0 "$app" 2>/dev/null && sleep 0.1; done
    if kill -0 "$app" 2>/dev/null; then rc=999; kill "$app"; else wait "$app"; rc=$?; fi
}
# A pixel of the shot reduced to 5/6/5 bits, as the display stores the frame.
pixel() { convert "$work/shot.png" -format "%[fx:int(255*p{$1}.r/8)],%[fx:int(255*p{$1}.g/4)],%[fx:int(255*p{$1}.b/8)]" info:; }

run_viewer 'sleep 0.5; import -window "$wid" "$work/shot.png"; xdotool key --window "$wid" F12'
check "a window titled quorvel appears" '[ -n "$wid" ]'
size=$(identify -format '%wx%h' "$work/shot.png")
check "its picture is 640 x 480 (got $size)" '[ "$size" = 640x480 ]'
# The home page's first menu entry is highlighted black on cyan: paper (0, 126, 126).
menu=$(pixel 90,311) bottom=$(pixel 320,470)
check "the first menu entry is highlighted in cyan (got $menu)" '[ "$menu" = "0,31,15" ]'
check "the bottom of the picture is black (got $bottom)" '[ "$bottom" = "0,0,0" ]'
check "F12 ends the viewer with exit code 0 (got $rc)" '[ "$rc" = 0 ]'

run_viewer '"$wm_close" "$wid"'
check "closing the window ends the viewer with exit code 0 (got $rc)" '[ "$rc" = 0 ]'

rm "$work/demo/qvl.mag"
run_viewer 'echo "FAILED: a window without a script"; fail=1'
check "without qvl.mag it exits with 1 (got $rc)" '[ "$rc" = 1 ]'
check "and says why" 'grep -q "script could not be loaded! terminating..." "$work/err.txt"'

exit $fail
