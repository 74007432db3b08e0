#!/usr/bin/env bash
# Exports from the File menu of the real program on its own Xvfb screen, with
# a session bus and a notification server of its own: the JPEG writer's
# quality is set through the "設定" button of its save dialog, and a picture
# written at quality 40 is smaller than one written at 95; an AVI export ends
# with the notice "ファイル出力が完了しました", which is closed five seconds on.
# A PNG written after choosing "PNGファイル(透過無し)" is opaque.
# Usage: export-settings.sh PROGRAM PROJECT.vpj2 NOTIFY_SERVER   (run under xvfb-run -a)
set -euo pipefail
# No accessibility bus on the test's own session bus.
export NO_AT_BRIDGE=1
if [ -z "${VELMO_EXPORT_BUS:-}" ]; then
  VELMO_EXPORT_BUS=1 exec dbus-run-session -- bash "$0" "$@"
fi
program=$(realpath "$1")
project=$2
server=$3
source "$(dirname "${BASH_SOURCE[0]}")/../support/window-test.sh" velmo-export-settings

program_settings 900 700
# A textured picture, so that the quality shows in the file's size.
convert -seed 7 -size 64x48 plasma:fractal "PNG32:$work/picture.png"
sed "s|%AppInstall%|$work|g" "$project" > "$work/picture.vpj2"

# The server needs the system's Python with its D-Bus and GLib bindings.
/usr/bin/python3 "$server" "$work/notify.log" &
pids+=($!)
log_line() { grep -qF -- "$1" "$work/notify.log" 2>/dev/null; }
until_true log_line ready || fail "the notification server did not start"

start_window_manager || fail "the window manager did not start"
cd "$work"
main_window_name='^(Velmo Kirta2|picture\.vpj2)$'
start_program "$work/picture.vpj2"
main=$window

logged() { [ "$(cat "$data"/Log/* 2>/dev/null | grep -cF -- "$1")" -ge "$2" ]; }
# The program's visible windows but the main one, newest last.
others() { xdotool search --onlyvisible --pid "$app_pid" 2>/dev/null | grep -vx "$main" || true; }
count_others() { [ "$(others | wc -l)" -eq "$1" ]; }
# Sets $found to the visible window of the program named $1 that is not $2.
find_named() {
  found=$(xdotool search --all --onlyvisible --pid "$app_pid" --name "$1" 2>/dev/null | grep -vx "${2:-none}" | head -1)
  [ -n "$found" ]
}

# File menu, "ファイル出力" (third from the bottom), the writer at $1 (0 first).
export_with() {
  xdotool windowactivate --sync "$main" mousemove --window "$main" 20 10 click 1
  until_true count_others 1 || fail "the File popup did not open"
  xdotool key Up Up Up Right
  until_true count_others 2 || fail "the export submenu did not open"
  local i
  for ((i = 0; i < $1; i++)); do xdotool key Down; done
  xdotool key Return
}

# The save dialog titled $1 into $chooser.
wait_chooser() {
  local title=$1
  find_chooser() { find_named "^$title\$" && chooser=$found; }
  until_true find_chooser || fail "no save dialog titled $1: $(cat "$work/out.txt")"
}

# Presses the strip's button "設定": the strip sits at the chooser's bottom
# left: its setting text, 500 pixels wide, then the button.
press_setting() {
  xdotool windowactivate --sync "$chooser"
  eval "$(xdotool getwindowgeometry --shell "$chooser")"
  xdotool mousemove --window "$chooser" --sync 545 $((HEIGHT - 68)) click 1
}

# Types quality $1 into the JPEG settings dialog (the window of that name
# other than the chooser) and closes it with Enter.
set_quality() {
  find_quality() { find_named '^JPEGファイル出力$' "$chooser" && quality=$found; }
  until_true find_quality || fail "the setting button opened no dialog"
  xdotool windowactivate --sync "$quality" key --clearmodifiers ctrl+a BackSpace
  xdotool type --delay 30 "$1"
  xdotool key --clearmodifiers Return
  quality_gone() { ! xdotool search --onlyvisible --pid "$app_pid" 2>/dev/null | grep -qx "$quality"; }
  until_true quality_gone || fail "the JPEG settings dialog stayed open"
}

