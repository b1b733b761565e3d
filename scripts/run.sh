#!/usr/bin/env bash
# Sets up the machine, builds the program and starts it.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=Release -DQINGLAN_TESTS=OFF >/dev/null
cmake --build build -j2
exec build/bin/qinglan "$@"
