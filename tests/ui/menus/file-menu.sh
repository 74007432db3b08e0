#!/usr/bin/env bash
# Drives the program's File menu on its own Xvfb screen with a window
# manager: the popup opened with the mouse shows its items at once; the first
# recent project is opened from its submenu, then "終了" ends the program
# cleanly; the log shows the project was loaded.
# Usage: file-menu.sh PROGRAM   (run under xvfb-run -a)
set -euo pipefail
program=$1
source "$(dirname "${BASH_SOURCE[0]}")/../../support/window-test.sh" velmo-file-menu

program_settings 640 480
project="$work/recent.vpj2"
printf '[project]\r\nfile=%s\r\ndisplay.scene=0\r\n[scene.0]\r\nscene=0\r\nname=Root\r\nvideo.width=640\r\nvideo.height=360\r\nvideo.rate=30\r\nvideo.scale=1\r\naudio.rate=48000\r\n' "$project" > "$project"
printf '[project]\r\n1=%s\r\n' "$project" > "$data/history.ini"

start_window_manager || fail "the window manager did not start"
start_program

# The program's visible windows: the main window and each open popup.
windows_shown() { [ "$(xdotool search --onlyvisible --pid "$app_pid" 2>/dev/null | wc -l)" -eq "$1" ]; }
# Opens the File popup by clicking its label on the bar.
open_file_menu() {
  xdotool mousemove --window "$window" 20 10 click 1
  until_true windows_shown 2 || fail "the File popup did not open"
}

# Heights of the open popups (every visible window of the program but the main one).
popup_heights() {
  local w
  for w in $(xdotool search --onlyvisible --pid "$app_pid" 2>/dev/null); do
    [ "$w" = "$window" ] || xwininfo -id "$w" | awk '/Height:/{print $2}'
  done
}
# The first opening with the mouse shows the popup with its items, not the
# strip of an empty one.
popup_filled() { local h; h=$(popup_heights | head -1); [ -n "$h" ] && [ "$h" -gt 100 ]; }

# Fourth entry (the recent projects), into its submenu, the first entry.
open_file_menu
until_true popup_filled || fail "the File popup opened at heights $(popup_heights | tr '\n' ' ')"
xdotool key Down Down Down Right
until_true windows_shown 3 || fail "the recent-project submenu did not open"
xdotool key Return
until_true windows_shown 1 || fail "the popups did not close"

# The last entry ends the program.
open_file_menu
xdotool key Up Return
wait_program_end
log=$(cat "$data"/Log/*)
[[ "$log" == *"load project file : $project"* ]] || fail "the recent project was not opened: $log"
echo "file menu: 1 passed, 0 failed"
