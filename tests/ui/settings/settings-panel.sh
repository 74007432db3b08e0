#!/usr/bin/env bash
# The object settings panel of the real program on its own Xvfb screen with a
# window manager: a figure object chosen in the object list shows its rows;
# dragging its 拡大率 value and typing a value into X change the preview and
# the saved project, and one undo each brings the saved values back.
# Usage: settings-panel.sh PROGRAM   (run under xvfb-run -a)
set -euo pipefail
program=$1
source "$(dirname "${BASH_SOURCE[0]}")/../../support/settings-test.sh" velmo-settings-panel

program_settings 1200 800

# A 640 x 360 scene with a 60-pixel square in the middle.
project="$work/settings.vpj2"
square_project <<'PROJECT'
X=0.00
拡大率=100.000
PROJECT

saved_section=0.1
start_settings_program
# The preview shows a frame other than the one in the picture.
preview_changed() { frame_shot "$work/now.png"; differs "$1" "$work/now.png"; }

# Choosing the object in the object list shows its rows in the panel.
choose_object
until_eval 'test -n "$(place "number row \[拡大率\] value")"' || fail "the panel showed no 拡大率 row: $(log | tail -5)"
until_eval 'test -n "$(place "number row \[X\] value")"' || fail "the panel showed no X row"
# The preview with the chosen object's handles, once it holds still.
settled() {
  frame_shot "$work/a.png"
  [ -f "$work/before.png" ] && ! differs "$work/a.png" "$work/before.png" && return 0
  mv "$work/a.png" "$work/before.png"
  return 1
}
until_true settled || fail "the preview did not settle"

# Drag 拡大率 to the right.
read -r zx zy zw zh <<<"$(place "number row \[拡大率\] value")"
xdotool mousemove --sync $((zx + zw / 2)) $((zy + zh / 2))
xdotool mousedown 1
for step in 2 4 8 12 16 20; do xdotool mousemove --sync $((zx + zw / 2 + step)) $((zy + zh / 2)); done
xdotool mouseup 1
until_true preview_changed "$work/before.png" || fail "dragging 拡大率 did not change the preview"
cp "$work/now.png" "$work/zoomed.png"
save
zoom=$(saved 拡大率)
awk -v z="$zoom" 'BEGIN{exit !(z > 100)}' || fail "the saved 拡大率 is $zoom after dragging it up"

# Type 100 into X.
read -r xx xy xw xh <<<"$(place "number row \[X\] value")"
xdotool mousemove --sync $((xx + xw / 2)) $((xy + xh / 2)) click 1
xdotool type --delay 50 "100"
key Return
until_true preview_changed "$work/zoomed.png" || fail "typing 100 into X did not change the preview"
save
[ "$(saved X)" = "100.00" ] || fail "the saved X is $(saved X), not 100.00"
[ "$(saved 拡大率)" = "$zoom" ] || fail "typing into X changed 拡大率 to $(saved 拡大率)"

# One undo each: first X, then 拡大率.
key ctrl+z
until_eval 'test "$(count "Undo: ")" -ge 1' || fail "the first undo did not run"
save
[ "$(saved X)" = "0.00" ] || fail "one undo left X at $(saved X)"
[ "$(saved 拡大率)" = "$zoom" ] || fail "the first undo also took back 拡大率: $(saved 拡大率)"
key ctrl+z
until_eval 'test "$(count "Undo: ")" -ge 2' || fail "the second undo did not run"
save
[ "$(saved 拡大率)" = "100.000" ] || fail "the second undo left 拡大率 at $(saved 拡大率)"
back() { frame_shot "$work/now.png"; ! differs "$work/before.png" "$work/now.png"; }
until_true back || fail "the preview did not come back"
echo "settings panel: 1 passed, 0 failed"
