#!/usr/bin/env bash
# The text panel of the real program on its own Xvfb screen with a window
# manager: opened from the Display popup, it takes the text of the text
# object chosen in the object list; Japanese letters typed into it with
# xdotool change the preview where the text is and the saved project, and
# each undo key in the panel takes back one letter until the first picture
# is back.
# Usage: text-panel.sh PROGRAM   (run under xvfb-run -a)
set -euo pipefail
program=$1
source "$(dirname "${BASH_SOURCE[0]}")/../../support/settings-test.sh" velmo-text-panel

program_settings 1200 800

# A 640 x 360 scene with a large text in the middle.
project="$work/text.vpj2"
{ small_scene_head; cat; } > "$project" <<'PROJECT'
[0]
layer=0
frame=0,299
[0.0]
effect.name=テキスト
サイズ=80
テキスト=abc
[0.1]
effect.name=標準描画
PROJECT

start_window_manager || fail "the window manager did not start"
# Keys of their own for the letters typed below.
python3 "$(dirname "${BASH_SOURCE[0]}")/../../support/screen-keys.py" "日本語" || fail "the letters got no keys"
start_settings_program

settled() {
  frame_shot "$work/a.png"
  [ -f "$work/b.png" ] && ! differs "$work/a.png" "$work/b.png" && return 0
  mv "$work/a.png" "$work/b.png"
  return 1
}
wait_settled() { rm -f "$work/b.png"; until_true settled || fail "the preview did not settle"; cp "$work/b.png" "$1"; }
# Pixels of the preview's middle third (where the text is) that differ from the picture.
middle_differs() {
  frame_shot "$work/now.png"
  local w h
  w=$(identify -format %w "$work/now.png"); h=$(identify -format %h "$work/now.png")
  convert "$1" -crop "$((w / 2))x$((h / 3))+$((w / 4))+$((h / 3))" +repage "$work/m1.png"
  convert "$work/now.png" -crop "$((w / 2))x$((h / 3))+$((w / 4))+$((h / 3))" +repage "$work/m2.png"
  [ "$(compare -metric AE -fuzz 4% "$work/m1.png" "$work/m2.png" null: 2>&1 | awk '{print int($1)}' || true)" -gt 100 ]
}

# Choosing the object in the object list focuses it.
choose_object

# The Display popup (File's label, then three to the left); its fifth panel
# entry is the text panel.
windows_shown() { [ "$(xdotool search --onlyvisible --pid "$app_pid" 2>/dev/null | wc -l)" -eq "$1" ]; }
popup_open() { [ "$(xdotool search --onlyvisible --pid "$app_pid" 2>/dev/null | wc -l)" -ge 2 ]; }
# The tallest window besides the main one: the open popup.
popup_height() {
  local w
  for w in $(xdotool search --onlyvisible --pid "$app_pid" 2>/dev/null); do
    [ "$w" = "$window" ] || xwininfo -id "$w" | awk '/Height:/{print $2}'
  done | sort -n | tail -1
}
popup_taller() { local h; h=$(popup_height); [ -n "$h" ] && [ "$h" -gt "$1" ]; }
# The object list's tip goes once the pointer has left its rows.
xdotool mousemove --window "$window" 20 10
until_true windows_shown 1 || fail "the object list's tip stayed"
xdotool click 1
until_true popup_open || fail "the File popup did not open"
until_true popup_taller 100 || fail "the File popup did not fill"
file_height=$(popup_height)
xdotool key Left Left Left
display_shown() { local h; h=$(popup_height); [ -n "$h" ] && [ "$h" -gt "$file_height" ]; }
until_true display_shown || fail "the Display popup did not open: $(popup_height)"
xdotool key Down Down Down Down Down
opened() {
  test -n "$(place "text editor")" && return 0
  popup_open && xdotool key Return
  return 1
}
until_true opened || fail "the Display popup did not open the text panel: $(log | tail -5)"
popup_gone() { local h; h=$(popup_height); [ -z "$h" ] || [ "$h" -lt 100 ]; }
until_true popup_gone || fail "the Display popup did not close"
wait_settled "$work/before.png"

# Japanese letters typed at the end of the text. While the editor has the
# keyboard, keys go to it: a click on the panel's title strip lets go of it
# before the project is saved.
read -r ex ey ew eh <<<"$(place "text editor")"
into_editor() { xdotool mousemove --sync $((ex + ew - 20)) $((ey + eh - 20)) click 1; }
out_of_editor() { xdotool mousemove --sync $((ex + ew / 2)) $((ey - 18)) click 1; }
into_editor
key ctrl+End
LC_ALL=C.UTF-8 xdotool type --delay 50 "日本語"
until_true middle_differs "$work/before.png" || fail "typing into the text panel did not change the text in the preview"
out_of_editor
save
[ "$(saved テキスト)" = "abc日本語" ] || fail "the saved text is '$(saved テキスト)', not abc日本語"

# Each undo key in the panel takes back one letter.
expected=("abc日本" "abc日" "abc")
for i in 1 2 3; do
  into_editor
  key ctrl+z
  until_eval 'test "$(count "UndoText: ")" -ge "$i"' || fail "undo $i did not run"
  out_of_editor
  save
  [ "$(saved テキスト)" = "${expected[$((i - 1))]}" ] || fail "undo $i left '$(saved テキスト)'"
done
back() { ! middle_differs "$work/before.png"; }
until_true back || fail "the preview did not come back after the undo"
echo "text panel: 1 passed, 0 failed"
