#!/usr/bin/env bash
# Installs the Debian packages the project needs. Safe to run again: it only calls
# apt-get when something is missing. With --fuzz it adds clang for the fuzzer, with
# --package the tools that build and check the Debian package.
set -euo pipefail

packages=(
    build-essential cmake ninja-build pkg-config ccache
    qt6-base-dev qt6-multimedia-dev qt6-charts-dev libqt6opengl6-dev libpng-dev zlib1g-dev libsimpleini-dev libgtest-dev
    fonts-noto-cjk qt6-translations-l10n
    xvfb xauth xdotool imagemagick
    fairy-stockfish
)
if [ "${1:-}" = "--fuzz" ]; then
    packages+=(clang libclang-rt-14-dev)
fi
# Only scripts/package.sh asks for the Debian packaging tools and validators.
if [ "${1:-}" = "--package" ]; then
    packages+=(dpkg-dev lintian desktop-file-utils appstream)
fi

missing=()
for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done

if ((${#missing[@]})); then
    sudo=""
    [ "$(id -u)" -eq 0 ] || sudo=sudo
    echo "Installing: ${missing[*]}"
    $sudo apt-get update -qq
    # No recommends: they would pull a GTK platform theme whose native dialogs tests cannot drive.
    DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi
