#!/usr/bin/env bash
# Builds and runs every test: the normal build, the address and
# undefined-behaviour sanitizer build, the streaming tests under the thread
# sanitizer, a bounded fuzz run (60 s, clang), the Windows build (every
# target) with its platform, adaptor and command-line tests under Wine
# (scripts/test-windows.sh runs the whole Windows suite), the Octave
# package's tests (the preview window's on a virtual display), the GenICam
# tests (Aravis' fake camera) and the GStreamer tests (videotestsrc), each
# inside a network namespace with only loopback. Installs the Debian
# packages it needs when missing.
#   ORX_SKIP_SANITIZERS=1   leave out the asan and tsan builds
#   ORX_SKIP_FUZZ=1         leave out the fuzz run
#   ORX_SKIP_WINDOWS=1      leave out the Windows build
#   ORX_SKIP_GENICAM=1      leave out the GenICam tests (they need a network namespace)
#   ORX_SKIP_GSTREAMER=1    leave out the GStreamer tests (they need a network namespace)
#   ORX_SKIP_OCTAVE_PACKAGE=1  leave out pkg install of the Octave package (it builds the runtime again)
#   ORX_FUZZ_SECONDS=N      length of the fuzz run (default 60)
set -euo pipefail
cd "$(dirname "$0")/.."

skip() { [[ "${!1:-0}" == 1 ]]; }

# Everything at once: one package-list update and one install.
skip ORX_SKIP_FUZZ || export ORX_WITH_CLANG=1
skip ORX_SKIP_WINDOWS || export ORX_WITH_WINDOWS=1
scripts/install-deps.sh

timings=()
stage() {
    local name=$1 started=$SECONDS
    shift
    "$@"
    timings+=("$(printf '%-8s %4d s' "$name" $((SECONDS - started)))")
}

run() {
    local preset=$1
    echo "=== $preset: configure and build"
    cmake --preset "$preset" >/dev/null
    cmake --build --preset "$preset"
    echo "=== $preset: test"
    ctest --preset "$preset" -j2 "${@:2}"
}

stage default run default -LE '^octave$|octave-package|genicam|gstreamer'
# The GenICam tests use Aravis' fake camera inside a network namespace
# without interfaces, so that no discovery can reach a network.
# Unprivileged, a user namespace (unshare -rn) gives the same isolation.
# The GStreamer tests use only local elements (videotestsrc and converters), isolated the same way.
isolated() {
    local label=$1 skip=$2 isolate=(unshare -n)
    "${isolate[@]}" true 2>/dev/null || isolate=(unshare -rn)
    if ! "${isolate[@]}" true 2>/dev/null; then
        echo "=== $label: cannot make a network namespace here (unshare -n needs root," \
             "unshare -rn user namespaces); set $skip=1 to leave these tests out" >&2
        return 1
    fi
    "${isolate[@]}" ctest --preset default -L "$label"
}

stage octave ctest --preset default -j2 -L '^octave$'
skip ORX_SKIP_OCTAVE_PACKAGE || stage octave-pkg ctest --preset default -L octave-package
skip ORX_SKIP_GENICAM || stage genicam isolated genicam ORX_SKIP_GENICAM
skip ORX_SKIP_GSTREAMER || stage gstreamer isolated gstreamer ORX_SKIP_GSTREAMER
if ! skip ORX_SKIP_SANITIZERS; then
    stage asan run asan -LE '^octave$|octave-package|genicam|gstreamer'
    stage tsan run tsan -LE '^octave$|octave-package|genicam|gstreamer'
fi
skip ORX_SKIP_FUZZ || stage fuzz scripts/fuzz.sh "${ORX_FUZZ_SECONDS:-60}"
skip ORX_SKIP_WINDOWS || stage windows env ORX_WINDOWS_TESTS=ci scripts/test-windows.sh

echo "=== all tests passed"
printf '%s\n' "${timings[@]}"
