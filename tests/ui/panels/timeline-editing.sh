#!/usr/bin/env bash
# Edits a small project on the timeline of the real program with the mouse on
# its own Xvfb screen: drags an object 30 frames right and one layer down,
# trims its end, selects two objects with a Ctrl rubber band and moves them,
# hides a layer from its header and drags the cursor on the ruler. After each
# step the saved project holds the new values; Ctrl+Z takes the step back
# (saved again and checked) and Ctrl+Shift+Z brings it back for the next one.
# Usage: timeline-editing.sh PROGRAM   (run under xvfb-run -a)
set -euo pipefail
program=$1
source "$(dirname "${BASH_SOURCE[0]}")/../../support/window-test.sh" velmo-timeline
source "$(dirname "${BASH_SOURCE[0]}")/../../support/timeline-test.sh"
timeline_settings 900 700

# Three pixels a frame; A on layer 0, B on layer 2, C on layer 3.
project="$work/timeline.vpj2"
{
  project_head
  n=0
  for object in "0 10,39" "2 60,79" "3 100,119"; do
    printf '[%d]\r\nlayer=%s\r\nframe=%s\r\n[%d.0]\r\neffect.name=図形\r\n[%d.1]\r\neffect.name=標準描画\r\n' \
      "$n" "${object% *}" "${object#* }" "$n" "$n"
    n=$((n + 1))
  done
} > "$project"

start_on_timeline

# The objects of the saved project, one "layer:frame" line each, sorted.
objects() {
  tr -d '\r' < "$project" | awk '
    /^\[[0-9]+\]$/ { if (l != "") print l ":" f; l = ""; f = ""; inobj = 1; next }
    /^\[/ { if (l != "") print l ":" f; l = ""; f = ""; inobj = 0; next }
    inobj && /^layer=/ { l = substr($0, 7) }
    inobj && /^frame=/ { f = substr($0, 7) }
    END { if (l != "") print l ":" f }' | sort | tr '\n' ' '
}
hidden_layers() {
  tr -d '\r' < "$project" | awk '/^\[layer\./ { inl = 1; l = ""; next } /^\[/ { inl = 0 }
    inl && /^layer=/ { l = substr($0, 7) } inl && /^hide=1/ { print l }' | sort | tr '\n' ' '
}
cursor_frame() { tr -d '\r' < "$project" | grep -m1 "^cursor.frame=" | cut -d= -f2; }
expect() {  # what, wanted, actual
  [ "$2" == "$3" ] || fail "$1: wanted [$2], saved [$3]; the log ends: $(log | grep -E "Undo|Redo|save project|ERROR|WARN" | tail -20)"
}
key() { xdotool windowactivate --sync "$window" key --clearmodifiers "$1"; }
# Ctrl+Z and Ctrl+Shift+Z, each waited for in the log (and exactly once).
undos=0
redos=0
undo() {
  undos=$((undos + 1)); key ctrl+z
  undone() { [ "$(log | grep -c "Undo: ")" -ge "$undos" ]; }
  until_true undone || fail "Ctrl+Z did not undo: $(log | tail -5)"
}
redo() {
  redos=$((redos + 1)); key ctrl+shift+z
  redone() { [ "$(log | grep -c "Redo: ")" -ge "$redos" ]; }
  until_true redone || fail "Ctrl+Shift+Z did not redo: $(log | tail -5)"
}
# Checks a step, then that Ctrl+Z takes it back and Ctrl+Shift+Z brings it again.
check_step() {  # what, reader, after, before
  save; expect "$1" "$3" "$($2)"
  undo; save; expect "$1 undone" "$4" "$($2)"
  redo; save; expect "$1 redone" "$3" "$($2)"
  expect "undo and redo counts" "$undos $redos" "$(log | grep -c "Undo: ") $(log | grep -c "Redo: ")"
}
drag() {  # x0 y0 x1 y1: press, move in two steps, release
  xdotool mousemove "$1" "$2"
  xdotool mousedown 1 mousemove $(( ($1 + $3) / 2 )) $(( ($2 + $4) / 2 ))
  xdotool mousemove "$3" "$4"
  xdotool mouseup 1
}

xdotool windowactivate --sync "$window"
save
expect "the project as opened" "0:10,39 2:60,79 3:100,119 " "$(objects)"

# 1. A from frame 25 on layer 0 to 30 frames right on layer 1.
drag "$(fx 25)" "$(ly 0)" "$(fx 55)" "$(ly 1)"
check_step "the object moved" objects "1:40,69 2:60,79 3:100,119 " "0:10,39 2:60,79 3:100,119 "

# 2. Its end edge (right edge of frame 69) five frames later.
drag $((X0 + 70 * 3 - 2)) "$(ly 1)" $((X0 + 75 * 3 - 2)) "$(ly 1)"
check_step "the end trimmed" objects "1:40,74 2:60,79 3:100,119 " "1:40,69 2:60,79 3:100,119 "

# 3. Ctrl + a band over B and C, then (Ctrl still held) B dragged 20 frames right moves both.
xdotool keydown ctrl
drag "$(fx 55)" "$(ly 2)" "$(fx 125)" "$(ly 3)"
drag "$(fx 70)" "$(ly 2)" "$(fx 90)" "$(ly 2)"
xdotool keyup ctrl
check_step "the two objects moved" objects "1:40,74 2:80,99 3:120,139 " "1:40,74 2:60,79 3:100,119 "

# 4. A click on layer 1's header hides it.
xdotool mousemove $((X0 - 10)) "$(ly 1)"
xdotool click 1
check_step "the layer hidden" hidden_layers "1 " ""

# 5. A press on the ruler at frame 30 dragged to frame 50 moves the cursor there.
drag "$(fx 30)" $((Y0 - 5)) "$(fx 50)" $((Y0 - 5))
save; expect "the cursor dragged" "50" "$(cursor_frame)"
# Seeking is not an edit: Ctrl+Z takes back the last edit (the hidden layer) and leaves the cursor.
undo; save
expect "the cursor after Ctrl+Z" "50" "$(cursor_frame)"
expect "the layer after Ctrl+Z" "" "$(hidden_layers)"

echo "timeline editing: 1 passed, 0 failed"
