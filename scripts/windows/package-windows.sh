#!/usr/bin/env bash
# Builds the Windows release zip: quorvel.exe, the demo magazine (script, font, texts, ANSI art,
# music) and the two texts for users, in one folder "quorvel" that a Windows user unpacks and
# runs. Usage: scripts/windows/package-windows.sh [build-dir]  -> <build-dir>/quorvel-windows.zip
set -euo pipefail
cd "$(dirname "$0")/../.."
root=$PWD
build=${1:-build-win}
./scripts/windows/install-windows-deps.sh
./scripts/windows/build-windows.sh "$build"

stage="$root/$build/package/quorvel"
rm -rf "$root/$build/package"
mkdir -p "$stage"
cp -r demo/. "$stage/"
cp "$build/src/main/quorvel.exe" "$stage/"
x86_64-w64-mingw32-strip "$stage/quorvel.exe"
# Windows' own editors want CR LF line ends in the texts for readers.
for text in packaging/windows/README.txt packaging/windows/WRITING-A-MAGAZINE.txt; do
    sed 's/$/\r/' "$text" >"$stage/$(basename "$text")"
done

zip_file="$root/$build/quorvel-windows.zip"
rm -f "$zip_file"
(cd "$root/$build/package" && zip -qr -X "$zip_file" quorvel)
echo "$zip_file"
unzip -l "$zip_file" | tail -1
