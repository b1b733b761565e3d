#!/usr/bin/env bash
# Compiles everything without widgets with clang (Debian's, older than GCC in what it
# accepts), fuzz targets included, and runs each fuzz target over its seeds once, so that
# code GCC alone accepts cannot land. Part of the test command; needs no display.
set -euo pipefail
cd "$(dirname "$0")/.."
CXX=clang++ cmake -S . -B build-clang -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DQINGLAN_FUZZ=ON \
    -DQINGLAN_GUI=OFF -DQINGLAN_TESTS=OFF >/dev/null
cmake --build build-clang -j2
empty=$(mktemp -d)
trap 'rm -rf "$empty"' EXIT
for target in $(scripts/fuzz.sh --list); do
    seeds=tests/fuzz/seeds/$target
    [ -d "$seeds" ] || seeds=$empty
    build-clang/bin/"$target" -runs=0 "$seeds" >/dev/null 2>&1 \
        || { echo "clang-check: $target fails on its seeds" >&2; exit 1; }
done
echo "clang-check: the libraries without widgets build with clang; fuzz targets pass their seeds"
