#!/usr/bin/env bash
# Clicks the playback bar's buttons of the real program on its own Xvfb screen
# with a window manager: play starts playback (the preview changes as the
# cursor runs past the end of the first object), a second click stops it (the
# preview shows a frame past the start again, which it only does while
# stopped), and the frame-step buttons move the cursor one frame each way.
# Usage: playback-buttons.sh PROGRAM PROJECT.vpj2 GOLDEN_FIRST.png   (run under xvfb-run -a)
set -euo pipefail
program=$1
project=$2
first=$3
source "$(dirname "${BASH_SOURCE[0]}")/../../support/window-test.sh" velmo-playback

program_settings 800 600
# A stop leaves the cursor on the frame it stopped at.
printf '[Player]\r\nReturnCursorPosition=0\r\n' >> "$data/velmo2.ini"

convert -size 64x48 xc:none +antialias \
  -fill '#ff0000' -draw 'rectangle 0,0 31,23' -fill '#00ff00' -draw 'rectangle 32,0 63,23' \
  -fill '#0000ff' -draw 'rectangle 0,24 31,47' -fill 'rgba(255,255,255,0.502)' -draw 'rectangle 32,24 63,47' \
  "PNG32:$work/picture.png"
printf '<svg xmlns="http://www.w3.org/2000/svg" viewBox="0 0 10 10"><path d="M5 0 L10 10 L0 10 Z" fill="#ffffff"/></svg>' \
  > "$work/triangle.svg"
# The picture goes after half a second; the scene runs for thirty.
sed -e "s|%AppInstall%|$work|g" -e '0,/^frame=0,29/s//frame=0,14/' -e 's/^frame=0,29/frame=0,899/' \
  "$project" > "$work/playback.vpj2"

start_window_manager || fail "the window manager did not start"

window=""
find_window() { window=$(xdotool search --onlyvisible --name '^(Velmo Kirta2|playback\.vpj2)$' 2>/dev/null | head -1); [ -n "$window" ]; }
"$program" "$work/playback.vpj2" >"$work/out.txt" 2>&1 &
app_pid=$!
until_true find_window || fail "the main window did not appear: $(cat "$work/out.txt")"

log() { cat "$data"/Log/* 2>/dev/null || true; }
# The newest "frame N shown at X,Y WxH" line of the preview.
shown=""
frame_shown() { shown=$(log | grep -o "frame [0-9]* shown at [0-9]*,[0-9]* [0-9]*x[0-9]*" | tail -1); [ -n "$shown" ]; }
shown_frame() { frame_shown && local f=${shown#frame } && echo "${f%% *}"; }
frame_is() { [ "$(shown_frame)" = "$1" ]; }
# The playback bar's "playback buttons at X,Y WxH, D apart" line.
buttons=""
buttons_placed() { buttons=$(log | grep -o "playback buttons at [0-9]*,[0-9]* [0-9]*x[0-9]*, [0-9]* apart" | tail -1); [ -n "$buttons" ]; }

# The preview's frame rectangle on the screen against the golden first frame scaled to it.
matches_first() {
  frame_shown || return 1
  local rect=${shown##* at } x y w h
  x=${rect%%,*}; rect=${rect#*,}; y=${rect%% *}; rect=${rect#* }; w=${rect%%x*}; h=${rect#*x}
  [ "$w" -gt 0 ] && [ "$h" -gt 0 ] || return 1
  import -window root -crop "${w}x${h}+$x+$y" +repage "$work/shot.png"
  convert "$first" -background black -flatten -resize "${w}x${h}!" "$work/golden.png"
  compare -metric RMSE "$work/shot.png" "$work/golden.png" null: 2>"$work/rmse.txt" || true
  awk -F'[()]' '{exit !($2 != "" && $2 + 0 < 0.06)}' "$work/rmse.txt"
}
changed() { ! matches_first; }
# The newest place of the playback buttons; the centre of the k-th (0 play, 1 previous, 2 next) is clicked.
click_button() {
  buttons_placed || fail "the playback bar never showed its buttons"
  local place bsize apart bx by bw bh
  read -r _ _ _ place bsize apart _ <<<"${buttons}"
  bx=${place%%,*}; by=${place#*,}; bw=${bsize%x*}; bh=${bsize#*x}; bh=${bh%,}
  xdotool mousemove $((bx + $1 * apart + bw / 2)) $((by + bh / 2)) click 1
}

until_true matches_first || fail "frame 0 not shown as the golden frame: $(cat "$work/out.txt")"
until_true buttons_placed || fail "the playback bar never showed its buttons"

click_button 0
until_true changed || fail "playing never moved the preview past the first object"
click_button 0
past_start() { local f; f=$(shown_frame) && [ "$f" -gt 14 ]; }
until_true past_start || fail "stopping did not show the frame it stopped at: $(log | grep -E 'shown|playback|ERROR' | tail -5)"
stopped=$(shown_frame)

click_button 2
until_true frame_is $((stopped + 1)) || fail "next frame did not step from $stopped (last: $(log | grep -o "frame [0-9]* shown" | tail -1))"
click_button 1
click_button 1
until_true frame_is $((stopped - 1)) || fail "two steps back did not reach $((stopped - 1)) (last: $(log | grep -o "frame [0-9]* shown" | tail -1))"
echo "playback buttons: 1 passed, 0 failed"
