#!/usr/bin/env bash
# Cross-builds the Windows viewer (quorvel.exe), xm2wav.exe and the unit tests into build-win
# with the mingw-w64 toolchain file. Wine must be installed: the tests' cases are listed by
# running them. Usage: scripts/windows/build-windows.sh [build-dir]
set -euo pipefail
cd "$(dirname "$0")/../.."
build=${1:-build-win}
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release \
    -DCMAKE_TOOLCHAIN_FILE="$PWD/cmake/mingw-w64-x86_64.cmake" >/dev/null
cmake --build "$build" -j 2
