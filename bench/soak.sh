#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 The Tarvolin authors
# SPDX-License-Identifier: GPL-3.0-or-later
#
# The suite's random-event soak, a million events long. Run after ./dev.sh test.
# usage: bench/soak.sh [SEED]
set -euo pipefail
cd "$(dirname "$0")/.."
TARVOLIN_SOAK_EVENTS=1000000 TARVOLIN_SOAK_SEED=${1:-20261208} QT_QPA_PLATFORM=offscreen \
    exec build/debug/tests/tst_soak
