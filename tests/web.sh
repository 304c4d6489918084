#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 The Tarvolin authors
# SPDX-License-Identifier: GPL-3.0-or-later
#
# Builds Tarvolin's web page (./dev.sh web) and builds its release again from a copy of the
# source that differs in folder name, file times and umask: the ZIP must come out byte for
# byte the same. Then serves the unpacked release on 127.0.0.1 and drives it from outside in
# Debian's Chromium, Firefox ESR and WebKitGTK, with axe-core from npm (tests/webcheck.py).
# Screenshots land in build/web/screenshots.
# usage: tests/web.sh   (as root, or as a user with sudo for the packages)
set -euo pipefail
cd "$(dirname "$0")/.."

./dev.sh web
packaging/install-missing.sh chromium firefox-esr webkit2gtk-driver xvfb xauth python3-websocket
# A machine with Node.js from elsewhere has its own npm, which Debian's would conflict with.
command -v npm >/dev/null || packaging/install-missing.sh npm
start=$SECONDS
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
second=$work/second/copy-of-tarvolin
tests/copysource.sh . "$second"
find "$work/second" -exec touch -h -d '2001-02-03 04:05:06' {} +
(cd "$second" && umask 077 && ./dev.sh web >/dev/null)
zip=$(cd build/web && ls Tarvolin-*-web.zip)
sha256sum "build/web/$zip" "$second/build/web/$zip"
cmp "build/web/$zip" "$second/build/web/$zip" \
    || { echo "web: two release builds of the same source gave different $zip" >&2; exit 1; }

axe=${TARVOLIN_NPM_CACHE:-$HOME/.cache/tarvolin/npm}
[ -e "$axe/node_modules/axe-core/axe.min.js" ] \
    || npm install --prefix "$axe" --no-audit --no-fund --no-save axe-core@4.10.2 >/dev/null
/usr/bin/python3 -m zipfile -e "build/web/$zip" "$work/release"
rm -rf build/web/screenshots
/usr/bin/python3 tests/webcheck.py "$work/release/tarvolin" "$axe/node_modules/axe-core/axe.min.js" \
    build/web/screenshots || { echo "web: the web checks failed" >&2; exit 1; }
echo "web: a reproducible release, and every check passed in Chromium, Firefox and WebKit ($((SECONDS - start)) s)"
