#!/usr/bin/env bash
# The C++ sources follow .clang-format.
set -u
cd "$(dirname "$0")/.."
if clang-format --dry-run --Werror $(git ls-files '*.cpp' '*.h') 2>/dev/null; then
    echo "format: every source follows .clang-format"
else
    clang-format --dry-run $(git ls-files '*.cpp' '*.h') 2>&1 | grep warning | cut -d: -f1 | sort -u | sed 's/^/not formatted: /'
    exit 1
fi
