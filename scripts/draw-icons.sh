#!/usr/bin/env bash
# Draws the program's icon pictures into data/icons (32 x 32 RGBA PNG, named by
# their picture number; 107 is the window icon). Run it after changing a
# picture and commit the PNG files: the build only copies them.
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
out="$root/data/icons"
mkdir -p "$out"
im=/usr/bin/convert

draw() {  # draw NUMBER SIZE ARGS...
  local number=$1 size=$2
  shift 2
  "$im" -size "${size}x${size}" xc:none "$@" +repage -strip "PNG32:$out/$number.png"
}

camera() {  # camera NUMBER COLOUR
  draw "$1" 32 -fill "$2" -stroke none \
    -draw "circle 9,9 9,4" -draw "circle 19,8 19,3" \
    -draw "roundrectangle 3,13 21,27 2,2" -draw "polygon 22,17 30,12 30,28 22,23"
}
padlock() {  # padlock NUMBER COLOUR OPEN
  local shackle="arc 9,3 23,19 180,360"
  [ "$3" = open ] && shackle="arc 15,1 29,17 180,360"
  draw "$1" 32 -fill none -stroke "$2" -strokewidth 3 -draw "$shackle" \
    -fill "$2" -stroke none -draw "roundrectangle 6,13 26,29 2,2" \
    -fill none -stroke black -strokewidth 2 -draw "line 16,18 16,24"
}
scissors() {  # scissors NUMBER COLOUR
  draw "$1" 32 -fill none -stroke "$2" -strokewidth 2 \
    -draw "stroke-dasharray 2 2 line 2,4 30,4" \
    -draw "line 10,8 21,25" -draw "line 22,8 11,25" \
    -draw "circle 9,26 9,22" -draw "circle 23,26 23,22"
}
chain() {  # chain NUMBER COLOUR
  draw "$1" 32 -fill none -stroke "$2" -strokewidth 3 \
    -draw "translate 11,21 rotate -45 roundrectangle -9,-4 7,4 4,4" \
    -draw "translate 21,11 rotate -45 roundrectangle -7,-4 9,4 4,4"
}

# The window icon: a blue tile with a film strip and a play mark.
draw 107 48 -fill '#2f6fb0' -stroke none -draw "roundrectangle 2,2 45,45 8,8" \
  -fill '#1d4470' -draw "rectangle 6,8 41,15" -draw "rectangle 6,32 41,39" \
  -fill '#ffffff' -draw "rectangle 9,10 12,13" -draw "rectangle 17,10 20,13" -draw "rectangle 25,10 28,13" \
  -draw "rectangle 33,10 36,13" -draw "rectangle 9,34 12,37" -draw "rectangle 17,34 20,37" \
  -draw "rectangle 25,34 28,37" -draw "rectangle 33,34 36,37" -draw "polygon 19,18 31,24 19,30"

camera 136 '#40d040'
camera 138 '#ffffff'
camera 137 '#808080'
draw 133 32 -fill black -draw "rectangle 0,0 31,31" -fill white -draw "polygon 16,5 27,18 20,18 20,27 12,27 12,18 5,18"
draw 134 32 -fill black -draw "rectangle 0,0 31,31" -fill white -draw "polygon 16,27 27,14 20,14 20,5 12,5 12,14 5,14"
draw 141 32 -fill none -stroke white -strokewidth 3 -draw "arc 5,5 27,27 200,340" -draw "arc 5,5 27,27 20,160" \
  -fill white -stroke none -draw "polygon 22,3 30,11 21,13" -draw "polygon 10,29 2,21 11,19"
draw 142 32 -fill white -stroke none -draw "polygon 3,12 9,12 17,5 17,27 9,20 3,20" \
  -fill none -stroke white -strokewidth 2 -draw "arc 14,10 24,22 -60,60" -draw "arc 12,5 30,27 -60,60"
draw 149 32 -fill none -stroke white -strokewidth 3 -draw "circle 13,13 13,4" -draw "line 20,20 29,29" \
  -strokewidth 2 -draw "line 9,13 17,13" -draw "line 13,9 13,17"
padlock 144 '#ffffff' closed
padlock 145 '#808080' open
scissors 147 '#ffffff'
scissors 148 '#808080'
chain 152 '#ffffff'
chain 153 '#808080'
draw 150 32 -fill '#d0d0d0' -stroke none -draw "rectangle 4,2 27,29" -fill none -stroke none \
  -fill '#303030' -draw "rectangle 9,5 22,14" -draw "rectangle 9,17 22,26" \
  -draw "rectangle 5,4 7,6" -draw "rectangle 5,10 7,12" -draw "rectangle 5,16 7,18" -draw "rectangle 5,22 7,24" \
  -draw "rectangle 24,4 26,6" -draw "rectangle 24,10 26,12" -draw "rectangle 24,16 26,18" -draw "rectangle 24,22 26,24"
draw 151 32 -fill '#404040' -stroke white -strokewidth 2 -draw "rectangle 2,4 29,27" \
  -stroke none -fill '#60b060' -draw "polygon 3,26 12,13 19,21 23,17 28,26" -fill '#ffd040' -draw "circle 22,10 22,7"
draw 154 32 -fill white -stroke none \
  -draw "translate 16,16 rectangle -3,-14 3,14" -draw "translate 16,16 rotate 45 rectangle -3,-14 3,14" \
  -draw "translate 16,16 rotate 90 rectangle -3,-14 3,14" -draw "translate 16,16 rotate 135 rectangle -3,-14 3,14" \
  -draw "circle 16,16 16,5" -fill none -stroke black -strokewidth 0 -fill black -draw "circle 16,16 16,11"
draw 155 32 -fill '#ffe060' -stroke none -draw "polygon 12,2 15,11 24,14 15,17 12,26 9,17 0,14 9,11" \
  -fill '#ffffff' -draw "polygon 24,16 26,21 31,23 26,25 24,30 22,25 17,23 22,21" \
  -draw "polygon 25,2 26,5 29,6 26,7 25,10 24,7 21,6 24,5"
draw 156 32 -fill white -stroke none -draw "rectangle 5,4 26,9" -draw "rectangle 13,4 18,28"
draw 157 32 -fill none -stroke white -strokewidth 4 -draw "line 6,26 19,13" -strokewidth 1 -draw "line 3,29 7,25" \
  -fill white -stroke none -draw "translate 22,10 rotate 45 roundrectangle -7,-4 7,4 3,3" -draw "circle 24,8 24,3"
draw 159 32 -fill none -stroke white -strokewidth 2 -draw "circle 16,16 16,3" \
  -strokewidth 2 -draw "line 16,16 16,7" -draw "line 16,16 23,19" -fill white -stroke none -draw "circle 16,16 16,14"
draw 160 32 -fill '#ff3030c0' -stroke none -draw "circle 16,11 16,2" -fill '#30ff30c0' -draw "circle 11,20 11,11" \
  -fill '#3060ffc0' -draw "circle 21,20 21,11"
ls "$out"
