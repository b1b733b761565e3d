#!/usr/bin/env bash
# Builds every libFuzzer target with clang, ASan and UBSan, and runs each in turn.
# Usage: scripts/fuzz.sh [SECONDS] [TARGET...]   (default 600 seconds each, all targets)
#        scripts/fuzz.sh --list
# Each target keeps its corpus in build-fuzz/corpus/TARGET, seeded from
# tests/fuzz/seeds/TARGET and, for the game-record readers, from the shared real records.
set -euo pipefail
cd "$(dirname "$0")/.."
targets=(board_text_fuzzer option_line_fuzzer thinking_line_fuzzer settings_file_fuzzer
    engine_line_game_fuzzer pgn_reader_fuzzer xqf_reader_fuzzer)
if [ "${1:-}" = "--list" ]; then
    printf '%s\n' "${targets[@]}"
    exit 0
fi
seconds=${1:-600}
shift || true
(($#)) && targets=("$@")

scripts/setup.sh --fuzz
CXX=clang++ cmake -S . -B build-fuzz -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DQINGLAN_FUZZ=ON \
    -DQINGLAN_GUI=OFF -DQINGLAN_TESTS=OFF >/dev/null
cmake --build build-fuzz --target "${targets[@]}" -j2
samples=../shared/records-samples
for target in "${targets[@]}"; do
    corpus=build-fuzz/corpus/$target
    mkdir -p "$corpus"
    cp -n tests/fuzz/seeds/"$target"/* "$corpus"/ 2>/dev/null || true
    case $target in
    pgn_reader_fuzzer) cp -n "$samples"/*.pgn "$samples"/*.wxf "$corpus"/ 2>/dev/null || true ;;
    xqf_reader_fuzzer) cp -n "$samples"/*.xqf "$corpus"/ 2>/dev/null || true ;;
    esac
    echo "== $target: $seconds s"
    build-fuzz/bin/"$target" -max_total_time="$seconds" -max_len=8192 -print_final_stats=1 \
        -rss_limit_mb=2048 -timeout=10 "$corpus"
done
