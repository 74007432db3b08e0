#!/usr/bin/env bash
# Ctrl+N in the real program on its own Xvfb screen opens the dialog
# "プロジェクトを作成" with the project's defaults; OK as it stands gives a
# 1920 x 1080 project at 30/1 and 44100; a width of 31 is refused (the dialog
# stays), 16384 is accepted; 1280 x 720 entered and OK gives a root scene of
# that size in the file Ctrl+S saves. Enter in a field does not submit.
# Usage: new-project-dialog.sh PROGRAM   (run under xvfb-run -a)
set -euo pipefail
program=$(realpath "$1")
source "$(dirname "${BASH_SOURCE[0]}")/../support/window-test.sh" velmo-new-project

program_settings 900 700
start_window_manager || fail "the window manager did not start"
cd "$work"
start_program
main=$window

dialog=""
find_dialog() { dialog=$(xdotool search --all --onlyvisible --pid "$app_pid" --name '^プロジェクトを作成$' 2>/dev/null | head -1); [ -n "$dialog" ]; }
no_dialog() { ! find_dialog; }
created() { [ "$(cat "$data"/Log/* 2>/dev/null | grep -cF "create project file")" -ge "$1" ]; }
keys() { xdotool windowactivate --sync "$dialog" key --clearmodifiers --delay 30 "$@"; }
# The dialog's rows: the fields of a row, the OK button, found from its
# client size (W x H): the label column is W - 324 wide, the line height is
# (H - 48) / 4 with its three rows and the button row.
geometry() {
  eval "$(xdotool getwindowgeometry --shell "$dialog")"
  line=$(( (HEIGHT - 48) / 4 ))
}
# Clicks into a field (row 0: width and height, 1: frame rate, 2: sampling
# rate; column 0 or 1) and replaces its text.
type_field() {
  geometry
  local x y
  if [ "$1" -eq 0 ]; then x=$(( WIDTH - 312 + 20 + $2 * 152 )); else x=$(( WIDTH - 200 )); fi
  y=$(( 12 + $1 * (line + 6) + line / 2 ))
  xdotool windowactivate --sync "$dialog" mousemove --window "$dialog" --sync "$x" "$y" click 1
  keys ctrl+a BackSpace
  xdotool type --delay 30 "$3"
}
# Presses the OK button with the mouse.
press_ok() {
  geometry
  xdotool windowactivate --sync "$dialog" mousemove --window "$dialog" --sync $(( WIDTH - 12 - 2 * line )) $(( HEIGHT - 12 - line / 2 )) click 1
}

# Opens the dialog with Ctrl+N on the main window.
open_dialog() {
  xdotool windowactivate --sync "$main" key --clearmodifiers ctrl+n
  until_true find_dialog || fail "Ctrl+N showed no dialog: $(cat "$work/out.txt")"
}

# Saves the project under the name with Ctrl+S and prints its root scene.
save_as() {
  local path="$work/$1"
  xdotool windowactivate --sync "$main" key --clearmodifiers ctrl+s
  local chooser=""
  find_chooser() { chooser=$(xdotool search --onlyvisible --pid "$app_pid" 2>/dev/null | grep -vx "$main" | head -1); [ -n "$chooser" ]; }
  until_true find_chooser || fail "Ctrl+S showed no save dialog"
  xdotool windowactivate --sync "$chooser" key --clearmodifiers ctrl+a BackSpace
  # The chooser opens in the program's working folder, the work folder.
  xdotool type --delay 20 "$1"
  xdotool windowactivate --sync "$chooser" key --clearmodifiers Return
  # A Return the name field's completion took is pressed again while the
  # chooser stays (once a second).
  local tries=0
  saved() {
    [ -f "$path" ] && return 0
    tries=$((tries + 1))
    if [ $((tries % 10)) -eq 0 ] && xdotool search --onlyvisible --pid "$app_pid" 2>/dev/null | grep -qx "$chooser"; then
      xdotool windowactivate --sync "$chooser" key --clearmodifiers Return 2>/dev/null || true
    fi
    return 1
  }
  until_true saved || fail "the project was not saved as $path: $(ls "$work")"
  sed -n '/^\[scene\.0\]/,/^\[/p' "$path" | tr -d '\r' | grep -E '^(video|audio)\.'
}

# 1. The defaults as they stand.
open_dialog
# Enter in a field does nothing with an OK button: the dialog is still there
# for the click that follows (activating a closed one fails), and one
# project is made.
type_field 1 0 30
keys Return
press_ok
until_true no_dialog || fail "OK did not close the dialog"
until_true created 1 || fail "no project was created"
created 2 && fail "Enter and OK made two projects"
scene=$(save_as first.vpj2)
expected=$'video.width=1920\nvideo.height=1080\nvideo.rate=30\nvideo.scale=1\naudio.rate=44100'
[ "$scene" == "$expected" ] || fail "the defaults gave: $scene"

# 2. A width of 31 is refused; 16384 is accepted.
open_dialog
type_field 0 0 31
press_ok
# Refused: the dialog stays for the clicks that follow.
type_field 0 0 16384
press_ok
until_true no_dialog || fail "a width of 16384 was refused"
until_true created 2 || fail "no project was created for 16384"
created 3 && fail "31 and 16384 made two projects"
scene=$(save_as wide.vpj2)
[[ "$scene" == *"video.width=16384"* && "$scene" == *"video.height=1080"* ]] || fail "16384 gave: $scene"

# 3. 1280 x 720.
open_dialog
type_field 0 0 1280
type_field 0 1 720
press_ok
until_true no_dialog || fail "1280 x 720 was refused"
until_true created 3 || fail "no project was created for 1280 x 720"
scene=$(save_as small.vpj2)
expected=$'video.width=1280\nvideo.height=720\nvideo.rate=30\nvideo.scale=1\naudio.rate=44100'
[ "$scene" == "$expected" ] || fail "1280 x 720 gave: $scene"

# 4. Escape cancels: the project stays.
open_dialog
type_field 0 0 640
keys Escape
until_true no_dialog || fail "Escape did not close the dialog"
# The next Ctrl+N comes after the cancelled command has ended.
open_dialog
keys Escape
until_true no_dialog || fail "Escape did not close the dialog"
created 4 && fail "Escape created a project"

wmctrl -i -c "$main"
wait_program_end
echo "new project dialog: 1 passed, 0 failed"
