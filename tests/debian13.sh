#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 The Tarvolin authors
# SPDX-License-Identifier: GPL-3.0-or-later
#
# Runs ./dev.sh test in a minimal Debian 13 (trixie) root, from the Debian archive
# this machine already uses. The root is cached, so a second run only builds and tests.
# usage: tests/debian13.sh   (as root, or as a user with sudo)
set -euo pipefail
cd "$(dirname "$0")/.."
root=${TARVOLIN_TRIXIE_ROOT:-/var/cache/tarvolin/trixie}

if ((EUID != 0)); then
    exec sudo --preserve-env=CI,TARVOLIN_TRIXIE_ROOT "$0" "$@"
fi

fail() {
    echo "debian13: $*" >&2
    exit 1
}

# Network steps get one retry; a second failure is reported as what it was.
retry_once() {
    local what=$1
    shift
    "$@" || { echo "debian13: $what failed; trying once more" >&2 && sleep 10 && "$@"; } \
        || fail "$what failed twice; see the messages above"
}

archive_uri() {
    local uri
    uri=$(sed -n 's/^URIs:[[:space:]]*//p' /etc/apt/sources.list.d/debian.sources 2>/dev/null | head -n1)
    [ -n "$uri" ] || uri=$(awk '$1 == "deb" && $2 !~ /security/ { print $2; exit }' \
        /etc/apt/sources.list 2>/dev/null)
    echo "${uri:-http://deb.debian.org/debian}"
}

command -v debootstrap >/dev/null || fail "debootstrap is not installed (apt-get install debootstrap)"
if [ ! -e "$root/.tarvolin-complete" ]; then
    rm -rf "$root"
    mkdir -p "$root"
    retry_once "debootstrap of trixie from $(archive_uri)" \
        debootstrap --variant=minbase trixie "$root" "$(archive_uri)"
    touch "$root/.tarvolin-complete"
fi

cleanup() {
    for mount in dev/pts dev proc; do
        mountpoint -q "$root/$mount" && umount -l "$root/$mount"
    done
    return 0
}
trap cleanup EXIT
mount -t proc proc "$root/proc"
mount --bind /dev "$root/dev"
mount --bind /dev/pts "$root/dev/pts"
cp /etc/resolv.conf "$root/etc/resolv.conf"

rm -rf "$root/src"
tests/copysource.sh . "$root/src"

start=$SECONDS
chroot "$root" /usr/bin/env -i HOME=/root PATH=/usr/sbin:/usr/bin:/sbin:/bin LANG=C.UTF-8 \
    CI="${CI:-}" bash -c 'cd /src && ./dev.sh test' || fail "./dev.sh test failed in the Debian 13 root"
echo "debian13: ./dev.sh test passed in Debian 13 ($((SECONDS - start)) s)"
