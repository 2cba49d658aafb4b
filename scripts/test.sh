#!/usr/bin/env bash
# Builds and runs every test: the normal build, the address and
# undefined-behaviour sanitizer build and the streaming tests under the thread
# sanitizer. With ORX_WITH_WINDOWS=1 it also runs the platform and adaptor
# tests of the Windows build under Wine (scripts/test-windows.sh runs the
# whole Windows suite).
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh

run() {
    local preset=$1
    echo "=== $preset: configure and build"
    cmake --preset "$preset" >/dev/null
    cmake --build --preset "$preset"
    echo "=== $preset: test"
    ctest --preset "$preset" -j2
}

run default
if [[ "${ORX_SKIP_SANITIZERS:-0}" != 1 ]]; then
    run asan
    run tsan
fi
if [[ "${ORX_WITH_WINDOWS:-0}" == 1 ]]; then
    ORX_WINDOWS_TESTS=smoke scripts/test-windows.sh
fi
