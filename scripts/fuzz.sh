#!/usr/bin/env bash
# Builds a fuzz target with clang, ASan and UBSan, and runs it.
# Usage: scripts/fuzz.sh [SECONDS] [TARGET]   (default 600 board_text_fuzzer)
# Each target keeps its corpus in build-fuzz/corpus/TARGET, seeded from
# tests/fuzz/seeds/TARGET and, for the game-record readers, from the shared real records.
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-600}
target=${2:-board_text_fuzzer}
scripts/setup.sh --fuzz
CXX=clang++ cmake -S . -B build-fuzz -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DQINGLAN_FUZZ=ON \
    -DQINGLAN_GUI=OFF -DQINGLAN_TESTS=OFF >/dev/null
cmake --build build-fuzz --target "$target" -j2
corpus=build-fuzz/corpus/$target
mkdir -p "$corpus"
cp -n "tests/fuzz/seeds/$target"/* "$corpus"/ 2>/dev/null || true
samples=../shared/records-samples
case $target in
pgn_reader_fuzzer) cp -n "$samples"/*.pgn "$samples"/*.wxf "$corpus"/ 2>/dev/null || true ;;
xqf_reader_fuzzer) cp -n "$samples"/*.xqf "$corpus"/ 2>/dev/null || true ;;
esac
build-fuzz/bin/"$target" -max_total_time="$seconds" -max_len=8192 -print_final_stats=1 "$corpus"
