#!/usr/bin/env bash
# The window reads the engine slots through Game::engine() (a const view) and acts on
# them through game/'s calls: no file of app/ takes a slot it could change.
set -u
found=$(grep -rnE 'engineSlot\(|[^t] EngineProcess&|\(EngineProcess&' "$1" --include='*.cpp' --include='*.h')
if [ -n "$found" ]; then
    printf 'the window reaches an engine slot it could change:\n%s\n' "$found"
    exit 1
fi
