#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 The Tarvolin authors
# SPDX-License-Identifier: GPL-3.0-or-later
#
# Installs those of the named Debian packages that are missing, as root or through sudo,
# and does nothing when all are there.
# usage: packaging/install-missing.sh PACKAGE...
set -euo pipefail

missing=()
for package in "$@"; do
    dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q 'ok installed' \
        || missing+=("$package")
done
((${#missing[@]})) || exit 0

if ! command -v apt-get >/dev/null; then
    echo "error: apt-get is not available; install these packages by hand: ${missing[*]}" >&2
    exit 1
fi
as_root=()
if ((EUID != 0)); then
    if ! command -v sudo >/dev/null; then
        echo "error: run as root or install sudo; missing packages: ${missing[*]}" >&2
        exit 1
    fi
    as_root=(sudo)
fi
echo "Installing missing packages: ${missing[*]}"
for try in 1 2; do
    "${as_root[@]}" apt-get update -qq \
        && "${as_root[@]}" env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq "${missing[@]}" \
        && exit 0
    ((try == 2)) || { echo "apt-get failed; trying once more" >&2 && sleep 10; }
done
echo "error: could not install ${missing[*]}; see apt-get's messages above" >&2
exit 1
