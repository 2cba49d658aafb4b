#!/usr/bin/env bash
# Builds everything for 64-bit Windows with MinGW-w64 (no benchmarks: Google
# Benchmark is not packaged for the target) and runs the whole test suite under Wine: the test programs, the
# adaptor module's export table and the command-line host end to end.
# Installs the cross compiler and Wine when missing. ORX_WINDOWS_TESTS=smoke
# builds and runs only the platform and adaptor tests (what scripts/test.sh
# runs).
set -euo pipefail
cd "$(dirname "$0")/.."
ORX_WITH_WINDOWS=1 scripts/install-deps.sh

smoke=0
[[ "${ORX_WINDOWS_TESTS:-all}" == smoke ]] && smoke=1

echo "=== windows: configure and build"
cmake --preset windows >/dev/null
if ((smoke)); then
    cmake --build --preset windows --target ORXImaq orx_platform_tests orx_adaptor_common_tests orx_adaptor_adaptor_tests
    echo "=== windows: platform and adaptor tests under Wine"
    ctest --preset windows -j2 -L '^(platform|adaptor|adaptor/(common|adaptor))$'
else
    cmake --build --preset windows
    echo "=== windows: test under Wine"
    ctest --preset windows -j2
fi
