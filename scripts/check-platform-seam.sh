#!/usr/bin/env bash
# The portable core includes no platform header: only the backends under src/platform/<name>/
# may include SDL, Windows or X11 headers.
set -u
cd "$(dirname "$0")/.."
hits=$(grep -rnE '^\s*#\s*include\s*[<"](SDL[^">]*|windows\.h|mmsystem\.h|ddraw\.h|X11/[^">]*)[">]' src \
       --include='*.h' --include='*.cpp' | grep -vE '^src/platform/(sdl2|win32)/')
if [ -n "$hits" ]; then
    echo "platform headers in the core:"
    echo "$hits"
    exit 1
fi
echo "platform seam: the core includes no platform header"
