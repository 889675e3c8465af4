#!/usr/bin/env bash
# Draws the overload lamps and the editing-mode cursors with ImageMagick. The PNGs are
# committed; run this only to change them.
set -euo pipefail
cd "$(dirname "$0")"

lamp() {  # name, light colour, dark colour, scale (1, or 2 for dense screens), suffix
  local n=$((33 * $4)) c=$((16 * $4 + $4 / 2)) r=$((15 * $4)) w=$((2 * $4))
  convert -size ${n}x${n} radial-gradient:"$2"-"$3" \
    \( -size ${n}x${n} xc:black -fill white -draw "circle $c,$c $c,$((c - r))" \) \
    -alpha off -compose copy-opacity -composite \
    -fill none -stroke '#303030' -strokewidth $w -draw "circle $c,$c $c,$((c - r + $4))" \
    "lamps/$1$5.png"
}
for scale in 1 2; do
  suffix=$([ $scale = 2 ] && echo @2x || true)
  lamp olgray '#d8d8d8' '#707070' $scale "$suffix"
  lamp olgreen '#a8ffa8' '#108010' $scale "$suffix"
  lamp olred '#ffb0b0' '#c00000' $scale "$suffix"
done

# Cursors: 32 x 32, hot spot in the centre; black lines with a white outline so that
# they show on the diagram's grid and on pictures.
cursor() {  # name, draw commands
  convert -size 32x32 xc:none -fill none -stroke white -strokewidth 3 -draw "$2" \
    -stroke black -strokewidth 1 -draw "$2" "cursors/$1.png"
}
cross='line 16,2 16,12 line 16,20 16,30 line 2,16 12,16 line 20,16 30,16'
cursor addpoint "$cross line 22,6 30,6 line 26,2 26,10"
cursor delpoint "$cross line 22,6 30,6"
cursor movpoint "$cross rectangle 13,13 19,19"
arrows_h='line 3,16 29,16 line 3,16 8,11 line 3,16 8,21 line 29,16 24,11 line 29,16 24,21'
arrows_v='line 16,3 16,29 line 16,3 11,8 line 16,3 21,8 line 16,29 11,24 line 16,29 21,24'
cursor movhor "$arrows_h"
cursor movver "$arrows_v"
cursor movback "$arrows_h $arrows_v rectangle 11,11 21,21"
