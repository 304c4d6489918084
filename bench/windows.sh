#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 The Tarvolin authors
# SPDX-License-Identifier: GPL-3.0-or-later
#
# The Windows program, after ./dev.sh windows:
#  - the size of the stripped Tarvolin.exe, and what takes the space, by library, from the
#    map of the same link (sections kept after --gc-sections);
#  - start-up under Wine on Xvfb: startupprobe.exe "program" against "floor" (the least any
#    window of this program must show), RUNS alternating runs each, as a ratio of medians.
#    Only indicative: Wine is not Windows, and every run includes starting Wine's process.
# usage: bench/windows.sh [RUNS]
set -euo pipefail
cd "$(dirname "$0")/.."
build=$PWD/build/windows
if [ -z "${TARVOLIN_BENCH_XVFB:-}" ]; then
    exec env TARVOLIN_BENCH_XVFB=1 xvfb-run --auto-servernum \
        --server-args='-screen 0 1280x1024x24' "$0" "$@"
fi
work=$(mktemp -d)
trap 'wineserver -k 2>/dev/null; rm -rf "$work"' EXIT

# The program's own link, again, with a map and without stripping.
link=$(cd "$build" && ninja -t commands Tarvolin.exe | tail -n1)
link=${link//-o Tarvolin.exe/-o $work/Tarvolin.exe -Wl,-Map=$work/Tarvolin.map}
(cd "$build" && eval "${link// -s / }")
echo "Tarvolin.exe: $(stat -c %s "$build/Tarvolin.exe") bytes stripped"
x86_64-w64-mingw32-size "$build/Tarvolin.exe" | sed 's/^/  /'
echo "by library (code and data kept by the linker, KiB):"
awk '
    function hex(s,   i, v) {
        v = 0
        for (i = 3; i <= length(s); i++) v = v * 16 + index("0123456789abcdef", substr(s, i, 1)) - 1
        return v
    }
    # Only the sections kept, which the map lists after those discarded.
    /^Linker script and memory map/ { kept = 1 }
    !kept { next }
    # An input section: name, address, size, file; a long name puts the rest on the next line.
    /^ [.][a-z]/ && NF == 1 { pending = 1; next }
    (pending || /^ [.][a-z]/) && $(NF - 1) ~ /^0x/ && $(NF) !~ /^0x/ {
        size = hex($(NF - 1)); file = $NF; pending = 0
        if (size == 0 || $0 ~ /^ [.](debug|stab)/) next
        sub(/\(.*/, "", file); n = split(file, parts, "/"); name = parts[n]
        # Qt installs its resources and plug-in registration as objects, not in its libraries.
        if (name !~ /[.]a$/)
            name = file ~ /\/objects-/ ? "Qt objects (resources, plug-in)" : "Tarvolin (own code and resources)"
        bytes[name] += size; total += size
        next
    }
    { pending = 0 }
    END {
        for (name in bytes) printf "  %8.0f  %5.1f %%  %s\n", bytes[name] / 1024, 100 * bytes[name] / total, name | "sort -rn"
    }' "$work/Tarvolin.map"

source tests/wineprefix.sh "$work/wine"
probe=$build/startupprobe.exe
runs=${1:-15}
wine "$probe" floor >/dev/null 2>&1   # the first start of a prefix pays for more
for ((run = 0; run < runs; run++)); do
    for which in program floor; do
        begin=$(date +%s%N)
        wine "$probe" "$which" >/dev/null 2>&1
        echo "$which $((($(date +%s%N) - begin) / 1000000))" >>"$work/times"
    done
done
median() {
    sed -n "s/^$1 //p" "$work/times" | sort -n \
        | awk '{ t[NR] = $1 } END { print NR % 2 ? t[(NR + 1) / 2] : (t[NR / 2] + t[NR / 2 + 1]) / 2 }'
}
program=$(median program)
floor=$(median floor)
awk -v p="$program" -v f="$floor" -v n="$runs" 'BEGIN {
    printf "start-up under Wine, median of %d runs each: program %d ms, floor %d ms, ratio %.2f\n", n, p, f, p / f }'
