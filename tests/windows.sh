#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 The Tarvolin authors
# SPDX-License-Identifier: GPL-3.0-or-later
#
# Builds the Windows program, its tests and its release files (./dev.sh windows), then, on
# a private X server and in a fresh Wine prefix (tests/wineprefix.sh):
#  - runs the Windows test suites under Wine at 96 dpi, and the window tests again at 144;
#  - reads the imports, security flags, size, icon and version information from outside;
#  - starts the program from the portable ZIP, and installs, upgrades and uninstalls it
#    with the installer, silently, as school IT does.
# usage: tests/windows.sh   (as root, or as a user with sudo)
set -euo pipefail
cd "$(dirname "$0")/.."
source_dir=$PWD
build=$source_dir/build/windows

fail() {
    echo "FAIL: windows: $*" >&2
    exit 1
}

if [ -z "${TARVOLIN_UNDER_XVFB:-}" ]; then
    ./dev.sh windows
    TARVOLIN_UNDER_XVFB=1 exec xvfb-run --auto-servernum --server-args='-screen 0 1280x1024x24' "$0"
fi

work=$(mktemp -d)
cleanup() {
    wineserver -k 2>/dev/null || true
    rm -rf "$work"
}
trap cleanup EXIT
start=$SECONDS
source tests/wineprefix.sh "$work/wine"

ctest --preset windows || fail "the Windows test suites failed under Wine at 96 dpi"
wine_registry 'HKCU\Control Panel\Desktop' LogPixels REG_DWORD 144
ctest --preset windows -R '^(tst_mainform|tst_content|tst_winexecutable)$' \
    || fail "the window tests failed under Wine at 144 dpi"
wine_registry 'HKCU\Control Panel\Desktop' LogPixels REG_DWORD 96

exe=$build/Tarvolin.exe
x86_64-w64-mingw32-objdump -p "$exe" >"$work/objdump.txt"
imports=$(sed -n 's/^\tDLL Name: //p' "$work/objdump.txt" | tr 'A-Z' 'a-z' | sort -u)
for dll in $imports; do
    case $dll in
    advapi32.dll | authz.dll | comdlg32.dll | d3d9.dll | d3d11.dll | dxgi.dll | dwmapi.dll | dwrite.dll \
        | gdi32.dll | imm32.dll | shcore.dll \
        | kernel32.dll | msvcrt.dll | netapi32.dll | ole32.dll | oleaut32.dll | setupapi.dll | shell32.dll \
        | shlwapi.dll | user32.dll | userenv.dll | uxtheme.dll | version.dll | winmm.dll | ws2_32.dll \
        | wtsapi32.dll | mpr.dll | uiautomationcore.dll | api-ms-win-*.dll) ;;
    *) fail "Tarvolin.exe imports $dll, which Windows does not have" ;;
    esac
done
for flag in HIGH_ENTROPY_VA DYNAMIC_BASE NX_COMPAT; do
    grep -q "^\s*$flag$" "$work/objdump.txt" || fail "Tarvolin.exe is not built with $flag"
done
[ -z "$(x86_64-w64-mingw32-objdump -h "$exe" | grep -E '\.debug|\.symtab')" ] || fail "Tarvolin.exe is not stripped"
bytes=$(stat -c %s "$exe")
((bytes <= 10000000)) || fail "Tarvolin.exe is $bytes bytes, over its budget of 10,000,000"

version=$(sed -n 's/^set(TARVOLIN_VERSION \([0-9.]*\))$/\1/p' packaging/release.cmake)
wrestool -l "$exe" >"$work/resources.txt"
grep -q -- '--type=14 --name=1 ' "$work/resources.txt" || fail "no icon group 1 in Tarvolin.exe"
grep -q -- '--type=3 --name=30001 ' "$work/resources.txt" || fail "no icon image 30001 in Tarvolin.exe"
exiftool -s -s -s -ProductName -ProductVersion -FileVersion -CompanyName -FileVersionNumber \
    -OriginalFileName "$exe" >"$work/exif.txt"
printf '%s\n' Tarvolin "$version" "$version" www.mersodal.example "${version%%.*}.$((10#${version#*.})).0.0" \
    Tarvolin.exe | diff - "$work/exif.txt" || fail "exiftool reads other version information"

# The portable ZIP, unpacked in a fresh folder: its files, and its program driven as above.
zip=$build/Tarvolin-$version-win64.zip
setup=$build/Tarvolin-$version-win64-setup.exe
unzip -q "$zip" -d "$work/portable"
listing=$(cd "$work/portable" && find . -type f | sort | tr '\n' ' ')
[ "$listing" = "./LICENSES/CC-BY-SA-4.0.txt ./LICENSES/CC0-1.0.txt ./LICENSES/GPL-3.0-or-later.txt ./README.txt ./Tarvolin.exe " ] \
    || fail "the ZIP holds $listing"
