#!/usr/bin/env bash
# Sets up the machine, builds everything with AddressSanitizer and
# UndefinedBehaviorSanitizer, and runs every test. Needs no display. First the code
# without widgets is compiled with clang too (scripts/clang-check.sh).
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh --fuzz
scripts/clang-check.sh
cmake -S . -B build-check -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DQINGLAN_SANITIZE=ON >/dev/null
cmake --build build-check -j2
export ASAN_OPTIONS="detect_leaks=1:abort_on_error=1"
export LSAN_OPTIONS="suppressions=$PWD/tests/lsan.supp:print_suppressions=0"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"
ctest --test-dir build-check -j2 --output-on-failure "$@"
