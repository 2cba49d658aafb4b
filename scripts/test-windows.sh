#!/usr/bin/env bash
# Builds everything for 64-bit Windows with MinGW-w64 (no benchmarks: Google
# Benchmark is not packaged for the target) and runs the whole test suite under Wine: the test programs, the
# adaptor module's export table and the command-line host end to end.
# Installs the cross compiler and Wine when missing.
#   ORX_WINDOWS_TESTS=ci     builds everything, runs the platform and adaptor
#                            tests and the command-line host's tests (what
#                            scripts/test.sh runs)
#   ORX_WINDOWS_TESTS=smoke  builds and runs only the platform and adaptor tests
set -euo pipefail
cd "$(dirname "$0")/.."
ORX_WITH_WINDOWS=1 scripts/install-deps.sh

smoke_labels='platform|adaptor|adaptor/(common|adaptor)'
echo "=== windows: configure and build"
cmake --preset windows >/dev/null
case "${ORX_WINDOWS_TESTS:-all}" in
    smoke)
        cmake --build --preset windows --target ORXImaq orx_platform_tests orx_adaptor_common_tests orx_adaptor_adaptor_tests
        echo "=== windows: platform and adaptor tests under Wine"
        ctest --preset windows -j2 -L "^($smoke_labels)\$"
        ;;
    ci)
        cmake --build --preset windows
        echo "=== windows: platform, adaptor and command-line tests under Wine"
        ctest --preset windows -j2 -L "^($smoke_labels|apps/orximaq|cli)\$"
        ;;
    all)
        cmake --build --preset windows
        echo "=== windows: test under Wine"
        ctest --preset windows -j2
        ;;
    *)
        echo "test-windows.sh: ORX_WINDOWS_TESTS is all, ci or smoke" >&2
        exit 2
        ;;
esac
