#!/usr/bin/env bash
# Ends the real program the way a window manager does, on its own Xvfb screen
# with a window manager: with a project open and resuming on, the close ends
# the program within 10 s with code 0, no box, no ERROR logged from then on,
# nothing from GTK on standard error, and the resume file holding the project;
# the stored placement brings the window back where it was; a close that
# arrives while a context menu is open ends the program once the menu closes.
# Usage: window-exit.sh PROGRAM   (run under xvfb-run -a)
set -euo pipefail
program=$(realpath "$1")
source "$(dirname "${BASH_SOURCE[0]}")/../support/window-test.sh" velmo-window-exit

program_settings 640 480
printf '[Edit]\r\nEditResume=1\r\n' >> "$data/velmo2.ini"
project="$work/project.vpj2"
printf '[project]\r\nfile=%s\r\ndisplay.scene=0\r\n[scene.0]\r\nscene=0\r\nname=ClosingScene\r\nvideo.width=640\r\nvideo.height=360\r\nvideo.rate=30\r\nvideo.scale=1\r\naudio.rate=48000\r\n' "$project" > "$project"

start_window_manager || fail "the window manager did not start"

window=""
find_window() { window=$(xdotool search --onlyvisible --name "^Velmo Kirta2" 2>/dev/null | head -1); [ -n "$window" ]; }
# A popup is open beside the main window.
popup_shown() { [ "$(xdotool search --onlyvisible --pid "$app_pid" 2>/dev/null | wc -l)" -ge 2 ]; }
start() {
  (cd "$work" && exec "$program" "$@") >"$work/out.txt" 2>&1 &
  app_pid=$!
  until_true find_window || fail "the main window did not appear"
}
project_loaded() { cat "$data"/Log/* 2>/dev/null | grep -qF "load project file : "; }
# Waits up to 10 s for the program to end; it must end with code 0.
ended_within_10s() {
  local i code=0
  for i in $(seq 100); do
    kill -0 "$app_pid" 2>/dev/null || break
    sleep 0.1
  done
  if kill -0 "$app_pid" 2>/dev/null; then
    fail "still running 10 s after the close; its windows: $(xdotool search --onlyvisible --pid "$app_pid" getwindowname %@ 2>/dev/null | tr '\n' ' ')"
  fi
  wait "$app_pid" || code=$?
  app_pid=""
  [ "$code" -eq 0 ] || fail "the program ended with $code: $(cat "$work/out.txt")"
}
gtk_quiet() {
  local said
  said=$(grep -E 'Gtk-|Gdk-|GLib-|pixman|[Ii]nvalid rectangle' "$work/out.txt" || true)
  [ -z "$said" ] || fail "GTK complained on standard error: $said"
}
client_origin() { xwininfo -id "$window" | awk '/Absolute upper-left X/{x=$4} /Absolute upper-left Y/{y=$4} END{print x, y}'; }
ini_value() { tr -d '\r' < "$data/velmo2.ini" | awk -v key="$1" '/^\[/{s=$0} s=="[Window]" && index($0, key "=")==1 {print substr($0, length(key) + 2)}'; }

# With a project open: the close as a window manager sends it.
start -x /y project.vpj2
first=$(client_origin)
until_true project_loaded || fail "the project was not loaded"
wmctrl -i -c "$window"
ended_within_10s
errors=$(cat "$data"/Log/* | awk 'loaded && /\[ERROR\]/; /load project file : /{loaded=1}')
[ -z "$errors" ] || fail "errors logged by the exit: $errors"
gtk_quiet
[ -f "$data/resume.vpj2" ] || fail "no resume file"
grep -q 'name=ClosingScene' "$data/resume.vpj2" || fail "the resume file lacks the project: $(cat "$data/resume.vpj2")"

# The stored placement is where the window was made: the next start shows it at the same place.
[ "$(ini_value x)" = 40 ] && [ "$(ini_value y)" = 30 ] || fail "the placement moved: $(ini_value x),$(ini_value y)"
start
second=$(client_origin)
[ "$first" = "$second" ] || fail "the window opened at $second, before at $first"

# A close while a context menu is open ends the program once the menu closes.
xdotool mousemove --window "$window" 320 400 click 3
until_true popup_shown || fail "no context menu opened"
wmctrl -i -c "$window"
xdotool key Escape
ended_within_10s
gtk_quiet
echo "window exit: 1 passed, 0 failed"
