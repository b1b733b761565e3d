#!/usr/bin/env bash
# The program started with no display prints one line that says how to run it and
# exits with a non-zero code, without crashing.
set -u
out=$(env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM "$1" 2>&1)
rc=$?
lines=$(printf '%s\n' "$out" | wc -l)
if [ "$rc" -eq 0 ] || [ "$rc" -ge 128 ]; then echo "exit code $rc, expected a plain failure"; exit 1; fi
if [ "$lines" -ne 1 ]; then echo "expected one line, got: $out"; exit 1; fi
case "$out" in *xvfb-run*) ;; *) echo "no hint to xvfb-run: $out"; exit 1 ;; esac
echo "ok: $out"
