#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 The Tarvolin authors
# SPDX-License-Identifier: GPL-3.0-or-later
#
# Builds a static Qt for 64-bit Windows from Debian's own qt6-base source, the same version
# as this machine's Qt tools, and prints the folder it is installed in. The install is
# cached under /var/cache/tarvolin, keyed by the source version and the configure options,
# so a second run only prints the folder. ./dev.sh windows installs the packages it needs.
# usage: packaging/windows/qt.sh [--options]   (as root, or as a user with sudo)
set -euo pipefail
source_dir=$(cd "$(dirname "$0")/../.." && pwd)
toolchain=$source_dir/cmake/mingw-w64-x86_64.cmake
cache=${TARVOLIN_QT_CACHE:-/var/cache/tarvolin/qt-windows}

# Only what the window and its tests use: Core, Gui, Widgets, Test, the Windows platform
# plugin and the Windows style, optimised for size so that unused code can be dropped.
options=(
    -DCMAKE_BUILD_TYPE=Release
    -DBUILD_SHARED_LIBS=OFF
    -DFEATURE_optimize_size=ON
    -DQT_BUILD_EXAMPLES=OFF
    -DQT_BUILD_TESTS=OFF
    -DFEATURE_network=OFF
    -DFEATURE_sql=OFF
    -DFEATURE_printsupport=OFF
    -DFEATURE_dbus=OFF
    -DFEATURE_concurrent=OFF
    -DFEATURE_xml=OFF
    -DFEATURE_vulkan=OFF
    # INPUT_opengl also turns off dynamicgl, which the platform plugin needs OpenGL for.
    -DINPUT_opengl=no
    -DFEATURE_direct2d=OFF
    -DFEATURE_freetype=OFF
    # Qt 6.4 builds its DirectWrite 3 font database only with FreeType; GDI's is the default.
    -DFEATURE_directwrite3=OFF
    -DFEATURE_jpeg=OFF
    -DFEATURE_gif=OFF
    -DFEATURE_ico=OFF
    -DFEATURE_style_windowsvista=OFF
    -DFEATURE_textmarkdownreader=OFF
    -DFEATURE_textmarkdownwriter=OFF
    -DFEATURE_icu=OFF
    # Debian's source leaves out the Wintab header.
    -DFEATURE_tabletevent=OFF
    -DFEATURE_system_zlib=OFF
    -DFEATURE_system_pcre2=OFF
    -DFEATURE_system_harfbuzz=OFF
    -DFEATURE_system_png=OFF
)

# Compiler flags go in through the environment, with the build folder mapped out of the
# file names Qt keeps, so that a rebuild of this Qt gives the same program.
flags="-ffunction-sections -fdata-sections"

if [ "${1:-}" = --options ]; then
    printf '%s\n' "CFLAGS and CXXFLAGS: $flags" "${options[@]}"
    exit 0
fi
if ((EUID != 0)); then
    exec sudo --preserve-env=TARVOLIN_QT_CACHE "$0" "$@"
fi

fail() {
    echo "qt.sh: $*" >&2
    exit 1
}

# The host's moc, rcc and uic generate the code, so the Windows Qt must be their version.
version=$(dpkg-query -W -f='${Version}' qt6-base-dev-tools 2>/dev/null) \
    || fail "qt6-base-dev-tools is not installed (./dev.sh windows installs it)"
key=$( (printf '%s\n' "$version" "$flags" "${options[@]}" && cat "$toolchain") | sha256sum | cut -c1-12)
prefix=$cache/qt6-base-$version-$key
if [ -e "$prefix/.tarvolin-complete" ]; then
    echo "$prefix"
    exit 0
fi
for tool in x86_64-w64-mingw32-g++-posix cmake ninja dpkg-source; do
    command -v "$tool" >/dev/null || fail "$tool is not installed (./dev.sh windows installs it)"
done

work=$(mktemp -d /var/tmp/tarvolin-qt.XXXXXX)
trap 'rm -rf "$work"' EXIT
log=$work/log
step() {
    local what=$1
    shift
    echo "qt.sh: $what" >&2
    "$@" >>"$log" 2>&1 || { tail -n 60 "$log" >&2; fail "$what failed; the end of its log is above"; }
}

# The source from this machine's own archive, checked by apt against its signed index.
sources=/etc/apt/sources.list.d/debian.sources
uri=$(sed -n 's/^URIs:[[:space:]]*//p' "$sources" 2>/dev/null | head -n1)
suites=$(sed -n 's/^Suites:[[:space:]]*//p' "$sources" 2>/dev/null | head -n1)
keyring=$(sed -n 's/^Signed-By:[[:space:]]*//p' "$sources" 2>/dev/null | head -n1)
if [ -z "$uri" ]; then
    read -r uri suites < <(awk '$1 == "deb" && $0 !~ /security/ { print $2, $3; exit }' /etc/apt/sources.list)
fi
[ -n "$uri" ] || fail "no Debian archive found in $sources or /etc/apt/sources.list"
mkdir -p "$work/apt/lists/partial" "$work/apt/parts" "$work/src"
for suite in $suites; do
    echo "deb-src [signed-by=${keyring:-/usr/share/keyrings/debian-archive-keyring.gpg}] $uri $suite main"
done >"$work/apt/sources.list"
apt_options=(-o Dir::Etc::SourceList="$work/apt/sources.list" -o Dir::Etc::SourceParts="$work/apt/parts"
    -o Dir::State::Lists="$work/apt/lists" -o APT::Sandbox::User=root)
fetch_source() {
    apt-get "${apt_options[@]}" update \
        && (cd "$work/src" && apt-get "${apt_options[@]}" source "qt6-base=$version")
}
step "source download of qt6-base $version from $uri" fetch_source
qtbase=$(find "$work/src" -mindepth 1 -maxdepth 1 -type d -name 'qt6-base-*')
[ -d "$qtbase" ] || fail "source download left no qt6-base folder"

step "configure" env CFLAGS="$flags -ffile-prefix-map=$work/=" CXXFLAGS="$flags -ffile-prefix-map=$work/=" \
    cmake -S "$qtbase" -B "$work/build" -G Ninja \
    -DCMAKE_TOOLCHAIN_FILE="$toolchain" -DCMAKE_INSTALL_PREFIX="$prefix" \
    -DQT_HOST_PATH=/usr -DQT_HOST_PATH_CMAKE_DIR=/usr/lib/x86_64-linux-gnu/cmake "${options[@]}"
step "build ($(date +%H:%M); about a quarter of an hour on two cores)" cmake --build "$work/build"
rm -rf "$cache"/qt6-base-*
step "install into $prefix" cmake --install "$work/build"
# What a release names as the source of the Qt inside it, and how that Qt was configured.
printf '%s\n' "Debian's qt6-base source package, version $version" \
    "configured with the MinGW-w64 toolchain file cmake/mingw-w64-x86_64.cmake, compiler flags" \
    "$flags (and the build folder mapped out of file names), and:" \
    "${options[@]}" >"$prefix/tarvolin-qt-source.txt"
touch "$prefix/.tarvolin-complete"
echo "$prefix"
