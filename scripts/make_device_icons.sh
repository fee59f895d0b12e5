#!/bin/sh
# Draws the selector's product icons (resources/skin/common/device_ico/*.png) with ImageMagick.
# Each product has four images: normal, selected, and the same two with the sync mark.
set -eu
out="$(dirname "$0")/../resources/skin/common/device_ico"
mkdir -p "$out"

shape() {  # the product's outline as ImageMagick draw primitives on a 72 x 48 canvas
  case "$1" in
    kb) echo "roundrectangle 6,12 66,38 4,4 line 14,20 58,20 line 14,26 58,26 line 22,32 50,32" ;;
    ms) echo "roundrectangle 24,4 48,44 12,12 line 36,6 36,18" ;;
    hard_mp) echo "rectangle 6,14 66,34 line 10,30 62,30" ;;
    soft_mp) echo "roundrectangle 6,14 66,34 8,8 bezier 12,24 24,18 48,30 60,24" ;;
    hd) echo "arc 16,6 56,42 180,360 roundrectangle 12,24 22,42 3,3 roundrectangle 50,24 60,42 3,3" ;;
    hub) echo "roundrectangle 14,14 58,34 4,4 rectangle 20,21 26,27 rectangle 33,21 39,27 rectangle 46,21 52,27" ;;
    unknow) echo "circle 36,24 36,6 arc 30,12 42,24 180,90 line 36,24 36,28 line 36,32 36,34" ;;
  esac
}

for kind in kb ms hard_mp soft_mp hd hub unknow; do
  for state in normal selected; do
    colour="#8B949E"
    [ "$state" = selected ] && colour="#2FB8C4"
    for sync in "" synchro_; do
      # The sync mark: a dot in the top right corner.
      mark="circle 64,8 64,3"
      [ -z "$sync" ] && mark="point -1,-1"
      convert -size 72x48 xc:none -fill none -stroke "$colour" -strokewidth 2.5 \
        -draw "$(shape "$kind")" -fill "$colour" -stroke none -draw "$mark" \
        -define png:exclude-chunks=date,time "PNG32:$out/${kind}_device_${sync}${state}.png"
    done
  done
done
