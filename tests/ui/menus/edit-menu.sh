#!/usr/bin/env bash
# Drives the new object entries of the Edit menu in the real program on its
# own Xvfb screen: a small project whose focus object and a second object
# share a group, the cursor inside them. A midpoint is added at the cursor
# through the Edit popup opened with the mouse, the focus object leaves its
# group (Ctrl+Shift+G) and the cursor steps to the next section boundary
# (Down); the saved project shows all three, and two Ctrl+Z bring back the
# objects as they were saved first. Last the Display popup switches the
# camera grid off, which the settings keep at exit.
# Usage: edit-menu.sh PROGRAM   (run under xvfb-run -a)
set -euo pipefail
program=$1
source "$(dirname "${BASH_SOURCE[0]}")/../../support/window-test.sh" velmo-edit-menu

program_settings 640 480
project="$work/edit.vpj2"
object() { # number, layer, focus line
  printf '[%s]\r\nlayer=%s\r\n%bframe=0,30\r\ngroup=1\r\n[%s.0]\r\neffect.name=図形\r\n[%s.1]\r\neffect.name=標準描画\r\n' "$1" "$2" "$3" "$1" "$1"
}
{
  printf '[project]\r\nfile=%s\r\ndisplay.scene=0\r\n[scene.0]\r\nscene=0\r\nname=Root\r\nvideo.width=640\r\nvideo.height=360\r\nvideo.rate=30\r\nvideo.scale=1\r\naudio.rate=48000\r\ncursor.frame=15\r\n' "$project"
  object 0 0 'focus=1\r\n'
  object 1 1 ''
} > "$project"

start_window_manager || fail "the window manager did not start"
start_program "$project"

log_count() { cat "$data"/Log/* 2>/dev/null | grep -cF "$1" || true; }
logged_times() { [ "$(log_count "$1")" -ge "$2" ]; }
# Sends keys to the main window once it has the input focus.
press() { xdotool windowactivate --sync "$window" key --clearmodifiers "$@"; }
windows_shown() { [ "$(xdotool search --onlyvisible --pid "$app_pid" 2>/dev/null | wc -l)" -eq "$1" ]; }
# The height of the open popup (the program's visible window that is not the main one).
popup_height() {
  local w
  for w in $(xdotool search --onlyvisible --pid "$app_pid" 2>/dev/null); do
    [ "$w" = "$window" ] || xwininfo -id "$w" | awk '/Height:/{print $2}'
  done | head -1
}
popup_taller() { local h; h=$(popup_height); [ -n "$h" ] && [ "$h" -gt "$1" ]; }
# Saves over the project (Ctrl+S) and waits for the n-th save to be logged.
save() {
  press ctrl+s
  until_true logged_times "save project file : $project" "$1" || fail "save $1 did not run: $(tail -5 "$data"/Log/*)"
}
# The object sections of the saved project, without line ends.
objects() { sed -n '/^\[0\]/,$p' "$project" | tr -d '\r'; }

until_true logged_times "load project file : $project" 1 || fail "the project was not opened"
save 1
first=$(objects)
[[ "$first" == *"group=1"* ]] || fail "the objects were not grouped: $first"

# The Edit popup: File's label, then one step right. Its entries without
# the separators: 移動, cut, copy, paste, delete, split, duplicate, length,
# the two image copies, then the midpoint entry (the eleventh). A Return that comes while a popup is
# still settling is passed over: it is pressed again until the entry ran.
xdotool mousemove --window "$window" 20 10 click 1
until_true windows_shown 2 || fail "the File popup did not open"
until_true popup_taller 100 || fail "the File popup did not fill"
file_height=$(popup_height)
xdotool key Right
until_true popup_taller "$file_height" || fail "the Edit popup did not open: $(popup_height)"
xdotool key Home
for i in $(seq 10); do xdotool key Down; done
midpoint_added() {
  logged_times "create section frame=15 num=1" 1 && return 0
  windows_shown 2 && xdotool key Return
  return 1
}
until_true midpoint_added || fail "the midpoint entry did not run: $(tail -5 "$data"/Log/*)"
until_true windows_shown 1 || fail "the popups did not close"

press ctrl+shift+g
until_true logged_times "clear group object" 1 || fail "the ungroup entry did not run"
press Down
save 2
cursor=$(tr -d '\r' < "$project" | grep '^cursor.frame=' || true)
[ "$cursor" = "cursor.frame=30" ] || fail "the cursor did not step to the end: $cursor"
focus_object=$(sed -n '/^\[0\]/,/^\[0\.0\]/p' "$project" | tr -d '\r')
[[ "$focus_object" == *"frame=0,15,30"* ]] || fail "no midpoint at 15 in the focus object: $focus_object"
[[ "$focus_object" != *"group="* ]] || fail "the focus object kept its group: $focus_object"

press ctrl+z
press ctrl+z
until_true logged_times "Undo:" 2 || fail "the undo steps did not run"
save 3
restored=$(objects)
[ "$restored" = "$first" ] || fail "undo did not restore the objects:
--- first
$first
--- restored
$restored"

# The Display popup, three labels left of File (past Other and Settings),
# one entry taller than File. Its entries without the separators: the nine
# panels, the media explorer submenu, the two zoom submenus, the BPM grid,
# then the camera grid.
xdotool mousemove --window "$window" 20 10 click 1
until_true windows_shown 2 || fail "the File popup did not open"
until_true popup_taller 100 || fail "the File popup did not fill"
file_height=$(popup_height)
xdotool key Left Left Left
display_shown() { local h; h=$(popup_height); [ -n "$h" ] && [ "$h" -gt "$file_height" ]; }
until_true display_shown || fail "the Display popup did not open: $(popup_height)"
xdotool key Down Down Down Down Down Down Down Down Down Down Down Down Down Down
grid_off() {
  logged_times "set camera grid enable=0" 1 && return 0
  windows_shown 2 && xdotool key Return
  return 1
}
until_true grid_off || fail "the camera grid entry did not run"
until_true windows_shown 1 || fail "the Display popup did not close"

# The File popup's last entry ends the program, which keeps the switch.
xdotool mousemove --window "$window" 20 10 click 1
until_true windows_shown 2 || fail "the File popup did not open"
xdotool key Up Return
wait_program_end
grid=$(tr -d '\r' < "$data/velmo2.ini" | sed -n '/^\[Render.video\]/,/^\[/p' | grep '^CameraGrid=' || true)
[ "$grid" = "CameraGrid=0" ] || fail "the camera grid setting was not kept: $grid"
echo "edit menu: 1 passed, 0 failed"
