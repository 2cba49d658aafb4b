#!/bin/sh
# Per-frame instruction and allocation counts under callgrind, for every pixel
# layout and the region camera. Deterministic: two runs print the same figures.
# Not part of the test run (it takes about 30 s).
#
#   bench/count_per_frame.sh [BUILD_DIR] [OUTPUT.json]
#
# BUILD_DIR defaults to build/default (an optimised build with count_per_frame
# built); KEEP_DUMPS=DIR keeps the callgrind dumps; the figures go to OUTPUT.json when given, and always to stdout.
set -eu
here=$(cd "$(dirname "$0")" && pwd)
build=${1:-"$here/../build/default"}
output=${2:-}
program="$build/bin/count_per_frame"
[ -x "$program" ] || { echo "no $program: build the count_per_frame target first" >&2; exit 2; }
command -v valgrind >/dev/null || { echo "valgrind is not installed" >&2; exit 2; }

work=$(mktemp -d)
if [ -n "${KEEP_DUMPS:-}" ]; then
    trap 'mkdir -p "$KEEP_DUMPS" && cp "$work"/* "$KEEP_DUMPS"/; rm -rf "$work"' EXIT
else
    trap 'rm -rf "$work"' EXIT
fi
# Address randomisation off where the system allows it: the copy's
# instruction count depends on how source and destination are aligned.
norandom=
if setarch "$(uname -m)" -R true 2>/dev/null; then norandom="setarch $(uname -m) -R"; fi
$norandom valgrind --tool=callgrind --dump-line=no --compress-pos=no \
    --callgrind-out-file="$work/callgrind.out" \
    "$program" >"$work/program.json" 2>"$work/valgrind.log" || {
    cat "$work/valgrind.log" >&2
    exit 1
}
if [ -n "$output" ]; then
    python3 "$here/callgrind_counts.py" "$work/program.json" "$work"/callgrind.out* | tee "$output"
else
    python3 "$here/callgrind_counts.py" "$work/program.json" "$work"/callgrind.out*
fi
