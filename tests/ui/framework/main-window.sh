#!/usr/bin/env bash
# Drives the program's main window on its own Xvfb screen with a window
# manager: caption, icon and stored placement, the style's colours against a
# reference picture, the size limit, the placement kept through maximising,
# restoring and minimising, and a clean exit when the window is closed.
# Usage: main-window.sh PROGRAM REFERENCE.png   (run under xvfb-run -a)
set -euo pipefail
program=$1
reference=$2
source "$(dirname "${BASH_SOURCE[0]}")/../../support/window-test.sh" velmo-window

program_settings 640 480
# The picture is the bare window: its panels stay hidden.
printf '[Window.edit]\r\nhide=1\r\n[Window.scene.list]\r\nhide=1\r\n[Window.object.list]\r\nhide=1\r\n[Window.setting]\r\nhide=1\r\n[Window.explorer:1]\r\nhide=1\r\n' >> "$data/velmo2.ini"
# The user's style changes the background colour; its empty footer texts keep the footer bare.
printf '[Color]\nBackground=3366cc\n[Format]\nFooterLeft=\nFooterRight=\n' > "$data/style.conf"

start_window_manager || fail "the window manager did not start"

# Client geometry "x y w h" of the main window.
geometry() {
  xwininfo -id "$window" | awk '/Absolute upper-left X/{x=$4} /Absolute upper-left Y/{y=$4} /Width:/{w=$2} /Height:/{h=$2} END{print x, y, w, h}'
}
state_has() { local s; s=$(xprop -id "$window" _NET_WM_STATE); [[ "$s" == *"$1"* ]]; }
state_lacks() { ! state_has "$1"; }
# Asks the window manager to close the window (the polite close) and waits for the exit.
close_and_wait() {
  wmctrl -i -c "$window"
  wait_program_end
}
ini_value() { tr -d '\r' < "$data/velmo2.ini" | awk -v key="$1" '/^\[/{s=$0} s=="[Window]" && index($0, key "=")==1 {print substr($0, length(key) + 2)}'; }

# First run: caption, icon, placement and colours.
start_program
read -r x y w h < <(geometry)
[ "$w" -eq 640 ] && [ "$h" -eq 480 ] || fail "stored size not used: $w x $h"
icon=$(xprop -id "$window" _NET_WM_ICON)
[[ "$icon" == *"Icon (48 x 48)"* ]] || fail "no 48 x 48 icon on the window"
client_matches() {
  screen_shot "$w" "$h" "$x" "$y" "$work/client.png"
  local differing
  differing=$(compare -metric AE -fuzz 4% "$work/client.png" "$reference" null: 2>&1 || true)
  [ "${differing%%.*}" -lt 200 ] 2>/dev/null
}
until_true client_matches || fail "the window does not show the reference picture"

# The window cannot shrink below 256 x 256.
xdotool windowsize "$window" 100 100
at_minimum() { read -r x y w h < <(geometry); [ "$w" -eq 256 ] && [ "$h" -eq 256 ]; }
until_true at_minimum || fail "shrunk to $(geometry)"

# Maximised at exit: zoom=1 and the normal size stays.
wmctrl -i -r "$window" -b add,maximized_vert,maximized_horz
until_true state_has _NET_WM_STATE_MAXIMIZED_HORZ || fail "not maximised"
close_and_wait
[ "$(ini_value zoom)" = 1 ] || fail "zoom not stored: $(cat "$data/velmo2.ini")"
[ "$(ini_value w)" = 256 ] && [ "$(ini_value h)" = 256 ] || fail "normal size lost: $(cat "$data/velmo2.ini")"
# The teardown ran: the edit service wrote its history back as it went.
log=$(cat "$data"/Log/*)
[[ "$log" == *"saveFile : $data/history.ini"* ]] || fail "no teardown in the log"

# Second run starts maximised; restoring and minimising keep the normal placement.
start_program
until_true state_has _NET_WM_STATE_MAXIMIZED_HORZ || fail "the stored maximised state was not used"
wmctrl -i -r "$window" -b remove,maximized_vert,maximized_horz
until_true state_lacks _NET_WM_STATE_MAXIMIZED_HORZ || fail "not restored"
restored_normal() { read -r x y w h < <(geometry); [ "$w" -eq 256 ] && [ "$h" -eq 256 ]; }
until_true restored_normal || fail "restored to $(geometry)"
xdotool windowminimize "$window"
until_true state_has _NET_WM_STATE_HIDDEN || fail "not minimised"
wmctrl -i -a "$window"
until_true state_lacks _NET_WM_STATE_HIDDEN || fail "not shown again"
close_and_wait
[ "$(ini_value zoom)" = 0 ] || fail "zoom after restoring: $(cat "$data/velmo2.ini")"
[ "$(ini_value w)" = 256 ] && [ "$(ini_value h)" = 256 ] || fail "normal size after minimising: $(cat "$data/velmo2.ini")"
echo "main window: 1 passed, 0 failed"
