#!/usr/bin/env bash
# Builds the libFuzzer targets (clang, address and undefined sanitizers) and runs each for a
# while: first over every seed and every input that ever crashed a reader (tests/fuzz/), then on
# new inputs. A crash stops the run; its input is left in build/fuzz/findings/TARGET/ and copied
# to tests/fuzz/regressions/TARGET/, where the replay tests run it from then on: commit it with
# the fix.
# usage: scripts/run-fuzz.sh [SECONDS per target, default 60] [TARGET...]
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
seconds=${1:-60}
shift || true
targets=("$@")
[ ${#targets[@]} -gt 0 ] || targets=(xm script text bmp)

cmake --preset fuzz >/dev/null
cmake --build --preset fuzz -j "$(nproc)" >/dev/null

# The seeds of each target: the hand-made files under tests/fuzz/corpus, the files of the kind
# that the project's tests and demo already hold, and every earlier finding. Absolute paths:
# the targets that read files work in a scratch directory of their own.
seeds() {
    case $1 in
        xm) echo "$root/tests/fuzz/corpus/xm $root/demo/music" ;;
        script) echo "$root/tests/fuzz/corpus/script $root/tests/script/data/magazine $root/demo/text" ;;
        text) echo "$root/tests/text/data $root/demo/art $root/demo/text" ;;
        bmp) echo "$root/demo/data/system" ;;
    esac
    [ ! -d "$root/tests/fuzz/regressions/$1" ] || echo "$root/tests/fuzz/regressions/$1"
}

for target in "${targets[@]}"; do
    work=$root/build/fuzz/corpus/$target findings=$root/build/fuzz/findings/$target
    mkdir -p "$work" "$findings"
    echo "== fuzz_$target: $seconds s"
    # -rss_limit_mb: a reader that allocates without bound is a finding too.
    ASAN_OPTIONS=detect_leaks=1 "$root/build/fuzz/fuzz/fuzz_$target" "$work" $(seeds "$target") \
        -max_total_time="$seconds" -rss_limit_mb=2048 -timeout=10 -max_len=262144 \
        -artifact_prefix="$findings/" -print_final_stats=1 2>&1 |
        grep -E '^(#[0-9]+ +DONE|stat::number_of_executed_units|==[0-9]+==|SUMMARY|INFO: (Loaded|seed)|.*(crash|leak|timeout|oom)-)' || true
    failing=$(ls "$findings" | grep -E '^(crash|leak|timeout|oom)-' || true)
    if [ -n "$failing" ]; then
        mkdir -p "$root/tests/fuzz/regressions/$target"
        for name in $failing; do cp "$findings/$name" "$root/tests/fuzz/regressions/$target/"; done
        echo "fuzz_$target found a failing input, kept in tests/fuzz/regressions/$target:" $failing
        exit 1
    fi
done
echo "fuzzing: no finding"
