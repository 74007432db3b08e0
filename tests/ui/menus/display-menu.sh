#!/usr/bin/env bash
# Drives the panel entries of the Display popup in the real program on its
# own Xvfb screen: the log panel, hidden at first start, is shown; the
# timeline is closed and brought back. Each step is waited for on the
# window's picture; at exit the settings keep both panels shown.
# Usage: display-menu.sh PROGRAM   (run under xvfb-run -a)
set -euo pipefail
program=$1
source "$(dirname "${BASH_SOURCE[0]}")/../../support/window-test.sh" velmo-display-menu

program_settings 800 600
start_window_manager || fail "the window manager did not start"
start_program

windows_shown() { [ "$(xdotool search --onlyvisible --pid "$app_pid" 2>/dev/null | wc -l)" -eq "$1" ]; }
popup_height() {
  local w
  for w in $(xdotool search --onlyvisible --pid "$app_pid" 2>/dev/null); do
    [ "$w" = "$window" ] || xwininfo -id "$w" | awk '/Height:/{print $2}'
  done | head -1
}
popup_taller() { local h; h=$(popup_height); [ -n "$h" ] && [ "$h" -gt "$1" ]; }
# The main window's picture.
shot() { import -window "$window" "$1" 2>/dev/null; }
# Pixels that differ by more than a small tolerance between two pictures.
differing() { compare -metric AE -fuzz 4% "$1" "$2" null: 2>&1 | awk '{print int($1)}' || true; }
changed_from() { shot "$work/now.png" && [ "$(differing "$1" "$work/now.png")" -gt 2000 ]; }
same_as() { shot "$work/now.png" && [ "$(differing "$1" "$work/now.png")" -lt 200 ]; }
# The picture holds still for two shots in a row.
settled() {
  shot "$work/a.png"
  [ -f "$work/b.png" ] && [ "$(differing "$work/a.png" "$work/b.png")" -eq 0 ] && return 0
  mv "$work/a.png" "$work/b.png"
  return 1
}
wait_settled() { rm -f "$work/b.png"; until_true settled || fail "the window did not settle"; cp "$work/b.png" "$1"; }
# The window has drawn its panels: more than a few colours.
painted() { shot "$work/now.png" && [ "$(identify -format %k "$work/now.png")" -gt 16 ]; }
# Pixels that differ in a band of rows (height, top) of two pictures.
band_differing() {
  convert "$1" -crop "800x$3+0+$4" +repage "$work/band1.png"
  convert "$2" -crop "800x$3+0+$4" +repage "$work/band2.png"
  differing "$work/band1.png" "$work/band2.png"
}

# Opens the Display popup (File's label, then three to the left) and
# chooses its n-th entry without the separators: 1 the timeline, 2 the object settings,
# 3 the preview, 4 the colour settings, 5 the text panel, 6 the scene list, 7 the object list, 8 the log, 9 the time control. A Return that comes while the popup is still
# settling is passed over: it is pressed again until the picture changed.
choose_display() {
  local before=$2
  xdotool mousemove --window "$window" 20 10 click 1
  until_true windows_shown 2 || fail "the File popup did not open"
  until_true popup_taller 100 || fail "the File popup did not fill"
  local file_height
  file_height=$(popup_height)
  xdotool key Left Left Left
  display_shown() { local h; h=$(popup_height); [ -n "$h" ] && [ "$h" -gt "$file_height" ]; }
  until_true display_shown || fail "the Display popup did not open: $(popup_height)"
  local i
  for i in $(seq "$1"); do xdotool key Down; done
  ran() {
    windows_shown 1 && changed_from "$before" && return 0
    windows_shown 2 && xdotool key Return
    return 1
  }
  until_true ran || fail "Display entry $1 did not change the window"
}

until_true painted || fail "the main window did not draw its panels"
wait_settled "$work/first.png"
choose_display 8 "$work/first.png"
wait_settled "$work/log.png"

choose_display 1 "$work/log.png"
wait_settled "$work/closed.png"

choose_display 1 "$work/closed.png"
wait_settled "$work/back.png"
# Back where it was: the menu bar and preview above the log, and the
# timeline's rows and the footer below it, match the picture before it was
# closed (the log's own lines have moved on meanwhile).
for band in "190 0" "60 540"; do
  # shellcheck disable=SC2086
  n=$(band_differing "$work/log.png" "$work/back.png" $band)
  [ "$n" -lt 50 ] || fail "the timeline did not come back where it was: $n pixels differ in rows $band"
done
[ "$(differing "$work/closed.png" "$work/back.png")" -gt 2000 ] || fail "closing the timeline changed nothing"

# The File popup's last entry ends the program, which keeps the panels' state.
xdotool mousemove --window "$window" 20 10 click 1
until_true windows_shown 2 || fail "the File popup did not open"
xdotool key Up Return
wait_program_end
hidden() { tr -d '\r' < "$data/velmo2.ini" | sed -n "/^\[Window.$1\]/,/^\[/p" | grep '^hide=' || true; }
[ "$(hidden log)" = "hide=0" ] || fail "the log panel was not kept shown: $(hidden log)"
[ "$(hidden edit)" = "hide=0" ] || fail "the timeline was not kept shown: $(hidden edit)"
echo "display menu: 1 passed, 0 failed"
