#!/usr/bin/env bash
# Installs the build into a temporary prefix and packs it as a .deb, validates the
# desktop entry and the AppStream metainfo, and starts the program from both.
# usage: packaging.sh BUILD_DIR TST_EXECUTABLE
set -euo pipefail
build=$1
starts_and_closes=$2
id=example.mersodal.Tarvolin
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

fail() {
    echo "FAIL: $*" >&2
    exit 1
}

run_program_test() {
    TARVOLIN_PROGRAM=$1 xvfb-run --auto-servernum --server-args='-screen 0 1024x768x24' \
        "$starts_and_closes" >"$work/run.log" 2>&1 || { cat "$work/run.log"; fail "$1 did not start and close cleanly"; }
}

prefix=$work/prefix
cmake --install "$build" --prefix "$prefix" >/dev/null
for file in bin/tarvolin share/applications/$id.desktop share/metainfo/$id.metainfo.xml \
    share/icons/hicolor/{16x16,32x32,48x48,64x64,128x128,256x256}/apps/$id.png \
    share/icons/hicolor/scalable/apps/$id.svg; do
    [ -f "$prefix/$file" ] || fail "cmake --install did not install $file"
done
desktop-file-validate "$prefix/share/applications/$id.desktop" || fail "desktop entry"
appstreamcli validate --no-net "$prefix/share/metainfo/$id.metainfo.xml" >"$work/appstream.log" \
    || { cat "$work/appstream.log"; fail "metainfo"; }
run_program_test "$prefix/bin/tarvolin"

cpack --config "$build/CPackConfig.cmake" -G DEB -B "$work/deb" >/dev/null
deb=$(echo "$work"/deb/*.deb)
[ -f "$deb" ] || fail "cpack made no .deb"
depends=$(dpkg-deb -f "$deb" Depends)
for package in libqt6widgets6 libqt6gui6 libqt6core6 qt6-qpa-plugins fonts-liberation2; do
    grep -q "\b$package\b" <<<"$depends" || fail "the .deb does not depend on $package: $depends"
done
apt-get install --simulate --no-download "$deb" >"$work/apt.log" 2>&1 \
    || { cat "$work/apt.log"; fail "the .deb does not install on this system"; }
dpkg-deb -x "$deb" "$work/root"
[ -f "$work/root/usr/share/applications/$id.desktop" ] || fail "the .deb has no desktop entry"
run_program_test "$work/root/usr/bin/tarvolin"
echo "packaging: install and .deb both start the program"
