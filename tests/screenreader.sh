#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 The Tarvolin authors
# SPDX-License-Identifier: GPL-3.0-or-later
#
# Runs the program with the Orca screen reader on a private X server and D-Bus session,
# drives it by keys as a pupil who cannot see the screen would, and checks what Orca
# spoke after each key. Speech goes through speech-dispatcher and espeak-ng to a silent
# ALSA sink.
# usage: screenreader.sh PROGRAM
set -euo pipefail
program=$1

if pgrep -x orca >/dev/null; then
    echo "screenreader: skipped, another Orca is running here (it is never replaced)"
    exit 77
fi
for tool in orca speech-dispatcher Xvfb xdotool dbus-run-session; do
    command -v "$tool" >/dev/null || { echo "screenreader: skipped, $tool not found"; exit 77; }
done

work=$(mktemp -d)
cleanup() {
    kill $(jobs -p) 2>/dev/null || true
    wait 2>/dev/null || true
    rm -rf "$work"
}
trap cleanup EXIT

export HOME=$work/home XDG_RUNTIME_DIR=$work/run
mkdir -p "$HOME/.config/speech-dispatcher" "$XDG_RUNTIME_DIR" "$work/orca"
chmod 700 "$XDG_RUNTIME_DIR"
echo 'pcm.!default { type null }' >"$HOME/.asoundrc"
cat >"$HOME/.config/speech-dispatcher/speechd.conf" <<'EOF'
AddModule "espeak-ng" "sd_espeak-ng" "espeak-ng.conf"
DefaultModule espeak-ng
AudioOutputMethod "alsa"
EOF

exec 3>"$work/display"
Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp >/dev/null 2>&1 &
for _ in $(seq 50); do [ -s "$work/display" ] && break; sleep 0.1; done
export DISPLAY=:$(cat "$work/display")

# Each key, then what Orca said after it. Keys are sent 1.5 s apart, as Orca needs.
# "click" is a mouse click on "Изчисли".
keys=(Tab space Tab Tab Tab Tab Tab Tab Tab Tab space space Tab space shift+Tab space Tab Tab Tab
    click)

LANG=C.UTF-8 dbus-run-session -- bash -s "$program" "$work" "${keys[@]}" <<'SESSION'
set -euo pipefail
program=$1 work=$2
shift 2
/usr/libexec/at-spi-bus-launcher --launch-immediately >/dev/null &
sleep 1
orca -u "$work/orca" --debug-file "$work/orca.log" >/dev/null 2>&1 &
orca=$!
sleep 4
QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1 QT_QPA_PLATFORM=xcb "$program" >"$work/program.log" 2>&1 &
window=$(timeout 20 xdotool search --sync --onlyvisible --pid $! | head -n1)
xdotool windowfocus --sync "$window"
sleep 3
for key in "$@"; do
    echo "$(date +%H:%M:%S.%N | cut -c1-15) $key" >>"$work/keys"
    if [ "$key" = click ]; then
        xdotool mousemove --window "$window" 232 52 click 1
    else
        xdotool key "$key"
    fi
    sleep 1.5
done
echo "$(date +%H:%M:%S.%N | cut -c1-15) end" >>"$work/keys"
kill -TERM "$orca"
wait "$orca" || true
SESSION

# Orca's debug log names many objects it never speaks; only its speech output counts.
# Each step: the key, then a phrase that one of the utterances after it must hold.
python3 - "$work/keys" "$work/orca.log" "${keys[@]}" <<'PY'
import re, sys
expected = ["Дегустатор I", "checked"] + [f"Дегустатор {n}" for n in
    "II III IV V VI VII VIII".split()] + ["Изчисли", "1", "1", "Изчисти",
    "Отметките и резултатът са изчистени.", "Изчисли", "Грешни данни!", "Изчисти",
    "Дегустатор IX", "Грешни данни! selected", "Грешни данни!"]
outcomes = {"1", "Отметките и резултатът са изчистени.", "Грешни данни!"}
times = [line.split(" ", 1)[0] for line in open(sys.argv[1]).read().splitlines()]
speech = re.findall(r"^(\d\d:\d\d:\d\d\.\d+) - SPEECH OUTPUT: '(.*)' ?\{",
    open(sys.argv[2], encoding="utf-8", errors="replace").read(), re.MULTILINE)
failures = 0
for step, (key, phrase) in enumerate(zip(sys.argv[3:], expected)):
    said = [text for at, text in speech if times[step] <= at < times[step + 1] and text]
    heard = sum(bool(re.search(r"(^|\s)" + re.escape(phrase) + r"(\s|\.|$)", text)) for text in said)
    # What a press did is said once; a second bridge event for it would be heard twice.
    ok = heard == 1 if key in ("space", "click") and phrase in outcomes else heard > 0
    failures += not ok
    print(f"{'ok  ' if ok else 'FAIL'} {key:9} {' | '.join(said)}"
        + ("" if ok else f"   (expected \"{phrase}\"{' once' if heard else ''})"))
print(f"screenreader: {len(expected) - failures} passed, {failures} failed")
sys.exit(1 if failures else 0)
PY
