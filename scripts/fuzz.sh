#!/usr/bin/env bash
# Builds the fuzzers with clang (address and undefined-behaviour sanitizers,
# libFuzzer) into build/fuzz and runs both at once, one per core, for a
# bounded time. Any crash, leak or sanitizer report fails the script.
#   scripts/fuzz.sh [SECONDS]     (default 60)
set -euo pipefail
cd "$(dirname "$0")/.."
ORX_WITH_CLANG=1 scripts/install-deps.sh

seconds=${1:-60}
echo "=== fuzz: configure and build"
cmake --preset fuzz >/dev/null
cmake --build --preset fuzz -j2 --target rig_fuzzer rig_json_fuzzer rig_seeds
# Seeds of the end-to-end fuzzer made from the default rig and the reference
# rig, so that they follow the rigs as these change.
build/fuzz/bin/rig_seeds build/fuzz/seeds/rig

fuzz() {
    local fuzzer=$1 seeds
    read -r -a seeds <<<"$2"
    local work="build/fuzz/corpus/$fuzzer"
    mkdir -p "$work" build/fuzz/crashes
    # The working corpus grows in build/; the seeds in fuzz/corpus stay small.
    build/fuzz/bin/"$fuzzer" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 \
        -artifact_prefix=build/fuzz/crashes/ \
        -max_len=4096 -print_final_stats=1 "$work" "${seeds[@]}" >"build/fuzz/$fuzzer.log" 2>&1
}

report() {
    local fuzzer=$1 status=$2
    local log="build/fuzz/$fuzzer.log"
    echo "=== $fuzzer: ${seconds}s"
    grep -E '^(#[0-9]+[[:space:]]+(INITED|DONE)|stat::|==[0-9]+==ERROR|SUMMARY|leaked)' "$log" || true
    echo "corpus: $(find "build/fuzz/corpus/$fuzzer" -type f | wc -l) inputs"
    if ((status != 0)) || grep -qE '==[0-9]+==ERROR|runtime error|^leaked|deadly signal' "$log"; then
        echo "$fuzzer failed (exit $status); its log: $log; the input: build/fuzz/crashes/"
        tail -n 40 "$log"
        return 1
    fi
}

echo "=== fuzz: rig_fuzzer and rig_json_fuzzer for ${seconds}s"
fuzz rig_fuzzer "fuzz/corpus/rig build/fuzz/seeds/rig" & rig=$!
fuzz rig_json_fuzzer fuzz/corpus/rig_json & json=$!
rig_status=0 json_status=0
wait "$rig" || rig_status=$?
wait "$json" || json_status=$?
failed=0
report rig_fuzzer "$rig_status" || failed=1
report rig_json_fuzzer "$json_status" || failed=1
((failed == 0)) && echo "fuzzing passed"
exit "$failed"
