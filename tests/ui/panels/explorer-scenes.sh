#!/usr/bin/env bash
# The scene list and the media explorer of the real program on its own Xvfb
# screen with a window manager: the scene list's menu makes a second scene,
# the row's menu renames it (the name typed into the name dialog), clicks on
# the rows switch to it and back; a picture made for the test, dragged from
# the explorer onto the timeline, becomes an image object on the row it was
# dropped on, as the log of the edit shows.
# Usage: explorer-scenes.sh PROGRAM   (run under xvfb-run -a)
set -euo pipefail
program=$1
source "$(dirname "${BASH_SOURCE[0]}")/../../support/window-test.sh" velmo-explorer

program_settings 1100 760
media="$work/media"
mkdir -p "$media"
ffmpeg -v error -f lavfi -i "color=c=blue:s=64x48" -frames:v 1 "$media/still.png"
printf '[Window.explorer:1]\r\nFolderPath=%s\r\n' "$media" >> "$data/velmo2.ini"

# Three pixels a frame; one object on layer 0.
project="$work/explorer.vpj2"
{
  printf '[project]\r\nfile=%s\r\ndisplay.scene=0\r\n' "$project"
  printf '[scene.0]\r\nscene=0\r\nname=Root\r\nvideo.width=640\r\nvideo.height=360\r\nvideo.rate=30\r\nvideo.scale=1\r\n'
  printf 'audio.rate=48000\r\ncursor.frame=0\r\ndisplay.frame=0\r\ndisplay.layer=0\r\ndisplay.zoom=30000\r\n'
  printf '[0]\r\nlayer=0\r\nframe=0,29\r\n[0.0]\r\neffect.name=図形\r\n[0.1]\r\neffect.name=標準描画\r\n'
} > "$project"

start_window_manager || fail "the window manager did not start"
window=""
find_window() { window=$(xdotool search --onlyvisible --name '^(Velmo Kirta2|explorer\.vpj2)' 2>/dev/null | head -1); [ -n "$window" ]; }
"$program" "$project" >"$work/out.txt" 2>&1 &
app_pid=$!
until_true find_window || fail "the main window did not appear: $(cat "$work/out.txt")"

