# SPDX-FileCopyrightText: 2026 The Tarvolin authors
# SPDX-License-Identifier: GPL-3.0-or-later
#
# Sourced by the Windows test and benchmark: a fresh 64-bit Wine prefix in $1, whose Times
# New Roman is Liberation Serif (its metric twin, as Wine has no Times New Roman), and
# where Wine draws the caption and frame itself, as Windows does, with no X window manager.
export WINEPREFIX=$1 WINEARCH=win64 WINEDEBUG=-all WINEDLLOVERRIDES='mscoree,mshtml='
# Wine passes no QT_ variable through unprefixed; this one sends Qt's messages and test logs
# to stderr and stdout rather than to the debugger.
export WINEQT_FORCE_STDERR_LOGGING=1

wine_registry() {
    wine reg add "$1" /v "$2" /t "$3" /d "$4" /f >/dev/null 2>&1 \
        && wineserver -w || { echo "FAIL: wine reg add $1 $2" >&2; exit 1; }
}
wine wineboot --init >"$WINEPREFIX.log" 2>&1 || { cat "$WINEPREFIX.log"; echo "FAIL: wineboot" >&2; exit 1; }
wine_registry 'HKCU\Software\Wine\Fonts\Replacements' 'Times New Roman' REG_SZ 'Liberation Serif'
wine_registry 'HKCU\Software\Wine\X11 Driver' Managed REG_SZ N
