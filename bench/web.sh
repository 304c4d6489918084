#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 The Tarvolin authors
# SPDX-License-Identifier: GPL-3.0-or-later
#
# Measures the web build in the Debian 13 root (bench/webbench.py): what a first visit
# downloads, by file and by part of the program, and the time to the window's first frame
# in headless Chromium against the floor window (bench/startupprobe "floor") built the
# same way, as a ratio of medians.
# usage: bench/web.sh [RUNS]   (as root, or as a user with sudo)
set -euo pipefail
cd "$(dirname "$0")/.."

if ((EUID != 0)); then
    exec sudo --preserve-env=TARVOLIN_TRIXIE_ROOT "$0" "$@"
fi
packaging/web/build.sh startupprobe
source packaging/debian13root.sh
built=$debian13_root/web/build/web
enter_debian13 webbench
cp -r build/web/site "$debian13_root/webbench/site"
# The floor: the same page around the probe program, told to show the floor window.
floor=$debian13_root/webbench/floor
cp -r build/web/site "$floor"
rm "$floor"/tarvolin.{js,wasm}
cp "$built"/bench/startupprobe.{js,wasm} "$floor"/
sed -i -e 's/tarvolin\.js/startupprobe.js/' \
    -e 's/data-program="tarvolin"/data-program="startupprobe" data-arguments="floor"/' "$floor/index.html"
cp "$built/tarvolin.map" "$debian13_root/webbench/"
# What the program carries as it is: the font, the decoded pictures, Qt's Bulgarian texts.
payloads=$debian13_root/webbench/payloads
mkdir -p "$payloads"/{fonts,pictures,"Qt's Bulgarian texts"}
cp packaging/web/LiberationSerif-Regular.ttf "$payloads/fonts/"
for picture in $(cd "$built/resources/generated" && find . -name '*.raw'); do
    cp "$built/resources/generated/$picture" "$payloads/pictures/$(echo "${picture#./}" | tr / _)"
done
cp "$debian13_root/usr/share/qt6/translations/qtbase_bg.qm" "$payloads/Qt's Bulgarian texts/"
in_debian13 "cd /webbench && packaging/install-missing.sh chromium python3-websocket brotli \
    && python3 bench/webbench.py site floor tarvolin.map payloads ${1:-15}"
