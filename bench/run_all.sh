#!/bin/sh
# Every benchmark figure of docs/benchmarks.md, from scratch, in one command:
#
#   bench/run_all.sh [--update-docs] [OUT_DIR] [BUILD_DIR]
#
# Configures and builds the benchmarks in BUILD_DIR (default build/default,
# the optimised preset), runs each program with a time limit, writes its JSON
# into OUT_DIR (default build/bench-results) with a description of the
# machine, and renders docs/benchmarks.md with these figures into
# OUT_DIR/benchmarks.md. With --update-docs the tracked docs/benchmarks.md is
# rewritten instead (for a commit of new figures).
# Takes about three minutes on an idle two-processor machine; no step can take
# longer than five minutes. Run it on an idle machine: the timed tables state
# the load average they were taken at.
set -eu
update_docs=false
if [ "${1:-}" = "--update-docs" ]; then
    update_docs=true
    shift
fi
here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/.." && pwd)
out=${1:-"$root/build/bench-results"}
build=${2:-"$root/build/default"}
limit=300
mkdir -p "$out"

step() { printf '== %s (%s)\n' "$1" "$(date +%T)"; }

step "build"
if [ ! -f "$build/build.ninja" ]; then
    cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
fi
ninja -C "$build" -j2 frame_delivery_bench roi_delivery_bench scale_bench count_per_frame >/dev/null
bin="$build/bin"

step "machine"
python3 "$here/machine_info.py" "$build" >"$out/machine.json"

for run in 1 2; do
    step "frame delivery, run $run"
    timeout $limit "$bin/frame_delivery_bench" --benchmark_out="$out/frame_delivery_$run.json" \
        --benchmark_out_format=json >/dev/null
done

step "region of interest"
timeout $limit "$bin/roi_delivery_bench" --benchmark_out="$out/roi_delivery.json" \
    --benchmark_out_format=json >/dev/null

step "scale"
timeout $limit "$bin/scale_bench" >"$out/scale.json"

for run in 1 2; do
    step "per-frame counts under callgrind, run $run"
    timeout $limit "$here/count_per_frame.sh" "$build" "$out/counts_$run.json" >/dev/null
done

python3 "$here/machine_info.py" "$build" --after "$out/machine.json" >"$out/machine.json.new"
mv "$out/machine.json.new" "$out/machine.json"

page="$out/benchmarks.md"
if $update_docs; then page="$root/docs/benchmarks.md"; fi
step "$page"
python3 "$here/render_benchmarks.py" "$out" "$root/docs/benchmarks.md" "$page"
step "done: figures in $out, the page in $page"
