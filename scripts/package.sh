#!/usr/bin/env bash
# Builds the Debian package qinglan_<version>_<arch>.deb in dist/ from a release build
# (build-package/, with Debian's hardening flags; the programs in /usr/games as Debian
# wants games), installed with `cmake --install` into a staging folder and stripped;
# the dependencies come from the binaries (dpkg-shlibdeps). Then lintian,
# desktop-file-validate and appstreamcli check it, and their findings are printed.
# The Debian tools are installed first when missing.
#   scripts/package.sh [--no-checks]
# MAINTAINER="Name <address>" names the package's maintainer.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh --package

build=build-package
stage=$build/stage
# Debian's hardening flags (fortify, stack protector, relro, bind now).
export DEB_BUILD_MAINT_OPTIONS=hardening=+all
CXXFLAGS="$(dpkg-buildflags --get CXXFLAGS) $(dpkg-buildflags --get CPPFLAGS)"
LDFLAGS=$(dpkg-buildflags --get LDFLAGS)
export CXXFLAGS LDFLAGS
# Games go to /usr/games in Debian.
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DQINGLAN_TESTS=OFF \
    -DQINGLAN_SANITIZE=OFF -DCMAKE_INSTALL_PREFIX=/usr -DQINGLAN_INSTALL_BINDIR=games >/dev/null
cmake --build "$build" -j2

rm -rf "$stage"
DESTDIR="$PWD/$stage" cmake --install "$build" >/dev/null
binaries=("$PWD/$stage/usr/games/qinglan" "$PWD/$stage/usr/games/qinglan-cli" "$PWD/$stage/usr/lib/qinglan/qinglan-engine")
# As dh_strip does: no symbols, and no compiler notes.
strip --strip-unneeded --remove-section=.comment --remove-section=.note "${binaries[@]}"

upstream=$("$build/bin/qinglan-cli" --version | awk '{print $2}')
commit=$(git describe --always --abbrev=10 2>/dev/null || true)
version="$upstream-1"
if [ -n "$commit" ]; then
    day=$(git log -1 --format=%cd --date=format:%Y%m%d)
    version="$upstream+git$day.$commit-1"
fi
arch=$(dpkg --print-architecture)
maintainer=${MAINTAINER:-"青岚象棋开发组 <qinglan@qinglan.invalid>"}

doc=$stage/usr/share/doc/qinglan
install -d "$doc"
install -m 644 packaging/debian/copyright "$doc/copyright"
install -D -m 644 packaging/debian/lintian-overrides "$stage/usr/share/lintian/overrides/qinglan"
{
    echo "qinglan ($version) unstable; urgency=medium"
    echo
    echo "  * Built by scripts/package.sh${commit:+ from commit $commit}."
    echo
    echo " -- $maintainer  $(date -R ${SOURCE_DATE_EPOCH:+-d @$SOURCE_DATE_EPOCH})"
} | gzip -9n >"$doc/changelog.Debian.gz"

# dpkg-shlibdeps wants a debian/control beside it: a throwaway one in a scratch folder.
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
mkdir "$scratch/debian"
printf 'Source: qinglan\n\nPackage: qinglan\nArchitecture: any\n' >"$scratch/debian/control"
depends=$(cd "$scratch" && dpkg-shlibdeps -O "${binaries[@]}" | sed -n 's/^shlibs:Depends=//p')

# Owners and modes as a package has them: directories and programs 755, the rest 644.
find "$stage" -type d -exec chmod 755 {} +
find "$stage" -type f -exec chmod 644 {} +
chmod 755 "${binaries[@]}"
install -d "$stage/DEBIAN"
size=$(du -sk --exclude=DEBIAN "$stage" | cut -f1)
sed -e "s|@VERSION@|$version|" -e "s|@ARCH@|$arch|" -e "s|@MAINTAINER@|$maintainer|" \
    -e "s|@SIZE@|$size|" -e "s|@DEPENDS@|$depends|" packaging/debian/control.in >"$stage/DEBIAN/control"
(cd "$stage" && find usr -type f -print0 | sort -z | xargs -0 md5sum >DEBIAN/md5sums)
chmod 644 "$stage/DEBIAN/control" "$stage/DEBIAN/md5sums"

mkdir -p dist
rm -f dist/qinglan_*.deb # one package, so `apt-get install ./dist/qinglan_*.deb` names it
deb=dist/qinglan_${version}_${arch}.deb
dpkg-deb --root-owner-group -Zxz --build "$stage" "$deb" >/dev/null
echo "built $deb"
dpkg-deb --info "$deb" | sed -n '/Package:/,$p'

[ "${1:-}" = "--no-checks" ] && exit 0
echo "== lintian"
lintian --info --display-info --pedantic --show-overrides "$deb" || true
echo "== desktop-file-validate"
desktop-file-validate "$stage/usr/share/applications/qinglan.desktop" && echo "no findings"
echo "== appstreamcli validate"
appstreamcli validate --no-net --pedantic "$stage"/usr/share/metainfo/*.metainfo.xml || true
