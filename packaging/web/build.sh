#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 The Tarvolin authors
# SPDX-License-Identifier: GPL-3.0-or-later
#
# Builds Tarvolin for the browser in the Debian 13 root (packaging/debian13root.sh), whose
# Emscripten is new enough for Qt 6: Qt for WebAssembly once (packaging/web/qt.sh), then the
# program, its site and its release ZIP, which land in build/web.
# usage: packaging/web/build.sh [TARGET...]   (as root, or as a user with sudo; ./dev.sh web
#        runs it); the named targets are built too, e.g. startupprobe for bench/web.sh
set -euo pipefail
cd "$(dirname "$0")/../.."

packages=(cmake ninja-build g++ dpkg-dev patch zip emscripten qt6-base-dev qt6-base-dev-tools
    qt6-translations-l10n)

if [ "${1:-}" = --in-root ]; then
    shift
    packaging/install-missing.sh "${packages[@]}"
    qt=$(packaging/web/qt.sh)
    export TARVOLIN_WEB_QT=$qt EMSDK=${qt%/*}/emsdk
    cmake --preset web -DTARVOLIN_WARNINGS_AS_ERRORS="${CI:+ON}" >/dev/null
    cmake --build --preset web --target all "$@"
    exit 0
fi

if ((EUID != 0)); then
    exec sudo --preserve-env=CI,TARVOLIN_TRIXIE_ROOT "$0" "$@"
fi
source packaging/debian13root.sh
enter_debian13 web
in_debian13 "cd /web && packaging/web/build.sh --in-root $*" \
    || debian13_fail "the web build failed in the Debian 13 root"
rm -rf build/web
mkdir -p build/web
cp -r "$debian13_root/web/build/web/site" "$debian13_root"/web/build/web/Tarvolin-*-web.zip build/web/
# The site belongs to whoever owns the source, not to root.
chown --reference=. build && chown -R --reference=. build/web
echo "web: the site is in $PWD/build/web/site, the release in $(ls "$PWD"/build/web/Tarvolin-*-web.zip)"
