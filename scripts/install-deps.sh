#!/usr/bin/env bash
# Installs the Debian packages the build needs, only those that are missing.
#   --minimal   only what the command-line host, the adaptor and their
#               libraries need (scripts/demo.sh): no test, benchmark, Octave,
#               Aravis or GStreamer packages
#   --list      print the packages it would consider, one a line, and stop
set -euo pipefail

minimal=0
list=0
for argument in "$@"; do
    case $argument in
        --minimal) minimal=1 ;;
        --list) list=1 ;;
        *) echo "install-deps.sh: unknown option $argument (--minimal, --list)" >&2; exit 2 ;;
    esac
done

packages=(cmake ninja-build g++ pkg-config nlohmann-json3-dev libcli11-dev libpng-dev libtiff-dev)
# clang and Python 3 lay the interface headers out for the MSVC ABI (a test).
# Xvfb, xauth and a font: the Octave preview window's test on a virtual display.
((minimal)) || packages+=(libgtest-dev libgmock-dev libbenchmark-dev clang python3
                          octave liboctave-dev libaravis-dev libusb-1.0-0-dev
                          libgstreamer1.0-dev libgstreamer-plugins-base1.0-dev gstreamer1.0-plugins-base
                          gstreamer1.0-plugins-good gstreamer1.0-tools
                          xvfb xauth fonts-freefont-otf)
# The fuzzers: clang's sanitizer and libFuzzer runtimes.
[[ "${ORX_WITH_CLANG:-0}" == 1 ]] && packages+=(libclang-rt-14-dev)
# The Windows cross build: MinGW-w64 (POSIX threads) and Wine to run its tests;
# GoogleTest is built from the googletest package's sources.
[[ "${ORX_WITH_WINDOWS:-0}" == 1 ]] && packages+=(g++-mingw-w64-x86-64-posix wine64 googletest)

if ((list)); then
    printf '%s\n' "${packages[@]}"
    exit 0
fi

missing=()
for package in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed" || missing+=("$package")
done
if ((${#missing[@]})); then
    echo "Installing: ${missing[*]}"
    sudo_cmd=""
    [[ $(id -u) -ne 0 ]] && sudo_cmd="sudo"
    $sudo_cmd apt-get update -qq
    DEBIAN_FRONTEND=noninteractive $sudo_cmd apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi
