#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 The Tarvolin authors
# SPDX-License-Identifier: GPL-3.0-or-later
#
# Installs whatever Debian packages are missing, builds, and then either starts
# the program (./dev.sh run) or runs every test (./dev.sh test), in a debug build
# and again under AddressSanitizer and UndefinedBehaviorSanitizer, or in the presets
# named after "test". ./dev.sh windows cross-builds Tarvolin.exe, its tests and its
# release files for Windows instead, against a static Qt that packaging/windows/qt.sh
# builds once from Debian's source. ./dev.sh web builds the web page, its site and its
# release ZIP into build/web.
set -euo pipefail
cd "$(dirname "$0")"

build_packages=(cmake ninja-build g++ qt6-base-dev qt6-qpa-plugins qt6-translations-l10n
    fonts-liberation2)
test_packages=(qt6-base-private-dev xvfb xauth libx11-dev libxcb1-dev binutils-mingw-w64-x86-64
    desktop-file-utils appstream dpkg-dev file valgrind lintian reuse groff devscripts
    orca speech-dispatcher speech-dispatcher-espeak-ng espeak-ng xdotool)
windows_packages=(g++-mingw-w64-x86-64-posix binutils-mingw-w64-x86-64 qt6-base-dev-tools dpkg-dev patch
    nsis wine wine64 xvfb xauth icoutils libimage-exiftool-perl zip unzip imagemagick)
web_packages=(cmake ninja-build clang-14 lld-14 llvm-14 libc++-14-dev-wasm32 wasi-libc python3 zip)

usage() {
    echo "usage: $0 run|test [PRESET...]|windows|web" >&2
    exit 2
}

build() {
    local preset=$1
    shift
    cmake --preset "$preset" "$@" >/dev/null
    cmake --build --preset "$preset"
}

case "${1:-}" in
run)
    packaging/install-missing.sh "${build_packages[@]}"
    build release
    exec build/release/app/tarvolin
    ;;
test)
    packaging/install-missing.sh "${build_packages[@]}" "${test_packages[@]}"
    presets=("${@:2}")
    ((${#presets[@]})) || presets=(debug asan)
    # CI treats warnings as errors; a developer's build only shows them.
    for preset in "${presets[@]}"; do
        build "$preset" -DTARVOLIN_WARNINGS_AS_ERRORS="${CI:+ON}"
        ctest --preset "$preset"
    done
    ;;
windows)
    packaging/install-missing.sh "${build_packages[@]}" "${windows_packages[@]}"
    qt=$(packaging/windows/qt.sh)
    build windows -DCMAKE_PREFIX_PATH="$qt" -DTARVOLIN_WARNINGS_AS_ERRORS="${CI:+ON}"
    cmake --build --preset windows --target zip installer
    ;;
web)
    packaging/install-missing.sh "${web_packages[@]}"
    build web -DTARVOLIN_WARNINGS_AS_ERRORS="${CI:+ON}"
    echo "web: the site is in $PWD/build/web/site, the release in $(ls "$PWD"/build/web/Tarvolin-*-web.zip)"
    ;;
*)
    usage
    ;;
esac