head -c 3 "$work/portable/README.txt" | cmp -s - <(printf '\357\273\277') || fail "README.txt has no byte-order mark"
[ "$(grep -c $'\r$' "$work/portable/README.txt")" = "$(wc -l <"$work/portable/README.txt")" ] \
    || fail "README.txt does not end every line with CR LF"
grep -q "qt6-base source package, version $(dpkg-query -W -f='${Version}' qt6-base-dev-tools)" \
    "$work/portable/README.txt" || fail "README.txt does not name the Qt source"
drive() {
    TARVOLIN_PROGRAM=$1 wine "$build/tst_winexecutable.exe" >"$work/drive.log" 2>&1 \
        || { cat "$work/drive.log"; fail "$2"; }
}
drive "$work/portable/Tarvolin.exe" "the program from the ZIP did not work"

# The installer, silently, twice (the second an upgrade in place), then the uninstaller.
key='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\Tarvolin'
installed=$WINEPREFIX/drive_c/Program\ Files/Tarvolin
shortcut=$WINEPREFIX/drive_c/ProgramData/Microsoft/Windows/Start\ Menu/Programs/Tarvolin.lnk
value() {
    wine reg query "$key" /v "$1" 2>/dev/null | sed -n "s/^ *$1 *REG_[A-Z]* *//p" | tr -d '\r'
}
for round in install upgrade; do
    wine "$setup" /S && wineserver -w || fail "the silent $round failed"
    [ -f "$installed/Tarvolin.exe" ] || fail "the $round left no Program Files\\Tarvolin\\Tarvolin.exe"
    [ -f "$installed/LICENSES/GPL-3.0-or-later.txt" ] || fail "the $round left no GPL text"
    [ "$(exiftool -s -s -s -LocalBasePath "$shortcut" 2>/dev/null)" = 'C:\Program Files\Tarvolin\Tarvolin.exe' ] \
        || fail "the $round left no Start-menu shortcut to the program"
    entries=$(wine reg query 'HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall' 2>/dev/null | grep -c 'Tarvolin')
    [ "$entries" = 1 ] || fail "after the $round there are $entries uninstall entries"
done
for pair in "DisplayName=Tarvolin" "DisplayVersion=$version" "Publisher=www.mersodal.example" \
    'DisplayIcon=C:\Program Files\Tarvolin\Tarvolin.exe,0' \
    'UninstallString="C:\Program Files\Tarvolin\Uninstall.exe"' \
    'QuietUninstallString="C:\Program Files\Tarvolin\Uninstall.exe" /S'; do
    [ "$(value "${pair%%=*}")" = "${pair#*=}" ] || fail "${pair%%=*} is '$(value "${pair%%=*}")', not '${pair#*=}'"
done
size=$(($(value EstimatedSize)))
((size * 1024 >= $(stat -c %s "$installed/Tarvolin.exe"))) || fail "EstimatedSize ${size} KiB is too small"
drive "$installed/Tarvolin.exe" "the installed program did not work"
wine "$installed/Uninstall.exe" /S && wineserver -w || fail "the silent uninstall failed"
[ ! -e "$installed" ] || fail "the uninstaller left $(cd "$installed" && find . | tr '\n' ' ')"
[ ! -e "$shortcut" ] || fail "the uninstaller left the Start-menu shortcut"
wine reg query "$key" >/dev/null 2>&1 && fail "the uninstaller left the uninstall entry"

# Two release builds against the same Qt, from copies of the source that differ in folder
# name, file times and umask: the same program, ZIP and installer, byte for byte.
qt=$(packaging/windows/qt.sh)
release() {
    (cd "$1" && cmake --preset windows -DCMAKE_PREFIX_PATH="$qt" -DBUILD_TESTING=OFF >/dev/null \
        && cmake --build --preset windows --target installer >/dev/null) \
        || fail "the release build failed in $1"
}
tests/copysource.sh . "$work/first-copy"
tests/copysource.sh . "$work/second/copy-of-tarvolin"
find "$work/second" -exec touch -h -d '2001-02-03 04:05:06' {} +
(umask 022 && release "$work/first-copy")
(umask 077 && release "$work/second/copy-of-tarvolin")
for file in Tarvolin.exe "Tarvolin-$version-win64.zip" "Tarvolin-$version-win64-setup.exe"; do
    sha256sum "$work/first-copy/build/windows/$file" "$work/second/copy-of-tarvolin/build/windows/$file"
    cmp "$work/first-copy/build/windows/$file" "$work/second/copy-of-tarvolin/build/windows/$file" \
        || fail "two release builds of the same source gave different $file"
done

echo "windows: every check passed under Wine ($((SECONDS - start)) s)"
