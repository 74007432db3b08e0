#!/usr/bin/env bash
# The preview of the real program on its own Xvfb screen with a window
# manager: dragging an object's centre 100 pixels to the right moves its X by
# the scene pixels those screen pixels stand for, in the saved project, and
# one undo puts it back; the wheel steps the cursor; dragging the zoom button
# upwards scales the frame; the play button starts playback and the time
# counter runs; the two range buttons set the frame range.
# Usage: preview-anchors.sh PROGRAM   (run under xvfb-run -a)
set -euo pipefail
program=$1
source "$(dirname "${BASH_SOURCE[0]}")/../../support/window-test.sh" velmo-preview-anchors
source "$(dirname "${BASH_SOURCE[0]}")/../../support/preview-test.sh"

program_settings 1000 760
printf '[Player]\r\nReturnCursorPosition=0\r\n' >> "$data/velmo2.ini"

# A 640 x 360 scene of ten seconds with a 60-pixel square in the middle.
project="$work/anchors.vpj2"
{ preview_scene_head ""; square_object 0 60; } > "$project"

start_window_manager || fail "the window manager did not start"
main_window_name='^(Velmo Kirta2|anchors\.vpj2.*)$'
start_program "$project"

saved_x() { awk -F= '/^\[0\.1\]/{s=1;next} /^\[/{s=0} s&&$1=="X"{print $2}' "$project"; }

wait_first_frame
cx=$((fx + fw / 2)); cy=$((fy + fh / 2))

# Drag the object's centre 100 pixels to the right.
xdotool mousemove "$cx" "$cy"
xdotool mousedown 1
for step in 10 20 40 60 80 100; do xdotool mousemove $((cx + step)) "$cy"; done
xdotool mouseup 1
save
expected=$(awk -v w="$fw" 'BEGIN{printf "%.2f", 100 * 640 / w}')
moved=$(saved_x)
awk -v a="$moved" -v b="$expected" 'BEGIN{d=a-b; if (d<0) d=-d; exit !(d <= 640 / 300 + 0.01)}' \
  || fail "dragging 100 pixels on a $fw-pixel frame moved X to $moved, not about $expected"

key ctrl+z
until_true logged "Undo: " || fail "the undo did not run"
save
back=$(saved_x)
awk -v a="$back" 'BEGIN{exit !(a == 0)}' || fail "one undo left X at $back"

# The wheel steps the cursor: down goes forward a frame.
xdotool mousemove "$cx" "$cy" click 5
until_true logged "frame 1 shown at" || fail "the wheel did not step the cursor"

# The zoom button dragged upwards scales the frame.
place=$(log | grep -o "zoom button at [0-9]*,[0-9]* [0-9]*x[0-9]*" | tail -1)
[ -n "$place" ] || fail "the zoom button was never placed"
zx=$(sed -E 's/zoom button at ([0-9]+),.*/\1/' <<<"$place"); zy=$(sed -E 's/zoom button at [0-9]+,([0-9]+) .*/\1/' <<<"$place")
xdotool mousemove $((zx + 4)) $((zy + 4))
xdotool mousedown 1
for step in 10 30 60 100 140; do xdotool mousemove $((zx + 4)) $((zy + 4 - step)); done
xdotool mouseup 1
grown() { read -r _ _ w _ <<<"$(frame_place)"; [ "$w" -gt "$fw" ]; }
until_true grown || fail "zooming in left the frame at $(frame_place) (was $fw wide)"
log | grep -q "zoom [1-9][0-9]*$" || fail "the zoom was not a percentage: $(log | grep -o 'zoom [0-9]*$' | tail -1)"

# The range buttons take the cursor as the range's ends.
buttons=$(log | grep -o "playback buttons at [0-9]*,[0-9]* [0-9]*x[0-9]*, [0-9]* apart" | tail -1)
read -r _ _ _ bplace bsize apart _ <<<"$buttons"
bx=${bplace%%,*}; by=${bplace#*,}; bw=${bsize%x*}; bh=${bsize#*x}; bh=${bh%,}
click_button() { xdotool mousemove $((bx + $1 * apart + bw / 2)) $((by + bh / 2)) click 1; }
click_button 5
until_true logged "frame range 1 to 299" || fail "the range start did not take the cursor: $(log | grep 'frame range' | tail -2)"
for i in 1 2 3 4; do click_button 2; done
until_true logged "frame 5 shown at" || fail "the next-frame button did not step to frame 5"
click_button 6
until_true logged "frame range 1 to 5" || fail "the range end did not take the cursor: $(log | grep 'frame range' | tail -2)"

# Play: the time counter runs.
counter=$(log | grep -o "time counter at [0-9]*,[0-9]* [0-9]*x[0-9]*" | tail -1)
tx=$(sed -E 's/time counter at ([0-9]+),.*/\1/' <<<"$counter"); ty=$(sed -E 's/time counter at [0-9]+,([0-9]+) .*/\1/' <<<"$counter")
tw=$(sed -E 's/.* ([0-9]+)x[0-9]+$/\1/' <<<"$counter"); th=$(sed -E 's/.*x([0-9]+)$/\1/' <<<"$counter")
shot() { import -window root -crop "${tw}x${th}+$tx+$ty" +repage "$1"; }
shot "$work/counter0.png"
click_button 0
differs() { shot "$work/counter.png"; ! compare -metric AE "$work/counter.png" "$1" null: 2>/dev/null; }
until_true differs "$work/counter0.png" || fail "the time counter did not move after play"
cp "$work/counter.png" "$work/counter1.png"
until_true differs "$work/counter1.png" || fail "the time counter stopped after its first step"
click_button 0
echo "X after the drag: $moved (about $expected on a $fw-pixel frame); zoomed frame: $(frame_place)"
echo "preview anchors: 1 passed, 0 failed"
