#!/usr/bin/env bash
# A file of random bytes with the project extension, named on the command
# line of the real program on its own Xvfb screen: the load-failure box
# shows, Ctrl+S afterwards asks for a new name (cancelled here) instead of
# writing over the file, and the file is unchanged byte for byte. Its
# unreadable lines are logged as a few warnings and a count.
# Usage: not-a-project.sh PROGRAM   (run under xvfb-run -a)
set -euo pipefail
program=$(realpath "$1")
source "$(dirname "${BASH_SOURCE[0]}")/../support/window-test.sh" velmo-not-a-project

program_settings 640 480
target="$work/y.vpj2"
head -c 2000000 /dev/urandom > "$target"
cp "$target" "$work/original"

start_window_manager || fail "the window manager did not start"
cd "$work"
"$program" "$target" >"$work/out.txt" 2>&1 &
app_pid=$!
window=""
find_window() { window=$(xdotool search --onlyvisible --name '^Velmo Kirta2$' 2>/dev/null | head -1); [ -n "$window" ]; }
until_true find_window || fail "the main window did not appear"
windows_shown() { [ "$(xdotool search --onlyvisible --pid "$app_pid" 2>/dev/null | wc -l)" -eq "$1" ]; }
log_has() { grep -qF -- "$1" "$data"/Log/* 2>/dev/null; }

# The box over the main window tells the user; Return closes it.
until_true windows_shown 2 || fail "no box over the main window"
box=$(xdotool search --onlyvisible --pid "$app_pid" 2>/dev/null | grep -vx "$window" | head -1)
xdotool windowactivate --sync "$box"
xdotool key --clearmodifiers Return
until_true windows_shown 1 || fail "the box did not close: $(for w in $(xdotool search --onlyvisible --pid "$app_pid"); do xdotool getwindowname "$w"; done)"

# Ctrl+S on the main window: the project has no file, so the save dialog comes.
xdotool windowactivate --sync "$window"
xdotool key --clearmodifiers ctrl+s
until_true windows_shown 2 || fail "Ctrl+S showed no save dialog"
cmp -s "$target" "$work/original" || fail "the file was overwritten"
dialog=$(xdotool search --onlyvisible --pid "$app_pid" 2>/dev/null | grep -vx "$window" | head -1)
xdotool windowactivate --sync "$dialog"
xdotool key --clearmodifiers Escape
until_true windows_shown 1 || fail "the save dialog did not close"

wmctrl -i -c "$window"
code=0
wait "$app_pid" || code=$?
app_pid=""
[ "$code" -eq 0 ] || fail "the program ended with $code: $(cat "$work/out.txt")"
cmp -s "$target" "$work/original" || fail "the file was overwritten"
log_has "show error dialog." || fail "no error box was logged"
grep -A1 -F "show error dialog." "$data"/Log/* | grep -qF "プロジェクトの読み込みに失敗しました" ||
  fail "the box shown was not the load failure: $(grep -A1 -F "show error dialog." "$data"/Log/*)"
! grep -qF "y.vpj2" "$data/history.ini" 2>/dev/null || fail "the file entered the recent list"
illegal=$(grep -c "ini file line illegal format" "$data"/Log/* || true)
[ "$illegal" -le 11 ] || fail "$illegal warnings for the unreadable lines"
echo "not a project: 1 passed, 0 failed"
