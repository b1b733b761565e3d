#!/usr/bin/env bash
# Screenshots of the real program under a virtual display: the new-game dialog that
# greets the start, the start position, the board after a few moves clicked with the
# mouse, and the level, engine options and display settings dialogs opened from their
# menus, saved as docs/dialog-new-game.png, docs/screenshot-start.png,
# docs/screenshot.png, docs/dialog-level.png, docs/dialog-engine-options.png and
# docs/dialog-display.png, and the about box and help window (docs/dialog-about.png,
# docs/help-window.png, docs/help-rules.png). The save dialog and its question before
# replacing a file (the toolkit's own, in Chinese) go to QINGLAN_DIALOG_SHOTS (default
# /tmp) as file-dialog-save.png and file-dialog-replace.png.
# Game records: a file of several games (the commented sample with its variation first,
# then the XQF samples converted by qinglan-cli) given on the command line shows its list
# (docs/dialog-game-list.png); the first game is browsed into its variation
# (docs/screenshot-browser.png); the details of another (docs/dialog-game-info.png).
# QINGLAN_BIN picks the program (default build/bin/qinglan, built in Release when
# missing; qinglan-cli beside it). QINGLAN_SHOTS=records takes only the record shots.
set -euo pipefail
cd "$(dirname "$0")/.."

if [ "${1:-}" != "--inside" ]; then
    bin=${QINGLAN_BIN:-build/bin/qinglan}
    if [ ! -x "$bin" ]; then
        cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=Release -DQINGLAN_TESTS=OFF >/dev/null
        cmake --build build -j2 --target qinglan qinglan-cli
    fi
    mkdir -p docs
    exec xvfb-run -a -s "-screen 0 1280x800x24" "$0" --inside "$bin"
fi

bin=$2
export QINGLAN_NO_SOUND=1
pid=
trap 'if [ -n "$pid" ]; then kill "$pid" 2>/dev/null || true; wait "$pid" 2>/dev/null || true; fi' EXIT

# Starts the program with its arguments and finds its main window.
start() {
    "$bin" "$@" &
    pid=$!
    win=$(xdotool search --sync --onlyvisible --name "青岚象棋" | head -n 1)
    sleep 1
    eval "$(xdotool getwindowgeometry --shell "$win")" # X Y WIDTH HEIGHT
    # The board surface fills the window below the menu bar, 756 x 618 at the start.
    top=$((Y + HEIGHT - 618))
}

stop() {
    kill "$pid" 2>/dev/null || true
    wait "$pid" 2>/dev/null || true
    pid=
}

shoot() {
    import -window root -crop "${WIDTH}x${HEIGHT}+${X}+${Y}" +repage "$1"
}

# Centre of a square given as a file letter and a row digit ("h2").
click_square() {
    local file=$(($(printf '%d' "'${1:0:1}") - 96))
    local row=$((10 - ${1:1:1}))
    xdotool mousemove $((X + (file - 1) * 57 + 22 + 27)) $((top + (row - 1) * 57 + 22 + 27)) click 1
    sleep 0.2
}

play() {
    for move in "$@"; do
        click_square "${move:0:2}"
        click_square "${move:2:2}"
        sleep 0.8 # the slide takes about half a second
    done
}

# A dialog by its title (a pattern), once it is on screen; its picture; then Escape
# closes it.
shoot_dialog() {
    local dialog
    dialog=$(xdotool search --sync --onlyvisible --name "$1" | tail -n 1)
    sleep 0.5
    import -window "$dialog" "$2"
    xdotool windowfocus "$dialog" 2>/dev/null || true
    xdotool key Escape
    sleep 0.3
}

# Without a window manager nothing gets the focus on its own.
menu() {
    xdotool windowfocus --sync "$win" 2>/dev/null || true
    xdotool key --window "$win" "alt+$1"
    sleep 0.3
    xdotool key "$2"
    sleep 0.8
}

record_shots() {
    local records cli
    records=$(mktemp -d)
    cli="$(dirname "$bin")/qinglan-cli"
    cp ../shared/records-samples/utf8_converted_variations_comments.pgn "$records/games.pgn"
    for sample in v11_1999_wuyang_liudahua_huronghua v13_1993_zhangqiang_huronghua \
        v15_2001_xianglong v18_huangsongxuan_fengjingru; do
        "$cli" convert "../shared/records-samples/$sample.xqf" "$records/$sample.pgn" >/dev/null
        printf '\n' >>"$records/games.pgn"
        cat "$records/$sample.pgn" >>"$records/games.pgn"
    done
    start "$records/games.pgn"
    local list
    list=$(xdotool search --sync --onlyvisible --name "^选择棋局" | tail -n 1)
    sleep 0.8
    import -window "$list" docs/dialog-game-list.png
    xdotool windowfocus "$list" 2>/dev/null || true
    xdotool key Return # the first game, selected
    sleep 1
    xdotool windowfocus --sync "$win" 2>/dev/null || true
    # To 8... g4g3, then down into its alternative 8... g4h4 with its comment.
    for _ in $(seq 16); do xdotool key --window "$win" Right; done
    xdotool key --window "$win" Down
    sleep 0.8
    shoot docs/screenshot-browser.png
    stop
    # The details of a game that has them.
    start "$records/v13_1993_zhangqiang_huronghua.pgn"
    menu f i # "游戏(&F)" / "棋局信息...(&I)"
    shoot_dialog "^棋局信息$" docs/dialog-game-info.png
    stop
    rm -rf "$records"
}

