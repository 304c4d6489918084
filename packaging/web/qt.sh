#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 The Tarvolin authors
# SPDX-License-Identifier: GPL-3.0-or-later
#
# Builds a static Qt for WebAssembly from Debian's own qt6-base source, the same version as
# this machine's Qt tools, with this machine's Emscripten, and prints the folder it is
# installed in; Emscripten's folder, laid out as Qt expects an emsdk, is emsdk/ beside it.
# Run inside the Debian 13 root (packaging/web/build.sh does, and installs what it needs).
# usage: packaging/web/qt.sh [--options]
set -euo pipefail
source_dir=$(cd "$(dirname "$0")/../.." && pwd)
cache=${TARVOLIN_QT_CACHE:-/var/cache/tarvolin/qt-web}
patches=("$source_dir"/packaging/web/qt-*.patch)

# Only what the window uses: Core, Gui, Widgets and the wasm platform plugin, one thread,
# optimised for size. OpenGL stays on: the plugin's backing store needs it, though widgets
# paint through a 2D canvas. Debian's source carries no SQLite, so SQL must be off. A unity
# build halves the compiler runs, each of which starts Emscripten's Python driver anew.
options=(
    -DQT_UNITY_BUILD=ON
    -DQT_QMAKE_TARGET_MKSPEC=wasm-emscripten
    -DCMAKE_BUILD_TYPE=Release
    -DBUILD_SHARED_LIBS=OFF
    -DFEATURE_optimize_size=ON
    -DFEATURE_thread=OFF
    -DQT_BUILD_EXAMPLES=OFF
    -DQT_BUILD_TESTS=OFF
    -DQT_BUILD_BENCHMARKS=OFF
    -DWARNINGS_ARE_ERRORS=OFF
    -DFEATURE_system_zlib=OFF
    -DINPUT_pcre=qt
    -DINPUT_freetype=qt
    -DINPUT_harfbuzz=qt
    -DINPUT_libpng=qt
    -DINPUT_libjpeg=no
    -DFEATURE_gif=OFF
    -DFEATURE_sql=OFF
    -DFEATURE_network=OFF
    -DFEATURE_xml=OFF
    -DFEATURE_concurrent=OFF
    -DFEATURE_printsupport=OFF
    -DFEATURE_dbus=OFF
    # What a static link cannot drop by itself, since Qt reaches it at run time.
    -DFEATURE_mimetype_database=OFF
    -DFEATURE_style_stylesheet=OFF
    -DFEATURE_filedialog=OFF
    -DFEATURE_colordialog=OFF
    -DFEATURE_fontdialog=OFF
    -DFEATURE_wizard=OFF
    -DFEATURE_calendarwidget=OFF
    -DFEATURE_datetimeedit=OFF
    -DFEATURE_mdiarea=OFF
    -DFEATURE_movie=OFF
    -DFEATURE_pdf=OFF
    -DFEATURE_textodfwriter=OFF
    -DFEATURE_textmarkdownreader=OFF
    -DFEATURE_textmarkdownwriter=OFF
    -DFEATURE_imageformat_ppm=OFF
    -DFEATURE_imageformat_xbm=OFF
)
if [ "${1:-}" = --options ]; then
    printf '%s\n' "${options[@]}" "patches: ${patches[*]##*/}"
    exit 0
fi

source "$source_dir/packaging/qtbuild.sh"
command -v em++ >/dev/null || fail "em++ is not installed (packaging/web/build.sh installs emscripten)"

# Qt looks for Emscripten in an emsdk: upstream/emscripten and a .emscripten file that
# names it. Debian's is a plain install, so a folder of that shape points at it.
emsdk=$cache/emsdk
mkdir -p "$emsdk/upstream"
ln -sfn /usr/share/emscripten "$emsdk/upstream/emscripten"
echo "EMSCRIPTEN_ROOT = emsdk_path + '/upstream/emscripten'" >"$emsdk/.emscripten"
export EMSDK=$emsdk

qt_configure() {
    local patch
    for patch in "${patches[@]}"; do
        patch -d "$1" -p1 --quiet <"$patch" || return 1
    done
    # The build folder is mapped out of the file names Qt keeps.
    env CFLAGS="-ffile-prefix-map=$work/=" CXXFLAGS="-ffile-prefix-map=$work/=" cmake -S "$1" -B "$2" -G Ninja -DCMAKE_INSTALL_PREFIX="$3" \
        -DQT_HOST_PATH=/usr -DQT_HOST_PATH_CMAKE_DIR=/usr/lib/x86_64-linux-gnu/cmake "${options[@]}"
}
# The platform plugin puts one <style> of its own into the page. The page's security policy
# allows exactly that text, by the hash recorded here.
qt_installed() {
    python3 - "$1/src/plugins/platforms/wasm/qwasmcssstyle.cpp" >"$2/tarvolin-style-hashes.txt" <<'EOF'
import base64, hashlib, re, sys
styles = re.findall(r'R"css\((.*?)\)css"', open(sys.argv[1], encoding='utf-8').read(), re.S)
assert len(styles) == 1, f'{len(styles)} style sheets in {sys.argv[1]}'
print(f"'sha256-{base64.b64encode(hashlib.sha256(styles[0].encode()).digest()).decode()}'")
EOF
}
(printf '%s\n' "${options[@]}" && em++ --version | head -n1 && cat "${patches[@]}" \
    && declare -f qt_installed) \
    | qt_build_cached "$(printf '%s\n' \
        "with Emscripten $(em++ --version | sed -n '1s/.*) \([0-9.]*\).*/\1/p'), patched with ${patches[*]##*/}," \
        "the build folder mapped out of file names, and:" "${options[@]}")"
