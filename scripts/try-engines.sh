#!/usr/bin/env bash
# Plays the real program under a virtual display against a real UCCI engine, as a
# person would: the program is copied into a folder of its own where ENGINE (default
# Debian's fairy-stockfish) stands under both default engine names.
#   scripts/try-engines.sh person   red is clicked with the mouse (random legal moves), the engine plays black
#   scripts/try-engines.sh self     the engine plays both sides
#   scripts/try-engines.sh uci      the engine, switched to UCI on the options dialog (the
#                                   program sets UCI_Variant=xiangqi), plays red against the bundled engine
#                                   (in-process, through the dialog's controls; 1 s a move)
# The thinking window is open; screenshots and both communication logs land in
# OUT (default /tmp/qinglan-try). Ends when the result box appears.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
mode=${1:-person}

if [ "$mode" = uci ]; then
    [ -x build/bin/app_window_tests ] || { cmake -S . -B build -G Ninja >/dev/null && cmake --build build -j2; }
    out=${OUT:-/tmp/qinglan-try}
    rm -rf "$out" && mkdir -p "$out"
    QT_QPA_PLATFORM=xcb QINGLAN_NO_SOUND=1 QINGLAN_TRY_OUT="$out" \
        QINGLAN_TRY_ENGINE=${ENGINE:-/usr/games/fairy-stockfish} \
        exec xvfb-run -a -s "-screen 0 1600x900x24" build/bin/app_window_tests \
        --gtest_filter='EngineTrialTest.*'
fi

if [ "${2:-}" != "--inside" ]; then
    [ -x build/bin/qinglan ] || { cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=Release >/dev/null && cmake --build build -j2; }
    exec xvfb-run -a -s "-screen 0 1600x900x24" "$0" "$mode" --inside
fi

engine=${ENGINE:-/usr/games/fairy-stockfish}
out=${OUT:-/tmp/qinglan-try}
rm -rf "$out" && mkdir -p "$out/program"
cp build/bin/qinglan "$out/program/"
ln -s "$engine" "$out/program/青岚引擎1.0.exe"
ln -s "$engine" "$out/program/松涛引擎1.0.exe"
cat > "$out/program/青岚象棋配置.ini" <<INI
[主引擎]
日志文件=$out/main.htm
[副引擎]
日志文件=$out/secondary.htm
INI
export QINGLAN_NO_SOUND=1
"$out/program/qinglan" &
pid=$!
trap 'kill "$pid" 2>/dev/null || true; wait "$pid" 2>/dev/null || true' EXIT

win=$(xdotool search --sync --onlyvisible --name "青岚象棋5.0测试版" | head -n 1)
sleep 1
eval "$(xdotool getwindowgeometry --shell "$win")" # X Y WIDTH HEIGHT
top=$((Y + HEIGHT - 618))
shoot() { import -window root "$1"; }
key() { xdotool windowfocus "$win" 2>/dev/null || true; xdotool key "$1"; sleep 0.3; }
click_square() {
    local file=$(($(printf '%d' "'${1:0:1}") - 96)) row=$((10 - ${1:1:1}))
    xdotool mousemove $((X + (file - 1) * 57 + 49)) $((top + (row - 1) * 57 + 49)) click 1
    sleep 0.15
}
result_box() { xdotool search --onlyvisible --name '^青岚象棋$' 2>/dev/null | head -n 1; }
# With both slots loaded the secondary engine plays black, the side given to it here.
log=secondary.htm
# The position the engine searched last, with its reply, as a position line.
position_now() {
    sed 's/<[^>]*>//g; s/&gt;/>/g; s/&lt;/</g; s/&amp;/\&/g' "$out/$log" | awk '
        /^position / { line = $0 } /^bestmove / { best = $2 }
        END { if (line == "") print "position startpos";
              else if (index(line, " moves ")) print line " " best;
              else print line " moves " best }'
}

# The new-game dialog greets every start: cancel it, the sides are set below.
dialog=$(xdotool search --sync --onlyvisible --name '^开始对局$' | head -n 1)
xdotool windowfocus "$dialog" 2>/dev/null || true
xdotool key Escape
sleep 0.3
key ctrl+d # the thinking window
if [ "$mode" = self ]; then
    key ctrl+r
    key ctrl+b
    for i in $(seq 1 900); do
        [ -n "$(result_box)" ] && break
        [ "$i" -eq 15 ] && shoot "$out/midgame.png"
        sleep 1
    done
else
    key ctrl+b
    plies=0
    for _ in $(seq 1 300); do
        [ -n "$(result_box)" ] && break
        pos=$(position_now)
        [ "$plies" -gt 0 ] && [ "$(grep -c '^bestmove' <(sed 's/<[^>]*>//g' "$out/$log"))" -lt "$plies" ] && { sleep 0.3; continue; }
        read -r -a moves <<<"$("$root/build/bin/qinglan-cli" moves "$pos")"
        [ "${#moves[@]}" -gt 0 ] || break
        move=${moves[$((RANDOM % ${#moves[@]}))]}
        echo "red plays $move in: $pos" >>"$out/clicks.txt"
        click_square "${move:0:2}"
        click_square "${move:2:2}"
        plies=$((plies + 1))
        sleep 1.2
    done
fi
sleep 1
shoot "$out/final.png"
echo "result box: $( [ -n "$(result_box)" ] && echo shown || echo none ); see $out"
