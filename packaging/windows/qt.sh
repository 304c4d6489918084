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
    # Nothing in the window looks up MIME types, and Qt's build stamps the gzip archive of the
    # database with the hour it was built, which would make every rebuild a different program.
    -DFEATURE_mimetype_database=OFF
    -DFEATURE_icu=OFF
    # Debian's source leaves out the Wintab header.
    -DFEATURE_tabletevent=OFF
    -DFEATURE_system_zlib=OFF
    -DFEATURE_system_pcre2=OFF
    -DFEATURE_system_harfbuzz=OFF
    -DFEATURE_system_png=OFF
)
# What the window never uses: dialogs, most item views and models, the main window's docks
# and status bar, and the widgets and Gui parts no form of this program holds. (Qt 6.4's
# own sources still need the message box, the button box, the main window with its menu and
# tool bars, and the list view. HarfBuzz stays: without it Qt kerned nothing in Liberation
# Serif under Wine, and «Грешни данни!» no longer fitted its box.)
for feature in colordialog filedialog fontdialog inputdialog progressdialog errormessage wizard \
    tableview treeview columnview listwidget tablewidget treewidget datawidgetmapper \
    completer fscompleter combobox fontcombobox dockwidget statusbar statustip \
    sizegrip mdiarea splitter stackedwidget toolbox calendarwidget \
    datetimeedit keysequenceedit commandlinkbutton radiobutton lcdnumber dial \
    progressbar splashscreen textbrowser syntaxhighlighter graphicsview graphicseffect \
    undoview effects undocommand undostack undogroup standarditemmodel filesystemmodel movie \
    pdf picture textodfwriter systemtrayicon sessionmanager whatsthis desktopservices \
    imageformat_bmp imageformat_ppm imageformat_xbm sharedmemory systemsemaphore \
    jalalicalendar hijricalendar islamiccivilcalendar style_stylesheet; do
    options+=("-DFEATURE_$feature=OFF")
done

# Compiler flags go in through the environment, with the build folder mapped out of the
# file names Qt keeps, so that a rebuild of this Qt gives the same program.
flags="-ffunction-sections -fdata-sections"
# Every change to Qt's source is a patch beside this script, applied in name order.
patches=("$source_dir"/packaging/windows/qt-*.patch)

if [ "${1:-}" = --options ]; then
    printf '%s\n' "CFLAGS and CXXFLAGS: $flags" "patches: ${patches[*]#"$source_dir/"}" "${options[@]}"
    exit 0
fi
if ((EUID != 0)); then
    exec sudo --preserve-env=TARVOLIN_QT_CACHE "$0" "$@"
fi

source "$source_dir/packaging/qtbuild.sh"
command -v x86_64-w64-mingw32-g++-posix >/dev/null \
    || fail "x86_64-w64-mingw32-g++-posix is not installed (./dev.sh windows installs it)"

qt_configure() {
    local patch
    for patch in "${patches[@]}"; do
        patch -d "$1" -p1 --forward --quiet <"$patch"
    done
    env CFLAGS="$flags -ffile-prefix-map=$work/=" CXXFLAGS="$flags -ffile-prefix-map=$work/=" \
        cmake -S "$1" -B "$2" -G Ninja -DCMAKE_TOOLCHAIN_FILE="$toolchain" -DCMAKE_INSTALL_PREFIX="$3" \
        -DQT_HOST_PATH=/usr -DQT_HOST_PATH_CMAKE_DIR=/usr/lib/x86_64-linux-gnu/cmake "${options[@]}"
}
(printf '%s\n' "$flags" "${options[@]}" && cat "$toolchain" "${patches[@]}") | qt_build_cached "$(printf '%s\n' \
    "configured with the MinGW-w64 toolchain file cmake/mingw-w64-x86_64.cmake, compiler flags" \
    "$flags (and the build folder mapped out of file names), and:" "${options[@]}" "" \
    "The changes made to the source (${patches[*]#"$source_dir/"}):" "" && cat "${patches[@]}")"
