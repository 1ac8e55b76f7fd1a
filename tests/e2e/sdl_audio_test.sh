#!/usr/bin/env bash
# The real sound path on SDL2: with the disk audio driver the viewer's ring device writes what it
# plays to a file, which must hold the start song (not silence); with no usable audio driver the
# viewer still starts, runs and ends normally.
# usage: sdl_audio_test.sh VIEWER DEMO_DIR
set -u
viewer=$1 demo=$2
fail=0
check() { if eval "$2"; then echo "ok: $1"; else echo "FAILED: $1"; fail=1; fi; }

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cp -r "$demo"/. "$work/demo"
cd "$work/demo" || exit 1
export SDL_VIDEODRIVER=dummy QVL_NO_MESSAGE_BOXES=1
# The system's audio and video libraries keep some allocations until the process ends; our own
# code's leaks are checked by the headless tests.
export ASAN_OPTIONS="${ASAN_OPTIONS:+$ASAN_OPTIONS:}detect_leaks=0"

# timeout's SIGTERM reaches SDL as a quit: the viewer then ends through its close path, with 0.
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
