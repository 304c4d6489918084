#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 The Tarvolin authors
# SPDX-License-Identifier: GPL-3.0-or-later
#
# Start-up of the program against the floor window, on X11 (Xvfb) and offscreen.
# Builds the release preset first. usage: bench/startup.sh [RUNS]
set -euo pipefail
cd "$(dirname "$0")/.."
cmake --preset release >/dev/null
cmake --build --preset release >/dev/null
runtime=$(mktemp -d)
trap 'rm -rf "$runtime"' EXIT
XDG_RUNTIME_DIR=$runtime xvfb-run --auto-servernum --server-args='-screen 0 1024x768x24' \
    build/release/bench/startupbench build/release/bench/startupprobe "${1:-30}"
