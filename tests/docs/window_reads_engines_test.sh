#!/usr/bin/env bash
# The window reads the engine slots through Game::engine() (a const view) and acts on
# them through game/'s calls: no file of app/ takes a slot it could change. The analysis
# drivers are the one exception: they borrow the main engine through Game::studyEngine().
set -u
found=$(grep -rnE 'engineSlot\(|[^t] EngineProcess&|\(EngineProcess&' "$1" --include='*.cpp' --include='*.h' \
    | grep -vE '^[^:]*/(AnalysisController|ReviewRunner)\.cpp:')
if [ -n "$found" ]; then
    printf 'the window reaches an engine slot it could change:\n%s\n' "$found"
    exit 1
fi
