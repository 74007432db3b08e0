#!/usr/bin/env bash
# The time-control panel of the real program on its own Xvfb screen with a
# window manager: a figure whose X moves with a time-controlled movement is
# chosen in the object list; the clock icon of its X row opens the panel
# bound to X; dragging the first point's handle changes the curve, which the
# saved project keeps; one undo brings the saved straight line back.
# Usage: time-control-panel.sh PROGRAM   (run under xvfb-run -a)
set -euo pipefail
program=$1
source "$(dirname "${BASH_SOURCE[0]}")/../../support/settings-test.sh" velmo-time-control

program_settings 1200 800

project="$work/curve.vpj2"
square_project <<'PROJECT'
X=-200.00,200.00,直線移動(時間制御),0
拡大率=100.000
PROJECT

saved_section=0.1
start_settings_program
straight=$(saved X)

# Choosing the object shows its rows; X carries the clock icon of its time curve.
choose_object
until_eval 'test -n "$(place "number row \[X\] movement icon")"' || fail "the X row showed no movement icon: $(log | tail -5)"
logged "time curve plot at" && fail "the hidden time-control panel was laid out"

# The icon opens the time-control panel bound to X.
read -r ix iy iw ih <<<"$(place "number row \[X\] movement icon")"
xdotool mousemove --sync $((ix + iw / 2)) $((iy + ih / 2)) click 1
until_eval 'test -n "$(place "time curve plot")"' || fail "the time-control panel did not open: $(log | tail -5)"
read -r px py pw ph <<<"$(place "time curve plot")"
[ "$pw" -gt 40 ] && [ "$ph" -gt 40 ] || fail "the curve plot is only ${pw}x$ph"

# Drag the first point's handle, at a quarter of the way up the diagonal, to the right.
hx=$((px + pw / 4)); hy=$((py + ph - ph / 4))
xdotool mousemove --sync "$hx" "$hy"
xdotool mousedown 1
for step in 4 8 16 24 32 40; do xdotool mousemove --sync $((hx + step)) "$hy"; done
xdotool mouseup 1
save "after the drag"
curved=$(saved X)
[[ "$curved" == "-200.00,200.00,直線移動(時間制御),0|"* ]] || fail "the saved X has no curve: $curved"
values=${curved#*|}
[ "$(tr ',' '\n' <<<"$values" | wc -l)" -eq 4 ] || fail "the moved handle saved $values, not the two end handles"
awk -v v="$values" 'BEGIN{split(v, a, ","); exit !(a[1] > 0.26 && a[2] == 0.25 && a[3] == 0.25 && a[4] == 0.25)}' ||
  fail "the moved handle saved $values"

# One undo gives the straight line back.
key ctrl+z
until_eval 'test "$(count "Undo: ")" -ge 1' || fail "the undo did not run"
save "after the undo"
[ "$(saved X)" = "$straight" ] || fail "one undo left X=$(saved X)"
echo "time control panel: 1 passed, 0 failed"
