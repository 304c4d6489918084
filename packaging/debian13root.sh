# SPDX-FileCopyrightText: 2026 The Tarvolin authors
# SPDX-License-Identifier: GPL-3.0-or-later
#
# Sourced, as root, by the scripts that work in a minimal Debian 13 (trixie) root made from
# the Debian archive this machine already uses: tests/debian13.sh.
# The root is cached, so only the first run makes it. enter_debian13 DEST copies the source
# into DEST inside it, as a fresh clone has it; in_debian13 COMMAND runs a shell command
# there with a clean environment.
debian13_root=${TARVOLIN_TRIXIE_ROOT:-/var/cache/tarvolin/trixie}

debian13_fail() {
    echo "debian13: $*" >&2
    exit 1
}

# The first deb line that is not the security archive.
debian13_archive() {
    local uri
    uri=$(sed -n 's/^URIs:[[:space:]]*//p' /etc/apt/sources.list.d/debian.sources 2>/dev/null | head -n1)
    [ -n "$uri" ] || uri=$(awk '$1 == "deb" && $2 !~ /security/ { print $2; exit }' \
        /etc/apt/sources.list 2>/dev/null)
    echo "${uri:-http://deb.debian.org/debian}"
}

enter_debian13() {
    local source_dir=$PWD dest=$debian13_root/$1
    "$source_dir/packaging/install-missing.sh" debootstrap
    if [ ! -e "$debian13_root/.tarvolin-complete" ]; then
        rm -rf "$debian13_root"
        mkdir -p "$debian13_root"
        # One retry for the network; a second failure is reported as what it was.
        debootstrap --variant=minbase trixie "$debian13_root" "$(debian13_archive)" \
            || { echo "debian13: debootstrap failed; trying once more" >&2 && sleep 10 && rm -rf "$debian13_root" \
                && debootstrap --variant=minbase trixie "$debian13_root" "$(debian13_archive)"; } \
            || debian13_fail "debootstrap of trixie from $(debian13_archive) failed twice; see the messages above"
        touch "$debian13_root/.tarvolin-complete"
    fi
    cp /etc/resolv.conf "$debian13_root/etc/resolv.conf"
    rm -rf "$dest"
    "$source_dir/tests/copysource.sh" "$source_dir" "$dest"
}

# The root's /proc and /dev are mounted in a mount namespace of the command's own, so they
# vanish with it, and runs at the same time leave each other's alone.
in_debian13() {
    unshare --mount --propagation private sh -c 'mount -t proc proc "$1/proc" \
        && mount --bind /dev "$1/dev" && mount --bind /dev/pts "$1/dev/pts" \
        && exec chroot "$1" /usr/bin/env -i HOME=/root PATH=/usr/sbin:/usr/bin:/sbin:/bin \
            LANG=C.UTF-8 CI="$2" bash -c "$3"' in_debian13 "$debian13_root" "${CI:-}" "$1"
}
