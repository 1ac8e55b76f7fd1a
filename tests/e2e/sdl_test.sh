#!/usr/bin/env bash
# The viewer on SDL2, run in a copy of the demo.
# "audio": with the disk audio driver the ring device writes what it plays to a file, which must
# hold the start song (not silence); with no usable audio driver the viewer still runs normally.
# "window", under Xvfb: the window's title and size, pixels of its picture, F12 ends it with 0,
# the window manager's close ends it with 0, Ctrl+C puts the page's text on the clipboard (read
# with xclip) and never reaches the magazine's bindings, with --watch an edit of the script
# changes the picture without a key, a missing script ends it with 1 before any window.
# usage: sdl_test.sh audio VIEWER DEMO_DIR | sdl_test.sh window VIEWER DEMO_DIR WM_CLOSE
set -u
mode=$1 viewer=$2 demo=$3 wm_close=${4:-} xvfb=
fail=0
check() { if eval "$2"; then echo "ok: $1"; else echo "FAILED: $1"; fail=1; fi; }

work=$(mktemp -d)
trap '[ -n "$xvfb" ] && kill $xvfb 2>/dev/null; rm -rf "$work"' EXIT
cp -r "$demo"/. "$work/demo"
export QVL_NO_MESSAGE_BOXES=1
# The system's audio, X11, GL and D-Bus libraries keep some allocations until the process ends;
# our own code's leaks are checked by the headless tests.
export ASAN_OPTIONS="${ASAN_OPTIONS:+$ASAN_OPTIONS:}detect_leaks=0"

if [ "$mode" = audio ]; then
    cd "$work/demo" || exit 1
    export SDL_VIDEODRIVER=dummy
    # timeout's SIGTERM reaches SDL as a quit: the viewer ends through its close path, with 0.
    SDL_AUDIODRIVER=disk SDL_DISKAUDIOFILE="$work/out.raw" timeout -k 5 --preserve-status 3 "$viewer" 2>/dev/null
    rc=$?
    check "the viewer ends with 0 on SIGTERM (got $rc)" '[ "$rc" = 0 ]'
    bytes=$(stat -c %s "$work/out.raw" 2>/dev/null || echo 0)
    check "the disk device received about 3 s of audio (got $bytes bytes)" '[ "$bytes" -gt 300000 ]'
    # Skip the first half second (the ring's first lap of silence), then look for sound.
    loud=$(tail -c +88201 "$work/out.raw" | od -An -v -td2 -w2 | awk '{ if ($1 > 1000 || $1 < -1000) n++ } END { print n + 0 }')
    check "it played the start song, not silence ($loud loud samples)" '[ "$loud" -gt 1000 ]'
    SDL_AUDIODRIVER=nonexistent timeout -k 5 --preserve-status 2 "$viewer" 2>"$work/err.txt"
    rc=$?
    check "without audio the viewer still runs and ends with 0 (got $rc)" '[ "$rc" = 0 ]'
    check "and shows no message" '! grep -q "morrowick" "$work/err.txt"'
    exit $fail
fi

# A display of our own: Xvfb picks a free number and writes it to the pipe.
exec 3< <(Xvfb -displayfd 1 -screen 0 1024x768x24 -nolisten tcp 2>/dev/null)
xvfb=$!
read -r -t 10 number <&3 || { echo "FAILED: Xvfb did not start"; exit 1; }
export DISPLAY=:$number SDL_AUDIODRIVER=dummy

# Runs the viewer in the demo copy, with ARGS, and sets wid to its window (empty without one);
# then ACTION runs, and rc is the exit code (999 when the viewer did not end within 5 s).
# usage: run_viewer ACTION [ARGS...]
run_viewer() {
    (cd "$work/demo" && exec timeout -k 5 60 "$viewer" "${@:2}") 2>"$work/err.txt" &
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

# With "c" bound to "exit now", Ctrl+C must leave the viewer running; c alone then ends it.
sed -i 's/^#definekeys 4$/#definekeys 5/; s/^#key 3 n nextmusic$/&\n#key 4 c exit now/' "$work/demo/qvl.mag"
alive=0
run_viewer 'sleep 0.5; xdotool key --window "$wid" ctrl+c; sleep 0.5
    xclip -o -selection clipboard >"$work/clip.txt"; kill -0 "$app" && alive=1
    xdotool key --window "$wid" c'
check "Ctrl+C leaves the viewer running, c ends it with 0 (got $rc)" '[ "$alive" = 1 ] && [ "$rc" = 0 ]'
check "the clipboard holds a menu line of the home page" \
    'grep -qx "           1  First steps: a magazine in five minutes" "$work/clip.txt"'
check "and its box drawing as Unicode, trailing spaces trimmed" \
    'grep -q "╔═*╗" "$work/clip.txt" && ! grep -q " \$" "$work/clip.txt"'

# --watch: two shots half a second apart agree; sed -i (a new file renamed over the script)
# puts capitals in the home page's first menu line, and a second later the picture differs.
run_viewer 'sleep 0.5; import -window "$wid" "$work/a.png"; sleep 0.5; import -window "$wid" "$work/b.png"
    sed -i "s/  First steps: a magazine/  FIRST STEPS: a magazine/" "$work/demo/qvl.mag"; sleep 1
    import -window "$wid" "$work/c.png"; xdotool key --window "$wid" F12' --watch
same=$(compare -metric AE "$work/a.png" "$work/b.png" null: 2>&1)
changed=$(compare -metric AE "$work/a.png" "$work/c.png" null: 2>&1)
check "with --watch the picture stands still (got $same pixels changed)" '[ "$same" = 0 ]'
check "and an edit of the script changes it (got $changed pixels)" '[ "$changed" -gt 100 ] 2>/dev/null'
check "F12 still ends it with 0 (got $rc)" '[ "$rc" = 0 ]'

rm "$work/demo/qvl.mag"
run_viewer 'echo "FAILED: a window without a script"; fail=1'
check "without qvl.mag it exits with 1 (got $rc)" '[ "$rc" = 1 ]'
check "and says why" 'grep -q "script could not be loaded! terminating..." "$work/err.txt"'
exit $fail
