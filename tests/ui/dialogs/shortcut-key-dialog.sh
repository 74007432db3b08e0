#!/usr/bin/env bash
# The shortcut key dialog in the real program on its own Xvfb screen: the
# Setting popup's first entry opens "ショートカットキーの設定"; a click on the
# key cell of "ファイル:プロジェクトを保存" (the third command registered)
# opens the key field, F8 is pressed into it and OK applies it: keyboard.ini
# holds the new key, and F8 in the main window then saves the project.
# Usage: shortcut-key-dialog.sh PROGRAM   (run under xvfb-run -a)
set -euo pipefail
program=$(realpath "$1")
source "$(dirname "${BASH_SOURCE[0]}")/../../support/window-test.sh" velmo-shortcut-dialog

program_settings 900 700
project="$work/keys.vpj2"
printf '[project]\r\nfile=%s\r\ndisplay.scene=0\r\n[scene.0]\r\nscene=0\r\nname=Root\r\nvideo.width=640\r\nvideo.height=360\r\nvideo.rate=30\r\nvideo.scale=1\r\naudio.rate=48000\r\n' "$project" > "$project"

start_window_manager || fail "the window manager did not start"
start_program "$project"
main=$window

log_count() { cat "$data"/Log/* 2>/dev/null | grep -cF "$1" || true; }
logged_times() { [ "$(log_count "$1")" -ge "$2" ]; }
windows_shown() { [ "$(xdotool search --onlyvisible --pid "$app_pid" 2>/dev/null | wc -l)" -eq "$1" ]; }
popup_height() {
  local w
  for w in $(xdotool search --onlyvisible --pid "$app_pid" 2>/dev/null); do
    [ "$w" = "$main" ] || xwininfo -id "$w" | awk '/Height:/{print $2}'
  done | head -1
}
popup_taller() { local h; h=$(popup_height); [ -n "$h" ] && [ "$h" -gt "$1" ]; }
dialog=""
find_dialog() { dialog=$(xdotool search --all --onlyvisible --pid "$app_pid" --name '^ショートカットキーの設定$' 2>/dev/null | head -1); [ -n "$dialog" ]; }
no_dialog() { ! find_dialog; }

until_true logged_times "load project file : $project" 1 || fail "the project was not opened"

# The Setting popup: File's, then three steps right; its first entry. A
# Return that comes while the popup is still settling is pressed again.
xdotool mousemove --window "$main" 20 10 click 1
until_true windows_shown 2 || fail "the File popup did not open"
until_true popup_taller 100 || fail "the File popup did not fill"
xdotool key Right Right Right
until_true popup_taller 200 || fail "the Setting popup did not open: $(popup_height)"
xdotool key Home
opened() {
  find_dialog && return 0
  windows_shown 2 && xdotool key Return
  return 1
}
until_true opened || fail "the Setting popup's first entry showed no dialog: $(tail -5 "$data"/Log/*)"

# The list is 600 pixels high under a 12-pixel margin; the dialog's line
# height is its height less the list, the margins and the button row, and a
# list line is two pixels taller. Column 1 starts 400 pixels in.
eval "$(xdotool getwindowgeometry --shell "$dialog")"
line=$(( HEIGHT - 636 ))
list_line=$(( line + 2 ))
[ "$line" -gt 8 ] || fail "unexpected dialog height $HEIGHT"
row=2
xdotool windowactivate --sync "$dialog" mousemove --window "$dialog" --sync 512 $(( 12 + list_line * (row + 1) + list_line / 2 )) click 1
xdotool windowactivate --sync "$dialog" key F8
# OK: the button at the bottom right.
xdotool mousemove --window "$dialog" --sync $(( WIDTH - 12 - 2 * line )) $(( HEIGHT - 12 - line / 2 )) click 1
until_true no_dialog || fail "OK did not close the dialog"

keys=$(tr -d '\r' < "$data/keyboard.ini" 2>/dev/null || true)
[ "$keys" = "$(printf '[shortcut.0]\nname=ファイル:プロジェクトを保存\ncode=119')" ] || fail "keyboard.ini holds: $keys"

xdotool windowactivate --sync "$main" key --clearmodifiers F8
until_true logged_times "save project file : $project" 1 || fail "F8 did not save: $(tail -5 "$data"/Log/*)"
echo "1 passed, 0 failed"
