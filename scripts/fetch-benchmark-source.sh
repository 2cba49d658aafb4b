#!/usr/bin/env bash
# Fetches Google Benchmark's sources for the Windows cross build: Debian's
# source tarball of the version the host's libbenchmark-dev has, checked
# against the sha256 of Debian's source description. Kept in build/deps.
#   scripts/fetch-benchmark-source.sh      prints the source folder
set -euo pipefail
cd "$(dirname "$0")/.."

version=1.7.1
pool=http://deb.debian.org/debian/pool/main/b/benchmark
folder=build/deps/benchmark-$version
if [[ -f "$folder/CMakeLists.txt" ]]; then
    echo "$PWD/$folder"
    exit 0
fi

mkdir -p build/deps
tarball=build/deps/benchmark_$version.orig.tar.gz
curl -fsSL -o build/deps/benchmark.dsc "$pool/benchmark_$version-1.dsc"
curl -fsSL -o "$tarball" "$pool/benchmark_$version.orig.tar.gz"
expected=$(awk '/^Checksums-Sha256:/ {on = 1; next} /^[^ ]/ {on = 0} on && $3 ~ /orig\.tar\.gz$/ {print $1}' \
    build/deps/benchmark.dsc)
actual=$(sha256sum "$tarball" | cut -d' ' -f1)
if [[ -z "$expected" || "$expected" != "$actual" ]]; then
    echo "fetch-benchmark-source: checksum of $tarball does not match Debian's ($expected)" >&2
    exit 1
fi
tar -xzf "$tarball" -C build/deps
echo "$PWD/$folder"
