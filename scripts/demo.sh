#!/usr/bin/env bash
# Builds the command-line host and the adaptor and runs the main job on the
# embedded default rig. It installs only what that build needs (no test,
# benchmark, Octave or Aravis packages: scripts/test.sh installs those) and
# builds only the program, the adaptor and their libraries.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh --minimal
installed() { dpkg-query -W -f='${Status}' "$1" 2>/dev/null | grep -q "install ok installed"; }
if installed libgtest-dev && installed libbenchmark-dev; then
    # Everything is there: the usual build folder.
    cmake --preset default >/dev/null
    cmake --build --preset default --target orximaq
    program=build/default/bin/orximaq
else
    # A folder of its own, so that build/default keeps its tests switched on
    # for scripts/test.sh.
    cmake -S . -B build/demo -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DORX_BUILD_TESTS=OFF \
          -DORX_BUILD_BENCH=OFF >/dev/null
    cmake --build build/demo --target orximaq
    program=build/demo/bin/orximaq
    echo "The program: $program"
fi
exec "$program" demo "$@"
