#!/usr/bin/env bash
# Builds the viewer and runs every test: the release build, the address+undefined sanitizer
# build, the web build in headless chromium, the Windows build under wine, a minute of fuzzing
# for each file reader (over every seed and every earlier finding first), and the
# thread-sanitizer run of the tests that start the viewer's threads.
set -euo pipefail
cd "$(dirname "$0")/.."
./scripts/install-deps.sh
./scripts/check-platform-seam.sh
./scripts/check-format.sh
jobs=$(nproc)

for preset in release asan; do
    echo "== $preset build"
    cmake --preset "$preset" >/dev/null
    cmake --build --preset "$preset" -j "$jobs"
    echo "== $preset tests"
    ctest --preset "$preset" -j "$jobs"
done

echo "== web build and browser tests"
./scripts/run-web-tests.sh

echo "== windows build and tests under wine"
./scripts/windows/test-windows.sh build/windows

echo "== fuzzing, 60 s a reader"
./scripts/run-fuzz.sh 60

echo "== tsan build (the tests that run the viewer's threads)"
cmake --preset tsan >/dev/null
cmake --build --preset tsan -j "$jobs" --target app_test e2e_viewer_run_test e2e_watch_test \
    magshot xm2wav sound_test runtime_test
ctest --preset tsan -j "$jobs" -R '^(ViewerTest|ViewerRunTest|WatchTest|SoundWaveOutput|MagazineTest)\.'
