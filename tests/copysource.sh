#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 The Tarvolin authors
# SPDX-License-Identifier: GPL-3.0-or-later
#
# Copies the source as a fresh clone would have it: in a git checkout, what git tracks or
# would track; elsewhere (an unpacked tarball), everything but the build folder.
# usage: copysource.sh SOURCE_DIR DEST_DIR
set -euo pipefail
dest=$(mkdir -p "$2" && cd "$2" && pwd)
cd "$1"
if git rev-parse --is-inside-work-tree >/dev/null 2>&1; then
    git ls-files -z --cached --others --exclude-standard \
        | tar -cf - --null --ignore-failed-read -T - | tar -xf - -C "$dest"
else
    tar -cf - --exclude=./build . | tar -xf - -C "$dest"
fi
