#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 The Tarvolin authors
# SPDX-License-Identifier: GPL-3.0-or-later
#
# Renders the illustration and the icons from their SVG sources into resources/generated.
# Needs Debian's librsvg2-bin, imagemagick and icnsutils; the results are committed, so a build
# does not need them.
set -euo pipefail
art=$(cd "$(dirname "$0")" && pwd)
out=$art/../generated
magick=/usr/bin/convert
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
mkdir -p "$out/hicolor/scalable/apps"

# Baseline JFIF 1.01 JPEGs at 96 dpi: 220 x 167 and a 2x one for high-DPI screens.
for scale in 1 2; do
    suffix=$([ "$scale" = 2 ] && echo @2x || true)
    rsvg-convert -w $((220 * scale)) -h $((167 * scale)) "$art/illustration.svg" -o "$tmp/ill.png"
    "$magick" "$tmp/ill.png" -background white -alpha remove -alpha off -strip \
        -density 96 -units PixelsPerInch -interlace none -quality 92 \
        "$out/illustration$suffix.jpg"
done

id=example.mersodal.Tarvolin
for size in 16 32 48 64 128 256; do
    mkdir -p "$out/hicolor/${size}x${size}/apps"
    rsvg-convert -w $size -h $size "$art/icon.svg" -o "$out/hicolor/${size}x${size}/apps/$id.png"
done
cp "$art/icon.svg" "$out/hicolor/scalable/apps/$id.svg"

# The web app's icons: 192 and 512 pixels, and a maskable one whose art keeps to the middle 70 %
# on the window's colour, so that a launcher may cut it to any shape.
mkdir -p "$out/web"
for size in 192 512; do
    rsvg-convert -w $size -h $size "$art/icon.svg" -o "$out/web/icon-$size.png"
done
rsvg-convert -w 358 -h 358 "$art/icon.svg" -o "$tmp/maskable.png"
"$magick" -size 512x512 xc:'#c0c0ff' "$tmp/maskable.png" -gravity center -composite -strip \
    "$out/web/icon-maskable-512.png"

# Windows icon: the 32 x 32 image in 256 colours first, then true-colour sizes.
"$magick" "$out/hicolor/32x32/apps/$id.png" -background white -alpha remove -alpha off \
    -colors 256 -type Palette BMP3:"$tmp/icon32.bmp"
"$magick" "$tmp/icon32.bmp" "$out/hicolor/48x48/apps/$id.png" "$out/hicolor/256x256/apps/$id.png" \
    "$out/tarvolin.ico"

# macOS bundle icon.
png2icns "$out/tarvolin.icns" "$out"/hicolor/{16x16,32x32,128x128,256x256}/apps/$id.png >/dev/null
