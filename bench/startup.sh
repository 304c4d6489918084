#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 The Tarvolin authors
# SPDX-License-Identifier: GPL-3.0-or-later
#
# Start-up of the program against the floor window, on X11 (Xvfb).
# First figure: instructions, counted by callgrind up to the idle event loop after the first
# frame. They do not depend on how busy the machine is, so the ratio is the one to trust:
#  - startupprobe "program" and "floor" exit by themselves once idle;
#  - the real tarvolin is counted from outside until its count stops moving.
# Second figures: medians of wall time, CPU time and peak memory over RUNS alternating runs,
# on X11 and offscreen. Builds the release preset first. usage: bench/startup.sh [RUNS]
set -euo pipefail
cd "$(dirname "$0")/.."
if [ -z "${TARVOLIN_BENCH_XVFB:-}" ]; then
    cmake --preset release >/dev/null
    cmake --build --preset release >/dev/null
    exec env TARVOLIN_BENCH_XVFB=1 xvfb-run --auto-servernum \
        --server-args='-screen 0 1024x768x24' "$0" "$@"
fi
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
export XDG_RUNTIME_DIR=$work QT_QPA_PLATFORM=xcb
probe=build/release/bench/startupprobe

counted() {
    valgrind --tool=callgrind --callgrind-out-file="$work/callgrind.out" "$@" 2>&1 \
        | sed -n 's/.*Collected : //p'
}

counted_until_idle() {
    valgrind --tool=callgrind --callgrind-out-file="$work/callgrind.out" "$@" >/dev/null 2>&1 &
    local pid=$! count previous=
    while sleep 0.5; do
        count=$(callgrind_control -e "$pid" 2>/dev/null \
            | awk '/^ *Th/ { gsub(",", "", $3); sum += $3 } END { print sum }')
        [ -n "$count" ] && [ "$count" = "$previous" ] && break
        previous=$count
    done
    kill -TERM "$pid"
    wait "$pid" 2>/dev/null || true
    echo "$count"
}

report() {
    awk -v name="$1" -v p="$2" -v f="$3" 'BEGIN {
        printf "  %-22s %6.1f M / %5.1f M   ratio %.3f  (target <= 1.15)\n", name, p / 1e6, f / 1e6, p / f }'
}

floor=$(counted "$probe" floor)
echo "instructions up to the idle loop after the first frame (callgrind; program / floor):"
report "startupprobe program" "$(counted "$probe" program)" "$floor"
report "tarvolin (real)" "$(counted_until_idle build/release/app/tarvolin)" "$floor"
echo
echo "times and memory (secondary: noise pulls time ratios towards 1):"
build/release/bench/startupbench "$probe" "${1:-30}" || true
