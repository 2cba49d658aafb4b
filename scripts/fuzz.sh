#!/usr/bin/env bash
# Builds the fuzzers with clang (address and undefined-behaviour sanitizers,
# libFuzzer) into build/fuzz and runs each for a bounded time. Any crash,
# leak or sanitizer report fails the script.
#   scripts/fuzz.sh [SECONDS]     (default 60 per fuzzer)
set -euo pipefail
cd "$(dirname "$0")/.."
ORX_WITH_CLANG=1 scripts/install-deps.sh

seconds=${1:-60}
cmake --preset fuzz >/dev/null
cmake --build --preset fuzz -j2 --target rig_fuzzer rig_json_fuzzer

run() {
    local fuzzer=$1 seeds=$2
    local work="build/fuzz/corpus/$fuzzer"
    mkdir -p "$work" build/fuzz/crashes
    echo "=== $fuzzer: ${seconds}s"
    # The working corpus grows in build/; the seeds in fuzz/corpus stay small.
    build/fuzz/bin/"$fuzzer" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 \
        -artifact_prefix=build/fuzz/crashes/ \
        -max_len=4096 -print_final_stats=1 "$work" "$seeds" 2>&1 | tee "build/fuzz/$fuzzer.log" |
        grep -E '^(#[0-9]+ +(INITED|DONE)|stat::|==[0-9]+==ERROR|SUMMARY|leaked)' || true
    echo "corpus: $(find "$work" -type f | wc -l) inputs"
    ! grep -qE '==[0-9]+==ERROR|runtime error|^leaked|deadly signal' "build/fuzz/$fuzzer.log"
}

run rig_fuzzer fuzz/corpus/rig
run rig_json_fuzzer fuzz/corpus/rig_json
echo "fuzzing passed"
