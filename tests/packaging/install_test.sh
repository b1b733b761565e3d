#!/usr/bin/env bash
# Installs the build into a temporary DESTDIR as a package would (prefix /usr), checks
# the layout, and runs what was installed: qinglan-cli --version, a match of two games
# between the installed engines, and the installed program offscreen to its first
# paint, which must load its default engines from lib/qinglan and keep its settings in
# the user's folder.
#   install_test.sh BUILD_DIR VERSION GUI(ON|OFF)
set -euo pipefail
build=$1 version=$2 gui=$3
dest=$(mktemp -d)
trap 'rm -rf "$dest"' EXIT
fail() { echo "FAIL: $*"; exit 1; }

DESTDIR="$dest/root" cmake --install "$build" --prefix /usr >"$dest/install.log" \
    || { cat "$dest/install.log"; fail "cmake --install"; }
usr=$dest/root/usr

expected=(
    bin/qinglan-cli
    lib/qinglan/qinglan-engine
    "lib/qinglan/青岚引擎1.0.exe"
    "lib/qinglan/松涛引擎1.0.exe"
    share/man/man6/qinglan-cli.6.gz
)
if [ "$gui" = ON ]; then
    expected+=(
        bin/qinglan
        share/applications/qinglan.desktop
        share/metainfo/invalid.qinglan.qinglan.metainfo.xml
        share/mime/packages/qinglan.xml
        share/man/man6/qinglan.6.gz
        share/icons/hicolor/scalable/apps/qinglan.svg
    )
    for size in 16 22 24 32 48 64 128 256; do
        expected+=("share/icons/hicolor/${size}x${size}/apps/qinglan.png")
    done
fi
for file in "${expected[@]}"; do
    [ -e "$usr/$file" ] || fail "not installed: $file"
done
# The default names lead to the engine, and the pages are whole gzip files.
[ -x "$usr/lib/qinglan/青岚引擎1.0.exe" ] || fail "the main engine's name leads nowhere"
for page in "$usr"/share/man/man6/*.gz; do gzip -t "$page" || fail "broken $page"; done

out=$("$usr/bin/qinglan-cli" --version)
case "$out" in "qinglan-cli $version"*) ;; *) fail "qinglan-cli --version said: $out" ;; esac

match=$("$usr/bin/qinglan-cli" match "$usr/lib/qinglan/青岚引擎1.0.exe" \
    "$usr/lib/qinglan/松涛引擎1.0.exe" --games 2 --depth 2 2>&1) || fail "match: $match"
grep -q "^Score of .*: .*/2 " <<<"$match" || fail "no score of two games: $match"

if [ "$gui" = ON ]; then
    out=$("$usr/bin/qinglan" --version)
    case "$out" in "qinglan $version"*) ;; *) fail "qinglan --version said: $out" ;; esac
    if command -v desktop-file-validate >/dev/null; then
        desktop-file-validate "$usr/share/applications/qinglan.desktop" || fail "desktop entry"
    fi
    # The file types, as a desktop's file manager tells them (when the tools are here).
    if command -v update-mime-database >/dev/null && command -v gio >/dev/null; then
        mkdir -p "$dest/mime/mime/packages"
        cp "$usr/share/mime/packages/qinglan.xml" "$dest/mime/mime/packages/"
        update-mime-database "$dest/mime/mime"
        printf '[Event "x"]\n[Game "Chinese Chess"]\n1. h2e2 h9g7\n' >"$dest/xiangqi.pgn"
        printf '[Event "x"]\n[White "a"]\n1. e4 e5\n' >"$dest/chess.pgn"
        printf 'XQ\n' >"$dest/game.xqf"
        printf '9/9/9/9/9/9/9/9/9/4K4 w - - 0 1\n' >"$dest/position.fen"
        for pair in xiangqi.pgn:application/x-xiangqi-pgn chess.pgn:application/vnd.chess-pgn \
            game.xqf:application/x-xiangqi-xqf position.fen:application/x-xiangqi-fen; do
            type=$(XDG_DATA_DIRS="$dest/mime:/usr/share" gio info -a standard::content-type \
                "$dest/${pair%%:*}" | sed -n 's/.*standard::content-type: //p')
            [ "$type" = "${pair#*:}" ] || fail "${pair%%:*} is taken for $type"
        done
    fi
    paint=$(XDG_CONFIG_HOME="$dest/config" QT_QPA_PLATFORM=offscreen QINGLAN_NO_SOUND=1 \
        QINGLAN_EXIT_AFTER_FIRST_PAINT=1 "$usr/bin/qinglan" 2>&1) || fail "qinglan: $paint"
    grep -q "^first_paint_ms_since_main " <<<"$paint" || fail "no first paint: $paint"
    ini="$dest/config/qinglan/青岚象棋配置.ini"
    [ -f "$ini" ] || fail "no settings saved in the user's folder"
    [ ! -e "$usr/bin/青岚象棋配置.ini" ] || fail "settings written beside the installed program"
    # Only an engine that loaded is saved with its path.
    grep -qx "文件名=$usr/lib/qinglan/青岚引擎1.0.exe" "$ini" || fail "main engine not loaded: $(cat "$ini")"
    grep -qx "文件名=$usr/lib/qinglan/松涛引擎1.0.exe" "$ini" || fail "secondary engine not loaded"
fi
echo "ok: installed into $usr and ran"
