#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 The Tarvolin authors
# SPDX-License-Identifier: GPL-3.0-or-later
#
# Builds Tarvolin for the browser (./dev.sh web) and, in the Debian 13 root, builds its
# release again from a copy of the source that differs in folder name, file times and umask:
# the ZIP must come out byte for byte the same. Then serves the unpacked release on
# 127.0.0.1 and drives it from outside in headless Chromium, Firefox ESR and WebKitGTK
# (tests/webcheck.py). Screenshots land in build/web/screenshots.
# usage: tests/web.sh   (as root, or as a user with sudo)
set -euo pipefail
cd "$(dirname "$0")/.."

if ((EUID != 0)); then
    exec sudo --preserve-env=CI,TARVOLIN_TRIXIE_ROOT "$0" "$@"
fi
./dev.sh web
source packaging/debian13root.sh
enter_debian13 webcheck
start=$SECONDS
zip=$(cd build/web && ls Tarvolin-*-web.zip)
second=webcheck/second/copy-of-tarvolin
tests/copysource.sh . "$debian13_root/$second"
find "$debian13_root/webcheck/second" -exec touch -h -d '2001-02-03 04:05:06' {} +
# The browsers download while the second build keeps the processors busy.
in_debian13 "cd /webcheck && packaging/install-missing.sh chromium firefox-esr webkitgtk-webdriver \
    xvfb python3-websocket" &
browsers=$!
in_debian13 "cd /$second && umask 077 && packaging/web/build.sh --in-root >/dev/null" \
    || debian13_fail "the second release build failed"
wait "$browsers" || debian13_fail "the browsers could not be installed"
sha256sum "build/web/$zip" "$debian13_root/$second/build/web/$zip"
cmp "build/web/$zip" "$debian13_root/$second/build/web/$zip" \
    || debian13_fail "two release builds of the same source gave different $zip"

cp "build/web/$zip" "$debian13_root/webcheck/"
status=0
in_debian13 "cd /webcheck && python3 -m zipfile -e $zip release \
        && { grep -q \$'^-DFEATURE_thread=OFF\r\$' release/README.txt \
            || { echo 'README.txt does not give the Qt options in CR LF lines'; exit 1; }; } \
        && python3 tests/webcheck.py release/tarvolin screenshots" || status=$?
rm -rf build/web/screenshots
cp -r "$debian13_root/webcheck/screenshots" build/web/ 2>/dev/null || true
((status == 0)) || debian13_fail "the web checks failed"
echo "web: a reproducible release, and every check passed in Chromium, Firefox and WebKit ($((SECONDS - start)) s)"
