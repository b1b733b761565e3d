#!/usr/bin/env bash
# A PGN of 10 000 random games (each with a comment and a variation, made by
# bench_records), then opened in the window: the time to its list of games and to the
# chosen game on the board. The file is made in /tmp and removed afterwards.
# Usage: bench/game_list.sh [build folder] [games]
set -euo pipefail
dir=${1:-build}
games=${2:-10000}
file=$(mktemp /tmp/qinglan-games-XXXXXX.pgn)
trap 'rm -f "$file"' EXIT
"$dir/bin/bench_records" "$games" "$file" >/dev/null
echo "$(du -h "$file" | cut -f1) in $file"
"$dir/bin/bench_game_list" "$file" 3
