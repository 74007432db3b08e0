#!/usr/bin/env bash
# Scripts with their own shaders in the program's script folder, used by a
# project given on the command line: the preview shows the golden frame of
# the script tests (a pixel-shaded object, a compute-shaded one, a script
# filter's shader, and an object whose shader does not compile, drawn as
# nothing). The failing shader's compile error names the script's line; the
# shaders are compiled once, however many frames are drawn after the first.
# Usage: script-shaders.sh PROGRAM DATA_FOLDER GOLDEN.png   (run under xvfb-run -a)
set -euo pipefail
program=$1
source_data=$2
golden=$3
source "$(dirname "${BASH_SOURCE[0]}")/../support/window-test.sh" velmo-script-shaders

program_settings 800 600
mkdir -p "$data/Script"
cp "$source_data"/shaders/*.obj2 "$source_data"/shaders/*.anm2 "$data/Script/"
cp "$source_data/shaders.vpj2" "$work/shaders.vpj2"

start_window_manager || fail "the window manager did not start"
main_window_name='^(Velmo Kirta2|shaders\.vpj2)$'
start_program "$work/shaders.vpj2"

log() { cat "$data"/Log/* 2>/dev/null; }
shown=""
frame_shown() {
  shown=$(log | grep -o "frame $1 shown at [0-9]*,[0-9]* [0-9]*x[0-9]*" | tail -1)
  [ -n "$shown" ]
}
# The screen's frame rectangle against the golden picture scaled to it.
matches() {
  local rect x y w h
  rect=${shown##* at }
  x=${rect%%,*}; rect=${rect#*,}; y=${rect%% *}; rect=${rect#* }; w=${rect%%x*}; h=${rect#*x}
  [ "$w" -gt 0 ] && [ "$h" -gt 0 ] || return 1
  screen_shot "$w" "$h" "$x" "$y" "$work/shot.png"
  convert "$golden" -background black -flatten -resize "${w}x${h}!" "$work/golden.png"
  compare -metric RMSE "$work/shot.png" "$work/golden.png" null: 2>"$work/rmse.txt" || true
  awk -F'[()]' '{exit !($2 != "" && $2 + 0 < 0.06)}' "$work/rmse.txt"
}
shows() { frame_shown "$1" && matches; }
compiles() { log | grep -c "script shader compiled" || true; }

until_true frame_shown 0 || fail "no preview frame shown: $(cat "$work/out.txt")"
until_true shows 0 || fail "frame 0 differs from the golden frame ($(cat "$work/rmse.txt"))"

# One compile per block: tint, grid, invert and the failing one.
[ "$(compiles)" -eq 4 ] || fail "compiles after the first frame: $(log | grep 'script shader compiled')"
log | grep -q "script shader load faild \[broken\]" || fail "no load failure for the broken script: $(log | tail -20)"
log | grep -q "broken\.broken:5:" || fail "the compile error does not name the script's line: $(log | grep -A3 'load faild')"

# Later frames draw the same shaders without compiling them again.
xdotool mousemove --window "$window" 400 200
xdotool click --repeat 40 --delay 1 5
until_true shows 29 || fail "frame 29 not shown as the golden frame"
[ "$(compiles)" -eq 4 ] || fail "compiled again: $(log | grep 'script shader compiled')"
echo "script shaders: 1 passed, 0 failed"
