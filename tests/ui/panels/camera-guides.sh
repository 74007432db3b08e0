#!/usr/bin/env bash
# The camera control's guides and anchors in the preview of the real program
# on its own Xvfb screen with a window manager. A camera looks down at a
# square: the preview shows the ground grid; a double click on the frame
# focuses the camera, and the axes through its target and the target marker
# join the grid (the frame against its reference picture). Control held while
# the right button drags moves the eye away from the target (saved project).
# The camera's button switches free view on: the preview looks through the
# scene's own camera and shows the camera as its frustum with its sides
# filled (against its reference), and a right drag there orbits the scene's
# camera, leaving the camera object where it was.
# Usage: camera-guides.sh PROGRAM FOCUSED.png FREE_VIEW.png   (run under xvfb-run -a)
# With WRITE_REFERENCES=1 the pictures are written instead of compared.
set -euo pipefail
program=$1
focused_reference=$2
free_reference=$3
source "$(dirname "${BASH_SOURCE[0]}")/../../support/window-test.sh" velmo-camera-guides
source "$(dirname "${BASH_SOURCE[0]}")/../../support/preview-test.sh"

program_settings 1000 760

# A 640 x 360 scene: a camera on layer 1 looking down from (0, -300, -900)
# at the origin, and a 120-pixel square on layer 2. The scene's own camera
# looks at the origin from the side, above and behind.
project="$work/camera.vpj2"
{
  preview_scene_head 1600.000000,-900.000000,-1800.000000,0.000000,0.000000,-300.000000
  printf '[0]\nlayer=0\nframe=0,299\n[0.0]\neffect.name=カメラ制御\n'
  printf 'X=0.00\nY=-300.00\nZ=-900.00\n目標X=0.00\n目標Y=0.00\n目標Z=0.00\n'
  square_object 1 120
} > "$project"

start_window_manager || fail "the window manager did not start"
main_window_name='^(Velmo Kirta2|camera\.vpj2.*)$'
start_program "$project"

# A value of the camera object's first effect, and the scene's camera record, as saved.
saved_item() { tr -d '\r' < "$project" | awk -F= -v k="$1" '/^\[0\.0\]/{s=1;next} /^\[/{s=0} s&&$1==k{print $2}'; }
saved_camera() { tr -d '\r' < "$project" | awk -F= '/^display\.camera=/{print $2}'; }

wait_first_frame

shot() { screen_shot "$fw" "$fh" "$fx" "$fy" "$1"; }
# Pixels that differ by more than a tenth of full scale between two pictures.
differing() { compare -metric AE -fuzz 10% "$1" "$2" null: 2>&1 | sed -E 's/^([0-9.e+]+).*/\1/' || true; }
# The frame on the screen against the reference: at most one pixel in 400 differs.
# The reference is for the frame size this window gives; it is scaled to another.
matches() {
  shot "$work/shot.png"
  convert "$1" -resize "${fw}x${fh}!" "$work/reference.png"
  local n; n=$(differing "$work/shot.png" "$work/reference.png")
  awk -v n="$n" -v all=$((fw * fh)) 'BEGIN{exit !(n + 0 <= all / 400)}'
}
check_reference() {
  if [ "${WRITE_REFERENCES:-0}" = 1 ]; then
    until_true shows_more "$3" || fail "$2: the frame did not change"
    until_true settled || fail "$2: the preview never settled"
    shot "$1"
    echo "wrote $1"
    return
  fi
  until_true matches "$1" || fail "$2 differs from its reference in $(differing "$work/shot.png" "$work/reference.png") pixels"
}
# The frame differs from an earlier picture in more than the given pixels.
shows_more() { shot "$work/now.png"; [ "$(differing "$work/now.png" "$work/before.png" | cut -d. -f1)" -gt "$1" ]; }

# The grid shows before the camera is focused; its axes not yet.
# Two shots alike: the preview has settled.
settled() { shot "$work/a.png"; shot "$work/b.png"; [ "$(differing "$work/a.png" "$work/b.png" | cut -d. -f1)" -eq 0 ]; }
until_true settled || fail "the preview never settled"
shot "$work/before.png"

# A double click on the frame away from every anchor focuses the camera.
xdotool mousemove $((fx + 12)) $((fy + fh - 12)) click --repeat 2 --delay 80 1
until_true shows_more 200 || fail "focusing the camera added no axes to the preview"
check_reference "$focused_reference" "the focused camera's guides" 200

# Control held, the right button dragged 40 pixels down: the eye moves away.
cx=$((fx + fw / 2)); cy=$((fy + fh / 2))
xdotool windowactivate --sync "$window"
xdotool mousemove $((cx + 100)) "$cy"
xdotool keydown ctrl mousedown 3
for step in 5 10 20 30 40; do xdotool mousemove $((cx + 100)) $((cy + step)); done
xdotool mouseup 3 keyup ctrl
save
z=$(saved_item Z); y=$(saved_item Y)
# 320 further along the line from the target through the eye (0, -300, -900).
awk -v y="$y" -v z="$z" 'BEGIN{d=sqrt(y*y+z*z); exit !(d > 1100 && d < 1400 && y < 0 && z < 0)}' \
  || fail "the zoom drag left the eye at Y $y, Z $z"
key ctrl+z
until_true logged "Undo: " || fail "the undo did not run"
save
[ "$(saved_item Z)" = "-900.00" ] || fail "the undo left Z at $(saved_item Z)"

# The camera's button at the frame's top right switches free view on.
before_free=$(count "set camera free view enable=1")
shot "$work/before.png"
xdotool mousemove $((fx + fw - 16)) $((fy + 16)) click 1
until_eval 'test "$(count "set camera free view enable=1")" -gt "$before_free"' || fail "the camera's button did not switch free view on"
# The pointer leaves the button, and its tool tip goes.
xdotool mousemove $((fx + 12)) $((fy + fh - 12))
check_reference "$free_reference" "the free view of the camera" 2000
camera_before=$(saved_camera)

# A right drag across orbits the scene's camera; the camera object stays.
xdotool mousemove $((cx - 100)) "$cy" mousedown 3
for step in 10 30 60 90 120; do xdotool mousemove $((cx - 100 + step)) "$cy"; done
xdotool mouseup 3
save
[ "$(saved_camera)" != "$camera_before" ] || fail "the free-view drag left the scene's camera at $camera_before"
[ "$(saved_item X)" = "0.00" ] && [ "$(saved_item Z)" = "-900.00" ] \
  || fail "the free-view drag moved the camera object to $(saved_item X), $(saved_item Z)"
echo "scene camera after the orbit: $(saved_camera)"
echo "camera guides: 1 passed, 0 failed"
