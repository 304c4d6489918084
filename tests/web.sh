#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 The Tarvolin authors
# SPDX-License-Identifier: GPL-3.0-or-later
#
# Builds Tarvolin for the browser (./dev.sh web), then, in the Debian 13 root, serves the
# site on 127.0.0.1 and drives it from outside in Debian's headless Chromium at device
# scale factors 1 and 2 (tests/webcheck.py). Screenshots land in build/web/screenshots.
# usage: tests/web.sh   (as root, or as a user with sudo)
set -euo pipefail
cd "$(dirname "$0")/.."

if ((EUID != 0)); then
    exec sudo --preserve-env=CI,TARVOLIN_TRIXIE_ROOT "$0" "$@"
fi
./dev.sh web
source packaging/debian13root.sh
enter_debian13 webcheck
cp -r build/web/site "$debian13_root/webcheck/site"
start=$SECONDS
status=0
in_debian13 'cd /webcheck && packaging/install-missing.sh chromium python3-websocket \
    && python3 tests/webcheck.py site screenshots' || status=$?
rm -rf build/web/screenshots
cp -r "$debian13_root/webcheck/screenshots" build/web/ 2>/dev/null || true
((status == 0)) || debian13_fail "the web checks failed"
echo "web: every check passed in Chromium ($((SECONDS - start)) s)"