# Types the name $1 into the chooser and saves; waits for the export's end
# (the $2-th "export file complete").
save_as() {
  # Into the name field at the chooser's top (a settings dialog took the focus from it).
  xdotool windowactivate --sync "$chooser"
  eval "$(xdotool getwindowgeometry --shell "$chooser")"
  xdotool mousemove --window "$chooser" --sync $((WIDTH / 2)) 24 click 1
  xdotool key --clearmodifiers ctrl+a BackSpace
  xdotool type --delay 20 "$1"
  xdotool windowactivate --sync "$chooser" key --clearmodifiers Return
  local tries=0
  ended() {
    logged "export file complete" "$2" && return 0
    tries=$((tries + 1))
    # A Return the name field's completion took is pressed again while the chooser stays.
    if [ $((tries % 10)) -eq 0 ] && xdotool search --onlyvisible --pid "$app_pid" 2>/dev/null | grep -qx "$chooser"; then
      xdotool windowactivate --sync "$chooser" key --clearmodifiers Return 2>/dev/null || true
    fi
    return 1
  }
  until_true ended "$1" "$2" || fail "the export to $1 did not end: $(cat "$data"/Log/* | tail -5)"
}

# 1. JPEG at quality 40, then at 95, each set in the save dialog.
export_with 2
wait_chooser 'JPEGファイル出力'
press_setting
set_quality 40
save_as low.jpg 1
export_with 2
wait_chooser 'JPEGファイル出力'
press_setting
set_quality 95
save_as high.jpg 2
low=$(stat -c %s "$work/low.jpg")
high=$(stat -c %s "$work/high.jpg")
[ "$low" -gt 0 ] && [ "$low" -lt "$high" ] || fail "quality 40 gave $low bytes, 95 gave $high"
identify "$work/low.jpg" | grep -q "JPEG 160x120" || fail "not the scene's picture: $(identify "$work/low.jpg")"
# Neither JPEG export put up a notice.
log_line notify && fail "a JPEG export showed a notice: $(cat "$work/notify.log")"

# 2. PNG without transparency, chosen from the menu the button opens (its
# first entry, with transparency, is the checked one): an opaque picture,
# where the scene's empty parts would be transparent.
export_with 1
wait_chooser 'PNGファイル出力'
before=$(others | wc -l)
more_others() { [ "$(others | wc -l)" -gt "$before" ]; }
press_setting
until_true more_others || fail "the setting button opened no menu"
# The menu opens at the pointer: its second entry lies 33 to 61 pixels below.
xdotool mousemove_relative --sync 60 47 click 1
until_true count_others "$before" || fail "the menu stayed open"
save_as opaque.png 3
alpha=$(identify -format '%[fx:minima.a]' "$work/opaque.png")
[ "$alpha" = 1 ] || fail "the PNG without transparency has the least alpha $alpha"

# 3. AVI: the notice, closed after its five seconds.
export_with 0
wait_chooser 'AVIファイル出力'
save_as clip.avi 4
notice=$'notify\tVelmo Kirta2\tVelmo Kirta2\tファイル出力が完了しました\t5000\t1\t'"$(dirname "$program")/icons/107.png"
shown() { grep -qxF -- "$notice" "$work/notify.log"; }
until_true shown || fail "the server was not shown the notice: $(cat "$work/notify.log")"
closed() { grep -qx $'close\t1' "$work/notify.log"; }
until_true closed || fail "the notice was not closed: $(cat "$work/notify.log")"

wmctrl -i -c "$main"
wait_program_end
stored=$(tr -d '\r' < "$data/velmo2.ini")
grep -qx "quality=95" <<<"$stored" || fail "quality 95 was not stored: $stored"
grep -qx "transparent=0" <<<"$stored" || fail "the PNG choice was not stored: $stored"
echo "JPEG at quality 40: $low bytes, at 95: $high bytes"
echo "export settings: 1 passed, 0 failed"