# The main engine analysing a master game with three lines (docs/screenshot-analysis.png),
# then a review at 200 ms per position and its chart (docs/chart-review.png).
analysis_shots() {
    local records
    records=$(mktemp -d)
    "$(dirname "$bin")/qinglan-cli" convert ../shared/records-samples/v13_1993_zhangqiang_huronghua.xqf \
        "$records/game.pgn" >/dev/null
    start "$records/game.pgn"
    # The engines load beside the window: the title names the main one when it is up.
    xdotool search --sync --onlyvisible --name "^青岚引擎" >/dev/null
    xdotool windowfocus --sync "$win" 2>/dev/null || true
    for _ in $(seq 20); do xdotool key --window "$win" Right; done
    menu o n # "电脑(&O)" / "分析线数(&N)"
    xdotool key 3
    sleep 0.5
    menu o a # "分析模式(&A)"
    sleep 4
    import -window root docs/screenshot-analysis.png
    menu o a # leaves the analysis mode
    menu o w # "全局分析...(&W)"
    local dialog
    dialog=$(xdotool search --sync --onlyvisible --name "^全局分析$" | tail -n 1)
    xdotool windowfocus "$dialog" 2>/dev/null || true
    xdotool key Tab ctrl+a
    xdotool type 200
    xdotool key Return
    local started=$SECONDS
    sleep 1
    while xdotool search --onlyvisible --name "^全局分析$" >/dev/null 2>&1; do sleep 0.5; done
    echo "review in the window: $((SECONDS - started)) s" >&2
    menu o g # "局势图(&G)"
    local chart
    chart=$(xdotool search --sync --onlyvisible --name "^局势图$" | tail -n 1)
    sleep 1
    import -window "$chart" docs/chart-review.png
    stop
    rm -rf "$records"
}

if [ "${QINGLAN_SHOTS:-}" = analysis ]; then
    analysis_shots
    echo "saved docs/screenshot-analysis.png, docs/chart-review.png"
    exit 0
fi

if [ "${QINGLAN_SHOTS:-}" = records ]; then
    record_shots
    echo "saved docs/dialog-game-list.png, docs/screenshot-browser.png, docs/dialog-game-info.png"
    exit 0
fi

start
shoot_dialog "^开始对局$" docs/dialog-new-game.png
shoot docs/screenshot-start.png
play h2e2 h9g7 h0g2 i9h9 i0h0 b7b3 e3e4 b9c7
click_square b0 # a piece picked up shows its frame
sleep 0.5
shoot docs/screenshot.png
menu o l # "电脑(&O)" / "级别设置...(&L)"
shoot_dialog "^级别设置$" docs/dialog-level.png
menu o 3 # "主引擎设置...(&3)"
shoot_dialog "设置：" docs/dialog-engine-options.png
menu t v # "选项(&T)" / "显示设置...(&V)"
shoot_dialog "^显示设置$" docs/dialog-display.png
menu h a # "帮助(&H)" / "关于(&A)"
shoot_dialog "^青岚象棋$" docs/dialog-about.png
# "帮助主题(&C)" (F1): the first page, then the rules page through its link, reached
# with the keyboard (Tab moves through the page's links, Return follows one).
xdotool windowfocus --sync "$win" 2>/dev/null || true
xdotool key --window "$win" F1
help=$(xdotool search --sync --onlyvisible --name "青岚象棋帮助" | head -n 1)
sleep 0.8
import -window "$help" docs/help-window.png
xdotool windowfocus --sync "$help" 2>/dev/null || true
xdotool key Tab Tab Tab Tab Return # 目录, then the links 如何下棋, 菜单, 级别, 裁判规则
sleep 0.8
import -window "$help" docs/help-rules.png

shots=${QINGLAN_DIALOG_SHOTS:-/tmp}
mkdir -p "$shots"
existing=$(mktemp "$shots/existing-XXXXXX.fen")
menu f s # "游戏(&F)" / "保存...(&S)"
save=$(xdotool search --sync --onlyvisible --name "^保存局面$" | tail -n 1)
sleep 0.5
import -window "$save" "$shots/file-dialog-save.png"
xdotool windowfocus "$save" 2>/dev/null || true
xdotool type --delay 20 "$existing"
xdotool key Return
sleep 1
question=$(xdotool search --onlyvisible --name "^保存局面$" | tail -n 1)
import -window "$question" "$shots/file-dialog-replace.png"
xdotool key Escape # "No": back in the dialog
sleep 0.3
xdotool key Escape
rm -f "$existing"
stop
record_shots
echo "saved docs/dialog-new-game.png, docs/screenshot-start.png, docs/screenshot.png, the level, engine options, display and about dialogs, the help window; $shots/file-dialog-save.png and $shots/file-dialog-replace.png"
