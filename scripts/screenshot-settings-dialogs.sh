#!/usr/bin/env bash
# Screenshots of the engine options and display settings dialogs of the real program
# under a virtual display, opened from their menus by keyboard: saved as
# docs/dialog-engine-options.png and docs/dialog-display.png. QINGLAN_BIN picks the
# program (default build/bin/qinglan, built in Release when missing).
set -euo pipefail
cd "$(dirname "$0")/.."

if [ "${1:-}" != "--inside" ]; then
    bin=${QINGLAN_BIN:-build/bin/qinglan}
    if [ ! -x "$bin" ]; then
        cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=Release -DQINGLAN_TESTS=OFF >/dev/null
        cmake --build build -j2 --target qinglan
    fi
    mkdir -p docs
    exec xvfb-run -a -s "-screen 0 1280x800x24" "$0" --inside "$bin"
fi

bin=$2
export QINGLAN_NO_SOUND=1
"$bin" &
pid=$!
trap 'kill "$pid" 2>/dev/null || true; wait "$pid" 2>/dev/null || true' EXIT

main=$(xdotool search --sync --onlyvisible --name "青岚象棋" | head -n 1)
sleep 1

# Without a window manager nothing gets the focus on its own.
menu() {
    xdotool windowfocus --sync "$main"
    xdotool key --window "$main" "alt+$1"
    sleep 0.3
    xdotool key "$2"
    sleep 0.8
}

# The newest visible window whose title contains $1, cut out of the screen.
shoot() {
    local win
    win=$(xdotool search --sync --onlyvisible --name "$1" | tail -n 1)
    eval "$(xdotool getwindowgeometry --shell "$win")" # X Y WIDTH HEIGHT
    import -window root -crop "${WIDTH}x${HEIGHT}+${X}+${Y}" +repage "$2"
}

menu o 3
shoot "设置：" docs/dialog-engine-options.png
xdotool key Escape
sleep 0.5
menu t v
shoot "显示设置" docs/dialog-display.png
echo "saved docs/dialog-engine-options.png and docs/dialog-display.png"
