#!/usr/bin/env bash
# Drives the program's preview panel on its own Xvfb screen with a window
# manager: a small project given on the command line shows its frame at the
# cursor, scaled into the panel, against the golden frame; the wheel over the
# panel moves the cursor to the last frame, whose picture is shown next.
# Usage: preview-window.sh PROGRAM PROJECT.vpj2 GOLDEN_FIRST.png GOLDEN_LAST.png   (run under xvfb-run -a)
set -euo pipefail
program=$1
project=$2
first=$3
last=$4
source "$(dirname "${BASH_SOURCE[0]}")/../../support/window-test.sh" velmo-preview

program_settings 800 600

# The project's files, named through the installation folder, go to the work folder:
# 64 x 48 in red, green, blue and half-transparent white quarters, and a white triangle.
convert -size 64x48 xc:none +antialias \
  -fill '#ff0000' -draw 'rectangle 0,0 31,23' -fill '#00ff00' -draw 'rectangle 32,0 63,23' \
  -fill '#0000ff' -draw 'rectangle 0,24 31,47' -fill 'rgba(255,255,255,0.502)' -draw 'rectangle 32,24 63,47' \
  "PNG32:$work/picture.png"
printf '<svg xmlns="http://www.w3.org/2000/svg" viewBox="0 0 10 10"><path d="M5 0 L10 10 L0 10 Z" fill="#ffffff"/></svg>' \
  > "$work/triangle.svg"
sed "s|%AppInstall%|$work|g" "$project" > "$work/picture.vpj2"

start_window_manager || fail "the window manager did not start"

main_window_name='^(Velmo Kirta2|picture\.vpj2)$'
start_program "$work/picture.vpj2"

# The panel logs where each preview frame lands: "frame N shown at X,Y WxH on the screen".
shown=""
frame_shown() {
  shown=$(cat "$data"/Log/* 2>/dev/null | grep -o "frame $1 shown at [0-9]*,[0-9]* [0-9]*x[0-9]*" | tail -1)
  [ -n "$shown" ]
}
# The screen's frame rectangle against the golden picture scaled to it.
matches() {
  local golden=$1 rect x y w h
  rect=${shown##* at }
  x=${rect%%,*}; rect=${rect#*,}; y=${rect%% *}; rect=${rect#* }; w=${rect%%x*}; h=${rect#*x}
  [ "$w" -gt 0 ] && [ "$h" -gt 0 ] || return 1
  screen_shot "$w" "$h" "$x" "$y" "$work/shot.png"
  convert "$golden" -background black -flatten -resize "${w}x${h}!" "$work/golden.png"
  # "absolute (normalised)" on stderr; the exit code only says whether they differ.
  compare -metric RMSE "$work/shot.png" "$work/golden.png" null: 2>"$work/rmse.txt" || true
  awk -F'[()]' '{exit !($2 != "" && $2 + 0 < 0.06)}' "$work/rmse.txt"
}

# The newest frame N shown matches the golden picture.
shows() { frame_shown "$1" && matches "$2"; }

until_true frame_shown 0 || fail "no preview frame shown: $(cat "$work/out.txt")"
until_true shows 0 "$first" || fail "frame 0 differs from the golden frame ($shown)"
# The panel is wider than the frame's aspect: the frame is centred, background on both sides.
read -r _ _ _ _ at size <<<"$shown"
[ "${at%%,*}" -gt 0 ] && [ "${size%x*}" -lt 800 ] || fail "the frame is not centred in the panel: $shown"

# The wheel down over the panel steps forward; past the last frame the cursor stays there.
xdotool mousemove --window "$window" 400 200
xdotool click --repeat 40 --delay 1 5
until_true shows 29 "$last" || fail "frame 29 not shown as the golden frame: $(grep -o 'frame [0-9]* shown.*' "$data"/Log/* | tail -3)"
echo "preview window: 1 passed, 0 failed"