log() { cat "$data"/Log/* 2>/dev/null || true; }
logged() { log | grep -qF "$1"; }
until_true logged "load project file" || fail "the project was not opened: $(log | tail -5)"
# How many windows of the program are visible: the main window and its
# helpers, and each open popup, tip or dialog on top of those.
shown_count() { xdotool search --onlyvisible --pid "$app_pid" 2>/dev/null | wc -l; }
more_than() { [ "$(shown_count)" -gt "$1" ]; }
back_to() { [ "$(shown_count)" -eq "$1" ]; }
# The newest "<what> at X,Y WxH" line: the first row's corner, the width and a row's height.
place=""
placed() { place=$(log | grep -o "$1 at [0-9]*,[0-9]* [0-9]*x[0-9]*" | tail -1); [ -n "$place" ]; }
# Sets X Y W H from the newest place of $1.
read_place() {
  until_true placed "$1" || fail "no '$1' line: $(log | tail -5)"
  local r=${place##* at }
  X=${r%%,*}; r=${r#*,}; Y=${r%% *}; r=${r#* }; W=${r%%x*}; H=${r#*x}
}
# Away from every row, over the empty lower part of the object list (the
# right column): a move inside the panels also takes down a tip left by a row.
rest() {
  local X Y WIDTH HEIGHT SCREEN WINDOW
  eval "$(xdotool getwindowgeometry --shell "$window")"
  xdotool mousemove --sync $((X + WIDTH - 30)) $((Y + HEIGHT - 80)) mousemove --sync $((X + WIDTH - 28)) $((Y + HEIGHT - 80))
}
xdotool windowactivate --sync "$window"
base=$(shown_count)

# 1. A new scene from the scene list's own menu, below its rows: its first
# entry "シーンを新規作成" opens the scene dialog, whose OK makes the scene.
read_place "scene list rows"
xdotool mousemove --sync $((X + W / 2)) $((Y + 3 * H)) click 3
until_true more_than "$base" || fail "the scene list's menu did not open"
xdotool key Down Return
dialog=""
find_dialog() { dialog=$(xdotool search --all --onlyvisible --pid "$app_pid" --name "^$1\$" 2>/dev/null | head -1); [ -n "$dialog" ]; }
until_true find_dialog "シーンを作成" || fail "no scene dialog: $(log | tail -5)"
# Four rows and the button row; OK sits at the bottom right, four lines wide.
eval "$(xdotool getwindowgeometry --shell "$dialog")"
line=$(( (HEIGHT - 54) / 5 ))
xdotool windowactivate --sync "$dialog" mousemove --window "$dialog" --sync $((WIDTH - 12 - 2 * line)) $((HEIGHT - 12 - line / 2)) click 1
until_true logged "set current scnene (create)" || fail "no scene was made: $(log | tail -5)"
dialog_gone() { ! find_dialog "$1"; }
until_true dialog_gone "シーンを作成" || fail "the dialog stayed"
rest

# 2. The new row's menu: "シーン名を変更" (after "シーンを新規作成" and
# "シーンを削除") opens the one-field name dialog; the typed name and Enter rename it.
read_place "scene list rows"
xdotool mousemove --sync $((X + W / 3)) $((Y + H + H / 2)) click 3
until_true more_than "$base" || fail "the scene row's menu did not open"
xdotool key Down Down Down Return
until_true find_dialog "シーン名を変更" || fail "no name dialog: $(log | tail -5)"
xdotool windowactivate --sync "$dialog" key --clearmodifiers ctrl+a BackSpace
xdotool type --delay 30 "Second"
xdotool key --clearmodifiers Return
until_true logged "update scnene name [Second](1)" || fail "the scene was not renamed: $(log | tail -5)"
until_true dialog_gone "シーン名を変更" || fail "the name dialog stayed"
rest

# 3. A click on each row makes its scene current: each click adds its line to the log.
times() { log | grep -cF "$1" || true; }
more_lines() { [ "$(times "$1")" -gt "$2" ]; }
click_row() {
  local line=$2 before
  before=$(times "$line")
  read_place "scene list rows"
  xdotool mousemove --sync $((X + W / 3)) $((Y + H * $1 + H / 2)) click 1
  rest
  until_true more_lines "$line" "$before" || fail "row $1 did not make its scene current: $(log | tail -5)"
}
click_row 0 "set current scnene [Root](0)"
click_row 1 "set current scnene [Second](1)"
click_row 0 "set current scnene [Root](0)"

# 4. The picture dragged from the explorer onto layer 2 at frame 40 of the
# timeline: an image object of it is made there. No tip is left from the scene rows once the pointer is away.
rest
until_true back_to "$base" || fail "a window of the program stayed open"
read_place "explorer 1 entries"
ex=$((X + 40)); ey=$((Y + H / 2))
read_place "timeline rows"
tl=$(log | grep -o "timeline rows at [0-9]*,[0-9]* [0-9]*x[0-9]*, [0-9]* high" | tail -1)
read -r _ _ _ tplace _ tlh _ <<<"$tl"
TX=${tplace%%,*}; TY=${tplace#*,}
tx=$((TX + 40 * 3 + 1)); ty=$((TY + 2 * tlh + tlh / 2 + 3))
xdotool mousemove --sync "$ex" "$ey"
xdotool mousedown 1
xdotool mousemove $((ex + 6)) "$ey" mousemove $((ex + 14)) $((ey + 2))
# The tip "レイヤーに追加" shows once the timeline takes the file.
nudge=0
tip_shown() {
  nudge=$((1 - nudge))
  xdotool mousemove "$tx" $((ty + nudge))
  more_than "$base"
}
until_true tip_shown || { xdotool mouseup 1; fail "the timeline did not take the dragged file: $(log | tail -5)"; }
xdotool mouseup 1
until_true logged "create object [画像ファイル] layer=2 frame=40" || fail "no object from the dropped file: $(log | grep -E "create|ERROR" | tail -5)"
echo "explorer and scenes: 1 passed, 0 failed"
