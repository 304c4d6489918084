# SPDX-FileCopyrightText: 2026 The Tarvolin authors
# SPDX-License-Identifier: GPL-3.0-or-later
#
# Sourced by packaging/windows/qt.sh: builds a static Qt from the
# Debian qt6-base source of the same version as this machine's Qt tools, and prints the
# folder it is installed in. The install is cached under $cache, keyed by the version and by
# what the caller feeds qt_key (options, flags, toolchain, patches), so a second run only
# prints the folder. The caller defines qt_configure SOURCE_DIR BUILD_DIR PREFIX, and may
# define qt_installed SOURCE_DIR PREFIX to keep more of the source beside the install.

fail() {
    echo "qt.sh: $*" >&2
    exit 1
}

# The host's moc, rcc and uic generate the code, so the target's Qt must be their version.
qt_version=$(dpkg-query -W -f='${Version}' qt6-base-dev-tools 2>/dev/null) \
    || fail "qt6-base-dev-tools is not installed"

# usage: qt_build_cached DESCRIPTION < KEY_MATERIAL
# DESCRIPTION goes into tarvolin-qt-source.txt, which a release's README quotes.
qt_build_cached() {
    local description=$1 key
    key=$( (printf '%s\n' "$qt_version" "resources dated by the source's changelog" && cat) \
        | sha256sum | cut -c1-12)
    prefix=$cache/qt6-base-$qt_version-$key
    if [ -e "$prefix/.tarvolin-complete" ]; then
        echo "$prefix"
        return 0
    fi
    for tool in cmake ninja dpkg-source; do
        command -v "$tool" >/dev/null || fail "$tool is not installed"
    done

    work=$(mktemp -d /var/tmp/tarvolin-qt.XXXXXX)
    trap 'rm -rf "$work"' EXIT
    log=$work/log
    qt_fetch_source
    # rcc stamps each resource with its file's time, which depends on when and how the source
    # was unpacked; the source's own date stands for them all.
    SOURCE_DATE_EPOCH=$(dpkg-parsechangelog -l "$qtbase/debian/changelog" -STimestamp) \
        || fail "the source's debian/changelog gives no date"
    export SOURCE_DATE_EPOCH
    step "configure" qt_configure "$qtbase" "$work/build" "$prefix"
    step "build ($(date +%H:%M); several minutes on two cores)" cmake --build "$work/build"
    rm -rf "$cache"/qt6-base-*
    step "install into $prefix" cmake --install "$work/build"
    printf '%s\n' "Debian's qt6-base source package, version $qt_version" "$description" \
        >"$prefix/tarvolin-qt-source.txt"
    if declare -F qt_installed >/dev/null; then
        step "record of the source" qt_installed "$qtbase" "$prefix"
    fi
    touch "$prefix/.tarvolin-complete"
    echo "$prefix"
}

step() {
    local what=$1
    shift
    echo "qt.sh: $what" >&2
    "$@" >>"$log" 2>&1 || { tail -n 60 "$log" >&2; fail "$what failed; the end of its log is above"; }
}

# The source from this machine's own archive, checked by apt against its signed index, into
# $work/src; sets qtbase to the unpacked folder.
qt_fetch_source() {
    local sources=/etc/apt/sources.list.d/debian.sources uri='' suites='' keyring='' suite
    if [ -e "$sources" ]; then
        uri=$(sed -n 's/^URIs:[[:space:]]*//p' "$sources" | head -n1)
        suites=$(sed -n 's/^Suites:[[:space:]]*//p' "$sources" | head -n1)
        keyring=$(sed -n 's/^Signed-By:[[:space:]]*//p' "$sources" | head -n1)
    fi
    # A root made by debootstrap has only the one-line format.
    if [ -z "$uri" ] && [ -e /etc/apt/sources.list ]; then
        read -r uri suites < <(awk '$1 == "deb" && $0 !~ /security/ { print $2, $3; exit }' \
            /etc/apt/sources.list) || true
    fi
    [ -n "$uri" ] || fail "no Debian archive found in $sources or /etc/apt/sources.list"
    mkdir -p "$work/apt/lists/partial" "$work/apt/parts" "$work/src"
    for suite in $suites; do
        echo "deb-src [signed-by=${keyring:-/usr/share/keyrings/debian-archive-keyring.gpg}] $uri $suite main"
    done >"$work/apt/sources.list"
    apt_options=(-o Dir::Etc::SourceList="$work/apt/sources.list" -o Dir::Etc::SourceParts="$work/apt/parts"
        -o Dir::State::Lists="$work/apt/lists" -o APT::Sandbox::User=root)
    step "source download of qt6-base $qt_version from $uri" qt_download_source
    qtbase=$(find "$work/src" -mindepth 1 -maxdepth 1 -type d -name 'qt6-base-*')
    [ -d "$qtbase" ] || fail "source download left no qt6-base folder"
}

qt_download_source() {
    apt-get "${apt_options[@]}" update \
        && (cd "$work/src" && apt-get "${apt_options[@]}" source "qt6-base=$qt_version")
}
