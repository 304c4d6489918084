#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 The Tarvolin authors
# SPDX-License-Identifier: GPL-3.0-or-later
#
# Checks what a user, a packager and a distribution get:
#  - the build installed into a temporary prefix: files, desktop entry, metainfo, manual
#    pages, and the program starting from there;
#  - the release .deb, built twice from two copies of the source that differ in folder
#    name, file times and umask: byte-identical, lintian-clean, hardened, installable,
#    with its copyright file and manual pages, and starting the program;
#  - REUSE compliance of the source, in a git checkout.
# usage: packaging.sh SOURCE_DIR BUILD_DIR TST_EXECUTABLE
set -euo pipefail
source_dir=$1
build=$2
starts_and_closes=$3
id=example.mersodal.Tarvolin
for tool in desktop-file-validate appstreamcli groff cpack dpkg-deb lintian hardening-check \
    apt-get reuse; do
    command -v "$tool" >/dev/null || { echo "packaging: skipped, $tool not found"; exit 77; }
done
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

fail() {
    echo "FAIL: $*" >&2
    exit 1
}

run_program_test() {
    TARVOLIN_PROGRAM=$1 xvfb-run --auto-servernum --server-args='-screen 0 1024x768x24' \
        "$starts_and_closes" >"$work/run.log" 2>&1 || { cat "$work/run.log"; fail "$1 did not start and close cleanly"; }
}

release_deb() {
    (cd "$1" && cmake --preset release >/dev/null && cmake --build --preset release --target deb >/dev/null) \
        || fail "the release build or its .deb failed in $1"
    echo "$1"/build/release/deb/*.deb
}

prefix=$work/prefix
cmake --install "$build" --prefix "$prefix" >/dev/null
for file in bin/tarvolin share/applications/$id.desktop share/metainfo/$id.metainfo.xml \
    share/icons/hicolor/{16x16,32x32,48x48,64x64,128x128,256x256}/apps/$id.png \
    share/icons/hicolor/scalable/apps/$id.svg share/doc/tarvolin/{copyright,changelog.gz} \
    share/man/man1/tarvolin.1.gz share/man/bg/man1/tarvolin.1.gz; do
    [ -f "$prefix/$file" ] || fail "cmake --install did not install $file"
done
desktop-file-validate "$prefix/share/applications/$id.desktop" || fail "desktop entry"
appstreamcli validate --pedantic --no-net "$prefix/share/metainfo/$id.metainfo.xml" >"$work/appstream.log" 2>&1 \
    || { cat "$work/appstream.log"; fail "metainfo"; }
grep -E '^[EW]: ' "$work/appstream.log" && fail "appstreamcli reports errors or warnings"
for page in man1/tarvolin.1.gz bg/man1/tarvolin.1.gz; do
    warnings=$(zcat "$prefix/share/man/$page" | groff -k -Tutf8 -ww -z -man 2>&1)
    [ -z "$warnings" ] || fail "groff warns about $page: $warnings"
done
run_program_test "$prefix/bin/tarvolin"

"$(dirname "$0")/copysource.sh" "$source_dir" "$work/first-copy"
"$(dirname "$0")/copysource.sh" "$source_dir" "$work/second/copy-of-tarvolin"
find "$work/second" -exec touch -h -d '2001-02-03 04:05:06' {} +
first_deb=$(umask 022 && release_deb "$work/first-copy")
second_deb=$(umask 077 && release_deb "$work/second/copy-of-tarvolin")
if ! cmp -s "$first_deb" "$second_deb"; then
    dpkg-deb -R "$first_deb" "$work/first-deb"
    dpkg-deb -R "$second_deb" "$work/second-deb"
    diff -r "$work/first-deb" "$work/second-deb" >&2 || true
    fail "two release builds of the same source gave different packages"
fi
deb=$first_deb

lintian --tag-display-limit 0 "$deb" >"$work/lintian.log" 2>&1 || true
grep -E '^[EW]: ' "$work/lintian.log" && fail "lintian reports errors or warnings"
dpkg-deb -x "$deb" "$work/root"
for file in usr/share/doc/tarvolin/copyright usr/share/man/man1/tarvolin.1.gz \
    usr/share/man/bg/man1/tarvolin.1.gz usr/share/applications/$id.desktop; do
    [ -f "$work/root/$file" ] || fail "the .deb has no $file"
done
hardening-check "$work/root/usr/bin/tarvolin" >"$work/hardening.log" 2>&1 || true
for feature in 'Position Independent Executable: yes' 'Stack protected: yes' \
    'Fortify Source functions: (yes|unknown)' 'Read-only relocations: yes' 'Immediate binding: yes'; do
    grep -Eq "^ $feature" "$work/hardening.log" || { cat "$work/hardening.log"; fail "hardening-check: not $feature"; }
done

# Dependencies by what they are, whatever a Debian release calls the packages.
depends=$(dpkg-deb -f "$deb" Depends)
for package in 'libqt6widgets6(t64)?' 'libqt6gui6(t64)?' 'libqt6core6(t64)?' qt6-qpa-plugins \
    fonts-liberation2; do
    grep -Eq "(^|, )$package( |,|$)" <<<"$depends" || fail "the .deb does not depend on $package: $depends"
done
apt-get install --simulate --no-download "$deb" >"$work/apt.log" 2>&1 \
    || { cat "$work/apt.log"; fail "the .deb does not install on this system"; }
run_program_test "$work/root/usr/bin/tarvolin"

if git -C "$source_dir" rev-parse --is-inside-work-tree >/dev/null 2>&1; then
    (cd "$source_dir" && reuse lint >"$work/reuse.log" 2>&1) || { cat "$work/reuse.log"; fail "reuse lint"; }
else
    echo "packaging: not a git checkout, so reuse lint is skipped (it would scan the build folders)"
fi
echo "packaging: install, reproducible lintian-clean .deb ($(sha256sum <"$deb" | cut -c1-16)…), hardening and licences checked"
