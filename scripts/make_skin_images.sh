#!/bin/sh
# Draws the skin's PNG pictures from the SVG art beside this script with rsvg-convert
# (librsvg2-bin): the default background, the background choices of the skin panel, and the
# program icon at the sizes the desktop asks for.
set -eu
here="$(dirname "$0")"
skin="$here/../resources/skin"
icons="$here/../resources/icons"
mkdir -p "$skin/skinimage"
rsvg-convert -w 800 -h 572 "$skin/common/background.svg" -o "$skin/common/background.png"
for art in dusk grid waves carbon; do
  rsvg-convert -w 800 -h 572 "$here/skin_art/$art.svg" -o "$skin/skinimage/$art.png"
done
for size in 48 64 128 256; do
  mkdir -p "$icons/hicolor/${size}x${size}/apps"
  rsvg-convert -w "$size" -h "$size" "$skin/common/icon.svg" -o "$icons/hicolor/${size}x${size}/apps/brimvex.png"
done
