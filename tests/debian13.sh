#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 The Tarvolin authors
# SPDX-License-Identifier: GPL-3.0-or-later
#
# Runs the suite (./dev.sh test debug) in a minimal Debian 13 (trixie) root, from the
# Debian archive this machine already uses. The root is cached, so a second run only
# builds and tests.
# usage: tests/debian13.sh   (as root, or as a user with sudo)
set -euo pipefail
cd "$(dirname "$0")/.."

if ((EUID != 0)); then
    exec sudo --preserve-env=CI,TARVOLIN_TRIXIE_ROOT "$0" "$@"
fi
source packaging/debian13root.sh

enter_debian13 src
start=$SECONDS
# The sanitizers run over the same code on Debian 12; what is new here is the compiler and Qt.
in_debian13 'cd /src && ./dev.sh test debug' \
    || debian13_fail "./dev.sh test debug failed in the Debian 13 root"
echo "debian13: ./dev.sh test debug passed in Debian 13 ($((SECONDS - start)) s)"
