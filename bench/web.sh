#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 The Tarvolin authors
# SPDX-License-Identifier: GPL-3.0-or-later
#
# The web page against its floor, in Debian's Chromium and with Lighthouse from npm
# (bench/webbench.py): first-visit bytes, the time until the controls are there and until a
# click answers, and Lighthouse's mobile scores. Builds the page first (./dev.sh web).
# usage: bench/web.sh [RUNS]   (as root, or as a user with sudo for the packages)
set -euo pipefail
cd "$(dirname "$0")/.."

./dev.sh web >/dev/null
packaging/install-missing.sh chromium python3-websocket python3-brotli
# A machine with Node.js from elsewhere has its own npm, which Debian's would conflict with.
command -v npm >/dev/null || packaging/install-missing.sh npm
# A folder of its own: npm would remove the tests' axe-core as extraneous.
lighthouse=${TARVOLIN_NPM_CACHE:-$HOME/.cache/tarvolin/npm}/lighthouse-12.2.3
[ -x "$lighthouse/node_modules/.bin/lighthouse" ] \
    || npm install --prefix "$lighthouse" --no-audit --no-fund --no-save lighthouse@12.2.3 >/dev/null
CHROME_PATH=/usr/bin/chromium /usr/bin/python3 bench/webbench.py build/web/site \
    "$lighthouse/node_modules/.bin/lighthouse" "${1:-5}"
