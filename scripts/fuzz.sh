#!/usr/bin/env bash
# Builds the rules-core fuzzer with clang, ASan and UBSan, and runs it.
# Usage: scripts/fuzz.sh [SECONDS]   (default 600)
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-600}
scripts/setup.sh --fuzz
CXX=clang++ cmake -S . -B build-fuzz -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DQINGLAN_FUZZ=ON \
    -DQINGLAN_GUI=OFF -DQINGLAN_TESTS=OFF >/dev/null
cmake --build build-fuzz --target board_text_fuzzer -j2
mkdir -p build-fuzz/corpus
cp -n tests/fuzz/seeds/* build-fuzz/corpus/ 2>/dev/null || true
build-fuzz/bin/board_text_fuzzer -max_total_time="$seconds" -print_final_stats=1 build-fuzz/corpus
