#!/usr/bin/env bash
# Adds objects on the timeline of the real program on its own Xvfb screen:
# a right-click on an empty row opens the object menu, whose "図形" entry puts
# a figure at the clicked frame and layer (saved, then taken back with
# Ctrl+Z); a PNG and an MP4 dragged from another program onto a row become
# an image object and a movie object on that row and the next, the movie as
# long as the file.
# Usage: timeline-adding.sh PROGRAM DRAG_PROBE   (run under xvfb-run -a)
set -euo pipefail
program=$1
probe=$2
source "$(dirname "${BASH_SOURCE[0]}")/../../support/window-test.sh" velmo-adding
source "$(dirname "${BASH_SOURCE[0]}")/../../support/timeline-test.sh"
timeline_settings 900 700

# Three pixels a frame; one object on layer 0.
project="$work/adding.vpj2"
{
  project_head
  printf '[0]\r\nlayer=0\r\nframe=10,39\r\n[0.0]\r\neffect.name=図形\r\n[0.1]\r\neffect.name=標準描画\r\n'
} > "$project"
# A still picture and a 45-frame movie at the scene's rate.
ffmpeg -v error -f lavfi -i "color=c=red:s=64x48" -frames:v 1 "$work/still.png"
ffmpeg -v error -f lavfi -i "testsrc=s=64x48:r=30" -frames:v 45 -pix_fmt yuv420p "$work/clip.mp4"

start_on_timeline

# The objects of the saved project, "layer:frames:first effect" each, sorted.
objects() {
  tr -d '\r' < "$project" | awk '
    /^\[[0-9]+\]$/ { n = substr($0, 2, length($0) - 2); inobj = 1; next }
    /^\[[0-9]+\.0\]$/ { inobj = 0; e = substr($0, 2, length($0) - 4); ineff = 1; next }
    /^\[/ { inobj = 0; ineff = 0; next }
    inobj && /^layer=/ { l[n] = substr($0, 7) }
    inobj && /^frame=/ { f[n] = substr($0, 7) }
    ineff && /^effect.name=/ { name[e] = substr($0, 13) }
    END { for (k in l) print l[k] ":" f[k] ":" name[k] }' | sort | tr '\n' ' '
}
expect() {  # what, wanted, actual
  [ "$2" == "$3" ] || fail "$1: wanted [$2], saved [$3]; the log ends: $(log | grep -E "create|load object|Undo|ERROR" | tail -20)"
}
key() { xdotool windowactivate --sync "$window" key --clearmodifiers "$1"; }
# How many windows of the program are visible: the main window and its
# helpers, and each open popup or tip on top of those.
shown_count() { xdotool search --onlyvisible --pid "$app_pid" 2>/dev/null | wc -l; }
more_than() { [ "$(shown_count)" -gt "$1" ]; }
back_to() { [ "$(shown_count)" -eq "$1" ]; }

xdotool windowactivate --sync "$window"
save
base=$(shown_count)
expect "the project as opened" "0:10,39:図形 " "$(objects)"

# 1. A right-click on layer 2 at frame 100; "オブジェクトを追加", its fifth
# entry (after the movie, image, audio and text sources) is "図形".
xdotool mousemove "$(fx 100)" "$(ly 2)" click 3
until_true more_than "$base" || fail "the object menu did not open"
menu=$(shown_count)
xdotool key Down Right
until_true more_than "$menu" || fail "the add-object submenu did not open"
xdotool key Down Down Down Down Return
until_true back_to "$base" || fail "the menus did not close"
created() { log | grep -qF "create object [図形] layer=2 frame=100"; }
until_true created || fail "no figure was created: $(log | grep -E "create|ERROR" | tail -5)"
save
expect "the figure added" "0:10,39:図形 2:100,126:図形 " "$(objects)"
key ctrl+z
undone() { log | grep -q "Undo: "; }
until_true undone || fail "Ctrl+Z did not undo: $(log | tail -5)"
save
expect "the figure taken back" "0:10,39:図形 " "$(objects)"

# 2. The picture and the movie dragged from another program onto layer 3 at frame 60.
drag_files_to "$(fx 60)" "$(ly 3)" "$work/still.png" "$work/clip.mp4"
# The tip "レイヤーに追加" shows once the timeline accepts the files.
nudge=0
tip_shown() {
  nudge=$((1 - nudge))
  xdotool mousemove "$(fx 60)" $(( $(ly 3) + nudge ))
  [ "$(shown_count)" -gt "$base" ]
}
until_true tip_shown || { xdotool mouseup 1; fail "the timeline did not accept the drag"; }
xdotool mouseup 1
dropped() { log | grep -qF "create object [動画ファイル] layer=4 frame=60"; }
until_true dropped || fail "the files were not dropped: $(log | grep -E "create|ERROR" | tail -5)"
save
expect "the dropped files" "0:10,39:図形 3:60,86:画像ファイル 4:60,104:動画ファイル " "$(objects)"

echo "timeline adding: 1 passed, 0 failed"
