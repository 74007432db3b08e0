#!/usr/bin/env bash
# The scene list and the object list of the real program on its own Xvfb
# screen with a window manager: a click on the second scene's row makes it
# current and the rest of the window (timeline and preview) follows it, a
# click on the first row brings the first scene and its picture back, and a
# click on an object's row in the object list makes it the focus object,
# which the project kept at exit records.
# Usage: scene-object-lists.sh PROGRAM   (run under xvfb-run -a)
set -euo pipefail
program=$1
source "$(dirname "${BASH_SOURCE[0]}")/../../support/window-test.sh" velmo-lists

program_settings 900 640
printf '[Edit]\r\nEditResume=1\r\n' >> "$data/velmo2.ini"

project="$work/lists.vpj2"
printf '[project]\r\nfile=%s\r\ndisplay.scene=0\r\n[scene.0]\r\nscene=0\r\nname=Root\r\nvideo.width=640\r\nvideo.height=360\r\nvideo.rate=30\r\nvideo.scale=1\r\naudio.rate=48000\r\n[scene.1]\r\nscene=1\r\nname=Second\r\nvideo.width=640\r\nvideo.height=360\r\nvideo.rate=30\r\nvideo.scale=1\r\naudio.rate=48000\r\n[0]\r\nlayer=1\r\nframe=0,29\r\n[0.0]\r\neffect.name=図形\r\n[0.1]\r\neffect.name=標準描画\r\n' "$project" > "$project"

start_window_manager || fail "the window manager did not start"
window=""
find_window() { window=$(xdotool search --onlyvisible --name '^(Velmo Kirta2|lists\.vpj2)$' 2>/dev/null | head -1); [ -n "$window" ]; }
"$program" "$project" >"$work/out.txt" 2>&1 &
app_pid=$!
until_true find_window || fail "the main window did not appear: $(cat "$work/out.txt")"

log() { cat "$data"/Log/* 2>/dev/null || true; }
logged() { log | grep -qF "$1"; }
until_true logged "load project file" || fail "the project was not opened: $(log | tail -5)"
# The newest "<what> rows at X,Y WxH" line: the first row's corner, the list's width and a row's height.
rows=""
rows_placed() { rows=$(log | grep -o "$1 rows at [0-9]*,[0-9]* [0-9]*x[0-9]*" | tail -1); [ -n "$rows" ]; }
# Clicks the middle of the left part of row k (from 0) of the list.
click_row() {
  rows_placed "$1" || fail "the $1 never showed its rows"
  local r=${rows##* at } x y w h
  x=${r%%,*}; r=${r#*,}; y=${r%% *}; r=${r#* }; w=${r%%x*}; h=${r#*x}
  xdotool mousemove --sync $((x + w / 3)) $((y + h * $2 + h / 2)) click 1
  # Away from every row again, so no hover look is in the pictures.
  xdotool mousemove --sync 5 5
}
# The window right of the scene list: timeline and preview.
shot_rest() {
  rows_placed "scene list" || fail "no scene list rows"
  local r=${rows##* at } x w geometry wx wy ww wh
  x=${r%%,*}; r=${r#*,}; r=${r#* }; w=${r%%x*}
  eval "$(xdotool getwindowgeometry --shell "$window")"
  local left=$((x + w + 8))
  import -window root -crop "$((X + WIDTH - left))x${HEIGHT}+${left}+${Y}" +repage "$1"
}
# Two pictures differ when more than 200 pixels differ by more than 10 %: the
# same scene drawn twice differs only by faint shades (a hover look fading,
# the letterbox's rounding), another scene in thousands of pixels.
differs() {
  local count
  count=$(compare -metric AE -fuzz 10% "$1" "$2" null: 2>&1 || true)
  awk -v n="$count" 'BEGIN{exit !(n + 0 > 200)}'
}

until_true rows_placed "scene list" || fail "the scene list never showed its rows: $(log | tail -5)"
# The first picture once the preview has drawn the first scene's frame.
until_true logged "frame 0 shown at" || fail "the preview never showed the first frame: $(log | tail -5)"
shot_rest "$work/root.png"
click_row "scene list" 1
until_true logged "set current scnene [Second](1)" || fail "the second scene did not become current: $(log | tail -5)"
shown_second() { shot_rest "$work/second.png"; differs "$work/root.png" "$work/second.png"; }
until_true shown_second || fail "the timeline and preview did not follow the second scene"
click_row "scene list" 0
until_true logged "set current scnene [Root](0)" || fail "the first scene did not come back: $(log | tail -5)"
shown_root() { shot_rest "$work/back.png"; ! differs "$work/root.png" "$work/back.png"; }
until_true shown_root || fail "the timeline and preview did not come back to the first scene"

# The object list shows the one object under the cursor; a click focuses it.
until_true rows_placed "object list" || fail "the object list never showed its rows"
click_row "object list" 0
# Closing keeps the project in the resume file, with the focus object marked.
xdotool windowactivate --sync "$window" key --clearmodifiers alt+F4
resumed() {
  [ -f "$data/resume.vpj2" ] && return 0
  if xdotool search --onlyvisible --pid "$app_pid" 2>/dev/null | grep -qvx "$window"; then xdotool key Return; fi
  return 1
}
until_true resumed || fail "the program kept no resume file: $(log | tail -5)"
tr -d '\r' < "$data/resume.vpj2" | sed -n '/^\[0\]/,/^\[/p' | grep -qx "focus=1" \
  || fail "the clicked object is not the focus object: $(tr -d '\r' < "$data/resume.vpj2")"
echo "scene and object lists: 1 passed, 0 failed"
